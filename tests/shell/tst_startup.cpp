#include "common/testDatabase.h"
#include "common/testMain.h"
#include "common/testPrompt.h"

#include "app/desktop/AppStart.h"
#include "db/xConnectionParams.h"
#include "db/xDbError.h"
#include "shell/UserLogin.h"
#include "widgets/ui/xMessages.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvex::db;
using namespace korvex::shell;
using korvex::test::TestDatabase;
using korvex::test::TxPromptRecorder;

// Each way the program can fail to start on its database says what happened
// and where, on the screen and on stderr, instead of one text for all.
class StartupMessageTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &text)
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            return {};
        return f.fileName();
    }

    // A parameters file of its own for each database.
    QString paramsFor(const QString &database)
    {
        return file(QFileInfo(database).fileName() + QStringLiteral(".dat"), "SERVER NAME=" + database.toUtf8() + "\n");
    }

    // The message the start-up connection gives for the parameters file.
    static QString startupText(const QString &paramsFile)
    {
        TUserLogin login;
        login.ParamsFile = paramsFile;
        try {
            login.loadParams();
        } catch (const EDatabaseError &e) {
            return startupFailureText(e);
        }
        if (login.connectStartup())
            return QStringLiteral("(connected)");
        return login.startupError() ? startupFailureText(*login.startupError()) : TUserLogin::startupFailedMessage();
    }

private Q_SLOTS:
    void eachCauseHasItsMessage_data()
    {
        QTest::addColumn<QString>("params");
        QTest::addColumn<QString>("saysWhat");
        QTest::addColumn<QString>("saysWhere");
        const QString missing = m_dir.filePath(QStringLiteral("missing.fdb"));
        QTest::newRow("database file not there") << paramsFor(missing) << "не найден" << missing;
        const QString letter = file(QStringLiteral("letter.txt"), QByteArray("Dear colleagues,\n").repeated(400));
        QTest::newRow("not a database") << paramsFor(letter) << "не является базой данных" << letter;
        const QString garbage = file(QStringLiteral("garbage.dat"), "SERVER NAME=/data/rent.fdb\n\nqwerty uiop\n");
        QTest::newRow("a line that is no parameter") << garbage << "строка 3 «qwerty uiop»" << garbage;
        const QString noServer = file(QStringLiteral("noserver.dat"), "OPEN MODE=READ/WRITE\n");
        QTest::newRow("no database named") << noServer << "нет строки SERVER NAME" << noServer;
    }
    void eachCauseHasItsMessage()
    {
        QFETCH(QString, params);
        QFETCH(QString, saysWhat);
        QFETCH(QString, saysWhere);
        const QString text = startupText(params);
        QVERIFY2(text.contains(saysWhat), qPrintable(text));
        QVERIFY2(text.contains(saysWhere), qPrintable(text));
        QVERIFY(text != TUserLogin::startupFailedMessage());
    }

    // Kinds told from the engine's words; a refused start-up account keeps
    // the program's own text.
    void kindsFromTheEnginesWords_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("in use") << "database /d/r.fdb already opened with engine instance, incompatible with current"
                                << int(EDatabaseError::Kind::DatabaseInUse) << "используется другой программой";
        QTest::newRow("no file") << "I/O error during \"open\" operation for file \"/d/r.fdb\" - Error while trying to open "
                                    "file - No such file or directory"
                                 << int(EDatabaseError::Kind::FileNotFound) << "не найден";
        QTest::newRow("account refused") << "Your user name and password are not defined. Ask your database administrator to "
                                            "set up a Firebird login."
                                         << int(EDatabaseError::Kind::AccountRefused)
                                         << "DataBase user for this program is not create";
        QTest::newRow("anything else: the engine's words and the path")
            << "Unable to complete network request to host \"srv\"." << int(EDatabaseError::Kind::Other) << "srv:/d/r.fdb";
    }
    void kindsFromTheEnginesWords()
    {
        QFETCH(QString, engine);
        QFETCH(int, kind);
        QFETCH(QString, shown);
        EDatabaseError e(engine);
        e.setDatabase(QStringLiteral("srv:/d/r.fdb"));
        QCOMPARE(int(e.kind()), kind);
        const QString text = startupFailureText(e);
        QVERIFY2(text.contains(shown), qPrintable(text));
    }

    // The desktop program itself: a second program on a database the first
    // holds open says so, with the path, in its message box and on stderr.
    void secondProgramOnAHeldDatabase()
    {
        TestDatabase held;  // this process's embedded engine holds the file
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KORVEX_DESKTOP_PATH), {QStringLiteral("--params"), paramsFor(held.path())});
        QVERIFY(p.waitForStarted());
        // The message box waits for the user; stderr has the text already.
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += p.readAllStandardError()).contains(held.path().toUtf8()), 60000);
        p.kill();
        p.waitForFinished();
        const QString text = QString::fromUtf8(err);
        QVERIFY2(text.contains(QStringLiteral("используется другой программой")), qPrintable(text));
        QVERIFY2(text.contains(held.path()), qPrintable(text));
    }

    // On the screen the same text, in a box with the program's caption.
    void shownInAMessageBoxToo()
    {
        TxPromptRecorder prompts;
        korvex::widgets::TxMessages::Intercept intercept(prompts);
        reportStartupFailure(QStringLiteral("Файл базы данных «/d/r.fdb» не найден."));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().caption, QStringLiteral("Аренда Корвекса"));
        QCOMPARE(prompts.messages.first().text, QStringLiteral("Файл базы данных «/d/r.fdb» не найден."));
    }
};

KORVEX_TEST_CLASS(StartupMessageTest)

#include "tst_startup.moc"
