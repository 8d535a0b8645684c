#include "AppStart.h"

#include "billing/AgedDebtReport.h"
#include "LoginPropDialog.h"
#include "MAINFORM_UNIT.h"
#include "TerminationHandler.h"
#include "UserLoginDialog.h"
#include "shell/UserLogin.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xAppRegistry.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLanguage.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/frmRunningBoy.h"
#include "db/xStoredProc.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xSchema.h"
#include "documents/ui/frmRTFProgress.h"
#include "documents/ui/xRTFMessageBoxes.h"
#include "documents/ui/xReportPreview.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

namespace korvex::shell {

using namespace korvex::db;

QString startupFailureText(const EDatabaseError &error)
{
    switch (error.kind()) {
    case EDatabaseError::Kind::AccountRefused:
        return TUserLogin::startupFailedMessage();
    case EDatabaseError::Kind::Other:
        // The server's own words, and which database they are about.
        if (!error.database().isEmpty())
            return QCoreApplication::translate("TAPPMAINFORM", "Не удается открыть базу данных «%1»:\n%2")
                .arg(error.database(), error.message());
        return error.message();
    default:
        return error.userMessage();
    }
}

void reportStartupFailure(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    korvex::widgets::TxMessages::error(nullptr, text, QCoreApplication::translate("TAPPMAINFORM", "Аренда Корвекса"));
}

int runDesktop(int argc, char **argv)
{
    korvex::widgets::TxApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwell Software"));
    QApplication::setApplicationName(QStringLiteral("korvex-rent"));
    korvex::widgets::setUpRussian(app);
    // From here on SIGTERM and its like close the program as "Выход" does.
    TTerminationHandler termination;
    QObject::connect(&termination, &TTerminationHandler::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    // "/E" forgets every remembered window placement before anything is read.
    korvex::widgets::TxAppRegistry::handleCommandLine(QCoreApplication::arguments());
    QStringList arguments = QCoreApplication::arguments();
    arguments.erase(std::remove_if(arguments.begin() + 1, arguments.end(),
                                   [](const QString &a) { return a.compare(QLatin1String("/E"), Qt::CaseInsensitive) == 0; }),
                    arguments.end());
    // The program's one progress window and the document model's message boxes.
    korvex::documents::TRTFProgressWindow rtfProgress;
    korvex::documents::TRTFProgress::setShared(&rtfProgress);
    korvex::documents::TxRTFMessageBoxes rtfMessages;
    korvex::documents::TxRTFMessages::setShared(&rtfMessages);
    // Where reports go for preview and printing.
    korvex::documents::TxReportWindows reportWindows;
    korvex::documents::TxReportDisplay::setShared(&reportWindows);
    // Report types of the subsystems above the reports.
    korvex::billing::TAgedDebtReport::registerReportType();

    QCommandLineParser parser;
    parser.addHelpOption();
    // No password option: the command line is visible to every user of the
    // machine. Scripts and tests log in without the dialog through the
    // environment (KORVEX_USER, KORVEX_PASSWORD, KORVEX_SUBSYSTEM), which only
    // the same user can read.
    QCommandLineOption userOpt(QStringLiteral("user"),
                               QStringLiteral("User name; the password comes from KORVEX_PASSWORD (no login dialog)."),
                               QStringLiteral("name"));
    QCommandLineOption subOpt(QStringLiteral("subsystem"), QStringLiteral("Subsystem."), QStringLiteral("subsystem"));
    QCommandLineOption paramsOpt(QStringLiteral("params"), QStringLiteral("Connection parameters file."), QStringLiteral("file"));
    parser.addOptions({userOpt, subOpt, paramsOpt});
    parser.process(arguments);

    TUserLogin login;
    if (parser.isSet(paramsOpt))
        login.ParamsFile = parser.value(paramsOpt);
    else if (qEnvironmentVariableIsSet("KORVEX_PARAMS"))
        login.ParamsFile = qEnvironmentVariable("KORVEX_PARAMS");
    try {
        login.loadParams();
    } catch (const EDatabaseError &e) {
        reportStartupFailure(startupFailureText(e));
        return 1;
    }

    bool connected = false;
    {
        TTerminationHandler::Hold hold(termination);
        connected = login.connectStartup();
    }
    if (!connected) {
        reportStartupFailure(login.startupError() ? startupFailureText(*login.startupError())
                                                  : TUserLogin::startupFailedMessage());
        return 1;
    }

    const QString user = parser.isSet(userOpt) ? parser.value(userOpt) : qEnvironmentVariable("KORVEX_USER");
    bool showParams = false;
    if (!user.isEmpty()) {
        const QString password = qEnvironmentVariable("KORVEX_PASSWORD");
        qunsetenv("KORVEX_PASSWORD");  // not handed on to the programs started from here
        QString sub = parser.isSet(subOpt) ? parser.value(subOpt) : qEnvironmentVariable("KORVEX_SUBSYSTEM");
        if (sub.isEmpty())
            sub = QStringLiteral("230");
        int result = 0;
        try {
            result = login.tryLogin(sub, user, password);
        } catch (const EDatabaseError &e) {
            reportStartupFailure(startupFailureText(e));
            return 1;
        }
        if (result != TUserLogin::Accepted) {
            reportStartupFailure(TUserLoginDialog::resultMessage(result));
            return 1;
        }
    } else {
        TUserLoginDialog dialog(login);
        if (dialog.exec() != QDialog::Accepted) {
            login.cancelLogin();
            return 0;
        }
        showParams = dialog.showParams();
    }

    TxDatabase db(TxDatabase::defaultConnectionName());
    QString version;
    try {
        TTerminationHandler::Hold hold(termination);
        login.connectWorking(db);
        TxSchema::checkCompatible(db);
        TxStoredProc proc(db, QStringLiteral("fin_p_ver_getdbversion"));
        proc.execute();
        version = proc.output(QStringLiteral("VersionString")).toString();
    } catch (const EDatabaseError &e) {
        reportStartupFailure(startupFailureText(e));
        return 1;
    }
    if (showParams) {
        TLoginPropDialog props(login, version);
        props.exec();
    }

    korvex::widgets::TfrmRunningBoy::shared();  // the shared wait window exists for the whole session
    TmmOptions options(db, login.UserKey);
    TAppContext context{db, options, &login};
    TAPPMAINFORM mainForm(context);
    mainForm.show();
    showSplash();
    return app.exec();
}

} // namespace korvex::shell
