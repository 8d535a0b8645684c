#include "xSchema.h"

#include "xDatabase.h"
#include "xDbError.h"
#include "xQuery.h"
#include "xSqlScript.h"
#include "xTransaction.h"

#include <QDirIterator>
#include <QHash>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace korvex::db {

namespace {

QStringList resourceFiles(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.sql")}, QDir::Files);
    while (it.hasNext())
        files << it.next();
    std::sort(files.begin(), files.end());
    return files;
}

bool tableExists(TxDatabase &db, const QString &table)
{
    return TxQuery::scalar(db,
                           QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?"),
                           {table.toUpper()})
               .toInt()
           > 0;
}

QString quoteIdent(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

enum GrantedObject { Table, Procedure, Function, Sequence, Exception };

// The rights of a working account on one object; empty: none. Both accounts
// read users, rights and sessions but write none of them, and see neither
// password keys nor account passwords nor the database's secret; of the
// security procedures they run the rights reader, and the administrators'
// account the user-administration procedures.
QString workingRights(GrantedObject kind, const QString &name, bool admin)
{
    static const QStringList hidden{QStringLiteral("FIN_DBACCOUNT"), QStringLiteral("FIN_USERPASSW"),
                                    QStringLiteral("FIN_DBSECRET")};
    static const QStringList readOnly{QStringLiteral("FIN_USER"), QStringLiteral("FIN_USERRIGHT"),
                                      QStringLiteral("FIN_SESSION"), QStringLiteral("FIN_SUBSYSTEM"),
                                      QStringLiteral("FIN_DBVERSION")};
    static const QStringList adminProcedures{QStringLiteral("FIN_P_SEC_ADDUSER"), QStringLiteral("FIN_P_SEC_SETRIGHT"),
                                             QStringLiteral("FIN_P_SEC_SETPASSWORD"), QStringLiteral("FIN_P_SEC_USERLIST")};
    switch (kind) {
    case Table:
        if (hidden.contains(name))
            return {};
        return readOnly.contains(name) ? QStringLiteral("SELECT") : QStringLiteral("SELECT, INSERT, UPDATE, DELETE, REFERENCES");
    case Procedure:
        if (name == QLatin1String("FIN_P_SEC_GETRIGHTSFORUSER"))
            return QStringLiteral("EXECUTE");
        if (adminProcedures.contains(name))
            return admin ? QStringLiteral("EXECUTE") : QString();
        return name.startsWith(QLatin1String("FIN_P_SEC_")) ? QString() : QStringLiteral("EXECUTE");
    case Function:
        return name.startsWith(QLatin1String("FIN_F_SEC_")) ? QString() : QStringLiteral("EXECUTE");
    case Sequence:
        return name == QLatin1String("FIN_G_USER") || name == QLatin1String("FIN_G_SESSION") ? QString()
                                                                                           : QStringLiteral("USAGE");
    case Exception:
        // A procedure that can raise an exception is refused to an account
        // without the right to use it, even when it raises none.
        return name == QLatin1String("FIN_E_SECURITY") ? QString() : QStringLiteral("USAGE");
    }
    return {};
}

// Statements that take from the accounts every right they hold, one by one
// ("REVOKE ALL ON ALL" would consult the server's security database, which
// the embedded engine cannot share with a running server).
QStringList revokeStatements(TxDatabase &db, const QStringList &accounts)
{
    static const QHash<QString, QString> words{
        {QStringLiteral("S"), QStringLiteral("SELECT")}, {QStringLiteral("I"), QStringLiteral("INSERT")},
        {QStringLiteral("U"), QStringLiteral("UPDATE")}, {QStringLiteral("D"), QStringLiteral("DELETE")},
        {QStringLiteral("R"), QStringLiteral("REFERENCES")}, {QStringLiteral("X"), QStringLiteral("EXECUTE")},
        {QStringLiteral("G"), QStringLiteral("USAGE")}};
    QStringList statements;
    TxQuery held(db, QStringLiteral("SELECT DISTINCT TRIM(p.RDB$USER), p.RDB$PRIVILEGE, TRIM(p.RDB$RELATION_NAME), "
                                    "p.RDB$OBJECT_TYPE FROM RDB$USER_PRIVILEGES p WHERE p.RDB$USER_TYPE = 8"));
    held.exec();
    while (held.next()) {
        const QString user = held.value(0).toString();
        if (!accounts.contains(user))
            continue;
        const QString privilege = words.value(held.value(1).toString().trimmed());
        QString on;
        switch (held.value(3).toInt()) {
        case 0: case 1: on = QStringLiteral("ON "); break;  // table, view
        case 5: on = QStringLiteral("ON PROCEDURE "); break;
        case 14: on = QStringLiteral("ON SEQUENCE "); break;
        case 15: on = QStringLiteral("ON FUNCTION "); break;
        case 7: on = QStringLiteral("ON EXCEPTION "); break;
        default: break;
        }
        if (privilege.isEmpty() || on.isEmpty())
            continue;
        statements << QStringLiteral("REVOKE %1 %2%3 FROM %4")
                          .arg(privilege, on, quoteIdent(held.value(2).toString()), quoteIdent(user));
    }
    return statements;
}

} // namespace

QString TxSchema::readResource(const QString &resource)
{
    QFile f(resource);
    if (!f.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Schema script %1 is missing from the program.").arg(resource));
    return QString::fromUtf8(f.readAll());
}

QList<TxSchema::Migration> TxSchema::migrations()
{
    static const QRegularExpression re(QStringLiteral("^(\\d{4})_(.+)\\.sql$"));
    QList<Migration> list;
    for (const QString &file : resourceFiles(QStringLiteral(":/sql/migrations"))) {
        const QString base = file.section(QLatin1Char('/'), -1);
        const QRegularExpressionMatch m = re.match(base);
        if (!m.hasMatch())
            continue;
        list.append({m.captured(1).toInt(), m.captured(2), file});
    }
    return list;
}

int TxSchema::latestVersion()
{
    const QList<Migration> list = migrations();
    return list.isEmpty() ? 0 : list.last().version;
}

void TxSchema::applyMigration(TxDatabase &db, const Migration &m)
{
    TxSqlScript::run(db, readResource(m.resource), m.resource.section(QLatin1Char('/'), -1));
    TxQuery::execute(db,
                     QStringLiteral("INSERT INTO fin_dbversion (versionnum, description, applied) "
                                    "VALUES (?, ?, CURRENT_TIMESTAMP)"),
                     {m.version, m.name});
}

void TxSchema::installProcedures(TxDatabase &db, const Progress &progress)
{
    for (const QString &file : resourceFiles(QStringLiteral(":/sql/procedures"))) {
        if (progress)
            progress(file.section(QLatin1Char('/'), -1));
        TxSqlScript::run(db, readResource(file), file.section(QLatin1Char('/'), -1));
    }
    grantWorkingAccounts(db);
}

void TxSchema::install(TxDatabase &db, int upToVersion, const Progress &progress)
{
    const int latest = latestVersion();
    if (upToVersion < 0 || upToVersion > latest)
        upToVersion = latest;
    if (tableExists(db, QStringLiteral("FIN_DBVERSION")))
        throw EDatabaseError(QStringLiteral("The database already holds a schema."));
    for (const Migration &m : migrations()) {
        if (m.version > upToVersion)
            break;
        if (progress)
            progress(m.resource.section(QLatin1Char('/'), -1));
        applyMigration(db, m);
    }
    if (upToVersion == latest)
        installProcedures(db, progress);
}

int TxSchema::version(TxDatabase &db)
{
    if (isUnfinished(db))
        throw EDatabaseError(EDatabaseError::Kind::UnfinishedDatabase, db.params().serverName(),
                             QStringLiteral("The database was not completed by db init; create it again."));
    if (!tableExists(db, QStringLiteral("FIN_DBVERSION")))
        throw EDatabaseError(EDatabaseError::Kind::ForeignDatabase, db.params().serverName(),
                             QStringLiteral("The database is not a lease-accounting database (it has no version table)."));
    return TxQuery::scalar(db, QStringLiteral("SELECT COALESCE(MAX(versionnum), 0) FROM fin_dbversion")).toInt();
}

void TxSchema::checkCompatible(TxDatabase &db)
{
    const int have = version(db);
    const int latest = latestVersion();
    if (have > latest)
        throw EDatabaseError(QStringLiteral("The database has schema version %1, newer than this program (%2). "
                                            "Use a newer program.")
                                 .arg(have)
                                 .arg(latest));
    if (have < latest)
        throw EDatabaseError(QStringLiteral("The database has schema version %1, older than this program (%2). "
                                            "Upgrade it first: korvex-rent-cli db upgrade PATH")
                                 .arg(have)
                                 .arg(latest));
}

int TxSchema::upgrade(TxDatabase &db, const Progress &progress)
{
    const int have = version(db);
    const int latest = latestVersion();
    if (have > latest)
        throw EDatabaseError(QStringLiteral("The database has schema version %1, newer than this program (%2); "
                                            "it was not changed.")
                                 .arg(have)
                                 .arg(latest));
    int applied = 0;
    for (const Migration &m : migrations()) {
        if (m.version <= have)
            continue;
        if (progress)
            progress(m.resource.section(QLatin1Char('/'), -1));
        applyMigration(db, m);
        ++applied;
    }
    installProcedures(db, progress);
    return applied;
}

void TxSchema::loadDemo(TxDatabase &db, const Progress &progress)
{
    for (const QString &file : resourceFiles(QStringLiteral(":/sql/demo"))) {
        if (progress)
            progress(file.section(QLatin1Char('/'), -1));
        TxSqlScript::run(db, readResource(file), file.section(QLatin1Char('/'), -1));
    }
    // Last, whatever order the scripts took: the demo rows bring their keys.
    TxQuery::execute(db, QStringLiteral("EXECUTE PROCEDURE fin_p_sync_keys"));
}

QStringList TxSchema::unsynchronisedKeys(TxDatabase &db)
{
    // Each sequence with its table's single-column primary key.
    TxQuery q(db, QStringLiteral(
                      "SELECT TRIM(g.RDB$GENERATOR_NAME), TRIM(r.RDB$RELATION_NAME), TRIM(s.RDB$FIELD_NAME) "
                      "FROM RDB$GENERATORS g "
                      "JOIN RDB$RELATION_CONSTRAINTS r ON r.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                      " AND (TRIM(r.RDB$RELATION_NAME) = SUBSTRING(TRIM(g.RDB$GENERATOR_NAME) FROM 5) "
                      "      AND TRIM(g.RDB$GENERATOR_NAME) STARTING WITH 'GEN_' "
                      "   OR TRIM(r.RDB$RELATION_NAME) = 'FIN_' || SUBSTRING(TRIM(g.RDB$GENERATOR_NAME) FROM 7) "
                      "      AND TRIM(g.RDB$GENERATOR_NAME) STARTING WITH 'FIN_G_') "
                      "JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = r.RDB$INDEX_NAME "
                      "WHERE COALESCE(g.RDB$SYSTEM_FLAG, 0) = 0 "
                      "  AND (SELECT COUNT(*) FROM RDB$INDEX_SEGMENTS s2 WHERE s2.RDB$INDEX_NAME = r.RDB$INDEX_NAME) = 1 "
                      "ORDER BY 1"));
    q.exec();
    struct Pair {
        QString sequence, table, column;
    };
    QList<Pair> pairs;
    while (q.next())
        pairs.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});

    QStringList behind;
    for (const Pair &p : pairs) {
        // Names from the system tables, quoted as identifiers.
        const QString sql = QStringLiteral("SELECT GEN_ID(%1, 0), (SELECT MAX(%2) FROM %3) FROM RDB$DATABASE")
                                .arg(quoteIdent(p.sequence), quoteIdent(p.column), quoteIdent(p.table));
        TxQuery v(db, sql);
        v.exec();
        if (!v.next() || v.value(1).isNull())
            continue;
        const qint64 current = v.value(0).toLongLong();
        const qint64 largest = v.value(1).toLongLong();
        if (current < largest)
            behind << QStringLiteral("%1: at %2, %3.%4 holds %5").arg(p.sequence).arg(current).arg(p.table, p.column).arg(largest);
    }
    return behind;
}

void TxSchema::markUnfinished(TxDatabase &db)
{
    TxQuery::execute(db, QStringLiteral("CREATE TABLE fin_dbunfinished (started TIMESTAMP)"));
}

void TxSchema::markFinished(TxDatabase &db)
{
    TxQuery::execute(db, QStringLiteral("DROP TABLE fin_dbunfinished"));
}

bool TxSchema::isUnfinished(TxDatabase &db)
{
    return tableExists(db, QStringLiteral("FIN_DBUNFINISHED"));
}

void TxSchema::grantWorkingAccounts(TxDatabase &db)
{
    struct Account {
        QString name;
        int kind = -1;  // -1: no longer handed out
    };
    QList<Account> accounts;
    {
        TxQuery q(db, QStringLiteral("SELECT TRIM(UPPER(ibname)), accountkind FROM fin_dbaccount ORDER BY 1"));
        q.exec();
        while (q.next()) {
            const QString a = q.value(0).toString();
            // Never the server's administrator or the start-up account.
            if (a.isEmpty() || a == QLatin1String("SYSDBA") || a == startupAccount())
                continue;
            accounts.append({a, q.value(1).isNull() ? -1 : q.value(1).toInt()});
        }
    }

    struct Named {
        GrantedObject kind;
        QString name;
    };
    QList<Named> objects;
    auto collect = [&](GrantedObject kind, const QString &sql) {
        TxQuery q(db, sql);
        q.exec();
        while (q.next())
            objects.append({kind, q.value(0).toString().trimmed()});
    };
    collect(Table, QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    collect(Procedure, QStringLiteral("SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES "
                                      "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL"));
    collect(Function, QStringLiteral("SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS "
                                     "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL "
                                     "AND RDB$MODULE_NAME IS NULL"));
    collect(Sequence, QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    collect(Exception, QStringLiteral("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));

    // Rights held from an earlier version of the rules go first.
    QStringList names;
    for (const Account &a : accounts)
        names << a.name;
    QStringList statements = revokeStatements(db, names);
    for (const Account &a : accounts) {
        const QString grantee = quoteIdent(a.name);
        if (a.kind < 0)
            continue;
        const bool admin = a.kind == AdminAccountKind;
        for (const Named &o : objects) {
            const QString r = workingRights(o.kind, o.name, admin);
            if (r.isEmpty())
                continue;
            static const char *const forms[] = {"GRANT %1 ON %2 TO %3", "GRANT %1 ON PROCEDURE %2 TO %3",
                                                "GRANT %1 ON FUNCTION %2 TO %3", "GRANT %1 ON SEQUENCE %2 TO %3",
                                                "GRANT %1 ON EXCEPTION %2 TO %3"};
            statements << QString::fromLatin1(forms[o.kind]).arg(r, quoteIdent(o.name), grantee);
        }
    }

    // One transaction for all the grants: hundreds of single commits are slow,
    // and no account is seen between its old rights and its new ones.
    TxTransaction tr(db);
    for (const QString &s : statements) {
        QSqlQuery q(db.sql());
        if (!q.exec(s))
            throw EDatabaseError::fromSqlError(q.lastError(), s);
    }
    tr.commit();
}

} // namespace korvex::db
