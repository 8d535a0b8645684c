#pragma once

#include <QSqlError>
#include <QString>
#include <stdexcept>

namespace korvex::db {

// A failed database operation. Carries the server's own text so that the
// window layer can show it, and the Firebird SQLCODE so that callers can tell
// a refused delete of a referenced row from any other failure.
class EDatabaseError : public std::runtime_error
{
public:
    EDatabaseError(const QString &message, int sqlCode = 0, const QString &statement = {});

    static EDatabaseError fromSqlError(const QSqlError &error, const QString &statement = {});

    QString message() const { return m_message; }
    QString statement() const { return m_statement; }
    int sqlCode() const { return m_sqlCode; }

    // The row is still referenced by another table (foreign key refused the
    // delete or the key change). Callers turn this into their "in use" message.
    bool isInUse() const;
    // A unique or primary key was violated.
    bool isDuplicate() const;
    // Lock conflict with another transaction (another workstation edits the row).
    bool isLockConflict() const;

private:
    QString m_message;
    QString m_statement;
    int m_sqlCode = 0;
};

} // namespace korvex::db
