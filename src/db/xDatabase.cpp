#include "xDatabase.h"

#include "xDbError.h"
#include "xQuery.h"
#include "xStoredProc.h"

#include <QSqlError>
#include <QSqlQuery>

namespace korvex::db {

TxDatabase::TxDatabase(const QString &connectionName)
    : m_name(connectionName)
    , m_statements(std::make_unique<TxStatementCache>(*this))
{
}

TxDatabase::~TxDatabase()
{
    close();
}

void TxDatabase::open(const TxConnectionParams &params, const QString &user, const QString &password,
                      const QString &role)
{
    close();
    m_params = params;
    m_user = user;
    const TxConnectionParams::Target target = params.target();
    if (target.path.isEmpty())
        throw EDatabaseError(QStringLiteral("The connection parameters name no database (SERVER NAME)."));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_name);
    if (!db.isValid())
        throw EDatabaseError(QStringLiteral("The Firebird driver (QIBASE) is not available."));
    db.setHostName(target.host);
    if (target.port > 0)
        db.setPort(target.port);
    db.setDatabaseName(target.path);
    db.setUserName(user);
    db.setPassword(password);
    QString options = QStringLiteral("ISC_DPB_LC_CTYPE=UTF8");
    if (!role.isEmpty())
        options += QStringLiteral(";ISC_DPB_SQL_ROLE_NAME=") + role;
    db.setConnectOptions(options);
    if (!db.open()) {
        EDatabaseError error = EDatabaseError::fromSqlError(db.lastError());
        error.setDatabase(params.serverName());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw error;
    }
    m_driver = db.driver();
}

void TxDatabase::close()
{
    // Statements belong to the connection and its transaction: gone with them.
    m_statements->clear();
    m_procedures.clear();
    m_inTransaction = false;
    const QSqlDriver *mine = m_driver;
    m_driver = nullptr;
    if (!mine || !QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.driver() != mine)
            return;
        if (db.isOpen()) {
            // An open transaction is abandoned, never committed implicitly.
            db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool TxDatabase::isOpen() const
{
    if (!m_driver || !QSqlDatabase::contains(m_name))
        return false;
    const QSqlDatabase db = QSqlDatabase::database(m_name, false);
    return db.driver() == m_driver && db.isOpen();
}

QSqlDatabase TxDatabase::sql() const
{
    return QSqlDatabase::database(m_name, false);
}

void TxDatabase::startTransaction()
{
    if (m_inTransaction)
        throw EDatabaseError(QStringLiteral("A transaction is already active."));
    QSqlDatabase db = sql();
    if (!db.transaction())
        throw EDatabaseError::fromSqlError(db.lastError());
    m_inTransaction = true;
}

void TxDatabase::commit()
{
    if (!m_inTransaction)
        throw EDatabaseError(QStringLiteral("No transaction is active."));
    m_statements->clear();
    QSqlDatabase db = sql();
    if (!db.commit())
        throw EDatabaseError::fromSqlError(db.lastError());
    m_inTransaction = false;
}

void TxDatabase::rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    m_statements->clear();
    QSqlDatabase db = sql();
    if (!db.rollback())
        throw EDatabaseError::fromSqlError(db.lastError());
}

const TxDatabase::ProcedureInfo &TxDatabase::procedureInfo(const QString &procedure)
{
    const QString key = procedure.trimmed().toUpper();
    auto it = m_procedures.constFind(key);
    if (it != m_procedures.constEnd())
        return it.value();

    ProcedureInfo info;
    info.name = key;
    TxQuery q(*this,
              QStringLiteral("SELECT TRIM(p.RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES p "
                             "WHERE p.RDB$PROCEDURE_NAME = :name AND p.RDB$PACKAGE_NAME IS NULL"));
    q.bind(QStringLiteral(":name"), key);
    q.exec();
    info.exists = q.next();
    if (info.exists) {
        TxQuery p(*this,
                  QStringLiteral("SELECT TRIM(RDB$PARAMETER_NAME), RDB$PARAMETER_TYPE "
                                 "FROM RDB$PROCEDURE_PARAMETERS "
                                 "WHERE RDB$PROCEDURE_NAME = :name AND RDB$PACKAGE_NAME IS NULL "
                                 "ORDER BY RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER"));
        p.bind(QStringLiteral(":name"), key);
        p.exec();
        while (p.next()) {
            if (p.value(1).toInt() == 0)
                info.inputs << p.value(0).toString();
            else
                info.outputs << p.value(0).toString();
        }
    }
    return m_procedures.insert(key, info).value();
}

int TxDatabase::newKey(const QString &procedure, const QString &output)
{
    TxStoredProc proc(*this, procedure);
    proc.execute();
    const QVariant v = proc.output(output);
    if (v.isNull())
        throw EDatabaseError(QStringLiteral("Key procedure %1 returned no key.").arg(procedure));
    return v.toInt();
}

int TxDatabase::newKeySelect(const QString &procedure, const QString &column)
{
    TxQuery q(*this, QStringLiteral("SELECT %1 FROM %2").arg(column, procedure));
    q.exec();
    if (!q.next() || q.value(0).isNull())
        throw EDatabaseError(QStringLiteral("Key procedure %1 returned no key.").arg(procedure));
    return q.value(0).toInt();
}

} // namespace korvex::db
