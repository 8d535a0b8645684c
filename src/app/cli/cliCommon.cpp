#include "cliCommon.h"

#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xSchema.h"

#include <cstdio>
#include <stdexcept>

namespace korvex::cli {

void out(const QString &text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fflush(stdout);
}

void outLine(const QString &text)
{
    out(text + QLatin1Char('\n'));
}

void err(const QString &text)
{
    const QByteArray b = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

QString Args::value(const QString &name, const QString &def) const
{
    const QStringList v = options.value(name);
    return v.isEmpty() ? def : v.last();
}

Args parseArgs(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions)
{
    Args a;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &s = args.at(i);
        if (optionsEnded || !s.startsWith(QLatin1String("--")) ) {
            a.positional << s;
            continue;
        }
        if (s == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = s.mid(2);
        QString value;
        bool inlineValue = false;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            inlineValue = true;
        }
        if (valueOptions.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size())
                    throw std::invalid_argument(QStringLiteral("Option --%1 needs a value.").arg(name).toStdString());
                value = args.at(++i);
            }
            a.options[name] << value;
        } else if (flagOptions.contains(name) && !inlineValue) {
            a.options[name] << QString();
        } else {
            throw std::invalid_argument(QStringLiteral("Unknown option --%1.").arg(name).toStdString());
        }
    }
    return a;
}

QString databaseUser(const Args &args)
{
    if (args.has(QStringLiteral("user")))
        return args.value(QStringLiteral("user"));
    const QString env = qEnvironmentVariable("ISC_USER");
    return env.isEmpty() ? QStringLiteral("SYSDBA") : env;
}

QString databasePassword(const Args &args)
{
    if (args.has(QStringLiteral("password")))
        return args.value(QStringLiteral("password"));
    return qEnvironmentVariable("ISC_PASSWORD");
}

std::unique_ptr<korvex::db::TxDatabase> openDatabase(const QString &path, const Args &args, bool checkVersion)
{
    korvex::db::TxConnectionParams params;
    params.setServerName(path);
    auto db = std::make_unique<korvex::db::TxDatabase>();
    db->open(params, databaseUser(args), databasePassword(args));
    if (checkVersion)
        korvex::db::TxSchema::checkCompatible(*db);
    return db;
}

} // namespace korvex::cli
