#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testServer.h"

#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xStoredProc.h"

#include "db/xFbCreate.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::db;
using korvex::test::TestDatabase;
using korvex::test::TestServerDatabase;

// The command-line forms are used by scripts: exit codes and output matter.
class CliTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    struct Run {
        int code;
        QString out;
        QString err;
    };
    // A connection of this test to a database the tool made.
    static std::unique_ptr<TxDatabase> connectTo(const QString &path, const QString &name, const QString &user = QStringLiteral("SYSDBA"),
                                            const QString &password = {})
    {
        TxConnectionParams params;
        params.setServerName(path);
        auto db = std::make_unique<TxDatabase>(name);
        db->open(params, user, password);
        return db;
    }

    // The tool as an administrator runs it; with a server account when given.
    Run cli(const QStringList &args, const QByteArray &input = {}, const QString &user = {}, const QString &password = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("ISC_USER"));
        env.remove(QStringLiteral("ISC_PASSWORD"));
        if (!user.isEmpty()) {
            env.insert(QStringLiteral("ISC_USER"), user);
            env.insert(QStringLiteral("ISC_PASSWORD"), password);
        }
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KORVEX_CLI_PATH), args);
        p.write(input);
        p.closeWriteChannel();
        if (!p.waitForFinished(120000))
            return {-1, {}, QStringLiteral("timeout")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void initAndVersion()
    {
        const QString path = m_dir.filePath(QStringLiteral("cli.fdb"));
        Run r = cli({QStringLiteral("db"), QStringLiteral("init"), path});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = cli({QStringLiteral("db"), QStringLiteral("version"), path});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString::number(TxSchema::latestVersion()) + QLatin1Char('\n'));
        r = cli({QStringLiteral("db"), QStringLiteral("upgrade"), path});
        QCOMPARE(r.code, 0);

        // A second init must not touch the existing database.
        r = cli({QStringLiteral("db"), QStringLiteral("init"), path});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("already exists")));
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("version"), path}).code, 0);
    }

    // An init killed part-way leaves nothing under the database's name; the
    // next init removes the leftover and builds a complete database whose key
    // sequences are past the demo rows.
    void interruptedInitLeavesNoDatabase()
    {
        const QString path = m_dir.filePath(QStringLiteral("killed.fdb"));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("ISC_USER"));
        env.remove(QStringLiteral("ISC_PASSWORD"));
        p.setProcessEnvironment(env);
        p.setReadChannel(QProcess::StandardError);
        p.start(QStringLiteral(KORVEX_CLI_PATH), {QStringLiteral("db"), QStringLiteral("init"), QStringLiteral("--demo"), path});
        QByteArray progress;
        while (!progress.contains("20_customers.sql") && p.waitForReadyRead(60000))
            progress += p.readAllStandardError();
        QVERIFY2(progress.contains("20_customers.sql"), progress.constData());
        p.kill();
        p.waitForFinished();
        QVERIFY(!QFileInfo::exists(path));

        const Run r = cli({QStringLiteral("db"), QStringLiteral("init"), QStringLiteral("--demo"), path});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("interrupted")), qPrintable(r.err));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("killed.fdb*")}, QDir::Files),
                 QStringList{QStringLiteral("killed.fdb")});

        auto opened = connectTo(path, QStringLiteral("killed"));
        TxDatabase &db = *opened;
        QCOMPARE(TxSchema::unsynchronisedKeys(db), QStringList());
        const int largest = TxQuery::scalar(db, QStringLiteral("SELECT MAX(customerkey) FROM cst_customer")).toInt();
        QVERIFY(largest > 0);
        QVERIFY(db.newKey(QStringLiteral("cst_p_customer_customerkey"), QStringLiteral("customerkey")) > largest);
    }

    // A server's file cannot be renamed by the client: the database is marked
    // unfinished while it is built and refused until the mark goes; the next
    // init of the same path drops what an interrupted one left.
    void serverInitReplacesUnfinished()
    {
        if (TestServerDatabase::host().isEmpty())
            QSKIP("No Firebird server for this run (KORVEX_TEST_SERVER is not set).");
        const QString user = qEnvironmentVariable("KORVEX_TEST_SERVER_USER", QStringLiteral("SYSDBA"));
        const QString password = qEnvironmentVariable("KORVEX_TEST_SERVER_PASSWORD");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                              | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
        TxConnectionParams::Target target;
        target.host = TestServerDatabase::host();
        target.path = dir.filePath(QStringLiteral("served.fdb"));
        const QString path = firebirdConnectString(target);
        // What an init killed part-way leaves: the mark and some of the schema.
        createFirebirdDatabase(target, user, password);
        {
            auto opened = connectTo(path, QStringLiteral("interrupted"), user, password);
            TxDatabase &db = *opened;
            TxSchema::markUnfinished(db);
            TxSchema::install(db, 1);
        }
        Run r = cli({QStringLiteral("db"), QStringLiteral("version"), path}, {}, user, password);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("не было завершено")), qPrintable(r.err));

        r = cli({QStringLiteral("db"), QStringLiteral("init"), path}, {}, user, password);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("interrupted")), qPrintable(r.err));
        r = cli({QStringLiteral("db"), QStringLiteral("version"), path}, {}, user, password);
        QCOMPARE(r.out, QString::number(TxSchema::latestVersion()) + QLatin1Char('\n'));
        // A finished database is never dropped by an init.
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("init"), path}, {}, user, password).code, 1);
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("version"), path}, {}, user, password).code, 0);
        dropFirebirdDatabase(target, user, password);
    }

    // A database made by an older program is brought to the current schema
    // with its rows, and a copy of the old file is kept.
    void upgradeOlderDatabase()
    {
        const QString path = m_dir.filePath(QStringLiteral("old.fdb"));
        {
            TxConnectionParams::Target target;
            target.path = path;
            createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
            setFirebirdForcedWrites(target, QStringLiteral("SYSDBA"), QString(), false);  // a scratch file: quicker
            auto opened = connectTo(path, QStringLiteral("old"));
            TxDatabase &db = *opened;
            TxSchema::install(db, 1);
            TxQuery::execute(db, QStringLiteral("INSERT INTO fin_user (userkey, name, fullname) VALUES (7, 'старый', 'Из первой версии')"));
            TxQuery::execute(db, QStringLiteral("INSERT INTO fin_userright (userkey, subsystemkey, userright) VALUES (7, 230, 0)"));
        }
        const Run r = cli({QStringLiteral("db"), QStringLiteral("upgrade"), path});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(QFileInfo::exists(path + QStringLiteral(".v1.bak")));
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("version"), path}).out,
                 QString::number(TxSchema::latestVersion()) + QLatin1Char('\n'));

        auto opened = connectTo(path, QStringLiteral("upgraded"));
        TxDatabase &db = *opened;
        QCOMPARE(TxQuery::scalar(db, QStringLiteral("SELECT fullname FROM fin_user WHERE userkey = 7")).toString(),
                 QStringLiteral("Из первой версии"));
        QCOMPARE(TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM fin_userright WHERE userkey = 7")).toInt(), 1);
        TxSchema::checkCompatible(db);
    }

    // What cannot be opened is said plainly: a database another program holds
    // open, a file that is no database of this program.
    void unusableDatabases()
    {
        TestDatabase held;  // open in this process's embedded engine
        Run r = cli({QStringLiteral("db"), QStringLiteral("version"), held.path()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("используется другой программой")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("SERVER NAME=")), qPrintable(r.err));

        const QString text = m_dir.filePath(QStringLiteral("notes.txt"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(40000, 'x'));
        f.close();
        auto empty = TestDatabase::empty(QStringLiteral("foreign"));  // Firebird, but not ours
        empty->db().close();
        for (const QString &path : {text, empty->path()}) {
            r = cli({QStringLiteral("db"), QStringLiteral("version"), path});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("не является базой данных этой программы")), qPrintable(r.err));
        }
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("unknown db command") << QStringList{"db", "drop", "x.fdb"} << 1;
        QTest::newRow("unknown option") << QStringList{"db", "init", "--fast", "x.fdb"} << 1;
        QTest::newRow("missing path") << QStringList{"db", "version"} << 1;
        QTest::newRow("missing database") << QStringList{"db", "version", "/nonexistent/dir/x.fdb"} << 1;
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY(!r.err.trimmed().isEmpty());
    }

    void usersAndPasswords()
    {
        const QString path = m_dir.filePath(QStringLiteral("users.fdb"));
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("init"), path}).code, 0);
        Run r = cli({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("--rights"), QStringLiteral("0,10"),
                     QStringLiteral("кассир"), path});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        // The count is bounded: a weak one is refused before anything is stored.
        r = cli({QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("--iterations"), QStringLiteral("1000"),
                 QStringLiteral("КАССИР"), path},
                "s3cret\n");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("100000")), qPrintable(r.err));
        QVERIFY(cli({QStringLiteral("user"), QStringLiteral("list"), path}).out.contains(QStringLiteral("no password")));
        r = cli({QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("КАССИР"), path}, "s3cret\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = cli({QStringLiteral("user"), QStringLiteral("list"), path});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains(QStringLiteral("кассир\t\trights 0,10\n")), qPrintable(r.out));
        r = cli({QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("nobody"), path}, "x\n");
        QCOMPARE(r.code, 1);
    }

    // The desktop program takes no password on its command line, where every
    // user of the machine could read it: the option is unknown.
    void desktopTakesNoPassword()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KORVEX_PARAMS"), m_dir.filePath(QStringLiteral("none.dat")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KORVEX_DESKTOP_PATH),
                {QStringLiteral("--user"), QStringLiteral("admin"), QStringLiteral("--password"), QStringLiteral("admin")});
        const bool finished = p.waitForFinished(30000);
        if (!finished)
            p.kill();
        QVERIFY2(finished, "the program took the password and went on");
        QVERIFY(p.exitCode() != 0);
        QVERIFY2(p.readAllStandardError().contains("password"), "no word of the refused option");
    }

    // The working accounts are never the server's administrator or the
    // start-up account, and one account never serves both roles.
    void dbAccountsRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("SYSDBA") << QStringList{"user", "dbaccount", "sysdba"};
        QTest::newRow("start-up account") << QStringList{"user", "dbaccount", "--admin", "OPENERUSR"};
        QTest::newRow("everyone's as administrators'") << QStringList{"user", "dbaccount", "--admin", "KORVEX"};
        QTest::newRow("password on the command line") << QStringList{"user", "dbaccount", "--password", "pw", "KORVEX"};
    }
    void dbAccountsRefused()
    {
        QFETCH(QStringList, args);
        const QString path = m_dir.filePath(QStringLiteral("accounts.fdb"));
        if (!QFileInfo::exists(path))
            QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("init"), path}).code, 0);
        const Run r = cli(args << path, "pw\n");
        QCOMPARE(r.code, 1);
        auto opened = connectTo(path, QStringLiteral("accounts"));
        TxDatabase &db = *opened;
        QCOMPARE(TxQuery::scalar(db, QStringLiteral("SELECT LIST(TRIM(ibname) || ':' || COALESCE(accountkind, -1) || ':' || "
                                                    "COALESCE(ibpassw, '-'), ' ') FROM (SELECT * FROM fin_dbaccount ORDER BY ibname)"))
                     .toString(),
                 QStringLiteral("KORVEX:0:- KORVEXADM:10:-"));
    }

    // Recording another account for a role retires the one before: it is no
    // longer handed out and keeps no rights.
    void dbAccountReplaced()
    {
        const QString path = m_dir.filePath(QStringLiteral("replaced.fdb"));
        QCOMPARE(cli({QStringLiteral("db"), QStringLiteral("init"), path}).code, 0);
        Run r = cli({QStringLiteral("user"), QStringLiteral("dbaccount"), QStringLiteral("--admin"), QStringLiteral("kadm2"), path},
                    "secret-2\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        auto opened = connectTo(path, QStringLiteral("replaced"));
        TxDatabase &db = *opened;
        QCOMPARE(TxQuery::scalar(db, QStringLiteral("SELECT ibpassw FROM fin_dbaccount WHERE accountkind = 10")).toString(),
                 QStringLiteral("secret-2"));
        auto privileges = [&](const QString &account) {
            return TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM RDB$USER_PRIVILEGES WHERE RDB$USER = ?"), {account}).toInt();
        };
        QCOMPARE(privileges(QStringLiteral("KORVEXADM")), 0);
        QVERIFY(privileges(QStringLiteral("KADM2")) > 0);
        QCOMPARE(TxQuery::scalar(db, QStringLiteral("SELECT COUNT(*) FROM RDB$USER_PRIVILEGES WHERE RDB$USER = 'KADM2' "
                                                    "AND RDB$RELATION_NAME = 'FIN_P_SEC_SETRIGHT'")).toInt(),
                 1);
    }
};

#include "tst_cli.moc"

KORVEX_TEST_CLASS(CliTest)
