#include "xDbError.h"

#include <QCoreApplication>

namespace korvex::db {

EDatabaseError::EDatabaseError(const QString &message, int sqlCode, const QString &statement)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_statement(statement)
    , m_sqlCode(sqlCode)
{
}

EDatabaseError::EDatabaseError(Kind kind, const QString &database, const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_database(database)
    , m_kind(kind)
{
}

EDatabaseError EDatabaseError::fromSqlError(const QSqlError &error, const QString &statement)
{
    // QIBASE reports the SQLCODE as the native error code; the text joins the
    // driver's and the server's messages.
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return EDatabaseError(text, ok ? code : 0, statement);
}

EDatabaseError::Kind EDatabaseError::kind() const
{
    if (m_kind != Kind::Other)
        return m_kind;
    // The engine's own texts (the client library reports no finer code
    // through the driver).
    // Held by another engine; the server's own security database is no
    // database of the user's.
    if (m_message.contains(QLatin1String("already opened with engine instance"), Qt::CaseInsensitive)
        && !m_message.contains(QLatin1String("security"), Qt::CaseInsensitive))
        return Kind::DatabaseInUse;
    if (m_message.contains(QLatin1String("is not a valid database"), Qt::CaseInsensitive)
        || m_message.contains(QLatin1String("File size is less than expected"), Qt::CaseInsensitive))
        return Kind::ForeignDatabase;
    if (m_message.contains(QLatin1String("No such file or directory"), Qt::CaseInsensitive)
        || m_message.contains(QLatin1String("cannot find the file"), Qt::CaseInsensitive)
        || m_message.contains(QLatin1String("cannot find the path"), Qt::CaseInsensitive))
        return Kind::FileNotFound;
    if (m_message.contains(QLatin1String("user name and password are not defined"), Qt::CaseInsensitive))
        return Kind::AccountRefused;
    return Kind::Other;
}

QString EDatabaseError::userMessage() const
{
    const QString name = m_database.isEmpty() ? QString() : QStringLiteral(" «%1»").arg(m_database);
    switch (kind()) {
    case Kind::DatabaseInUse:
        return QCoreApplication::translate(
                   "EDatabaseError",
                   "База данных%1 используется другой программой. Встроенный сервер открывает базу только "
                   "для одной программы; чтобы с ней работали несколько рабочих мест, обслуживайте её сервером "
                   "Firebird и укажите в domira.dat строку SERVER NAME=сервер:/путь/к/базе.")
            .arg(name);
    case Kind::ForeignDatabase:
        return QCoreApplication::translate("EDatabaseError", "Файл%1 не является базой данных этой программы.")
            .arg(name);
    case Kind::UnfinishedDatabase:
        return QCoreApplication::translate("EDatabaseError",
                                           "Создание базы данных%1 не было завершено. Создайте её заново "
                                           "(korvex-rent-cli db init).")
            .arg(name);
    case Kind::FileNotFound:
        return QCoreApplication::translate("EDatabaseError",
                                           "Файл базы данных%1 не найден. Проверьте строку SERVER NAME в domira.dat "
                                           "или создайте базу (korvex-rent-cli db init).")
            .arg(name);
    case Kind::AccountRefused:
        return QCoreApplication::translate("EDatabaseError",
                                           "Сервер базы данных%1 не принял учетную запись подключения.")
            .arg(name);
    case Kind::BadParameters:  // raised with its own text, which names the file and line
    case Kind::Other:
        break;
    }
    return m_message;
}

bool EDatabaseError::isInUse() const
{
    // SQLCODE -530: violation of FOREIGN KEY constraint.
    return m_sqlCode == -530
        || m_message.contains(QLatin1String("FOREIGN KEY"), Qt::CaseInsensitive);
}

bool EDatabaseError::isDuplicate() const
{
    // SQLCODE -803: violation of PRIMARY or UNIQUE KEY constraint.
    return m_sqlCode == -803;
}

bool EDatabaseError::isLockConflict() const
{
    // SQLCODE -913: deadlock / update conflicts with concurrent update.
    return m_sqlCode == -913 || m_sqlCode == -901
        ? m_message.contains(QLatin1String("lock conflict"), Qt::CaseInsensitive)
              || m_message.contains(QLatin1String("deadlock"), Qt::CaseInsensitive)
              || m_sqlCode == -913
        : false;
}

} // namespace korvex::db
