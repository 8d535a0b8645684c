// korvex-rent-cli debt: a debt as the program reads it, for checks from scripts.

#include "cliCommon.h"

#include "debt/boRentDebt.h"
#include "calc/xCalc.h"
#include "db/xDatabase.h"

#include <stdexcept>

namespace korvex::cli {

Command debtCommand()
{
    return {QStringLiteral("debt"),
            QStringLiteral("  debt (contractservice|contract|customer) KEY [--date YYYY-MM-DD] DATABASE\n"
                           "                            print the debt as NCU CURRENCY found|none"),
            [](const QStringList &args) -> int {
                QStringList valueOptions = databaseValueOptions();
                valueOptions << QStringLiteral("date");
                const Args a = parseArgs(args, valueOptions, {});
                if (a.positional.size() != 3)
                    throw std::invalid_argument(
                        "Usage: korvex-rent-cli debt (contractservice|contract|customer) KEY [--date YYYY-MM-DD] DATABASE");
                const QString kind = a.positional.at(0);
                bool ok = false;
                const int key = a.positional.at(1).toInt(&ok);
                if (!ok)
                    throw std::invalid_argument(QStringLiteral("KEY must be a number: %1").arg(a.positional.at(1)).toStdString());
                QDate date = QDate::currentDate();
                if (a.has(QStringLiteral("date"))) {
                    date = QDate::fromString(a.value(QStringLiteral("date")), Qt::ISODate);
                    if (!date.isValid())
                        throw std::invalid_argument(
                            QStringLiteral("--date must be YYYY-MM-DD: %1").arg(a.value(QStringLiteral("date"))).toStdString());
                }
                auto db = openDatabase(a.positional.at(2), a);
                korvex::billing::TboRentDebt debt(*db);
                if (kind == QLatin1String("contractservice"))
                    debt.DebtOfContractService(key, date);
                else if (kind == QLatin1String("contract"))
                    debt.DebtOfContract(key, date);
                else if (kind == QLatin1String("customer"))
                    debt.DebtOfCustomer(key, date);
                else
                    throw std::invalid_argument(
                        QStringLiteral("Unknown debt kind '%1' (contractservice, contract or customer).").arg(kind).toStdString());
                outLine(QStringLiteral("%1 %2 %3")
                            .arg(korvex::calc::shortestDecimalText(debt.ncu()), korvex::calc::shortestDecimalText(debt.curr()),
                                 debt.found() ? QStringLiteral("found") : QStringLiteral("none")));
                return 0;
            }};
}

} // namespace korvex::cli
