// korvex-rent-cli db: creating, upgrading and inspecting databases.

#include "cliCommon.h"

#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xFbCreate.h"
#include "db/xSchema.h"
#include "db/xStoredProc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace korvex::cli {

using namespace korvex::db;

namespace {

void progressLine(const QString &step)
{
    err(QStringLiteral("  %1").arg(step));
}

// Makes what was written to a file (or the names in a folder) durable.
void syncPath(const QString &path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), (directory ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        throw EDatabaseError(QStringLiteral("Cannot write %1 to disk: %2").arg(path, reason));
    }
    ::close(fd);
}

// Schema, procedures and (with demo) the demo data with synchronised keys.
void build(TxDatabase &db, bool demo)
{
    TxSchema::install(db, -1, progressLine);
    if (demo) {
        TxSchema::loadDemo(db, progressLine);
        const QStringList behind = TxSchema::unsynchronisedKeys(db);
        if (!behind.isEmpty())
            throw EDatabaseError(QStringLiteral("Key sequences behind their tables: %1").arg(behind.join(QStringLiteral("; "))));
    }
}

// A local file is built under a temporary name next to it and renamed into
// place only when complete, so an interrupted init leaves no half-built
// database under the real name. One init per path at a time (a lock file);
// the leftover of an interrupted one is removed by the next.
void initLocal(const QString &path, const Args &a, bool demo)
{
    const QFileInfo fi(path);
    const QString absolute = fi.absoluteFilePath();
    if (fi.exists())
        throw EDatabaseError(QStringLiteral("The database file %1 already exists.").arg(path));
    if (!QDir().mkpath(fi.absolutePath()))
        throw EDatabaseError(QStringLiteral("Cannot create the folder %1.").arg(fi.absolutePath()));

    QLockFile lock(absolute + QStringLiteral(".init-lock"));
    lock.setStaleLockTime(0);  // stale only when its process is gone
    if (!lock.tryLock(0))
        throw EDatabaseError(QStringLiteral("Another db init is creating %1 right now.").arg(path));
    if (QFileInfo::exists(absolute))
        throw EDatabaseError(QStringLiteral("The database file %1 already exists.").arg(path));

    TxConnectionParams::Target temp;
    temp.path = absolute + QStringLiteral(".unfinished");
    if (QFileInfo::exists(temp.path)) {
        if (!QFile::remove(temp.path))
            throw EDatabaseError(QStringLiteral("Cannot remove %1, left by an interrupted db init.").arg(temp.path));
        err(QStringLiteral("Removed %1, left by an interrupted db init.").arg(temp.path));
    }

    const QString user = databaseUser(a);
    const QString password = databasePassword(a);
    createFirebirdDatabase(temp, user, password);
    try {
        // Synchronous writes only once built: the file is flushed as a whole
        // below, before it gets its name.
        setFirebirdForcedWrites(temp, user, password, false);
        {
            TxConnectionParams params;
            params.setServerName(temp.path);
            TxDatabase db;
            db.open(params, user, password);
            build(db, demo);
        }
        setFirebirdForcedWrites(temp, user, password, true);
        syncPath(temp.path, false);
        // link() refuses an existing name: a file that appeared meanwhile is kept.
        if (::link(QFile::encodeName(temp.path).constData(), QFile::encodeName(absolute).constData()) != 0) {
            const int e = errno;
            throw EDatabaseError(e == EEXIST ? QStringLiteral("The database file %1 already exists.").arg(path)
                                             : QStringLiteral("Cannot name the new database %1: %2")
                                                   .arg(path, QString::fromLocal8Bit(std::strerror(e))));
        }
        QFile::remove(temp.path);
        syncPath(fi.absolutePath(), true);
    } catch (...) {
        QFile::remove(temp.path);
        throw;
    }
}

// A server's file cannot be renamed by the client: the database is built in
// place, marked unfinished from its first statement to its last. Until then
// the program refuses it, and the next init of the same name drops it.
void initServer(const QString &path, const TxConnectionParams::Target &target, const Args &a, bool demo)
{
    const QString user = databaseUser(a);
    const QString password = databasePassword(a);
    try {
        createFirebirdDatabase(target, user, password);
    } catch (const EDatabaseError &refused) {
        bool unfinished = false;
        try {
            auto old = openDatabase(path, a, false);
            unfinished = TxSchema::isUnfinished(*old);
        } catch (const EDatabaseError &) {
            throw refused;
        }
        if (!unfinished)
            throw refused;
        dropFirebirdDatabase(target, user, password);
        err(QStringLiteral("Dropped the database %1, left unfinished by an interrupted db init.").arg(path));
        createFirebirdDatabase(target, user, password);
    }
    try {
        auto db = openDatabase(path, a, false);
        TxSchema::markUnfinished(*db);
        build(*db, demo);
        TxSchema::markFinished(*db);
    } catch (...) {
        try {
            dropFirebirdDatabase(target, user, password);
        } catch (const EDatabaseError &) {
            // The marker keeps the database refused; the next init drops it.
        }
        throw;
    }
}

int dbInit(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument("Usage: korvex-rent-cli db init [--demo] PATH");
    const QString path = a.positional.first();
    const TxConnectionParams::Target target = TxConnectionParams::parseServerName(path);
    if (target.path.isEmpty())
        throw EDatabaseError(QStringLiteral("No database path given."));
    const bool demo = a.has(QStringLiteral("demo"));
    if (target.isEmbedded())
        initLocal(target.path, a, demo);
    else
        initServer(path, target, a, demo);
    auto db = openDatabase(path, a, false);
    outLine(QStringLiteral("Created database %1, schema version %2%3.")
                .arg(path)
                .arg(TxSchema::version(*db))
                .arg(demo ? QStringLiteral(", with demo data") : QString()));
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
        db.reset();
        const QString backup = QStringLiteral("%1.v%2.bak").arg(path).arg(before);
        QFile::remove(backup);
        if (!QFile::copy(path, backup))
            throw EDatabaseError(QStringLiteral("Cannot copy the database to %1 before the upgrade.").arg(backup));
        err(QStringLiteral("Saved a copy of the database as %1").arg(backup));
        db = openDatabase(path, a, false);
    }
    const int applied = TxSchema::upgrade(*db, progressLine);
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
    TxSchema::version(*db);  // refuses a database of another program
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
