// korvex-rent-cli aging: each customer's debt on a date split by how long it
// is past due, for checks from scripts.

#include "cliCommon.h"

#include "calc/xCalc.h"
#include "db/xDatabase.h"
#include "debt/boRentAgedDebt.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] = "Usage: korvex-rent-cli aging --date YYYY-MM-DD [--customer K] DATABASE";

int aging(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument(kUsage);
    const QDate date = dateOption(a, QStringLiteral("date"));
    if (!date.isValid())
        throw std::invalid_argument(kUsage);
    std::optional<int> customer;
    if (a.has(QStringLiteral("customer")))
        customer = intArgument(a.value(QStringLiteral("customer")), QStringLiteral("--customer"));

    auto db = openDatabase(a.positional.at(0), a);
    korvex::billing::TboRentAgedDebt aged(*db);
    for (const korvex::billing::TAgedDebt &d : aged.AgedDebts(date, customer)) {
        QStringList line{QString::number(d.customerKey)};
        for (double v : {d.notDue, d.days1To30, d.days31To60, d.days61To90, d.over90, d.total})
            line << korvex::calc::shortestDecimalText(v);
        outLine(line.join(QLatin1Char(' ')));
    }
    return 0;
}

} // namespace

Command agingCommand()
{
    return {QStringLiteral("aging"),
            QStringLiteral("  aging --date YYYY-MM-DD [--customer K] DATABASE\n"
                           "                            each customer whose NCU debt on the date is above 0\n"
                           "                            (or customer K): CUSTOMERKEY NOTDUE D1_30 D31_60\n"
                           "                            D61_90 D90PLUS TOTAL, the debt split by days past due;\n"
                           "                            TOTAL is the customer's debt on the date"),
            [](const QStringList &args) -> int {
                QStringList values = databaseValueOptions();
                values << QStringLiteral("date") << QStringLiteral("customer");
                return aging(parseArgs(args, values, {}));
            }};
}

} // namespace korvex::cli
