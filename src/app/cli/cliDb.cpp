// korvex-rent-cli db: creating, upgrading and inspecting databases.

#include "cliCommon.h"

#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xFbCreate.h"
#include "db/xSchema.h"
#include "db/xStoredProc.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace korvex::cli {

using namespace korvex::db;

namespace {

int dbInit(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument("Usage: korvex-rent-cli db init [--demo] PATH");
    const QString path = a.positional.first();
    const TxConnectionParams::Target target = TxConnectionParams::parseServerName(path);
    createFirebirdDatabase(target, databaseUser(a), databasePassword(a));
    try {
        auto db = openDatabase(path, a, false);
        TxSchema::install(*db, -1, [](const QString &step) { err(QStringLiteral("  %1").arg(step)); });
        if (a.has(QStringLiteral("demo")))
            TxSchema::loadDemo(*db, [](const QString &step) { err(QStringLiteral("  %1").arg(step)); });
        outLine(QStringLiteral("Created database %1, schema version %2%3.")
                    .arg(path)
                    .arg(TxSchema::version(*db))
                    .arg(a.has(QStringLiteral("demo")) ? QStringLiteral(", with demo data") : QString()));
    } catch (...) {
        // A half-built database is useless and would block a second attempt.
        try {
            dropFirebirdDatabase(target, databaseUser(a), databasePassword(a));
        } catch (const EDatabaseError &) {
            if (target.isEmbedded())
                QFile::remove(target.path);
        }
        throw;
    }
    return 0;
}

int dbUpgrade(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument("Usage: korvex-rent-cli db upgrade PATH");
    const QString path = a.positional.first();
    auto db = openDatabase(path, a, false);
    const int before = TxSchema::version(*db);
    const int latest = TxSchema::latestVersion();
    if (before > latest)
        throw EDatabaseError(QStringLiteral("The database has schema version %1, newer than this program (%2); "
                                            "it was not changed.")
                                 .arg(before)
                                 .arg(latest));
    const TxConnectionParams::Target target = TxConnectionParams::parseServerName(path);
    if (before < latest && target.isEmbedded()) {
        // Keep a copy of the file as it was: a migration that fails half-way
        // cannot be undone by the engine.
        db->close();
        const QString backup = QStringLiteral("%1.v%2.bak").arg(path).arg(before);
        QFile::remove(backup);
        if (!QFile::copy(path, backup))
            throw EDatabaseError(QStringLiteral("Cannot copy the database to %1 before the upgrade.").arg(backup));
        err(QStringLiteral("Saved a copy of the database as %1").arg(backup));
        db = openDatabase(path, a, false);
    }
    const int applied = TxSchema::upgrade(*db, [](const QString &step) { err(QStringLiteral("  %1").arg(step)); });
    outLine(QStringLiteral("Database %1 upgraded from schema version %2 to %3 (%4 migrations).")
                .arg(path)
                .arg(before)
                .arg(TxSchema::version(*db))
                .arg(applied));
    return 0;
}

int dbVersion(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument("Usage: korvex-rent-cli db version PATH");
    auto db = openDatabase(a.positional.first(), a, false);
    TxStoredProc proc(*db, QStringLiteral("fin_p_ver_getdbversion"));
    proc.execute();
    outLine(proc.output(QStringLiteral("VersionString")).toString());
    return 0;
}

} // namespace

Command dbCommand()
{
    return {QStringLiteral("db"),
            QStringLiteral("  db init [--demo] PATH     create a database (with demo data)\n"
                           "  db upgrade PATH           apply the missing schema migrations\n"
                           "  db version PATH           print the database version\n"
                           "  db default-path           print where the desktop program looks for its\n"
                           "                            database when no domira.dat names one"),
            [](const QStringList &args) -> int {
                if (args.isEmpty())
                    throw std::invalid_argument("Usage: korvex-rent-cli db init|upgrade|version ...");
                const QString sub = args.first();
                const Args a = parseArgs(args.mid(1), databaseValueOptions(), {QStringLiteral("demo")});
                if (sub == QLatin1String("init"))
                    return dbInit(a);
                if (sub == QLatin1String("upgrade"))
                    return dbUpgrade(a);
                if (sub == QLatin1String("version"))
                    return dbVersion(a);
                if (sub == QLatin1String("default-path")) {
                    outLine(TxConnectionParams::defaultDatabasePath());
                    return 0;
                }
                throw std::invalid_argument(QStringLiteral("Unknown db command '%1'.").arg(sub).toStdString());
            }};
}

} // namespace korvex::cli
