#pragma once

#include "db/xConnectionParams.h"
#include "db/xDbError.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

// The user rights read at login, one bit each.
enum TUserRight : int {
    urLoginSubSystem = 1,
    urAdmin = 2,
    urBackupData = 4,
    urRestoreData = 8,
    urChangeInterface = 16,
};

// The login object: exactly one per program. It logs the user in through the
// start-up account and the login procedure, and then opens the working
// connection under the database account the procedure returned.
class TUserLogin : public QObject
{
    Q_OBJECT
public:
    // Outcome of one login attempt (the login procedure's RESULT).
    enum LoginResult {
        Accepted = 0,
        UnknownUser = -1,
        WrongPassword = -2,
        NoRight = -3,
        UnknownSubSystem = -4,
    };

    explicit TUserLogin(QObject *parent = nullptr);
    ~TUserLogin() override;

    korvex::db::TxConnectionParams Params;
    QString ParamsFile = QStringLiteral("domira.dat");

    int UserKey = -1;
    QString UserName;
    QString IBName;
    QString IBPassw;
    int SessionKey = 0;
    int SubSystemKey = 0;
    QString SubSystemName;
    int UserRights = 0;
    QDateTime StartTime;
    bool CancelLogOn = false;
    int PeopleKey = 0;
    bool PeopleFound = false;

    QString SessionDuration() const;

    // Replaces the default parameters by the parameters file when it exists.
    void loadParams();
    // The parameters file for the user to edit, made from the parameters in
    // effect (the defaults, on a new installation) when it does not exist yet:
    // its absolute path. EDatabaseError when it cannot be written.
    QString ensureParamsFile() const;

    // Stage 1: the start-up connection. Returns false (and sets CancelLogOn)
    // when the server refuses it; the reason is in lastError() and, with its
    // kind and database, in startupError().
    bool connectStartup();
    const std::optional<korvex::db::EDatabaseError> &startupError() const { return m_startupError; }
    // Asks the server for the user's salt and count, derives the password
    // key (the slow step, here on the client) and runs the login procedure
    // with it; on Accepted fills the user, session, subsystem and the
    // database account the user's rights call for. A password stored the old
    // way is replaced by a key on the way.
    int tryLogin(const QString &subSystem, const QString &user, const QString &password);
    // The user gave up: drops the start-up connection.
    void cancelLogin();

    // Stage 2, after an accepted login: drops the start-up connection, opens
    // the working connection under the returned account, reads the user's
    // people key and rights there and raises afterLogon(). The start-up
    // account may run the login procedure and nothing else, so everything
    // past the password check is read on the working connection.
    void connectWorking(korvex::db::TxDatabase &db);

    QString lastError() const { return m_lastError; }

    static QString startupFailedMessage() { return QStringLiteral("DataBase user for this program is not create"); }
    // The names of the rights held, in table order, joined by ", ".
    static QString rightsText(int rights);
    static QString rightName(TUserRight right);
    static int rightFromCode(int code);  // 0 when the code is not one of the five

Q_SIGNALS:
    void afterLogon();

private:
    std::unique_ptr<korvex::db::TxDatabase> m_startup;
    QString m_lastError;
    std::optional<korvex::db::EDatabaseError> m_startupError;
};

} // namespace korvex::shell
