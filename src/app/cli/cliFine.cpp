// korvex-rent-cli fine: the penalty on a customer's overdue debt for one
// service, as the program computes it before rounding, for checks from
// scripts.

#include "cliCommon.h"

#include "amount/xAmount.h"
#include "calc/xCalc.h"
#include "db/xDatabase.h"
#include "debt/boRentDebt.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] =
    "Usage: korvex-rent-cli fine SERVICE CUSTOMER --from YYYY-MM-DD --to YYYY-MM-DD --rate R [--payment P] DATABASE";

QDate requiredDate(const Args &a, const QString &name)
{
    const QDate d = dateOption(a, name);
    if (!d.isValid())
        throw std::invalid_argument(kUsage);
    return d;
}

int fine(const Args &a)
{
    if (a.positional.size() != 3 || !a.has(QStringLiteral("rate")))
        throw std::invalid_argument(kUsage);
    const int service = intArgument(a.positional.at(0), QStringLiteral("SERVICE"));
    const int customer = intArgument(a.positional.at(1), QStringLiteral("CUSTOMER"));
    const QDate from = requiredDate(a, QStringLiteral("from"));
    const QDate to = requiredDate(a, QStringLiteral("to"));
    if (to < from)
        throw std::invalid_argument("--to must not be before --from");
    // '.' and ',' both mark the decimals, whatever the locale.
    const std::optional<double> rate = korvex::amount::parseNumber(a.value(QStringLiteral("rate")));
    if (!rate)
        throw std::invalid_argument(
            QStringLiteral("--rate must be a number: %1").arg(a.value(QStringLiteral("rate"))).toStdString());
    const bool onePayment = a.has(QStringLiteral("payment"));
    const int payment = onePayment ? intArgument(a.value(QStringLiteral("payment")), QStringLiteral("--payment")) : 0;

    auto db = openDatabase(a.positional.at(2), a);
    korvex::billing::TboRentDebt debt(*db);
    const double penalty = debt.ComputeFine(service, customer, payment, !onePayment, to, from, *rate);
    outLine(korvex::calc::shortestDecimalText(penalty == 0 ? 0.0 : penalty));  // never "-0"
    return 0;
}

} // namespace

Command fineCommand()
{
    return {QStringLiteral("fine"),
            QStringLiteral("  fine SERVICE CUSTOMER --from YYYY-MM-DD --to YYYY-MM-DD --rate R [--payment P] DATABASE\n"
                           "                            print the penalty on the customer's overdue NCU debt\n"
                           "                            for the service over the period at the daily rate R,\n"
                           "                            not rounded; --payment: only contracts of that\n"
                           "                            payment form (default: all payment forms)"),
            [](const QStringList &args) -> int {
                QStringList values = databaseValueOptions();
                values << QStringLiteral("from") << QStringLiteral("to") << QStringLiteral("rate")
                       << QStringLiteral("payment");
                return fine(parseArgs(args, values, {}));
            }};
}

} // namespace korvex::cli
