#include "testServer.h"

#include "db/xDbError.h"
#include "db/xFbCreate.h"
#include "db/xQuery.h"
#include "db/xSchema.h"

#include <QDir>
#include <QUuid>

namespace korvex::test {

using namespace korvex::db;

namespace {

QString token()
{
    return QUuid::createUuid().toString(QUuid::Id128).left(12).toUpper();
}

} // namespace

QString TestServerDatabase::host()
{
    return qEnvironmentVariable("KORVEX_TEST_SERVER");
}

TestServerDatabase::TestServerDatabase()
    : m_user(qEnvironmentVariable("KORVEX_TEST_SERVER_USER", QStringLiteral("SYSDBA")))
    , m_password(qEnvironmentVariable("KORVEX_TEST_SERVER_PASSWORD"))
{
    if (host().isEmpty())
        throw EDatabaseError(QStringLiteral("No Firebird server for this run."));
    // The server reads and writes the file itself.
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    m_target.host = host();
    m_target.path = m_dir.filePath(QStringLiteral("served.fdb"));
    const QString id = token();
    m_everyone = QStringLiteral("KXT%1U").arg(id);
    m_adminAccount = QStringLiteral("KXT%1A").arg(id);
    m_everyonePassword = token();
    m_adminPassword = token();

    try {
        build();
    } catch (...) {
        cleanup();
        throw;
    }
}

void TestServerDatabase::build()
{
    createFirebirdDatabase(m_target, m_user, m_password);
    m_created = true;
    setFirebirdForcedWrites(m_target, m_user, m_password, false);  // scratch: quicker
    m_admin = std::make_unique<TxDatabase>(QStringLiteral("server-admin"));
    m_admin->open(params(), m_user, m_password);
    TxSchema::install(*m_admin);
    TxSchema::loadDemo(*m_admin);

    // Server accounts: names are identifiers and passwords literals here, as
    // the statements take no parameters; both are this fixture's own tokens.
    TxQuery::execute(*m_admin, QStringLiteral("CREATE OR ALTER USER %1 PASSWORD '%2'")
                                   .arg(TxSchema::startupAccount(), TxSchema::startupPassword()));
    m_accountsCreated = true;
    TxQuery::execute(*m_admin, QStringLiteral("CREATE USER %1 PASSWORD '%2'").arg(m_everyone, m_everyonePassword));
    TxQuery::execute(*m_admin, QStringLiteral("CREATE USER %1 PASSWORD '%2'").arg(m_adminAccount, m_adminPassword));
    TxQuery::execute(*m_admin, QStringLiteral("UPDATE fin_dbaccount SET accountkind = NULL"));
    TxQuery::execute(*m_admin, QStringLiteral("INSERT INTO fin_dbaccount (ibname, ibpassw, accountkind) VALUES (?, ?, ?)"),
                     {m_everyone, m_everyonePassword, TxSchema::EveryoneAccountKind});
    TxQuery::execute(*m_admin, QStringLiteral("INSERT INTO fin_dbaccount (ibname, ibpassw, accountkind) VALUES (?, ?, ?)"),
                     {m_adminAccount, m_adminPassword, TxSchema::AdminAccountKind});
    TxSchema::grantWorkingAccounts(*m_admin);
}

TestServerDatabase::~TestServerDatabase()
{
    cleanup();
}

void TestServerDatabase::cleanup()
{
    if (m_accountsCreated && m_admin && m_admin->isOpen()) {
        for (const QString &account : {m_everyone, m_adminAccount}) {
            try {
                TxQuery::execute(*m_admin, QStringLiteral("DROP USER %1").arg(account));
            } catch (const EDatabaseError &) {
                // not created
            }
        }
    }
    m_accountsCreated = false;
    m_admin.reset();
    if (m_created) {
        m_created = false;
        try {
            dropFirebirdDatabase(m_target, m_user, m_password);
        } catch (const EDatabaseError &e) {
            qWarning("%s", qPrintable(e.message()));
        }
    }
}

TxConnectionParams TestServerDatabase::params() const
{
    TxConnectionParams p;
    p.setServerName(firebirdConnectString(m_target));
    return p;
}

} // namespace korvex::test
