#include "xTransaction.h"

#include "xDatabase.h"

namespace korvex::db {

TxTransaction::TxTransaction(TxDatabase &db)
    : m_db(db)
{
    if (!m_db.inTransaction()) {
        m_db.startTransaction();
        m_owns = true;
    }
}

TxTransaction::~TxTransaction()
{
    if (m_owns && !m_done && m_db.inTransaction()) {
        try {
            m_db.rollback();
        } catch (...) {
            // A destructor must not throw; the connection drops the
            // transaction when it closes in any case.
        }
    }
}

void TxTransaction::commit()
{
    if (m_done)
        return;
    if (m_owns)
        m_db.commit();
    m_done = true;
}

void TxTransaction::rollback()
{
    if (m_done)
        return;
    if (m_owns)
        m_db.rollback();
    m_done = true;
}

void TxTransaction::commitAndRestart()
{
    if (!m_owns)
        return;
    m_db.commit();
    m_db.startTransaction();
    m_done = false;
}

} // namespace korvex::db

#include "xQuery.h"

namespace korvex::db {

TxSavepoint::TxSavepoint(TxDatabase &db, const QString &name)
    : m_db(db)
    , m_name(name)
{
    // Savepoint names are identifiers chosen by the program, never user text.
    TxQuery::execute(m_db, QStringLiteral("SAVEPOINT ") + m_name);
}

TxSavepoint::~TxSavepoint()
{
    if (!m_done) {
        try {
            rollback();
        } catch (...) {
        }
    }
}

void TxSavepoint::release()
{
    if (m_done)
        return;
    m_done = true;
    TxQuery::execute(m_db, QStringLiteral("RELEASE SAVEPOINT ") + m_name + QStringLiteral(" ONLY"));
}

void TxSavepoint::rollback()
{
    if (m_done)
        return;
    m_done = true;
    TxQuery::execute(m_db, QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_name);
}

} // namespace korvex::db

namespace korvex::db {

namespace {
// Nested scopes need savepoints of their own names: a savepoint named again
// would replace the outer one. Everything runs on the one window thread.
int g_writeScopeDepth = 0;
} // namespace

TxWriteScope::TxWriteScope(TxDatabase &db)
    : m_transaction(db)
{
    ++g_writeScopeDepth;
    if (!m_transaction.owns())
        m_savepoint.emplace(db, QStringLiteral("KX_WRITE_%1").arg(g_writeScopeDepth));
}

TxWriteScope::~TxWriteScope()
{
    --g_writeScopeDepth;
}

void TxWriteScope::commit()
{
    if (m_savepoint)
        m_savepoint->release();
    m_transaction.commit();
}

void runInTransaction(TxDatabase &db, const std::function<void()> &body)
{
    TxWriteScope scope(db);
    body();
    scope.commit();
}

} // namespace korvex::db
