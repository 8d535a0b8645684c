#include "xSchema.h"

#include "xDatabase.h"
#include "xDbError.h"
#include "xQuery.h"
#include "xSqlScript.h"
#include "xTransaction.h"

#include <QDirIterator>
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
    QStringList accounts{defaultWorkingAccount()};
    if (tableExists(db, QStringLiteral("FIN_DBACCOUNT"))) {
        TxQuery q(db, QStringLiteral("SELECT DISTINCT TRIM(UPPER(ibname)) FROM fin_dbaccount"));
        q.exec();
        while (q.next()) {
            const QString a = q.value(0).toString();
            if (!a.isEmpty() && !accounts.contains(a) && a != QLatin1String("SYSDBA"))
                accounts << a;
        }
    }

    QStringList statements;
    auto collect = [&](const QString &sql, const QString &grantFmt) {
        TxQuery q(db, sql);
        q.exec();
        while (q.next()) {
            const QString name = q.value(0).toString().trimmed();
            if (name.compare(QLatin1String("FIN_DBACCOUNT"), Qt::CaseInsensitive) == 0)
                continue;
            for (const QString &a : accounts)
                statements << grantFmt.arg(quoteIdent(name), quoteIdent(a));
        }
    };
    collect(QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
            QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE, REFERENCES ON %1 TO %2"));
    collect(QStringLiteral("SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES "
                           "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL"),
            QStringLiteral("GRANT EXECUTE ON PROCEDURE %1 TO %2"));
    collect(QStringLiteral("SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS "
                           "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL "
                           "AND RDB$MODULE_NAME IS NULL"),
            QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %2"));
    collect(QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
            QStringLiteral("GRANT USAGE ON SEQUENCE %1 TO %2"));

    // One transaction for all the grants: hundreds of single commits are slow.
    TxTransaction tr(db);
    for (const QString &s : statements) {
        QSqlQuery q(db.sql());
        if (!q.exec(s))
            throw EDatabaseError::fromSqlError(q.lastError(), s);
    }
    tr.commit();
}

} // namespace korvex::db
