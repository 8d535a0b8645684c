#pragma once

#include "xConnectionParams.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QSqlDriver;

namespace korvex::db {

// The program's database connection. Every table, query and procedure call of
// the client goes through the one connection named "xxx"; other names exist
// for the login's start-up connection and for tests that need two at once.
class TxStatementCache;

class TxDatabase
{
public:
    static QString defaultConnectionName() { return QStringLiteral("xxx"); }

    explicit TxDatabase(const QString &connectionName = defaultConnectionName());
    ~TxDatabase();
    TxDatabase(const TxDatabase &) = delete;
    TxDatabase &operator=(const TxDatabase &) = delete;

    // Opens the connection with the given account; throws EDatabaseError with
    // the server's text when it is refused (its kind() tells a database in use
    // by another program or a file that is no database).
    void open(const TxConnectionParams &params, const QString &user, const QString &password,
              const QString &role = {});
    // Closes the connection this object opened. A connection of the same name
    // opened since by another object is left alone.
    void close();
    bool isOpen() const;

    QSqlDatabase sql() const;
    QString connectionName() const { return m_name; }
    const TxConnectionParams &params() const { return m_params; }
    QString userName() const { return m_user; }

    // Transactions on the connection. Outside a transaction every statement
    // commits on its own.
    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Statements kept prepared while the current transaction lasts (see
    // TxStatementCache); emptied when it ends and when the connection
    // closes or opens again.
    TxStatementCache &statements() { return *m_statements; }

    // Input and output parameter names of a stored procedure, in declaration
    // order, read once from the system tables.
    struct ProcedureInfo {
        QString name;              // as stored (upper case)
        QStringList inputs;        // as stored (upper case)
        QStringList outputs;
        bool exists = false;
    };
    const ProcedureInfo &procedureInfo(const QString &procedure);

    // A fresh key from an executable key procedure (one output).
    int newKey(const QString &procedure, const QString &output);
    // A fresh key from a selectable key procedure without arguments.
    int newKeySelect(const QString &procedure, const QString &column);

private:
    QString m_name;
    // The driver of the connection this object opened; null when closed.
    // Qt names connections globally, so this tells ours from a newer one.
    const QSqlDriver *m_driver = nullptr;
    TxConnectionParams m_params;
    QString m_user;
    bool m_inTransaction = false;
    QHash<QString, ProcedureInfo> m_procedures;
    std::unique_ptr<TxStatementCache> m_statements;
};

} // namespace korvex::db
