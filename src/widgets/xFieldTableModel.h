#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace korvex::widgets {

// The base of the in-memory tables a dialog edits as pending rows. Its
// columns are named fields, as in a query: the header's edit role gives the
// field name, so that TxDBGrid finds the columns by field, and the display
// role the title a grid gives it (the field name until then).
class TxFieldTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    TxFieldTableModel(const QStringList &fields, QObject *parent = nullptr);

    const QStringList &fields() const { return m_fields; }

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role = Qt::EditRole) override;

private:
    QStringList m_fields;
    QStringList m_titles;
};

} // namespace korvex::widgets
