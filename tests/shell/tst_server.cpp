#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xDbError.h"
#include "db/xFbCreate.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xStoredProc.h"
#include "shell/UserLogin.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace korvex::db;
using namespace korvex::shell;

// The same database served by a Firebird server and reached by host:/path:
// created by the program, then used through the two-stage login with real
// password checks. Runs when the test script started a server
// (KORVEX_TEST_SERVER names its host).
class ServerLoginTest : public QObject
{
    Q_OBJECT
    QString m_host;
    QString m_user;
    QString m_password;
    QTemporaryDir m_dir;
    TxConnectionParams::Target m_target;
    QString m_workPassword;

    TxConnectionParams params() const
    {
        TxConnectionParams p;
        p.setServerName(firebirdConnectString(m_target));
        return p;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_host = qEnvironmentVariable("KORVEX_TEST_SERVER");
        if (m_host.isEmpty())
            QSKIP("No Firebird server for this run (KORVEX_TEST_SERVER is not set).");
        m_user = qEnvironmentVariable("KORVEX_TEST_SERVER_USER", QStringLiteral("SYSDBA"));
        m_password = qEnvironmentVariable("KORVEX_TEST_SERVER_PASSWORD");
        QVERIFY(m_dir.isValid());
        m_target.host = m_host;
        m_target.path = m_dir.filePath(QStringLiteral("served.fdb"));
        m_workPassword = QUuid::createUuid().toString(QUuid::Id128).left(16);
    }

    void createOverServer()
    {
        createFirebirdDatabase(m_target, m_user, m_password);
        TxDatabase db(QStringLiteral("admin"));
        db.open(params(), m_user, m_password);
        TxSchema::install(db);
        QCOMPARE(TxSchema::version(db), TxSchema::latestVersion());

        // The accounts of the two-stage login live in the server's security
        // database; the working account's password is recorded for the login.
        TxQuery::execute(db, QStringLiteral("CREATE OR ALTER USER OPENERUSR PASSWORD 'kemplorix'"));
        TxQuery::execute(db, QStringLiteral("CREATE OR ALTER USER KORVEX PASSWORD '%1'").arg(m_workPassword));
        TxQuery::execute(db, QStringLiteral("UPDATE fin_dbaccount SET ibpassw = ? WHERE ibname = 'KORVEX'"),
                         {m_workPassword});
        TxQuery::execute(db, QStringLiteral("INSERT INTO fin_user (userkey, name, ibname) VALUES (1, 'remote', 'KORVEX')"));
        TxStoredProc p(db, QStringLiteral("FIN_P_SEC_SETPASSWORD"));
        p.setParam(QStringLiteral("USERKEY"), 1);
        p.setParam(QStringLiteral("PASSW"), QStringLiteral("пароль"));
        p.setParam(QStringLiteral("ITERATIONS"), 5);
        p.execute();
        TxQuery::execute(db, QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (1, 230, 0)"));
    }

    void loginOverServer()
    {
        TUserLogin login;
        login.Params = params();
        QVERIFY2(login.connectStartup(), qPrintable(login.lastError()));
        QCOMPARE(login.tryLogin(QStringLiteral("230"), QStringLiteral("remote"), QStringLiteral("пароль")),
                 int(TUserLogin::Accepted));
        TxDatabase working;
        login.connectWorking(working);
        QCOMPARE(login.UserRights, int(urLoginSubSystem));
        QCOMPARE(TxQuery::scalar(working, QStringLiteral("SELECT CURRENT_USER FROM rdb$database")).toString().trimmed(),
                 QStringLiteral("KORVEX"));
        // The server checks database passwords: a wrong one is refused.
        TxDatabase wrong(QStringLiteral("wrong"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, wrong.open(params(), QStringLiteral("KORVEX"), QStringLiteral("nope")));
    }

    void cleanupTestCase()
    {
        if (m_host.isEmpty())
            return;
        try {
            dropFirebirdDatabase(m_target, m_user, m_password);
        } catch (const EDatabaseError &e) {
            qWarning("%s", qPrintable(e.message()));
        }
    }
};

#include "tst_server.moc"

KORVEX_TEST_CLASS(ServerLoginTest)
