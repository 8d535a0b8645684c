#include "xFieldTableModel.h"

namespace korvex::widgets {

TxFieldTableModel::TxFieldTableModel(const QStringList &fields, QObject *parent)
    : QAbstractTableModel(parent)
    , m_fields(fields)
    , m_titles(fields)
{
}

int TxFieldTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant TxFieldTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_fields.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::EditRole)
        return m_fields.at(section);
    if (role == Qt::DisplayRole)
        return m_titles.at(section);
    return {};
}

bool TxFieldTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_fields.size()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    // The field name stays: it is how the column is found.
    m_titles[section] = value.toString();
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags TxFieldTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

} // namespace korvex::widgets
