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
// executed once more; a second failure propagates. Inside a transaction the
// statement is kept prepared on the connection (TxDatabase::statements()),
// so calling a procedure again costs no new preparation.
class TxStoredProc
{
public:
    TxStoredProc(TxDatabase &db, const QString &name);

    // Input names are compared case-insensitively; unset inputs go as NULL.
    void setParam(const QString &name, const QVariant &value);
    void clearParams() { m_inputs.clear(); }

    void execute();

    // Output by name (case-insensitive), valid after execute().
    QVariant output(const QString &name) const;
    bool hasOutput(const QString &name) const;
    QStringList outputNames() const;

    // How many executions the last execute() needed (1 or 2); for diagnostics.
    int attempts() const { return m_attempts; }

private:
    void prepareStatement();
    void bindInputs(QSqlQuery &query);

    TxDatabase &m_db;
    QString m_name;
    QStringList m_inputNames;
    QStringList m_outputNames;
    QHash<QString, QVariant> m_inputs;   // upper-case name -> value
    QHash<QString, QVariant> m_outputs;  // upper-case name -> value
    QSqlQuery m_query;
    QString m_sql;
    int m_attempts = 0;
};

} // namespace korvex::db
