// korvex-rent-cli paybill: pay bills made from the bookkeeping system's
// payment operations, one by one or as the nightly import.

#include "cliCommon.h"

#include "accounting/xBookkeepIni.h"
#include "accounting/xImportKorvex.h"
#include "billing/boRentPayBill.h"
#include "db/xDatabase.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <QDir>
#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] =
    "Usage: korvex-rent-cli paybill from-operation OPKEY [OPKEY...] [--operation-date YYYY-MM-DD] [--currency C]\n"
    "                                [--payment P] [--payment-from-contract] DATABASE\n"
    "       korvex-rent-cli paybill import --type T --from YYYY-MM-DD --to YYYY-MM-DD [--operation-date YYYY-MM-DD]\n"
    "                                [--currency C] [--payment P] [--payment-from-contract] [--ini FILE] DATABASE";

QStringList valueOptions()
{
    QStringList v = databaseValueOptions();
    v << QStringLiteral("operation-date") << QStringLiteral("currency") << QStringLiteral("payment")
      << QStringLiteral("type") << QStringLiteral("from") << QStringLiteral("to") << QStringLiteral("ini");
    return v;
}

korvex::billing::TPayBillImport importParams(const Args &a, const korvex::billing::TboRentPayBill &bo)
{
    korvex::billing::TPayBillImport p = bo.importDefaults();
    const QDate operationDate = dateOption(a, QStringLiteral("operation-date"));
    p.sameDate = !operationDate.isValid();
    if (operationDate.isValid())
        p.operationDate = operationDate;
    if (a.has(QStringLiteral("currency")))
        p.currKey = intArgument(a.value(QStringLiteral("currency")), QStringLiteral("--currency"));
    if (a.has(QStringLiteral("payment")))
        p.paymentKey = intArgument(a.value(QStringLiteral("payment")), QStringLiteral("--payment"));
    p.paymentFromContract = a.has(QStringLiteral("payment-from-contract"));
    return p;
}

int report(const QList<int> &keys, const QList<std::pair<int, int>> &results,
           const korvex::billing::TPayBillImportCounts &counts)
{
    for (qsizetype i = 0; i < results.size(); ++i)
        outLine(QStringLiteral("%1 %2 %3").arg(keys.at(i)).arg(results.at(i).first).arg(results.at(i).second));
    err(QStringLiteral("Made %1, replaced %2, not made %3.").arg(counts.made).arg(counts.replaced).arg(counts.notMade));
    return 0;
}

int run(const Args &a)
{
    if (a.positional.size() < 2)
        throw std::invalid_argument(kUsage);
    const QString what = a.positional.at(0);
    const bool fromOperation = what == QLatin1String("from-operation");
    if (!fromOperation && what != QLatin1String("import"))
        throw std::invalid_argument(kUsage);
    const bool importOptions = a.has(QStringLiteral("type")) || a.has(QStringLiteral("from"))
                               || a.has(QStringLiteral("to")) || a.has(QStringLiteral("ini"));
    QList<int> keys;
    QDate from, to;
    int type = 0;
    if (fromOperation) {
        if (importOptions || a.positional.size() < 3)
            throw std::invalid_argument(kUsage);
        for (const QString &k : a.positional.mid(1, a.positional.size() - 2))
            keys << intArgument(k, QStringLiteral("OPKEY"));
    } else {
        if (a.positional.size() != 2 || !a.has(QStringLiteral("type")))
            throw std::invalid_argument(kUsage);
        type = intArgument(a.value(QStringLiteral("type")), QStringLiteral("--type"));
        from = dateOption(a, QStringLiteral("from"));
        to = dateOption(a, QStringLiteral("to"));
        if (!from.isValid() || !to.isValid())
            throw std::invalid_argument(kUsage);
    }
    auto db = openDatabase(a.positional.last(), a);
    korvex::shell::TmmOptions options(*db, korvex::shell::TmmOptions::DefaultUserKey);
    korvex::shell::TAppContext context{*db, options, nullptr};
    korvex::billing::TboRentPayBill bo(context);
    const korvex::billing::TPayBillImport params = importParams(a, bo);
    if (!fromOperation) {
        const korvex::accounting::TxBookkeepIni ini =
            a.has(QStringLiteral("ini"))
                ? korvex::accounting::TxBookkeepIni(QDir::current().absoluteFilePath(a.value(QStringLiteral("ini"))))
                : korvex::accounting::TxBookkeepIni();
        korvex::accounting::TxImportKorvex engine(*db, ini);
        engine.OpType = type;
        korvex::accounting::TChooseAllEntries all(from, to);
        engine.ImportOperations(all);
        keys = engine.OperationKeys;
    }
    QList<std::pair<int, int>> results;
    const korvex::billing::TPayBillImportCounts counts = bo.payBillsFromOperations(keys, params, nullptr, &results);
    return report(keys, results, counts);
}

} // namespace

Command payBillCommand()
{
    return {QStringLiteral("paybill"),
            QStringLiteral("  paybill from-operation OPKEY [OPKEY...] [--operation-date YYYY-MM-DD] [--currency C]\n"
                           "          [--payment P] [--payment-from-contract] DATABASE\n"
                           "                            make a pay bill from each payment operation, its amount\n"
                           "                            allocated over the customer's debts (one made earlier from\n"
                           "                            the operation is replaced); prints OPKEY RESULT PAYBILLKEY\n"
                           "                            (0 not made, 1 made, 2 replaced; -1 when not made) and the\n"
                           "                            counts made, replaced, not made on standard error.\n"
                           "                            The operation date is the payment's unless given; the\n"
                           "                            currency and form of payment default to the options\n"
                           "                            rentcurrkey and rentpaymentkey; --payment-from-contract:\n"
                           "                            the form of the contract of the first line\n"
                           "  paybill import --type T --from YYYY-MM-DD --to YYYY-MM-DD [same options] [--ini FILE]\n"
                           "          DATABASE          import the register's entries of the period as operations\n"
                           "                            of type T, then make their pay bills (the nightly run)"),
            [](const QStringList &args) -> int {
                return run(parseArgs(args, valueOptions(), {QStringLiteral("payment-from-contract")}));
            }};
}

} // namespace korvex::cli
