// korvex-rent-cli allocate: how a payment is spread over a customer's debts,
// as the program spreads it, for checks from scripts.

#include "cliCommon.h"

#include "amount/xAmount.h"
#include "billing/boRentAllocation.h"
#include "calc/xCalc.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] = "Usage: korvex-rent-cli allocate CUSTOMER AMOUNT [--service S] [--rate R] DATABASE";

double nonNegative(const QString &text, const QString &what)
{
    // '.' and ',' both mark the decimals, whatever the locale.
    const std::optional<double> value = korvex::amount::parseNumber(text);
    if (!value || *value < 0)
        throw std::invalid_argument(QStringLiteral("%1 must be a number not below 0: %2").arg(what, text).toStdString());
    return *value;
}

QString numberText(double v)
{
    return korvex::calc::shortestDecimalText(v == 0 ? 0.0 : v);  // never "-0"
}

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

int allocate(const Args &a)
{
    if (a.positional.size() != 3)
        throw std::invalid_argument(kUsage);
    const int customer = intArgument(a.positional.at(0), QStringLiteral("CUSTOMER"));
    const double amount = nonNegative(a.positional.at(1), QStringLiteral("AMOUNT"));
    const int service = a.has(QStringLiteral("service"))
                            ? intArgument(a.value(QStringLiteral("service")), QStringLiteral("--service"))
                            : -1;
    const double rate = a.has(QStringLiteral("rate")) ? nonNegative(a.value(QStringLiteral("rate")), QStringLiteral("--rate"))
                                                      : 0.0;

    QList<korvex::billing::TCSCost> lines;
    try {
        auto db = openDatabase(a.positional.at(2), a);
        korvex::shell::TmmOptions options(*db, korvex::shell::TmmOptions::DefaultUserKey);
        korvex::shell::TAppContext context{*db, options, nullptr};
        korvex::billing::TboRentAllocation allocation(context);
        if (!allocation.AllocatePayment(customer, service, lines, rate, amount)) {
            err(oneLine(allocation.failureReason()));
            return 1;
        }
    } catch (const korvex::db::EDatabaseError &e) {
        err(oneLine(e.userMessage()));
        return 1;
    }
    for (const korvex::billing::TCSCost &line : std::as_const(lines))
        outLine(QStringLiteral("%1 %2 %3").arg(line.contractServiceKey).arg(numberText(line.ncu), numberText(line.curr)));
    return 0;
}

} // namespace

Command allocateCommand()
{
    return {QStringLiteral("allocate"),
            QStringLiteral("  allocate CUSTOMER AMOUNT [--service S] [--rate R] DATABASE\n"
                           "                            spread a payment of AMOUNT (NCU) over the customer's\n"
                           "                            debts today as the program does: one line per\n"
                           "                            allocation line, CONTRACTSERVICEKEY NCU CURRENCY;\n"
                           "                            --service: one service with its main service\n"
                           "                            (default: all), --rate: the currency rate (default 0);\n"
                           "                            exit 1 with the reason when it cannot be allocated"),
            [](const QStringList &args) -> int {
                QStringList values = databaseValueOptions();
                values << QStringLiteral("service") << QStringLiteral("rate");
                return allocate(parseArgs(args, values, {}));
            }};
}

} // namespace korvex::cli
