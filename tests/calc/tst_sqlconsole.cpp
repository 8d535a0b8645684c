#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testServer.h"
#include "../shell/securityProbes.h"

#include "calc/boRentSQL.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "shell/UserAdmin.h"
#include "shell/UserLogin.h"

#include <QTest>

using namespace korvex::db;
using korvex::calc::TSqlResult;
using korvex::calc::TboRentSQL;
using korvex::test::TestDatabase;
using korvex::test::TestServerDatabase;
using korvex::shell::TUserAdmin;
using korvex::shell::TUserLogin;

// The console shares the program's one connection: it works only in a
// transaction it started itself and leaves none behind.
class SqlConsoleTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;

    int variables(TxDatabase &db, const QString &name)
    {
        return TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM rent_variable WHERE name = ?"), {name}).toInt();
    }

private Q_SLOTS:
    void init() { m_t = std::make_unique<TestDatabase>(); }
    void cleanup() { m_t.reset(); }

    // Another window's pending work is neither joined, committed nor
    // rolled back: the console refuses to run.
    void refusedInsideAnotherTransaction()
    {
        TboRentSQL console(m_t->db());
        TxTransaction pending(m_t->db());
        TxQuery::execute(m_t->db(), QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (1, 'ДИАЛОГ')"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (2, 'КОНСОЛЬ')")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.open(QStringLiteral("SELECT * FROM rent_variable")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.openTable(QStringLiteral("rent_variable")));
        QVERIFY(m_t->db().inTransaction());
        pending.rollback();
        QCOMPARE(variables(m_t->db(), QStringLiteral("ДИАЛОГ")), 0);
        QCOMPARE(variables(m_t->db(), QStringLiteral("КОНСОЛЬ")), 0);
    }

    // "Execute" commits what succeeded and rolls back what failed.
    void executeCommitsOrRollsBack()
    {
        TboRentSQL console(m_t->db());
        QCOMPARE(console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (1, 'ИКС')")), 1);
        QVERIFY(!m_t->db().inTransaction());
        std::unique_ptr<TxDatabase> other = m_t->connect(QStringLiteral("other"));
        QCOMPARE(variables(*other, QStringLiteral("ИКС")), 1);

        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 console.execute(QStringLiteral("EXECUTE BLOCK AS DECLARE x INTEGER; BEGIN "
                                                                "INSERT INTO rent_variable (id, name) VALUES (2, 'ИГРЕК'); "
                                                                "x = 1 / 0; END")));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(variables(*other, QStringLiteral("ИГРЕК")), 0);
        QCOMPARE(variables(m_t->db(), QStringLiteral("ИГРЕК")), 0);
        // The connection is fit for the next statement.
        QCOMPARE(console.execute(QStringLiteral("UPDATE rent_variable SET description = 'x'")), 1);
    }

    // "Open" and the table tab read every row and close their transaction.
    void openReadsAndCloses()
    {
        TboRentSQL console(m_t->db());
        console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (1, 'АЛЬФА')"));
        console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (2, 'БЕТА')"));
        const TSqlResult rows = console.open(QStringLiteral("SELECT id, name FROM rent_variable ORDER BY id"));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(rows.columns, (QStringList{QStringLiteral("ID"), QStringLiteral("NAME")}));
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows.at(1).at(1).toString().trimmed(), QStringLiteral("БЕТА"));

        const TSqlResult table = console.openTable(QStringLiteral(" rent_variable "));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(table.rows.size(), 2);
        QVERIFY(table.columns.contains(QStringLiteral("LOCKCUSTOMER")));
        // A typed name is looked up, never pasted into the statement.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.openTable(QStringLiteral("rent_variable; DELETE FROM rent_variable")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, console.open(QStringLiteral("SELECT * FROM no_such_table")));
        QVERIFY(!m_t->db().inTransaction());
        QCOMPARE(console.open(QStringLiteral("SELECT COUNT(*) FROM rent_variable")).rows.at(0).at(0).toInt(), 2);
    }
};

// The console runs any text on the working connection, so rights are the
// server's to keep: on a real server, logged in as users of the demo
// database, the console's statements cannot make anyone an administrator or
// reach passwords or the schema.
class SqlConsoleServerTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestServerDatabase> m_s;

    void login(const QString &user, TxDatabase &working)
    {
        TUserLogin login;
        login.Params = m_s->params();
        QVERIFY2(login.connectStartup(), qPrintable(login.lastError()));
        QCOMPARE(login.tryLogin(QStringLiteral("230"), user, user), int(TUserLogin::Accepted));
        login.connectWorking(working);
    }

    // Runs each statement the way the console would; returns those it ran.
    QStringList succeeded(TboRentSQL &console, const QStringList &statements)
    {
        QStringList ran;
        for (const QString &sql : statements) {
            try {
                if (sql.startsWith(QLatin1String("SELECT")))
                    console.open(sql);
                else
                    console.execute(sql);
                ran << sql;
            } catch (const EDatabaseError &) {
            }
        }
        return ran;
    }

    QString rightsOf(int userKey)
    {
        return TxQuery::scalar(m_s->admin(), QStringLiteral("SELECT LIST(userright, ',') FROM "
                                                            "(SELECT userright FROM fin_userright WHERE userkey = ? ORDER BY 1)"),
                               {userKey})
            .toString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (TestServerDatabase::host().isEmpty())
            QSKIP("No Firebird server for this run (KORVEX_TEST_SERVER is not set).");
        m_s = std::make_unique<TestServerDatabase>();
    }
    void cleanupTestCase() { m_s.reset(); }

    void userWithoutTheRightCannotBecomeAdministrator()
    {
        const QString keysBefore = TxQuery::scalar(m_s->admin(), QStringLiteral("SELECT LIST(fin_f_sec_tohex(keyhash)) FROM fin_userpassw")).toString();
        {
            TxDatabase working;
            login(QStringLiteral("buh"), working);
            QCOMPARE(working.userName(), m_s->everyoneAccount());
            TboRentSQL console(working);
            QCOMPARE(succeeded(console, forbiddenForWorkingAccounts() + administratorsOnly()), QStringList());
            // The account still does the day's work.
            QCOMPARE(console.execute(QStringLiteral("INSERT INTO rent_variable (id, name) VALUES (NEXT VALUE FOR gen_rent_variable, 'КОНСОЛЬ')")), 1);
            QVERIFY(!console.open(QStringLiteral("SELECT name FROM fin_user")).rows.isEmpty());
        }
        QCOMPARE(rightsOf(2), QStringLiteral("0"));
        QCOMPARE(rightsOf(1), QStringLiteral("0,10,20,30,40"));
        QCOMPARE(TxQuery::scalar(m_s->admin(), QStringLiteral("SELECT LIST(fin_f_sec_tohex(keyhash)) FROM fin_userpassw")).toString(),
                 keysBefore);
    }

    void administratorAdministersThroughProceduresOnly()
    {
        TxDatabase working;
        login(QStringLiteral("admin"), working);
        QCOMPARE(working.userName(), m_s->adminAccount());
        TboRentSQL console(working);
        QCOMPARE(succeeded(console, forbiddenForWorkingAccounts()), QStringList());
        TUserAdmin admin(working);
        const int key = admin.addUser(QStringLiteral("кассир"), QStringLiteral("Кассир"), {0});
        admin.setPassword(QStringLiteral("кассир"), QStringLiteral("касса"));
        admin.setRight(QStringLiteral("buh"), 40, true);
        QCOMPARE(rightsOf(key), QStringLiteral("0"));
        QCOMPARE(rightsOf(2), QStringLiteral("0,40"));
    }
};

#include "tst_sqlconsole.moc"

KORVEX_TEST_CLASS(SqlConsoleTest)
KORVEX_TEST_CLASS(SqlConsoleServerTest)
