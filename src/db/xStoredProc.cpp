#include "xStoredProc.h"

#include "xDatabase.h"
#include "xDbError.h"
#include "xQuery.h"

#include <QSqlError>
#include <QSqlRecord>

namespace korvex::db {

TxStoredProc::TxStoredProc(TxDatabase &db, const QString &name)
    : m_db(db)
    , m_name(name.trimmed().toUpper())
{
    const TxDatabase::ProcedureInfo &info = db.procedureInfo(m_name);
    if (!info.exists)
        throw EDatabaseError(QStringLiteral("Stored procedure %1 does not exist.").arg(m_name));
    m_inputNames = info.inputs;
    m_outputNames = info.outputs;
    QStringList marks;
    for (qsizetype i = 0; i < m_inputNames.size(); ++i)
        marks << QStringLiteral("?");
    m_sql = QStringLiteral("EXECUTE PROCEDURE ") + m_name;
    if (!marks.isEmpty())
        m_sql += QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void TxStoredProc::setParam(const QString &name, const QVariant &value)
{
    const QString key = name.trimmed().toUpper();
    if (!m_inputNames.contains(key))
        throw EDatabaseError(
            QStringLiteral("Stored procedure %1 has no input parameter %2.").arg(m_name, name));
    m_inputs.insert(key, value);
}

void TxStoredProc::prepareStatement()
{
    m_query = QSqlQuery(m_db.sql());
    m_query.setForwardOnly(true);
    if (!m_query.prepare(m_sql))
        throw EDatabaseError::fromSqlError(m_query.lastError(), m_sql);
}

void TxStoredProc::bindInputs(QSqlQuery &query)
{
    for (qsizetype i = 0; i < m_inputNames.size(); ++i)
        query.bindValue(int(i), m_inputs.value(m_inputNames.at(i)));
}

void TxStoredProc::execute()
{
    m_outputs.clear();
    m_attempts = 0;
    // Outside a transaction the driver would never end the snapshot of a
    // kept statement: the statement is prepared for this call alone.
    const bool kept = m_db.inTransaction();
    QSqlQuery *query = nullptr;
    for (;;) {
        ++m_attempts;
        try {
            if (kept) {
                if (m_attempts > 1)
                    m_db.statements().forget(m_sql);
                query = &m_db.statements().prepared(m_sql).raw();
            } else {
                prepareStatement();
                query = &m_query;
            }
            bindInputs(*query);
            TxQuery::countExecution();
            if (!query->exec())
                throw EDatabaseError::fromSqlError(query->lastError(), m_sql);
        } catch (const EDatabaseError &) {
            if (m_attempts >= 2)
                throw;
            continue;
        }
        break;
    }
    if (!m_outputNames.isEmpty() && query->next()) {
        const QSqlRecord rec = query->record();
        for (int i = 0; i < rec.count(); ++i)
            m_outputs.insert(rec.fieldName(i).trimmed().toUpper(), query->value(i));
    }
    query->finish();
}

QVariant TxStoredProc::output(const QString &name) const
{
    const QString key = name.trimmed().toUpper();
    if (!m_outputNames.contains(key))
        throw EDatabaseError(
            QStringLiteral("Stored procedure %1 has no output parameter %2.").arg(m_name, name));
    return m_outputs.value(key);
}

bool TxStoredProc::hasOutput(const QString &name) const
{
    return m_outputNames.contains(name.trimmed().toUpper());
}

QStringList TxStoredProc::outputNames() const
{
    return m_outputNames;
}

} // namespace korvex::db
