// korvex-rent-cli rate: the rate the program would use, for scripts that
// check the rates before a billing run.

#include "cliCommon.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "reference/boCurrency.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <stdexcept>

namespace korvex::cli {

using namespace korvex::db;

namespace {

// A currency named by its short name (letter case ignored) or its key.
int currencyKey(TxDatabase &db, const QString &name)
{
    const QVariant byName = TxQuery::scalar(
        db, QStringLiteral("SELECT FIRST 1 id FROM fin_curr WHERE UPPER(TRIM(shortname)) = UPPER(?) ORDER BY id"),
        {name.trimmed()});
    if (byName.isValid())
        return byName.toInt();
    bool isNumber = false;
    const int key = name.trimmed().toInt(&isNumber);
    if (isNumber && TxQuery::scalar(db, QStringLiteral("SELECT id FROM fin_curr WHERE id = ?"), {key}).isValid())
        return key;
    throw std::invalid_argument(QStringLiteral("Unknown currency '%1'.").arg(name).toStdString());
}

int rate(const Args &a)
{
    if (a.positional.size() != 2)
        throw std::invalid_argument(
            "Usage: korvex-rent-cli rate CURRENCY [--to CURRENCY] [--date YYYY-MM-DD] DATABASE");
    std::optional<QDate> date;
    if (a.has(QStringLiteral("date"))) {
        const QDate d = QDate::fromString(a.value(QStringLiteral("date")), Qt::ISODate);
        if (!d.isValid())
            throw std::invalid_argument(
                QStringLiteral("Bad date '%1': expected YYYY-MM-DD.").arg(a.value(QStringLiteral("date"))).toStdString());
        date = d;
    }
    auto db = openDatabase(a.positional.at(1), a);
    const int from = currencyKey(*db, a.positional.at(0));
    std::optional<int> to;
    if (a.has(QStringLiteral("to")))
        to = currencyKey(*db, a.value(QStringLiteral("to")));

    korvex::shell::TmmOptions options(*db, korvex::shell::TmmOptions::DefaultUserKey);
    korvex::shell::TAppContext context{*db, options, nullptr};
    korvex::reference::TboCurrency currency(context);
    if (!currency.FindRate(from, to, date)) {
        err(QStringLiteral("no rate"));
        return 1;
    }
    outLine(QStringLiteral("%1 %2 %3")
                .arg(QString::number(currency.Rate, 'g', 15), currency.fordate.toString(Qt::ISODate),
                     currency.CurrentRate ? QStringLiteral("current") : QStringLiteral("earlier")));
    return 0;
}

} // namespace

Command rateCommand()
{
    return {QStringLiteral("rate"),
            QStringLiteral("  rate CURRENCY [--to CURRENCY] [--date YYYY-MM-DD] DATABASE\n"
                           "                            the rate found for the currency (short name or key)\n"
                           "                            into --to (default: the national currency) on --date\n"
                           "                            (default: today), as RATE DATE current|earlier;\n"
                           "                            exit 1 with \"no rate\" when there is none"),
            [](const QStringList &args) -> int {
                QStringList values = databaseValueOptions();
                values << QStringLiteral("to") << QStringLiteral("date");
                return rate(parseArgs(args, values, {}));
            }};
}

} // namespace korvex::cli
