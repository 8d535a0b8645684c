// korvex-rent-cli bill: the monthly billing run from scripts - an invoice for
// every open contract (or the ones listed), as the contracts page makes them.

#include "cliCommon.h"

#include "amount/xAmount.h"
#include "billing/boRentContract.h"
#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"
#include "widgets/xProgress.h"

#include <stdexcept>

namespace korvex::cli {

namespace {

const char kUsage[] =
    "Usage: korvex-rent-cli bill --date YYYY-MM-DD [--contracts K[,K...]] [--services K[,K...]] [--currency C] "
    "[--rate R] [--payment P] [--type T] [--expire YYYY-MM-DD] [--operation-date YYYY-MM-DD] [--info TEXT] DATABASE";

QList<int> keyList(const Args &a, const QString &name)
{
    QList<int> keys;
    const QStringList parts = a.value(name).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int key = intArgument(part.trimmed(), QStringLiteral("--") + name);
        if (!keys.contains(key))
            keys << key;
    }
    if (keys.isEmpty())
        throw std::invalid_argument(QStringLiteral("--%1 needs at least one key").arg(name).toStdString());
    return keys;
}

std::optional<int> keyOption(const Args &a, const QString &name)
{
    if (!a.has(name))
        return std::nullopt;
    return intArgument(a.value(name), QStringLiteral("--") + name);
}

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

// Keys of a table that are missing from it; the first one is reported.
void requireRows(korvex::db::TxDatabase &db, const QString &table, const QString &keyColumn, const QList<int> &keys,
                 const QString &what)
{
    for (int key : keys) {
        if (!korvex::db::TxQuery::scalar(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, keyColumn), {key})
                 .isValid())
            throw std::invalid_argument(QStringLiteral("%1 %2 does not exist").arg(what).arg(key).toStdString());
    }
}

QList<int> allKeys(korvex::db::TxDatabase &db, const QString &sql)
{
    QList<int> keys;
    korvex::db::TxQuery q(db);
    q.exec(sql);
    while (q.next())
        keys << q.value(0).toInt();
    return keys;
}

// Progress on standard error: one line per tenth of the run (and its end).
class TBillProgress final : public korvex::widgets::TxProgress
{
public:
    void begin(const QString &, qint64 total) override
    {
        m_total = total;
        m_step = qMax<qint64>(1, total / 10);
    }
    void setText(const QString &) override {}
    void setPosition(qint64 done) override
    {
        if (done == m_total || done % m_step == 0)
            err(QStringLiteral("bill: %1 of %2 contracts").arg(done).arg(m_total));
    }
    bool wasStopped() const override { return false; }
    void end() override {}

private:
    qint64 m_total = 0;
    qint64 m_step = 1;
};

int bill(const Args &a)
{
    if (a.positional.size() != 1)
        throw std::invalid_argument(kUsage);
    korvex::billing::TInvoiceParams params;
    params.invoiceDate = dateOption(a, QStringLiteral("date"));
    if (!params.invoiceDate.isValid())
        throw std::invalid_argument(QStringLiteral("--date is required. %1").arg(QLatin1String(kUsage)).toStdString());
    params.expireDate = a.has(QStringLiteral("expire")) ? dateOption(a, QStringLiteral("expire")) : params.invoiceDate;
    params.operationDate =
        a.has(QStringLiteral("operation-date")) ? dateOption(a, QStringLiteral("operation-date")) : params.invoiceDate;
    params.information = a.value(QStringLiteral("info"));
    const bool rateGiven = a.has(QStringLiteral("rate"));
    if (rateGiven) {
        const std::optional<double> rate = korvex::amount::parseNumber(a.value(QStringLiteral("rate")));
        if (!rate || *rate < 0)
            throw std::invalid_argument(
                QStringLiteral("--rate must be a number not below 0: %1").arg(a.value(QStringLiteral("rate"))).toStdString());
        params.rate = *rate;
    }
    const std::optional<QList<int>> listedContracts =
        a.has(QStringLiteral("contracts")) ? std::optional(keyList(a, QStringLiteral("contracts"))) : std::nullopt;
    const std::optional<QList<int>> listedServices =
        a.has(QStringLiteral("services")) ? std::optional(keyList(a, QStringLiteral("services"))) : std::nullopt;
    const std::optional<int> currency = keyOption(a, QStringLiteral("currency"));
    const std::optional<int> payment = keyOption(a, QStringLiteral("payment"));
    const std::optional<int> type = keyOption(a, QStringLiteral("type"));

    korvex::billing::TInvoiceRun run;
    try {
        auto db = openDatabase(a.positional.at(0), a);
        korvex::shell::TmmOptions options(*db, korvex::shell::TmmOptions::DefaultUserKey);
        korvex::shell::TAppContext context{*db, options, nullptr};

        params.currKey = currency ? currency : options.GetIntegerOption(QStringLiteral("rentcurrkey"));
        params.paymentKey = payment.value_or(options.integerOption(QStringLiteral("rentpaymentkey"), 0));
        params.invoiceTypeKey = type.value_or(options.integerOption(QStringLiteral("rentinvoicetypekey"), 0));
        if (params.paymentKey <= 0)
            throw std::invalid_argument("No form of payment: give --payment or set the option rentpaymentkey.");
        if (params.invoiceTypeKey <= 0)
            throw std::invalid_argument("No invoice type: give --type or set the option rentinvoicetypekey.");
        requireRows(*db, QStringLiteral("rent_payment"), QStringLiteral("id"), {params.paymentKey},
                    QStringLiteral("Form of payment"));
        requireRows(*db, QStringLiteral("rent_invoicetype"), QStringLiteral("id"), {params.invoiceTypeKey},
                    QStringLiteral("Invoice type"));
        if (params.currKey)
            requireRows(*db, QStringLiteral("fin_curr"), QStringLiteral("id"), {*params.currKey},
                        QStringLiteral("Currency"));
        if (listedContracts)
            requireRows(*db, QStringLiteral("rent_contract"), QStringLiteral("id"), *listedContracts,
                        QStringLiteral("Contract"));
        if (listedServices)
            requireRows(*db, QStringLiteral("rent_service"), QStringLiteral("id"), *listedServices,
                        QStringLiteral("Service"));

        korvex::billing::TboRentContract contracts(context);
        if (!rateGiven)
            params.rate = contracts.rateOn(params.currKey, params.invoiceDate);
        const QList<int> contractKeys =
            listedContracts ? *listedContracts
                            : allKeys(*db, QStringLiteral("SELECT id FROM rent_contract WHERE COALESCE(disabled, 0) = 0"
                                                          " ORDER BY id"));
        const QList<int> serviceKeys =
            listedServices ? *listedServices : allKeys(*db, QStringLiteral("SELECT id FROM rent_service ORDER BY id"));
        TBillProgress progress;
        run = contracts.MakeInvoices(contractKeys, serviceKeys, params, &progress);
    } catch (const korvex::db::EDatabaseError &e) {
        err(oneLine(e.userMessage()));
        return 1;
    } catch (const korvex::db::EBusinessError &e) {
        err(oneLine(e.message()));
        return 1;
    }

    for (const korvex::billing::TMakeInvoiceResult &r : std::as_const(run.contracts)) {
        if (r.made)
            outLine(QStringLiteral("%1 %2 %3").arg(r.invoiceKey).arg(r.number).arg(r.contractKey));
    }
    const QList<korvex::billing::TUnpricedInvoicePosition> unpriced = run.unpriced();
    for (const korvex::billing::TUnpricedInvoicePosition &p : unpriced)
        err(oneLine(QStringLiteral("Not priced: contract %1 (%2), position %3 (%4%5): %6")
                        .arg(p.contractKey)
                        .arg(p.contractNumber)
                        .arg(p.contractServiceKey)
                        .arg(p.serviceName, p.objectName.isEmpty() ? QString() : QStringLiteral(", ") + p.objectName,
                             p.reason)));
    for (const korvex::billing::TMakeInvoiceResult &r : std::as_const(run.contracts)) {
        if (!r.failure.isEmpty())
            err(oneLine(QStringLiteral("Failed: contract %1: %2").arg(r.contractKey).arg(r.failure)));
    }
    if (run.attempts > 1)
        err(QStringLiteral("Begun again after another workstation's billing: %1 time(s)").arg(run.attempts - 1));
    err(QStringLiteral("Invoices made: %1; contracts without matching positions: %2; failed: %3;"
                       " positions not priced: %4")
            .arg(run.made())
            .arg(run.unmatched())
            .arg(run.failed())
            .arg(unpriced.size()));
    if (run.failed() > 0)
        return 1;
    return unpriced.isEmpty() ? 0 : 2;
}

} // namespace

Command billCommand()
{
    return {QStringLiteral("bill"),
            QStringLiteral("  bill --date YYYY-MM-DD [--contracts K[,K...]] [--services K[,K...]] [--currency C]\n"
                           "       [--rate R] [--payment P] [--type T] [--expire YYYY-MM-DD]\n"
                           "       [--operation-date YYYY-MM-DD] [--info TEXT] DATABASE\n"
                           "                            the billing run: an invoice dated --date for every open\n"
                           "                            contract (or those listed) from its positions of the\n"
                           "                            services listed (default: all); one line per invoice,\n"
                           "                            INVOICEKEY NUMBER CONTRACTKEY; progress and a summary on\n"
                           "                            stderr; currency, payment form and type default to the\n"
                           "                            options rentcurrkey, rentpaymentkey, rentinvoicetypekey,\n"
                           "                            the rate to the currency's rate on --date; exit 2 when\n"
                           "                            some positions could not be priced (named on stderr)"),
            [](const QStringList &args) -> int {
                QStringList values = databaseValueOptions();
                values << QStringLiteral("date") << QStringLiteral("contracts") << QStringLiteral("services")
                       << QStringLiteral("currency") << QStringLiteral("rate") << QStringLiteral("payment")
                       << QStringLiteral("type") << QStringLiteral("expire") << QStringLiteral("operation-date")
                       << QStringLiteral("info");
                return bill(parseArgs(args, values, {}));
            }};
}

} // namespace korvex::cli
