#pragma once

#include "xConnectionParams.h"

#include <QString>

namespace korvex::db {

// Creates an empty database file (charset WIN1251, collation PXW_CYRL, dialect
// 3) through the Firebird client library: on the embedded engine for a local
// path, on a server for "host:/path". Throws EDatabaseError with the server's
// text when the creation is refused.
void createFirebirdDatabase(const TxConnectionParams::Target &target, const QString &user,
                            const QString &password);

// Switches synchronous writes of a database on or off. Off is for scratch
// databases only (tests, templates): a crash may then lose committed work.
void setFirebirdForcedWrites(const TxConnectionParams::Target &target, const QString &user,
                             const QString &password, bool on);

// Drops (deletes) a database through the engine, so that its lock files go too.
void dropFirebirdDatabase(const TxConnectionParams::Target &target, const QString &user,
                          const QString &password);

// The connect string for the Firebird client: "path", "host:path" or "host/port:path".
QString firebirdConnectString(const TxConnectionParams::Target &target);

} // namespace korvex::db
