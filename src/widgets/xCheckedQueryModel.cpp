#include "xCheckedQueryModel.h"

#include <QSqlRecord>

namespace korvex::widgets {

TxCheckedQueryModel::TxCheckedQueryModel(db::TxDatabase &db, QObject *parent)
    : TxQueryModel(db, parent)
{
}

void TxCheckedQueryModel::setCheckColumn(const QString &keyField, const QString &checkField)
{
    m_keyField = keyField;
    m_checkField = checkField;
}

int TxCheckedQueryModel::checkColumn() const
{
    return fieldIndex(m_checkField);
}

QVariant TxCheckedQueryModel::keyAt(int row) const
{
    const int column = fieldIndex(m_keyField);
    return column < 0 ? QVariant() : TxQueryModel::data(index(row, column), Qt::EditRole);
}

bool TxCheckedQueryModel::isChecked(const QVariant &key) const
{
    return !key.isNull() && key.isValid() && m_checked.contains(key.toLongLong());
}

void TxCheckedQueryModel::setChecked(const QVariant &key, bool on)
{
    if (key.isNull() || !key.isValid() || isChecked(key) == on)
        return;
    if (on) {
        m_checked.insert(key.toLongLong());
        m_order.append(key);
    } else {
        m_checked.remove(key.toLongLong());
        m_order.removeIf([&key](const QVariant &k) { return sameKey(k, key); });
    }
    const int column = checkColumn();
    if (column >= 0 && rowCount() > 0)
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::CheckStateRole});
    Q_EMIT checksChanged();
}

QList<int> TxCheckedQueryModel::checkedIntKeys() const
{
    QList<int> keys;
    for (const QVariant &k : m_order)
        keys << k.toInt();
    return keys;
}

void TxCheckedQueryModel::setCheckedKeys(const QList<QVariant> &keys)
{
    m_checked.clear();
    m_order.clear();
    for (const QVariant &k : keys) {
        if (k.isNull() || !k.isValid() || m_checked.contains(k.toLongLong()))
            continue;
        m_checked.insert(k.toLongLong());
        m_order.append(k);
    }
    const int column = checkColumn();
    if (column >= 0 && rowCount() > 0)
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::CheckStateRole});
    Q_EMIT checksChanged();
}

QVariant TxCheckedQueryModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole && index.isValid() && index.column() == checkColumn())
        return isChecked(keyAt(index.row())) ? Qt::Checked : Qt::Unchecked;
    return TxQueryModel::data(index, role);
}

bool TxCheckedQueryModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != checkColumn())
        return TxQueryModel::setData(index, value, role);
    setChecked(keyAt(index.row()), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags TxCheckedQueryModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = TxQueryModel::flags(index);
    if (index.isValid() && index.column() == checkColumn())
        f |= Qt::ItemIsUserCheckable;
    return f;
}

} // namespace korvex::widgets
