#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::calc {

// The rows of one query, read to the end.
struct TSqlResult {
    QStringList columns;
    QList<QVariantList> rows;
};

// The free SQL console. The program has one connection, so the console must
// never finish another window's work: each statement runs in a transaction
// the console starts itself, and only when none is active. "Execute" commits
// it on success and rolls it back on error; a query reads its rows to the
// end and closes its transaction the same way. The statement text goes to
// the server unchanged. Failures throw EDatabaseError with the server's text.
class TboRentSQL
{
    Q_DECLARE_TR_FUNCTIONS(TboRentSQL)
public:
    explicit TboRentSQL(korvex::db::TxDatabase &db);

    // "Open": the rows of a query.
    TSqlResult open(const QString &statement);
    // "Execute": a statement that returns no rows; the number of rows it
    // touched (-1 when the server does not say).
    int execute(const QString &statement);
    // The whole table (or view) of that name: the name is looked up in the
    // system tables, exactly as typed first, then in upper case, and never
    // pasted into the statement as typed.
    TSqlResult openTable(const QString &name);

    // Why a statement was refused while another transaction was active.
    static QString busyMessage();

private:
    void requireIdle() const;
    TSqlResult read(const QString &statement);

    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::calc
