#include "common/testDatabase.h"
#include "common/testMain.h"

#include "db/xQuery.h"
#include "db/xSchema.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::db;
using korvex::test::TestDatabase;

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
    Run cli(const QStringList &args, const QByteArray &input = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("ISC_USER"));
        env.remove(QStringLiteral("ISC_PASSWORD"));
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
        r = cli({QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("--iterations"), QStringLiteral("2"),
                 QStringLiteral("КАССИР"), path},
                "s3cret\n");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        r = cli({QStringLiteral("user"), QStringLiteral("list"), path});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains(QStringLiteral("кассир\t\trights 0,10\n")), qPrintable(r.out));
        r = cli({QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("nobody"), path}, "x\n");
        QCOMPARE(r.code, 1);
    }
};

#include "tst_cli.moc"

KORVEX_TEST_CLASS(CliTest)
