#include "AppStart.h"

#include "MainForm.h"
#include "UserLoginDialog.h"
#include "shell/UserLogin.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xSchema.h"
#include "documents/ui/frmRTFProgress.h"
#include "documents/ui/xRTFMessageBoxes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

namespace korvex::shell {

using namespace korvex::db;

int runDesktop(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwell Software"));
    QApplication::setApplicationName(QStringLiteral("korvex-rent"));

    // The program's one progress window and the document model's message boxes.
    korvex::documents::TRTFProgressWindow rtfProgress;
    korvex::documents::TRTFProgress::setShared(&rtfProgress);
    korvex::documents::TxRTFMessageBoxes rtfMessages;
    korvex::documents::TxRTFMessages::setShared(&rtfMessages);

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption userOpt(QStringLiteral("user"), QStringLiteral("User name (no login dialog)."), QStringLiteral("name"));
    QCommandLineOption passOpt(QStringLiteral("password"), QStringLiteral("Password."), QStringLiteral("password"));
    QCommandLineOption subOpt(QStringLiteral("subsystem"), QStringLiteral("Subsystem."), QStringLiteral("subsystem"));
    QCommandLineOption paramsOpt(QStringLiteral("params"), QStringLiteral("Connection parameters file."), QStringLiteral("file"));
    parser.addOptions({userOpt, passOpt, subOpt, paramsOpt});
    parser.process(app);

    TUserLogin login;
    if (parser.isSet(paramsOpt))
        login.ParamsFile = parser.value(paramsOpt);
    else if (qEnvironmentVariableIsSet("KORVEX_PARAMS"))
        login.ParamsFile = qEnvironmentVariable("KORVEX_PARAMS");
    try {
        login.loadParams();
    } catch (const EDatabaseError &e) {
        QMessageBox::critical(nullptr, QObject::tr("Аренда Корвекса"), e.message());
        return 1;
    }

    if (!login.connectStartup()) {
        QMessageBox::critical(nullptr, QObject::tr("Аренда Корвекса"), TUserLogin::startupFailedMessage());
        return 1;
    }

    const QString user = parser.isSet(userOpt) ? parser.value(userOpt) : qEnvironmentVariable("KORVEX_USER");
    bool showParams = false;
    if (!user.isEmpty()) {
        const QString password = parser.isSet(passOpt) ? parser.value(passOpt) : qEnvironmentVariable("KORVEX_PASSWORD");
        QString sub = parser.isSet(subOpt) ? parser.value(subOpt) : qEnvironmentVariable("KORVEX_SUBSYSTEM");
        if (sub.isEmpty())
            sub = QStringLiteral("230");
        int result = 0;
        try {
            result = login.tryLogin(sub, user, password);
        } catch (const EDatabaseError &e) {
            QMessageBox::critical(nullptr, QObject::tr("Аренда Корвекса"), e.message());
            return 1;
        }
        if (result != TUserLogin::Accepted) {
            QMessageBox::critical(nullptr, QObject::tr("Аренда Корвекса"), TUserLoginDialog::resultMessage(result));
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
    Q_UNUSED(showParams);

    TxDatabase db(TxDatabase::defaultConnectionName());
    try {
        login.connectWorking(db);
        TxSchema::checkCompatible(db);
    } catch (const EDatabaseError &e) {
        QMessageBox::critical(nullptr, QObject::tr("Аренда Корвекса"), e.message());
        return 1;
    }

    TAPPMAINFORM mainForm(login, db);
    mainForm.show();
    return app.exec();
}

} // namespace korvex::shell
