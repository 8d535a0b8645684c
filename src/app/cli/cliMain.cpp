#include "cliCommon.h"

#include "db/xDbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>
#include <exception>

using namespace korvex::cli;

namespace {

QList<Command> commands()
{
    return {
        dbCommand(),
        calcCommand(),
        userCommand(),
        wordsCommand(),
        debtCommand(),
        rtfCommand(),
        rateCommand(),
        reckonCommand(),
        postCommand(),
        bookkeepingCommand(),
        reportCommand(),
        allocateCommand(),
        fineCommand(),
        agingCommand(),
        payBillCommand(),
    };
}

void printHelp(void (*print)(const QString &) = outLine)
{
    print(QStringLiteral("korvex-rent-cli: the lease-accounting tool for administrators and scripts.\n"));
    print(QStringLiteral("Usage: korvex-rent-cli COMMAND [OPTIONS] ARGUMENTS\n\nCommands:"));
    for (const Command &c : commands())
        print(c.usage);
    print(QStringLiteral("\nA DATABASE or PATH is a local file (embedded engine) or host:/path on a "
                           "Firebird server.\nCommands that open a database take --user NAME (default: "
                           "ISC_USER, else SYSDBA);\nthe password comes from ISC_PASSWORD, never from the "
                           "command line."));
}

} // namespace

int main(int argc, char **argv)
{
    // Past a file-size limit a write must fail and be reported (exit 1), not
    // kill the tool before it can remove what it had begun.
    std::signal(SIGXFSZ, SIG_IGN);
    // Commands that measure text need fonts, hence a GUI application; the
    // offscreen platform keeps them free of any display.
    bool needsFonts = false;
    for (const Command &c : commands())
        if (argc > 1 && c.needsFonts && c.name == QString::fromLocal8Bit(argv[1]))
            needsFonts = true;
    if (needsFonts && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (needsFonts && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // A private runtime folder, so that Qt has no cause to complain on standard error.
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/korvex-runtime-" + QByteArray::number(getuid());
        if (::mkdir(dir.constData(), 0700) == 0 || QFileInfo(QString::fromLocal8Bit(dir)).isDir())
            qputenv("XDG_RUNTIME_DIR", dir);
    }
    std::unique_ptr<QCoreApplication> application = needsFonts ? std::make_unique<QGuiApplication>(argc, argv)
                                                               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwell Software"));
    QCoreApplication::setApplicationName(QStringLiteral("korvex-rent-cli"));

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        printHelp(err);
        return 2;
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")
        || args.first() == QLatin1String("help")) {
        printHelp();
        return 0;
    }
    const QString name = args.takeFirst();
    for (const Command &c : commands()) {
        if (c.name != name)
            continue;
        if (args.contains(QStringLiteral("--help")) && !args.contains(QStringLiteral("--"))) {
            outLine(c.usage);
            return 0;
        }
        try {
            return c.run(args);
        } catch (const korvex::db::EDatabaseError &e) {
            err(e.userMessage());
            return 1;
        } catch (const std::exception &e) {
            err(QString::fromUtf8(e.what()));
            return 1;
        }
    }
    err(QStringLiteral("Unknown command '%1'. See korvex-rent-cli --help.").arg(name));
    return 2;
}
