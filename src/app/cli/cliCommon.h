#pragma once

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::cli {

// Output helpers: UTF-8 on standard output and standard error.
void out(const QString &text);   // as is, no newline added
void outLine(const QString &text);
void err(const QString &text);   // adds a newline

// Parsed arguments of one command. Options are "--name" or "--name VALUE"
// ("--name=VALUE" too); "--" ends the options, so a negative number can follow.
struct Args {
    QStringList positional;
    QMap<QString, QStringList> options;  // name without dashes -> values (empty string for flags)

    bool has(const QString &name) const { return options.contains(name); }
    QString value(const QString &name, const QString &def = {}) const;
    QStringList values(const QString &name) const { return options.value(name); }
};

// Parses args against the lists of options that take a value and of flags;
// an unknown option throws std::invalid_argument with a message.
Args parseArgs(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions);

// The date of a "--name YYYY-MM-DD" option, an invalid date when the option
// is absent; a malformed date throws std::invalid_argument.
QDate dateOption(const Args &args, const QString &name);
// A whole-number argument; anything else throws std::invalid_argument
// naming it ("KEY must be a number: x").
int intArgument(const QString &text, const QString &what);

// The database options every command that opens a database shares. A
// password is never an option: the command line is visible to every user of
// the machine.
inline QStringList databaseValueOptions() { return {QStringLiteral("user")}; }

// Opens a database named by a local path or "host:/path" with the account
// from --user, else ISC_USER, else SYSDBA, and the password from ISC_PASSWORD
// (the embedded engine takes none).
std::unique_ptr<korvex::db::TxDatabase> openDatabase(const QString &path, const Args &args,
                                                     bool checkVersion = true);
QString databaseUser(const Args &args);
QString databasePassword(const Args &args);

struct Command {
    QString name;
    QString usage;    // lines of usage, shown by --help
    std::function<int(const QStringList &args)> run;
    bool needsFonts = false;  // runs under a (display-less) GUI application
};

// The command groups, one function each (defined in their own files).
Command dbCommand();
Command calcCommand();
Command userCommand();
Command wordsCommand();
Command debtCommand();
Command rtfCommand();
Command rateCommand();
Command reckonCommand();
Command postCommand();
Command bookkeepingCommand();
Command reportCommand();
Command allocateCommand();
Command fineCommand();
Command agingCommand();
Command payBillCommand();

} // namespace korvex::cli
