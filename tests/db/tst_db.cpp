#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xSqlScript.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::db;
using korvex::test::TestDatabase;

// ---------------------------------------------------------------------------
class ConnectionParamsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parseServerName_data()
    {
        QTest::addColumn<QString>("serverName");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("path");
        QTest::newRow("local absolute") << "/var/db/rent.fdb" << "" << 0 << "/var/db/rent.fdb";
        QTest::newRow("local relative") << "rent.fdb" << "" << 0 << "rent.fdb";
        QTest::newRow("windows drive") << "C:\\db\\rent.fdb" << "" << 0 << "C:\\db\\rent.fdb";
        QTest::newRow("server") << "localhost:/var/db/rent.fdb" << "localhost" << 0 << "/var/db/rent.fdb";
        QTest::newRow("server with port") << "db.example/3051:/x.fdb" << "db.example" << 3051 << "/x.fdb";
        QTest::newRow("server windows path") << "srv:C:\\db\\rent.fdb" << "srv" << 0 << "C:\\db\\rent.fdb";
    }
    void parseServerName()
    {
        QFETCH(QString, serverName);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, path);
        const auto t = TxConnectionParams::parseServerName(serverName);
        QCOMPARE(t.host, host);
        QCOMPARE(t.port, port);
        QCOMPARE(t.path, path);
    }

    void fileReplacesEveryDefaultLine()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("domira.dat"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("SERVER NAME=otherhost:/data/rent.fdb\nLANGDRIVER=ancyrr\n");
        f.close();

        TxConnectionParams p;
        QVERIFY(p.serverName() != QLatin1String("otherhost:/data/rent.fdb"));
        QVERIFY(p.loadFromFile(file));
        QCOMPARE(p.lines(), (QStringList{"SERVER NAME=otherhost:/data/rent.fdb", "LANGDRIVER=ancyrr"}));
        QCOMPARE(p.value(QStringLiteral("server name")), QStringLiteral("otherhost:/data/rent.fdb"));
        QCOMPARE(p.value(QStringLiteral("OPEN MODE")), QString());
    }

    void missingFileKeepsDefaults()
    {
        TxConnectionParams p;
        QVERIFY(!p.loadFromFile(QStringLiteral("/nonexistent/domira.dat")));
        QCOMPARE(p.lines(), TxConnectionParams::defaultLines());
    }

    void directoryMacros()
    {
        QCOMPARE(TxConnectionParams::expandFileName(QStringLiteral("%T\\domira.dat")),
                 QDir::tempPath() + QStringLiteral("/domira.dat"));
        QCOMPARE(TxConnectionParams::expandFileName(QStringLiteral("%d/domira.dat")),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/domira.dat"));
        QCOMPARE(TxConnectionParams::expandFileName(QStringLiteral("domira.dat")), QStringLiteral("domira.dat"));
        QCOMPARE(TxConnectionParams::expandFileName(QStringLiteral("%Q/x")), QStringLiteral("%Q/x"));
    }
};

// ---------------------------------------------------------------------------
class SqlScriptTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void split()
    {
        const QString script = QStringLiteral(
            "/* header ; comment */\n"
            "SET SQL DIALECT 3;\n"
            "CREATE TABLE a (x VARCHAR(10) DEFAULT ';');  -- trailing ; comment\n"
            "SET TERM ^ ;\n"
            "CREATE PROCEDURE p AS\n"
            "BEGIN\n"
            "  x = 'it''s; fine';\n"
            "END^\n"
            "SET TERM ; ^\n"
            "COMMIT;\n"
            "INSERT INTO \"a;b\" VALUES (1);\n");
        const auto list = TxSqlScript::split(script);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].text, QStringLiteral("CREATE TABLE a (x VARCHAR(10) DEFAULT ';')"));
        QCOMPARE(list[0].line, 3);
        QVERIFY(list[1].text.startsWith(QStringLiteral("CREATE PROCEDURE p AS")));
        QVERIFY(list[1].text.contains(QStringLiteral("'it''s; fine';")));
        QVERIFY(list[1].text.endsWith(QStringLiteral("END")));
        QCOMPARE(list[1].line, 5);
        QCOMPARE(list[2].text, QStringLiteral("INSERT INTO \"a;b\" VALUES (1)"));
    }
};

// ---------------------------------------------------------------------------
class DatabaseTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_t;
    TxDatabase &db() { return m_t->db(); }

private Q_SLOTS:
    void initTestCase()
    {
        m_t = TestDatabase::empty();
        TxSqlScript::run(db(), QStringLiteral(
            "CREATE TABLE t_parent (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(60));\n"
            "CREATE TABLE t_child (id INTEGER NOT NULL PRIMARY KEY, parentkey INTEGER REFERENCES t_parent(id));\n"
            "CREATE SEQUENCE t_calls;\n"
            "CREATE EXCEPTION t_flaky_failed 'flaky';\n"
            "SET TERM ^ ;\n"
            "CREATE PROCEDURE t_flaky (failures INTEGER) RETURNS (n INTEGER) AS\n"
            "BEGIN\n"
            "  n = GEN_ID(t_calls, 1);\n"
            "  IF (n <= failures) THEN EXCEPTION t_flaky_failed 'failure ' || n;\n"
            "END^\n"
            "SET TERM ; ^\n"), QStringLiteral("fixture"));
    }
    void cleanupTestCase() { m_t.reset(); }

    void textRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << QStringLiteral("O'Brien \"Ltd\"; DROP TABLE t_parent; --");
        QTest::newRow("cyrillic") << QStringLiteral("ООО «Ёлка-Плюс» ул. Щорса, 5");
        QTest::newRow("empty") << QString(QLatin1String(""));
    }
    void textRoundTrips()
    {
        QFETCH(QString, text);
        static int id = 0;
        ++id;
        TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (?, ?)"), {id, text});
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT name FROM t_parent WHERE id = ?"), {id}).toString(),
                 text);
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT id FROM t_parent WHERE name = :n"), {text}).toInt(), id);
    }

    // An executable procedure is executed once more after a failure; a
    // second failure reaches the caller with the server's text.
    void retryOnce_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<bool>("inTransaction");
        for (const bool inTransaction : {false, true}) {
            const char *where = inTransaction ? ", kept prepared in a transaction" : "";
            QTest::addRow("no failure%s", where) << 0 << true << 1 << inTransaction;
            QTest::addRow("fails once%s", where) << 1 << true << 2 << inTransaction;
            QTest::addRow("fails twice%s", where) << 2 << false << 2 << inTransaction;
        }
    }
    void retryOnce()
    {
        QFETCH(int, failures);
        QFETCH(bool, succeeds);
        QFETCH(int, attempts);
        QFETCH(bool, inTransaction);
        TxQuery::execute(db(), QStringLiteral("ALTER SEQUENCE t_calls RESTART WITH 0"));
        TxTransaction guard(db());
        if (!inTransaction)
            guard.rollback();
        if (inTransaction) {
            // Kept from an earlier call: the retry still prepares anew.
            TxStoredProc earlier(db(), QStringLiteral("t_flaky"));
            earlier.setParam(QStringLiteral("FAILURES"), -1);
            earlier.execute();
            TxQuery::execute(db(), QStringLiteral("ALTER SEQUENCE t_calls RESTART WITH 0"));
        }
        TxStoredProc proc(db(), QStringLiteral("t_flaky"));
        proc.setParam(QStringLiteral("FAILURES"), failures);
        try {
            proc.execute();
            QVERIFY(succeeds);
            QCOMPARE(proc.output(QStringLiteral("n")).toInt(), failures + 1);
        } catch (const EDatabaseError &e) {
            QVERIFY2(!succeeds, qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("failure 2")), qPrintable(e.message()));
        }
        QCOMPARE(proc.attempts(), attempts);
    }

    // Inside a transaction a statement is prepared once and kept on the
    // connection; it goes when the transaction ends. Outside one nothing is
    // kept, and every statement sees what others committed.
    void keepsStatementsForTheTransaction()
    {
        auto other = m_t->connect(QStringLiteral("other"));
        const QString count = QStringLiteral("SELECT COUNT(*) FROM t_parent WHERE id >= ?");
        auto countNow = [&] {
            TxQuery own(db());
            TxQuery &q = TxStatementCache::exec(db(), own, count, {1000});
            q.next();
            return std::make_pair(q.value(0).toInt(), &q == &own);
        };
        QCOMPARE(countNow(), std::make_pair(0, true));
        TxQuery::execute(*other, QStringLiteral("INSERT INTO t_parent (id, name) VALUES (1000, 'a')"));
        QCOMPARE(countNow(), std::make_pair(1, true));
        QCOMPARE(db().statements().size(), 0);

        {
            TxTransaction t(db());
            TxQuery own(db());
            TxQuery *first = &TxStatementCache::exec(db(), own, count, {1000});
            QVERIFY(first != &own);
            QVERIFY(first->next());
            QCOMPARE(first->value(0).toInt(), 1);
            TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (1001, 'b')"));
            TxQuery &again = TxStatementCache::exec(db(), own, count, {1000});
            QCOMPARE(&again, first);
            QVERIFY(again.next());
            QCOMPARE(again.value(0).toInt(), 2);  // its own write, in its own transaction
            QCOMPARE(db().statements().size(), 1);
            t.commit();
        }
        QCOMPARE(db().statements().size(), 0);

        // The next transaction prepares afresh and sees what was committed meanwhile.
        TxQuery::execute(*other, QStringLiteral("INSERT INTO t_parent (id, name) VALUES (1002, 'c')"));
        {
            TxTransaction t(db());
            QCOMPARE(countNow(), std::make_pair(3, false));
            TxStoredProc proc(db(), QStringLiteral("t_flaky"));
            proc.setParam(QStringLiteral("FAILURES"), -1);
            proc.execute();
            QCOMPARE(proc.attempts(), 1);
            QCOMPARE(db().statements().size(), 2);
        }
        QCOMPARE(db().statements().size(), 0);
        TxQuery::execute(db(), QStringLiteral("DELETE FROM t_parent WHERE id >= 1000"));
    }

    // Statements kept when the connection closes belong to the old
    // connection: after opening again they are prepared anew and work.
    void statementCacheSurvivesReconnect()
    {
        const QString sql = QStringLiteral("SELECT COUNT(*) FROM t_parent WHERE id >= ?");
        db().startTransaction();
        TxQuery own(db());
        TxStatementCache::exec(db(), own, sql, {0}).next();
        TxStoredProc before(db(), QStringLiteral("t_flaky"));
        before.setParam(QStringLiteral("FAILURES"), -1);
        before.execute();
        QCOMPARE(db().statements().size(), 2);

        const TxConnectionParams params = db().params();
        db().close();  // in the middle of the transaction
        QCOMPARE(db().statements().size(), 0);
        db().open(params, QStringLiteral("SYSDBA"), QString());
        TxTransaction t(db());
        TxQuery own2(db());
        TxQuery &q = TxStatementCache::exec(db(), own2, sql, {0});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM t_parent")).toInt());
        TxStoredProc after(db(), QStringLiteral("t_flaky"));
        after.setParam(QStringLiteral("FAILURES"), -1);
        after.execute();
        QCOMPARE(after.attempts(), 1);
    }

    void unknownParameterIsRefused()
    {
        TxStoredProc proc(db(), QStringLiteral("t_flaky"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, proc.setParam(QStringLiteral("nope"), 1));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxStoredProc(db(), QStringLiteral("no_such_proc")));
    }

    // Connections are named globally: an object that closed its connection
    // and is destroyed after a newer one of the same name opened must leave
    // the newer one alone.
    void olderObjectLeavesNewerConnection()
    {
        TxConnectionParams params;
        params.setServerName(m_t->path());
        auto first = std::make_unique<TxDatabase>(QStringLiteral("same-name"));
        first->open(params, QStringLiteral("SYSDBA"), QString());
        first->close();
        auto second = std::make_unique<TxDatabase>(QStringLiteral("same-name"));
        second->open(params, QStringLiteral("SYSDBA"), QString());
        first = std::move(second);  // the older object dies here
        QVERIFY(first->isOpen());
        QCOMPARE(TxQuery::scalar(*first, QStringLiteral("SELECT 1 FROM rdb$database")).toInt(), 1);
    }

    void referencedDeleteIsRecognised()
    {
        TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (100, 'p')"));
        TxQuery::execute(db(), QStringLiteral("INSERT INTO t_child (id, parentkey) VALUES (1, 100)"));
        try {
            TxQuery::execute(db(), QStringLiteral("DELETE FROM t_parent WHERE id = 100"));
            QFAIL("the delete of a referenced row went through");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.isInUse(), qPrintable(QStringLiteral("%1 (%2)").arg(e.message()).arg(e.sqlCode())));
        }
        try {
            TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (100, 'again')"));
            QFAIL("duplicate key accepted");
        } catch (const EDatabaseError &e) {
            QVERIFY(!e.isInUse());
            QVERIFY(e.isDuplicate());
        }
        TxQuery::execute(db(), QStringLiteral("DELETE FROM t_child WHERE id = 1"));
        TxQuery::execute(db(), QStringLiteral("DELETE FROM t_parent WHERE id = 100"));
    }

    void guardRollsBackUnlessCommitted()
    {
        {
            TxTransaction tr(db());
            QVERIFY(tr.owns());
            TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (200, 'gone')"));
        }
        QVERIFY(!db().inTransaction());
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM t_parent WHERE id = 200")).toInt(), 0);
        {
            TxTransaction tr(db());
            TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (201, 'kept')"));
            tr.commit();
        }
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM t_parent WHERE id = 201")).toInt(), 1);
    }

    // A guard that finds the caller's transaction joins it: its commit leaves
    // the decision to the caller, whose rollback undoes the inner work too.
    void guardJoinsCallersTransaction()
    {
        TxTransaction outer(db());
        {
            TxTransaction inner(db());
            QVERIFY(!inner.owns());
            TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (300, 'inner')"));
            inner.commit();
        }
        QVERIFY(db().inTransaction());
        outer.rollback();
        QCOMPARE(TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM t_parent WHERE id = 300")).toInt(), 0);
    }

    // Write scopes nested two deep inside the caller's transaction: an inner
    // failure undoes only its own rows while the scopes around it go on and
    // commit; a failure of the outermost scope undoes everything below it.
    void writeScopesNestTwoDeep()
    {
        auto count = [&](int from, int to) {
            return TxQuery::scalar(db(), QStringLiteral("SELECT COUNT(*) FROM t_parent WHERE id BETWEEN ? AND ?"),
                                   {from, to})
                .toInt();
        };
        auto insert = [&](int id) {
            TxQuery::execute(db(), QStringLiteral("INSERT INTO t_parent (id, name) VALUES (?, 'n')"), {id});
        };
        {
            TxWriteScope outer(db());
            QVERIFY(outer.ownsTransaction());
            insert(400);
            {
                TxWriteScope middle(db());
                QVERIFY(!middle.ownsTransaction());
                insert(401);
                try {
                    runInTransaction(db(), [&] {
                        insert(402);
                        insert(400);  // duplicate key: the innermost write fails
                    });
                    QFAIL("the duplicate key was accepted");
                } catch (const EDatabaseError &e) {
                    QVERIFY(e.isDuplicate());
                }
                QCOMPARE(count(402, 402), 0);
                insert(403);
                middle.commit();
            }
            outer.commit();
        }
        QVERIFY(!db().inTransaction());
        QCOMPARE(count(400, 403), 3);

        // The outermost scope fails after its inner scopes committed.
        try {
            runInTransaction(db(), [&] {
                insert(410);
                runInTransaction(db(), [&] {
                    insert(411);
                    runInTransaction(db(), [&] { insert(412); });
                });
                insert(400);
            });
            QFAIL("the duplicate key was accepted");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.isDuplicate());
        }
        QVERIFY(!db().inTransaction());
        QCOMPARE(count(410, 412), 0);

        // Inside a caller's transaction a failed outer scope gives back
        // exactly the caller's state, its savepoints named apart from the
        // inner ones.
        TxTransaction caller(db());
        insert(420);
        try {
            runInTransaction(db(), [&] {
                insert(421);
                runInTransaction(db(), [&] {
                    insert(422);
                    runInTransaction(db(), [&] { insert(423); });
                });
                throw EDatabaseError(QStringLiteral("refused"));
            });
        } catch (const EDatabaseError &) {
        }
        QCOMPARE(count(420, 423), 1);
        caller.commit();
        QCOMPARE(count(420, 423), 1);
    }
};

// ---------------------------------------------------------------------------
class SchemaTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newDatabaseHasLatestVersion()
    {
        TestDatabase t;
        QCOMPARE(TxSchema::version(t.db()), TxSchema::latestVersion());
        TxStoredProc proc(t.db(), QStringLiteral("fin_p_ver_getdbversion"));
        proc.execute();
        QCOMPARE(proc.output(QStringLiteral("VersionString")).toString(), QString::number(TxSchema::latestVersion()));
        TxSchema::checkCompatible(t.db());
    }

    // A database made by an older program gets the missing migrations and
    // ends with the same tables and procedures as a new one.
    void upgradeFromOlderVersion()
    {
        auto old = TestDatabase::empty();
        TxSchema::install(old->db(), 1);
        QCOMPARE(TxSchema::version(old->db()), 1);
        if (TxSchema::latestVersion() > 1)
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxSchema::checkCompatible(old->db()));
        const int applied = TxSchema::upgrade(old->db());
        QCOMPARE(applied, int(TxSchema::migrations().size()) - 1);
        QCOMPARE(TxSchema::version(old->db()), TxSchema::latestVersion());
        TxSchema::checkCompatible(old->db());

        TestDatabase fresh;
        const QString objects = QStringLiteral(
            "SELECT TRIM(n) FROM (SELECT RDB$RELATION_NAME n FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
            "UNION ALL SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0) ORDER BY 1");
        auto names = [&](TxDatabase &db) {
            QStringList list;
            TxQuery q(db, objects);
            q.exec();
            while (q.next())
                list << q.value(0).toString();
            return list;
        };
        QCOMPARE(names(old->db()), names(fresh.db()));
        // Upgrading a current database changes nothing.
        QCOMPARE(TxSchema::upgrade(old->db()), 0);
    }

    void newerDatabaseIsRefused()
    {
        TestDatabase t;
        TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_dbversion (versionnum, description) VALUES (?, 'future')"),
                         {TxSchema::latestVersion() + 1});
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxSchema::checkCompatible(t.db()));
        try {
            TxSchema::upgrade(t.db());
            QFAIL("a newer database was upgraded");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("newer")), qPrintable(e.message()));
        }
        QCOMPARE(TxSchema::version(t.db()), TxSchema::latestVersion() + 1);
    }

    void foreignDatabaseIsRefused()
    {
        auto t = TestDatabase::empty();
        try {
            TxSchema::version(t->db());
            QFAIL("a database without the schema has a version");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.kind(), EDatabaseError::Kind::ForeignDatabase);
            QCOMPARE(e.userMessage(), QStringLiteral("Файл «%1» не является базой данных этой программы.").arg(t->path()));
        }
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TxSchema::upgrade(t->db()));
        // Built in place and not finished: refused until "db init" completes it.
        TxSchema::markUnfinished(t->db());
        try {
            TxSchema::version(t->db());
            QFAIL("an unfinished database has a version");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.kind(), EDatabaseError::Kind::UnfinishedDatabase);
        }
    }
};

#include "tst_db.moc"

KORVEX_TEST_CLASS(ConnectionParamsTest)
KORVEX_TEST_CLASS(SqlScriptTest)
KORVEX_TEST_CLASS(DatabaseTest)
KORVEX_TEST_CLASS(SchemaTest)
