#pragma once

#include <QString>
#include <functional>

namespace korvex::db {

class TxDatabase;

// Scope guard of a database transaction, for work that spans many writes and
// reads (a pricing run, the SQL console); a write itself uses TxWriteScope
// below. When the connection has no active transaction the guard starts one
// and owns it: commit() commits, and leaving the scope without commit() rolls
// back. When the caller already holds a transaction the guard joins it:
// commit() and the destructor leave it to the caller, whose own guard decides.
class TxTransaction
{
public:
    explicit TxTransaction(TxDatabase &db);
    ~TxTransaction();
    TxTransaction(const TxTransaction &) = delete;
    TxTransaction &operator=(const TxTransaction &) = delete;

    bool owns() const { return m_owns; }
    bool isDone() const { return m_done; }

    void commit();
    void rollback();

    // Commits the owned transaction and starts a new one at once: for a dialog
    // whose "next record" keeps what was confirmed so far.
    void commitAndRestart();

private:
    TxDatabase &m_db;
    bool m_owns = false;
    bool m_done = false;
};

// The scope of one write - THE way business objects and dialogs write: a
// transaction of its own when none is active, otherwise a savepoint inside
// the caller's transaction, so that a failed write undoes exactly its own
// part and the caller decides about the rest. commit() keeps the work;
// leaving the scope without it undoes it. Scopes nest to any depth: each
// savepoint is named by its depth, since Firebird replaces a savepoint of the
// same name.
class TxWriteScope
{
public:
    explicit TxWriteScope(TxDatabase &db);
    ~TxWriteScope();
    TxWriteScope(const TxWriteScope &) = delete;
    TxWriteScope &operator=(const TxWriteScope &) = delete;

    bool ownsTransaction() const { return m_transaction.owns(); }
    void commit();

private:
    TxDatabase &m_db;
    TxTransaction m_transaction;
    QString m_savepoint;  // empty when the scope owns the transaction
    bool m_done = false;
};

// Runs the body inside a TxWriteScope and commits it when the body returns.
void runInTransaction(TxDatabase &db, const std::function<void()> &body);

} // namespace korvex::db

namespace korvex::db {

// Reading that must change nothing (reports over statements users type): a
// write scope that is never committed. Qt's Firebird driver starts every
// transaction read-write, so whatever a statement writes after all (a
// selectable procedure that inserts) is undone when the scope ends. Queries
// must be prepared inside the scope to run in its transaction.
class TxReadScope
{
public:
    explicit TxReadScope(TxDatabase &db) : m_scope(db) {}

private:
    TxWriteScope m_scope;
};

} // namespace korvex::db
