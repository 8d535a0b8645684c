#pragma once

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace korvex::db {

class TxDatabase;

// An executable stored procedure with named inputs and outputs.
//
// execute() follows the calling rule of the whole client: when the execution
// fails, the procedure is prepared anew, its inputs are set again and it is
// executed once more; a second failure propagates.
class TxStoredProc
{
public:
    TxStoredProc(TxDatabase &db, const QString &name);

    // Input names are compared case-insensitively; unset inputs go as NULL.
    void setParam(const QString &name, const QVariant &value);
    void clearParams() { m_inputs.clear(); }

    void execute();

    // Keeps the statement prepared between executions (the retry still
    // prepares anew). Only inside one transaction: a prepared statement
    // belongs to the transaction it ran in, and outside a transaction the
    // driver would not commit the work of a kept statement.
    void setKeepPrepared(bool keep) { m_keepPrepared = keep; }

    // Output by name (case-insensitive), valid after execute().
    QVariant output(const QString &name) const;
    bool hasOutput(const QString &name) const;
    QStringList outputNames() const;

    // How many executions the last execute() needed (1 or 2); for diagnostics.
    int attempts() const { return m_attempts; }

private:
    void prepareStatement();
    void bindInputs();

    TxDatabase &m_db;
    QString m_name;
    QStringList m_inputNames;
    QStringList m_outputNames;
    QHash<QString, QVariant> m_inputs;   // upper-case name -> value
    QHash<QString, QVariant> m_outputs;  // upper-case name -> value
    QSqlQuery m_query;
    QString m_sql;
    int m_attempts = 0;
    bool m_keepPrepared = false;
    bool m_prepared = false;
};

} // namespace korvex::db
