#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace korvex::db {

class TxDatabase;

// The database schema as the program knows it: numbered migrations that build
// the tables step by step, and the server procedures, which are re-created
// whole after every migration run. A database records the number of the last
// migration it received in fin_dbversion.
class TxSchema
{
public:
    struct Migration {
        int version = 0;
        QString name;      // file name without the number
        QString resource;  // resource path of the script
    };

    static QList<Migration> migrations();
    static int latestVersion();

    // The two working database accounts a new database records: the one the
    // login hands out to everyone, and the one for user administrators
    // (users with right 10), which alone may run the user-administration
    // procedures. Neither may write users and rights directly, read password
    // keys or account passwords, or change the schema.
    static QString defaultWorkingAccount() { return QStringLiteral("KORVEX"); }
    static QString defaultAdminAccount() { return QStringLiteral("KORVEXADM"); }
    // fin_dbaccount.accountkind of the two (the right that selects it).
    static constexpr int EveryoneAccountKind = 0;
    static constexpr int AdminAccountKind = 10;
    // The start-up account that may only run the login procedure, and its
    // fixed password.
    static QString startupAccount() { return QStringLiteral("OPENERUSR"); }
    static QString startupPassword() { return QStringLiteral("kemplorix"); }

    using Progress = std::function<void(const QString &step)>;

    // Builds a new, empty database up to the given version (the latest by
    // default). The procedures and rights are installed only when the schema
    // reaches the latest version.
    static void install(TxDatabase &db, int upToVersion = -1, const Progress &progress = {});

    // The version recorded in the database; throws EDatabaseError of kind
    // ForeignDatabase when the database is not one of this program's, and of
    // kind UnfinishedDatabase when "db init" did not complete it.
    static int version(TxDatabase &db);

    // Applies the missing migrations in order and re-creates the procedures.
    // Throws with a clear message when the database is newer than the program.
    // Returns the number of migrations applied.
    static int upgrade(TxDatabase &db, const Progress &progress = {});

    // Throws when the database cannot be worked with by this program (newer,
    // or older and needing an upgrade).
    static void checkCompatible(TxDatabase &db);

    // Loads the demonstration data (a small landlord) into a new database and
    // moves every key sequence past the keys it brought along.
    static void loadDemo(TxDatabase &db, const Progress &progress = {});

    // Key sequences that would hand out a key already stored in their table
    // ("GEN_X" serves table X, "FIN_G_X" table FIN_X), as "sequence: text".
    static QStringList unsynchronisedKeys(TxDatabase &db);

    // A database built in place (on a server, where the client cannot rename
    // a finished file into place) carries a marker from the first statement
    // until the last one; version() refuses it until the marker is cleared.
    static void markUnfinished(TxDatabase &db);
    static void markFinished(TxDatabase &db);
    static bool isUnfinished(TxDatabase &db);

    // Gives each account recorded in fin_dbaccount the rights of its kind on
    // every table, procedure, function and sequence, after taking whatever
    // it held before; an account no longer handed out (no kind) loses all.
    static void grantWorkingAccounts(TxDatabase &db);

    static QString readResource(const QString &resource);

private:
    static void applyMigration(TxDatabase &db, const Migration &m);
    static void installProcedures(TxDatabase &db, const Progress &progress);
};

} // namespace korvex::db
