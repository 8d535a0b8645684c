#include "UserLogin.h"

#include "PasswordKey.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xStoredProc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvex::shell {

using namespace korvex::db;

TUserLogin::TUserLogin(QObject *parent)
    : QObject(parent)
{
}

TUserLogin::~TUserLogin() = default;

QString TUserLogin::SessionDuration() const
{
    if (!StartTime.isValid())
        return QString();
    const qint64 secs = StartTime.secsTo(QDateTime::currentDateTime());
    return QTime(0, 0).addSecs(int(secs % 86400)).toString(QStringLiteral("HH:mm:ss"));
}

void TUserLogin::loadParams()
{
    Params.loadFromFile(ParamsFile);
}

QString TUserLogin::ensureParamsFile() const
{
    // A name without a directory macro lives in the working directory.
    const QString path = QDir::current().absoluteFilePath(TxConnectionParams::expandFileName(ParamsFile));
    if (!QFileInfo::exists(path))
        Params.saveToFile(path);
    return path;
}

bool TUserLogin::connectStartup()
{
    m_startup = std::make_unique<TxDatabase>(TxDatabase::defaultConnectionName());
    m_startupError.reset();
    try {
        m_startup->open(Params, TxSchema::startupAccount(), TxSchema::startupPassword());
        return true;
    } catch (const EDatabaseError &e) {
        m_lastError = e.message();
        m_startupError = e;
        CancelLogOn = true;
        m_startup.reset();
        return false;
    }
}

int TUserLogin::tryLogin(const QString &subSystem, const QString &user, const QString &password)
{
    if (!m_startup)
        throw EDatabaseError(QStringLiteral("The start-up connection is not open."));
    // The server gives the salt and count (a stand-in for an unknown name);
    // the slow derivation is done here, and only the key goes to the server.
    TxStoredProc salt(*m_startup, QStringLiteral("FIN_P_SEC_LOGINSALT"));
    salt.setParam(QStringLiteral("USERNAME"), user);
    try {
        salt.execute();
    } catch (const EDatabaseError &e) {
        // A Firebird database without the login procedures is some other
        // program's (SQLCODE -204: unknown object).
        if (e.sqlCode() == -204 || e.message().contains(QLatin1String("Procedure unknown"), Qt::CaseInsensitive))
            throw EDatabaseError(EDatabaseError::Kind::ForeignDatabase, Params.serverName(), e.message());
        throw;
    }
    const int iterations = qBound(1, salt.output(QStringLiteral("ITERATIONS")).toInt(), TPasswordKey::MaxIterations);
    const QByteArray key = TPasswordKey::derive(password, QByteArray::fromHex(salt.output(QStringLiteral("SALT")).toByteArray()),
                                                iterations);
    QString passwordKey = QString::fromLatin1(key.toHex());
    if (salt.output(QStringLiteral("LEGACY")).toInt() != 0) {
        // Stored the old way: the server checks the password itself once and
        // keeps the new key instead; a wrong password leaves it as it was.
        const QByteArray newSalt = TPasswordKey::newSalt();
        const QByteArray newKey = TPasswordKey::derive(password, newSalt, TPasswordKey::DefaultIterations);
        TxStoredProc replace(*m_startup, QStringLiteral("FIN_P_SEC_REPLACELEGACY"));
        replace.setParam(QStringLiteral("USERNAME"), user);
        replace.setParam(QStringLiteral("PASSW"), password);
        replace.setParam(QStringLiteral("SALT"), QString::fromLatin1(newSalt.toHex()));
        replace.setParam(QStringLiteral("ITERATIONS"), TPasswordKey::DefaultIterations);
        replace.setParam(QStringLiteral("PASSWKEY"), QString::fromLatin1(newKey.toHex()));
        replace.execute();
        if (replace.output(QStringLiteral("RESULT")).toInt() == 0)
            passwordKey = QString::fromLatin1(newKey.toHex());
    }

    TxStoredProc proc(*m_startup, QStringLiteral("FIN_P_SEC_LOGINUSER"));
    proc.setParam(QStringLiteral("SUBSYSTEM"), subSystem);
    proc.setParam(QStringLiteral("USERNAME"), user);
    proc.setParam(QStringLiteral("PASSW"), passwordKey);
    proc.execute();
    const int result = proc.output(QStringLiteral("RESULT")).toInt();
    if (result == Accepted) {
        StartTime = QDateTime::currentDateTime();
        UserKey = proc.output(QStringLiteral("USERKEY")).toInt();
        IBName = proc.output(QStringLiteral("IBNAME")).toString().trimmed();
        IBPassw = proc.output(QStringLiteral("IBPASSW")).toString();
        SessionKey = proc.output(QStringLiteral("SESSION")).toInt();
        SubSystemKey = proc.output(QStringLiteral("SUBSYSTEMKEY")).toInt();
        UserName = user;
        SubSystemName = subSystem;
        CancelLogOn = false;
    }
    return result;
}

void TUserLogin::cancelLogin()
{
    CancelLogOn = true;
    m_startup.reset();
}

void TUserLogin::connectWorking(TxDatabase &db)
{
    m_startup.reset();
    db.open(Params, IBName, IBPassw);

    PeopleFound = false;
    try {
        TxQuery q(db, QStringLiteral("SELECT peoplekey FROM fin_user WHERE userkey = :uk"));
        q.bind(QStringLiteral(":uk"), UserKey);
        q.exec();
        if (q.next()) {
            PeopleKey = q.value(0).toInt();
            PeopleFound = true;
        }
    } catch (const EDatabaseError &) {
        PeopleFound = false;
    }

    UserRights = 0;
    TxQuery r(db, QStringLiteral("SELECT userright FROM fin_p_sec_getrightsforuser(:UK, :SS)"));
    r.bind(QStringLiteral(":UK"), UserKey);
    r.bind(QStringLiteral(":SS"), SubSystemKey);
    r.exec();
    while (r.next())
        UserRights |= rightFromCode(r.value(0).toInt());

    Q_EMIT afterLogon();
}

int TUserLogin::rightFromCode(int code)
{
    switch (code) {
    case 0: return urLoginSubSystem;
    case 10: return urAdmin;
    case 20: return urBackupData;
    case 30: return urRestoreData;
    case 40: return urChangeInterface;
    default: return 0;
    }
}

QString TUserLogin::rightName(TUserRight right)
{
    switch (right) {
    case urLoginSubSystem: return QCoreApplication::translate("TUserLogin", "Вход в подсистему");
    case urAdmin: return QCoreApplication::translate("TUserLogin", "Администрирование");
    case urBackupData: return QCoreApplication::translate("TUserLogin", "Сохранение данных");
    case urRestoreData: return QCoreApplication::translate("TUserLogin", "Восстановление данных");
    case urChangeInterface: return QCoreApplication::translate("TUserLogin", "Настройка интерфейса");
    }
    return QString();
}

QString TUserLogin::rightsText(int rights)
{
    QStringList names;
    for (TUserRight r : {urLoginSubSystem, urAdmin, urBackupData, urRestoreData, urChangeInterface}) {
        if (rights & r)
            names << rightName(r);
    }
    return names.join(QStringLiteral(", "));
}

} // namespace korvex::shell
