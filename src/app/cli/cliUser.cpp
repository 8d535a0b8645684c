// korvex-rent-cli user: the program's users and the database accounts.

#include "cliCommon.h"

#include "db/xDatabase.h"
#include "shell/UserAdmin.h"

#include <QTextStream>
#include <cstdio>
#include <stdexcept>

namespace korvex::cli {

using korvex::shell::TUserAdmin;

namespace {

// Passwords are read from standard input, never from the command line, where
// other users of the machine could see them.
QString readPassword()
{
    QTextStream in(stdin);
    const QString line = in.readLine();
    if (line.isEmpty())
        throw std::invalid_argument("No password on standard input.");
    return line;
}

QList<int> parseRights(const QString &text)
{
    QList<int> rights;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int r = part.trimmed().toInt(&ok);
        if (!ok)
            throw std::invalid_argument(QStringLiteral("Rights are numbers: %1").arg(text).toStdString());
        rights << r;
    }
    return rights;
}

} // namespace

Command userCommand()
{
    return {QStringLiteral("user"),
            QStringLiteral("  user list DATABASE        list the users with their rights\n"
                           "  user add [--fullname TEXT] [--rights 0,10,...] NAME DATABASE\n"
                           "                            add a user (rights default to 0: may log in)\n"
                           "  user passwd [--iterations N] NAME DATABASE\n"
                           "                            set a user's password, read from standard input\n"
                           "  user dbaccount ACCOUNT DATABASE\n"
                           "                            record the password (standard input) of the database\n"
                           "                            account the login hands out, and grant it its rights"),
            [](const QStringList &args) -> int {
                if (args.isEmpty())
                    throw std::invalid_argument("Usage: korvex-rent-cli user list|add|passwd|dbaccount ...");
                const QString sub = args.first();
                QStringList valueOptions = databaseValueOptions();
                valueOptions << QStringLiteral("fullname") << QStringLiteral("rights") << QStringLiteral("iterations");
                const Args a = parseArgs(args.mid(1), valueOptions, {});
                if (sub == QLatin1String("list")) {
                    if (a.positional.size() != 1)
                        throw std::invalid_argument("Usage: korvex-rent-cli user list DATABASE");
                    auto db = openDatabase(a.positional.at(0), a);
                    for (const TUserAdmin::User &u : TUserAdmin(*db).users()) {
                        QStringList rights;
                        for (int r : u.rights)
                            rights << QString::number(r);
                        outLine(QStringLiteral("%1\t%2\t%3\trights %4%5%6")
                                    .arg(u.key)
                                    .arg(u.name, u.fullName, rights.join(QLatin1Char(',')),
                                         u.hasPassword ? QString() : QStringLiteral("\tno password"),
                                         u.disabled ? QStringLiteral("\tdisabled") : QString()));
                    }
                    return 0;
                }
                if (sub == QLatin1String("add")) {
                    if (a.positional.size() != 2)
                        throw std::invalid_argument("Usage: korvex-rent-cli user add [--fullname TEXT] [--rights 0,10] NAME DATABASE");
                    auto db = openDatabase(a.positional.at(1), a);
                    const int key = TUserAdmin(*db).addUser(a.positional.at(0), a.value(QStringLiteral("fullname")),
                                                            parseRights(a.value(QStringLiteral("rights"), QStringLiteral("0"))));
                    outLine(QStringLiteral("Added user %1 with key %2; set the password with 'user passwd'.")
                                .arg(a.positional.at(0))
                                .arg(key));
                    return 0;
                }
                if (sub == QLatin1String("passwd")) {
                    if (a.positional.size() != 2)
                        throw std::invalid_argument("Usage: korvex-rent-cli user passwd [--iterations N] NAME DATABASE");
                    const int iterations = a.value(QStringLiteral("iterations"), QString::number(TUserAdmin::DefaultIterations)).toInt();
                    if (iterations < 1)
                        throw std::invalid_argument("--iterations must be a positive number.");
                    auto db = openDatabase(a.positional.at(1), a);
                    TUserAdmin(*db).setPassword(a.positional.at(0), readPassword(), iterations);
                    outLine(QStringLiteral("Password of %1 set.").arg(a.positional.at(0)));
                    return 0;
                }
                if (sub == QLatin1String("dbaccount")) {
                    if (a.positional.size() != 2)
                        throw std::invalid_argument("Usage: korvex-rent-cli user dbaccount ACCOUNT DATABASE");
                    auto db = openDatabase(a.positional.at(1), a);
                    TUserAdmin(*db).setDbAccount(a.positional.at(0), readPassword());
                    outLine(QStringLiteral("Database account %1 recorded and granted.").arg(a.positional.at(0).toUpper()));
                    return 0;
                }
                throw std::invalid_argument(QStringLiteral("Unknown user command '%1'.").arg(sub).toStdString());
            }};
}

} // namespace korvex::cli
