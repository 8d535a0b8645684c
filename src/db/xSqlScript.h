#pragma once

#include <QString>
#include <QStringList>

namespace korvex::db {

class TxDatabase;

// A script in the form isql reads: statements ended by the current
// terminator, "SET TERM" changing it for procedure bodies, comments and quoted
// text left intact. "SET SQL DIALECT", "SET NAMES" and "COMMIT" lines are
// accepted and dropped (every statement commits on its own when run).
class TxSqlScript
{
public:
    struct Statement {
        QString text;
        int line = 0;  // first line of the statement in the script, 1-based
    };

    static QList<Statement> split(const QString &script);

    // Runs every statement of the script, each committed on its own. A failing
    // statement throws EDatabaseError naming the script and the line.
    static void run(TxDatabase &db, const QString &script, const QString &scriptName);
};

} // namespace korvex::db
