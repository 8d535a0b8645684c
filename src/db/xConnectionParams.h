#pragma once

#include <QString>
#include <QStringList>

namespace korvex::db {

// The connection parameters handed to the database layer: lines of the form
// NAME=VALUE, read from the parameters file ("domira.dat") when it exists.
//
// "SERVER NAME=" names the database. A local path opens the file with the
// embedded engine inside the process; "host:/path" (or "host/port:/path")
// reaches a Firebird server.
class TxConnectionParams
{
public:
    TxConnectionParams();  // the default parameter lines

    static QStringList defaultLines();
    // Where the default database lives when no parameters file names one.
    static QString defaultDatabasePath();

    // Expands a leading directory macro: %D program directory, %S and %W a
    // system-wide folder, %T the temporary folder (letter case ignored).
    // A name without a macro is returned unchanged (relative to the working
    // directory).
    static QString expandFileName(const QString &fileName);

    // Replaces every line by the file's lines when the file exists; returns
    // whether it did. A file that exists but cannot be read, has a line that
    // is not NAME=VALUE or names no database throws EDatabaseError of kind
    // BadParameters (the lines stay as they were).
    bool loadFromFile(const QString &fileName);
    // Writes the lines as the file, whole or not at all (an existing file
    // stays as it was when writing fails, which throws EDatabaseError).
    void saveToFile(const QString &fileName) const;

    const QStringList &lines() const { return m_lines; }
    void setLines(const QStringList &lines) { m_lines = lines; }

    QString value(const QString &name) const;   // name compared case-insensitively
    void setValue(const QString &name, const QString &value);
    void remove(const QString &name);

    QString serverName() const { return value(QStringLiteral("SERVER NAME")); }
    void setServerName(const QString &name) { setValue(QStringLiteral("SERVER NAME"), name); }

    // The server name split into host (empty for the embedded engine), port
    // (0 = default) and database path.
    struct Target {
        QString host;
        int port = 0;
        QString path;
        bool isEmbedded() const { return host.isEmpty(); }
    };
    static Target parseServerName(const QString &serverName);
    Target target() const { return parseServerName(serverName()); }

private:
    QStringList m_lines;
};

} // namespace korvex::db
