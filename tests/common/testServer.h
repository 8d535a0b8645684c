#pragma once

#include "db/xConnectionParams.h"
#include "db/xDatabase.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace korvex::test {

// A database with the demo data served by the Firebird server of the test
// run (KORVEX_TEST_SERVER names its host; the tests skip without one). Its
// two working accounts have names and passwords of their own, created on the
// server for this database and dropped with it, so runs in parallel never
// change each other's accounts; the start-up account is the program's fixed
// one.
class TestServerDatabase
{
public:
    // Empty when the run has no server.
    static QString host();

    TestServerDatabase();
    ~TestServerDatabase();

    // "host:/path" parameters for the program's own connections.
    korvex::db::TxConnectionParams params() const;
    // Connected as the server's administrator.
    korvex::db::TxDatabase &admin() { return *m_admin; }

    QString everyoneAccount() const { return m_everyone; }
    QString everyonePassword() const { return m_everyonePassword; }
    QString adminAccount() const { return m_adminAccount; }
    QString adminPassword() const { return m_adminPassword; }

private:
    void build();
    void cleanup();

    QTemporaryDir m_dir;
    bool m_created = false;
    bool m_accountsCreated = false;
    korvex::db::TxConnectionParams::Target m_target;
    QString m_user;
    QString m_password;
    QString m_everyone, m_everyonePassword, m_adminAccount, m_adminPassword;
    std::unique_ptr<korvex::db::TxDatabase> m_admin;
};

} // namespace korvex::test
