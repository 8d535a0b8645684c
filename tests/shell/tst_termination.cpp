#include "common/testDatabase.h"
#include "common/testMain.h"

#include "app/desktop/MAINFORM_UNIT.h"
#include "app/desktop/TerminationHandler.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace korvex::db;
using namespace korvex::shell;
using korvex::test::TestDatabase;

namespace {

// Whether the process has a handler of its own for the signal (Linux).
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

} // namespace

// SIGTERM (a desktop logout, a service manager) ends the program as "Выход"
// does: open dialogs are cancelled first, so their work is rolled back, and
// then the main window closes.
class TerminationTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signalCancelsTheDialogThenClosesTheMainWindow()
    {
        TestDatabase t;
        TmmOptions options(t.db(), TmmOptions::DefaultUserKey);
        TAppContext context{t.db(), options, nullptr};
        const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
        QGuiApplication::setQuitOnLastWindowClosed(false);  // the test's own event loops run on
        const auto restore = qScopeGuard([&] { QGuiApplication::setQuitOnLastWindowClosed(quitOnClose); });

        TAPPMAINFORM form(context);
        form.show();
        TTerminationHandler termination;
        QSignalSpy closed(&termination, &TTerminationHandler::closed);

        // An operation writes in its transaction and asks through a dialog,
        // as an edit does; the signal comes while the dialog is open.
        int answer = -1;
        QTimer::singleShot(0, &form, [&] {
            TxTransaction work(t.db());
            TxQuery::execute(t.db(), QStringLiteral("INSERT INTO fin_user (userkey, name, ibname) VALUES (77, 'term', 'KORVEX')"));
            QDialog dialog(&form);
            QTimer::singleShot(0, &dialog, [] { std::raise(SIGTERM); });
            answer = dialog.exec();
            if (answer == QDialog::Accepted)
                work.commit();
        });
        QVERIFY(closed.wait(30000));
        QCOMPARE(answer, int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
        QVERIFY(termination.closing());
        QCOMPARE(TxQuery::scalar(t.db(), QStringLiteral("SELECT COUNT(*) FROM fin_user WHERE userkey = 77")).toInt(), 0);
    }

    // The program itself, started as a service manager would start it: it
    // leaves with exit code 0 after SIGTERM, its main window having been
    // closed in order (which stores the window's placement).
    void programEndsInOrderOnSigterm()
    {
        TestDatabase t(TestDatabase::Content::Demo, QStringLiteral("termination"));
        const QString database = t.path();
        t.db().close();  // the embedded engine allows one process per file
        QTemporaryDir home;
        const QString params = home.filePath(QStringLiteral("domira.dat"));
        QFile file(params);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("SERVER NAME=%1\n").arg(database).toUtf8());
        file.close();

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("KORVEX_PARAMS"), params);
        env.insert(QStringLiteral("KORVEX_USER"), QStringLiteral("admin"));
        env.insert(QStringLiteral("KORVEX_PASSWORD"), QStringLiteral("admin"));
        env.insert(QStringLiteral("KORVEX_SUBSYSTEM"), QStringLiteral("230"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(KORVEX_DESKTOP_PATH), QStringList());
        QVERIFY(program.waitForStarted());
        const auto stop = qScopeGuard([&] {
            if (program.state() != QProcess::NotRunning) {
                program.kill();
                program.waitForFinished();
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), SIGTERM), 60000);

        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QFile placements(home.filePath(QStringLiteral("config/Tarnwell Software/korvex-rent.conf")));
        QVERIFY(placements.open(QIODevice::ReadOnly));
        QVERIFY(placements.readAll().contains("APPMAINFORM"));
    }
};

KORVEX_TEST_CLASS(TerminationTest)

#include "tst_termination.moc"
