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
    // The failures to open a database that the user can act on; each has a
    // plain Russian explanation (userMessage), shown by the desktop program
    // and by the command-line tool alike.
    enum class Kind {
        Other,
        // An embedded database is open in another program (another process's
        // embedded engine or a server holds the file).
        DatabaseInUse,
        // The file is no Firebird database, or one without this program's schema.
        ForeignDatabase,
        // "db init" did not finish building it (a server database; a local one
        // is only renamed into place when complete).
        UnfinishedDatabase,
        // The database file does not exist where the parameters say.
        FileNotFound,
        // A line of the connection parameters file cannot be read; the
        // message names the line.
        BadParameters,
        // The server does not know the account (or its password) the
        // connection was opened with.
        AccountRefused,
    };

    EDatabaseError(const QString &message, int sqlCode = 0, const QString &statement = {});
    EDatabaseError(Kind kind, const QString &database, const QString &message);

    static EDatabaseError fromSqlError(const QSqlError &error, const QString &statement = {});

    QString message() const { return m_message; }
    QString statement() const { return m_statement; }
    int sqlCode() const { return m_sqlCode; }

    // What kind of failure this is, told from the server's text when the
    // error was not raised as one of the kinds.
    Kind kind() const;
    // The database the failure is about, when known (set by the connection).
    QString database() const { return m_database; }
    void setDatabase(const QString &database) { m_database = database; }
    // The text for the user: the Russian explanation of a known kind, the
    // server's text otherwise.
    QString userMessage() const;

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
    QString m_database;
    int m_sqlCode = 0;
    Kind m_kind = Kind::Other;
};

} // namespace korvex::db
