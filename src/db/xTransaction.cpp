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
