// korvex-rent-cli reckon: prices one contract position as the program does,
// for checks from scripts and for finding why a position does not price.

#include "cliCommon.h"

#include "amount/xAmount.h"
#include "pricing/boRentReckoning.h"
#include "calc/xCalc.h"
#include "db/xDatabase.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] = "Usage: korvex-rent-cli reckon CONTRACTSERVICEKEY [--rate R] DATABASE";

int reckon(const Args &a)
{
    if (a.positional.size() != 2)
        throw std::invalid_argument(kUsage);
    bool ok = false;
    const int key = a.positional.at(0).toInt(&ok);
    if (!ok)
        throw std::invalid_argument(
            QStringLiteral("CONTRACTSERVICEKEY must be a number: %1").arg(a.positional.at(0)).toStdString());
    double rate = 0;
    if (a.has(QStringLiteral("rate"))) {
        // '.' and ',' both mark the decimals, whatever the locale.
        const std::optional<double> typed = korvex::amount::parseNumber(a.value(QStringLiteral("rate")));
        rate = typed.value_or(-1);
        if (rate < 0)
            throw std::invalid_argument(QStringLiteral("--rate must be a number not below 0 (0: none): %1")
                                            .arg(a.value(QStringLiteral("rate")))
                                            .toStdString());
    }

    auto db = openDatabase(a.positional.at(1), a);
    korvex::shell::TmmOptions options(*db, korvex::shell::TmmOptions::DefaultUserKey);
    korvex::shell::TAppContext context{*db, options, nullptr};
    korvex::calc::TboRentReckoning engine(context);
    // One transaction for the reading and the pricing.
    korvex::calc::TReckoningRun run(engine);
    if (!engine.LoadContractService(key)) {
        err(engine.failureReason());
        return 1;
    }
    engine.ReckoningRate = rate;
    if (!engine.Reckon()) {
        err(engine.failureReason());
        return 1;
    }
    outLine(korvex::calc::shortestDecimalText(engine.CostNCU) + QLatin1Char(' ')
            + korvex::calc::shortestDecimalText(engine.CostCurr));
    return 0;
}

} // namespace

Command reckonCommand()
{
    return {QStringLiteral("reckon"),
            QStringLiteral("  reckon CONTRACTSERVICEKEY [--rate R] DATABASE\n"
                           "                            price a contract position by its reckoning type as\n"
                           "                            COSTNCU COSTCURR; --rate: the currency rate to use\n"
                           "                            (default: today's rate of option rentcurrkey); exit 1\n"
                           "                            with the reason when it cannot be priced"),
            [](const QStringList &args) -> int {
                QStringList values = databaseValueOptions();
                values << QStringLiteral("rate");
                return reckon(parseArgs(args, values, {}));
            }};
}

} // namespace korvex::cli
