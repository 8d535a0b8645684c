#include "xQueryModel.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace korvex::widgets {

using db::EDatabaseError;

namespace {

bool isIntegral(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::LongLong: case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

bool sameKey(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return false;
    if (isIntegral(a) && isIntegral(b))
        return a.toLongLong() == b.toLongLong();
    if (isIntegral(a) || isIntegral(b)) {
        bool ok1 = false, ok2 = false;
        const qlonglong x = a.toLongLong(&ok1), y = b.toLongLong(&ok2);
        if (ok1 && ok2)
            return x == y;
    }
    return a == b;
}

TxQueryModel::TxQueryModel(db::TxDatabase &db, QObject *parent)
    : QSqlQueryModel(parent)
    , m_db(db)
{
}

void TxQueryModel::setStatement(const QString &select, const QVariantList &values, const QString &orderBy)
{
    m_select = select.trimmed();
    m_values = values;
    m_named.clear();
    m_orderBy = orderBy.trimmed();
    m_sortColumn = -1;
    m_sortOrder = Qt::AscendingOrder;
}

void TxQueryModel::setStatement(const TxSqlFilter &select, const QString &orderBy)
{
    setStatement(select.text(), select.values(), orderBy);
}

void TxQueryModel::setValues(const QVariantList &values)
{
    m_values = values;
}

void TxQueryModel::setParam(const QString &name, const QVariant &value)
{
    m_named.insert(name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name, value);
}

void TxQueryModel::open()
{
    if (m_select.isEmpty())
        throw EDatabaseError(QStringLiteral("TxQueryModel has no statement."));

    QStringList order;
    if (m_sortColumn >= 0)
        order << QString::number(m_sortColumn + 1)
                     + (m_sortOrder == Qt::DescendingOrder ? QStringLiteral(" DESC") : QString());
    if (!m_orderBy.isEmpty())
        order << m_orderBy;
    QString sql = m_select;
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));

    QSqlQuery q(m_db.sql());
    if (!q.prepare(sql))
        throw EDatabaseError::fromSqlError(q.lastError(), sql);
    for (int i = 0; i < m_values.size(); ++i)
        q.bindValue(i, m_values.at(i));
    for (auto it = m_named.cbegin(); it != m_named.cend(); ++it)
        q.bindValue(it.key(), it.value());
    if (!q.exec())
        throw EDatabaseError::fromSqlError(q.lastError(), sql);

    setQuery(std::move(q));
    m_lastSql = sql;
    m_open = true;
    if (lastError().isValid())
        throw EDatabaseError::fromSqlError(lastError(), sql);
}

void TxQueryModel::close()
{
    clear();
    m_open = false;
}

void TxQueryModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        column = -1;
    const int oldColumn = m_sortColumn;
    const Qt::SortOrder oldOrder = m_sortOrder;
    m_sortColumn = column;
    m_sortOrder = order;
    if (!m_open)
        return;
    try {
        open();
    } catch (...) {
        m_sortColumn = oldColumn;
        m_sortOrder = oldOrder;
        throw;
    }
}

int TxQueryModel::fieldIndex(const QString &field) const
{
    const QSqlRecord rec = record();
    for (int i = 0; i < rec.count(); ++i) {
        if (rec.fieldName(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant TxQueryModel::value(int row, const QString &field) const
{
    const int column = fieldIndex(field);
    return column < 0 ? QVariant() : data(index(row, column), Qt::EditRole);
}

int TxQueryModel::findRow(QAbstractItemModel &model, int column, const QVariant &value)
{
    if (column < 0 || value.isNull())
        return -1;
    int row = 0;
    for (;;) {
        for (const int n = model.rowCount(); row < n; ++row) {
            if (sameKey(model.data(model.index(row, column), Qt::EditRole), value))
                return row;
        }
        if (!model.canFetchMore(QModelIndex()))
            return -1;
        model.fetchMore(QModelIndex());
        if (model.rowCount() == row)
            return -1;
    }
}

} // namespace korvex::widgets
