#pragma once

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <memory>
#include <unordered_map>

namespace korvex::db {

class TxDatabase;

// A parameterised statement on a connection. Every failure throws
// EDatabaseError with the server's text; user values always travel as bound
// parameters (":name" placeholders), never inside the text.
class TxQuery
{
public:
    explicit TxQuery(TxDatabase &db);
    TxQuery(TxDatabase &db, const QString &sql);  // prepares at once

    void prepare(const QString &sql);
    TxQuery &bind(const QString &placeholder, const QVariant &value);  // ":name"
    TxQuery &bind(int position, const QVariant &value);
    void exec();
    // Prepares, binds positionally and executes in one call.
    void exec(const QString &sql, const QVariantList &values = {});

    bool next();
    bool isActive() const { return m_query.isActive(); }
    QVariant value(int index) const { return m_query.value(index); }
    QVariant value(const QString &column) const;  // case-insensitive
    QSqlRecord record() const { return m_query.record(); }
    int numRowsAffected() const { return m_query.numRowsAffected(); }
    QString lastSql() const { return m_sql; }
    void finish() { m_query.finish(); }

    QSqlQuery &raw() { return m_query; }

    // Runs a statement and returns the first column of its first row (an
    // invalid QVariant when there is no row).
    static QVariant scalar(TxDatabase &db, const QString &sql, const QVariantList &values = {});
    // Runs a statement that returns no rows; returns the number of rows touched.
    static int execute(TxDatabase &db, const QString &sql, const QVariantList &values = {});

    // Statements executed by this process so far (queries and stored
    // procedure calls, each attempt counted): benchmarks report it per unit
    // of work.
    static quint64 executions();
    static void countExecution();

private:
    QSqlQuery m_query;
    QString m_sql;
};

// Prepared statements kept for the transaction they run in: each SQL text is
// prepared once and executed again with new values. Firebird's driver binds a
// prepared statement to the transaction it ran in (outside any, to a snapshot
// of its own that it never ends), so a statement cannot outlive it. The
// connection owns one cache, TxDatabase::statements(), which it empties
// whenever its transaction ends and when it closes or opens again; the
// static exec() below is how business objects use it. Outside a transaction
// nothing is kept: each statement runs fresh and sees what is committed.
class TxStatementCache
{
public:
    explicit TxStatementCache(TxDatabase &db);
    ~TxStatementCache();
    TxStatementCache(const TxStatementCache &) = delete;
    TxStatementCache &operator=(const TxStatementCache &) = delete;

    // Executes the statement of this text with the values bound by position;
    // the query returned is valid until the same text runs again or clear().
    TxQuery &exec(const QString &sql, const QVariantList &values);
    // The statement of this text, prepared (once) but not executed.
    TxQuery &prepared(const QString &sql);
    // Prepares the text afresh next time (after a failure).
    void forget(const QString &sql);
    void clear();
    qsizetype size() const { return qsizetype(m_statements.size()); }

    // Runs a statement through the connection's cache while a transaction
    // is active, otherwise in own. The query returned is valid until the
    // same text runs again, own goes or the transaction ends: read its rows
    // before running anything that might run the same text.
    static TxQuery &exec(TxDatabase &db, TxQuery &own, const QString &sql, const QVariantList &values);

private:
    TxDatabase &m_db;
    std::unordered_map<QString, std::unique_ptr<TxQuery>> m_statements;
};

} // namespace korvex::db
