#include "xQuery.h"

#include "xDatabase.h"
#include "xDbError.h"

#include <QRegularExpression>
#include <QSqlError>
#include <atomic>

namespace korvex::db {

namespace {
std::atomic<quint64> g_executions{0};
} // namespace

quint64 TxQuery::executions()
{
    return g_executions.load(std::memory_order_relaxed);
}

void TxQuery::countExecution()
{
    g_executions.fetch_add(1, std::memory_order_relaxed);
}

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
    countExecution();
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

// --- TxStatementCache --------------------------------------------------------------

TxStatementCache::TxStatementCache(TxDatabase &db)
    : m_db(db)
{
}

TxStatementCache::~TxStatementCache() = default;

TxQuery &TxStatementCache::prepared(const QString &sql)
{
    std::unique_ptr<TxQuery> &slot = m_statements[sql];
    if (!slot) {
        try {
            slot = std::make_unique<TxQuery>(m_db, sql);
        } catch (...) {
            m_statements.erase(sql);
            throw;
        }
    }
    return *slot;
}

void TxStatementCache::forget(const QString &sql)
{
    m_statements.erase(sql);
}

TxQuery &TxStatementCache::exec(const QString &sql, const QVariantList &values)
{
    TxQuery &q = prepared(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bind(i, values.at(i));
    try {
        q.exec();
    } catch (const EDatabaseError &) {
        // A statement that failed is prepared afresh next time.
        forget(sql);
        throw;
    }
    return q;
}

void TxStatementCache::clear()
{
    m_statements.clear();
}

TxQuery &TxStatementCache::exec(TxDatabase &db, TxQuery &own, const QString &sql, const QVariantList &values)
{
    if (db.inTransaction())
        return db.statements().exec(sql, values);
    own.exec(sql, values);
    return own;
}

} // namespace korvex::db
