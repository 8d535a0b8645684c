#include "xQuery.h"

#include "xDatabase.h"
#include "xDbError.h"

#include <QRegularExpression>
#include <QSqlError>

namespace korvex::db {

TxQuery::TxQuery(TxDatabase &db)
    : m_query(db.sql())
{
    m_query.setForwardOnly(true);
}

TxQuery::TxQuery(TxDatabase &db, const QString &sql)
    : TxQuery(db)
{
    prepare(sql);
}

void TxQuery::prepare(const QString &sql)
{
    m_sql = sql;
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        throw EDatabaseError::fromSqlError(m_query.lastError(), sql);
}

TxQuery &TxQuery::bind(const QString &placeholder, const QVariant &value)
{
    m_query.bindValue(placeholder.startsWith(QLatin1Char(':')) ? placeholder
                                                               : QLatin1Char(':') + placeholder,
                      value);
    return *this;
}

TxQuery &TxQuery::bind(int position, const QVariant &value)
{
    m_query.bindValue(position, value);
    return *this;
}

void TxQuery::exec()
{
    if (!m_query.exec())
        throw EDatabaseError::fromSqlError(m_query.lastError(), m_sql);
}

void TxQuery::exec(const QString &sql, const QVariantList &values)
{
    prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, values.at(i));
    exec();
}

bool TxQuery::next()
{
    return m_query.next();
}

QVariant TxQuery::value(const QString &column) const
{
    const QSqlRecord rec = m_query.record();
    int i = rec.indexOf(column);
    if (i < 0) {
        for (int k = 0; k < rec.count(); ++k) {
            if (rec.fieldName(k).compare(column, Qt::CaseInsensitive) == 0) {
                i = k;
                break;
            }
        }
    }
    if (i < 0)
        throw EDatabaseError(QStringLiteral("Column %1 not found in the result.").arg(column), 0, m_sql);
    return m_query.value(i);
}

QVariant TxQuery::scalar(TxDatabase &db, const QString &sql, const QVariantList &values)
{
    TxQuery q(db);
    q.exec(sql, values);
    return q.next() ? q.value(0) : QVariant();
}

int TxQuery::execute(TxDatabase &db, const QString &sql, const QVariantList &values)
{
    TxQuery q(db);
    q.exec(sql, values);
    // Only data statements have a row count; the driver warns for the rest.
    static const QRegularExpression dml(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|MERGE|UPDATE\\s+OR)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return dml.match(sql).hasMatch() ? q.numRowsAffected() : 0;
}

} // namespace korvex::db
