// korvex-rent-cli post: posts an invoice's or pay bill's lines as bookkeeping
// operations, for the nightly exchange.

#include "cliCommon.h"

#include "accounting/boRentOperation.h"
#include "db/xDatabase.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char *const kUsage = "Usage: korvex-rent-cli post (invoice|paybill) KEY [--date YYYY-MM-DD] DATABASE";

} // namespace

Command postCommand()
{
    return {QStringLiteral("post"),
            QStringLiteral("  post (invoice|paybill) KEY [--date YYYY-MM-DD] DATABASE\n"
                           "                            post a document's lines as bookkeeping operations on the\n"
                           "                            date given, else its operation date, else its own date;\n"
                           "                            prints LINEKEY OPTYPE OPERATIONKEY per operation written;\n"
                           "                            refused operations go to stderr and the exit status is 2"),
            [](const QStringList &args) -> int {
                QStringList valueOptions = databaseValueOptions();
                valueOptions << QStringLiteral("date");
                const Args a = parseArgs(args, valueOptions, {});
                if (a.positional.size() != 3)
                    throw std::invalid_argument(kUsage);
                const QString kind = a.positional.at(0);
                if (kind != QLatin1String("invoice") && kind != QLatin1String("paybill"))
                    throw std::invalid_argument(
                        QStringLiteral("Unknown document kind '%1' (invoice or paybill).").arg(kind).toStdString());
                const int key = intArgument(a.positional.at(1), QStringLiteral("KEY"));
                QDate date = dateOption(a, QStringLiteral("date"));
                auto db = openDatabase(a.positional.at(2), a);
                korvex::accounting::TboRentOperation posting(*db);
                const bool invoice = kind == QLatin1String("invoice");
                // Read even when a date is given: an unknown document is an error, not "nothing posted".
                const QDate own = invoice ? posting.invoiceOperationDate(key) : posting.payBillOperationDate(key);
                if (!date.isValid())
                    date = own;
                if (!date.isValid())
                    throw std::invalid_argument(QStringLiteral("The document %1 has no date.").arg(key).toStdString());
                const QList<korvex::accounting::TPostedOperation> posted =
                    invoice ? posting.PostInvoice(key, date) : posting.PostPayBill(key, date);
                int refused = 0;
                for (const korvex::accounting::TPostedOperation &p : posted) {
                    if (p.Refused) {
                        ++refused;
                        err(QStringLiteral("Line %1: operation of type %2 refused: %3").arg(p.LineKey).arg(p.OpType).arg(p.ErrorText));
                    } else {
                        outLine(QStringLiteral("%1 %2 %3").arg(p.LineKey).arg(p.OpType).arg(p.OperationKey));
                    }
                }
                return refused > 0 ? 2 : 0;
            }};
}

} // namespace korvex::cli
