#include "xDbError.h"

namespace korvex::db {

EDatabaseError::EDatabaseError(const QString &message, int sqlCode, const QString &statement)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_statement(statement)
    , m_sqlCode(sqlCode)
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
