#include "common/testMain.h"
#include "common/testServer.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "shell/UserLogin.h"

#include <QTest>

using namespace korvex::db;
using namespace korvex::shell;
using korvex::test::TestServerDatabase;

// The demo database served by a Firebird server and reached by host:/path,
// used through the two-stage login with real password checks: the server
// hands each user the working account of the user's rights.
class ServerLoginTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestServerDatabase> m_s;

    QString loginAs(const QString &user, const QString &password, TxDatabase &working)
    {
        TUserLogin login;
        login.Params = m_s->params();
        if (!login.connectStartup())
            return login.lastError();
        const int result = login.tryLogin(QStringLiteral("230"), user, password);
        if (result != TUserLogin::Accepted)
            return QString::number(result);
        login.connectWorking(working);
        return TxQuery::scalar(working, QStringLiteral("SELECT CURRENT_USER FROM rdb$database")).toString().trimmed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (TestServerDatabase::host().isEmpty())
            QSKIP("No Firebird server for this run (KORVEX_TEST_SERVER is not set).");
        m_s = std::make_unique<TestServerDatabase>();
    }
    void cleanupTestCase() { m_s.reset(); }

    void accountByRights()
    {
        {
            TxDatabase working;
            QCOMPARE(loginAs(QStringLiteral("buh"), QStringLiteral("buh"), working), m_s->everyoneAccount());
        }
        {
            TxDatabase working;
            QCOMPARE(loginAs(QStringLiteral("admin"), QStringLiteral("admin"), working), m_s->adminAccount());
        }
        TxDatabase refused;
        QCOMPARE(loginAs(QStringLiteral("buh"), QStringLiteral("admin"), refused), QString::number(TUserLogin::WrongPassword));
        QCOMPARE(loginAs(QStringLiteral("nobody"), QStringLiteral("buh"), refused), QString::number(TUserLogin::UnknownUser));
        // The server checks database passwords: a wrong one is refused.
        TxDatabase wrong(QStringLiteral("wrong"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, wrong.open(m_s->params(), m_s->adminAccount(), QStringLiteral("nope")));
    }
};

#include "tst_server.moc"

KORVEX_TEST_CLASS(ServerLoginTest)
