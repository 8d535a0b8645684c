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

namespace {
// Nested scopes need savepoints of their own names: a savepoint named again
// would replace the outer one. Everything runs on the one window thread.
int g_writeScopeDepth = 0;
} // namespace

TxWriteScope::TxWriteScope(TxDatabase &db)
    : m_db(db)
    , m_transaction(db)
{
    if (m_transaction.owns())
        return;
    // The name is the program's own, never user text.
    const QString name = QStringLiteral("KX_WRITE_%1").arg(g_writeScopeDepth + 1);
    TxQuery::execute(m_db, QStringLiteral("SAVEPOINT ") + name);
    m_savepoint = name;
    ++g_writeScopeDepth;
}

TxWriteScope::~TxWriteScope()
{
    if (m_savepoint.isEmpty())
        return;
    --g_writeScopeDepth;
    if (m_done)
        return;
    try {
        TxQuery::execute(m_db, QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
    } catch (...) {
        // A destructor must not throw; the caller's transaction still ends
        // in its own commit or rollback.
    }
}

void TxWriteScope::commit()
{
    if (m_done)
        return;
    if (!m_savepoint.isEmpty())
        TxQuery::execute(m_db, QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint + QStringLiteral(" ONLY"));
    m_transaction.commit();
    m_done = true;
}

void runInTransaction(TxDatabase &db, const std::function<void()> &body)
{
    TxWriteScope scope(db);
    body();
    scope.commit();
}

} // namespace korvex::db
