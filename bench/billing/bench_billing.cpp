// The month's billing run: an invoice for each of 1,000 contracts with three
// positions each, priced by types of one to three steps over the price list,
// the rate and the position's own prices.
//
// Figures, all measured in this run:
//   reference   the bare database work those invoices need, as a
//               well-written loop would do it in one transaction with every
//               statement prepared once: per contract the key call, the
//               counter raised, the contract and its positions read, per
//               position the rows pricing reads (the position; each type's
//               steps, each price-list row and the rate once), the INSERTs of
//               the header and the lines and the debt booking; nothing
//               computed;
//   billing     TboRentContract::MakeInvoices over the same contracts (one
//               transaction, one pricing run, each invoice in a write scope
//               of its own): goal at most 3 times the reference.
// Each run is rolled back, so every repetition bills the same database.
//
//   bench_billing [CONTRACTS] [REPETITIONS]     (default 1000 and 3)

#include "billing/boRentContract.h"
#include "db/xDatabase.h"
#include "db/xFbCreate.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "db/xTransaction.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvex::db;

namespace {

constexpr int PositionsPerContract = 3;
constexpr int Services = 6;
constexpr int Objects = 60;

// Types of one to three steps; the first service is priced without a type.
const QList<QStringList> Types = {
    {"ИТОГ|ЦЕНАПРАЙСРУБ*КОЛОБЪЕКТ|0.01"},
    {"ВАЛ|ЦЕНАПРАЙСВАЛ*КОЛОБЪЕКТ", "ИТОГ|ВАЛ*КУРС|0.01"},
    {"БАЗА|ЦЕНАРУБ", "НАДБ|БАЗА*1.2", "ИТОГ|НАДБ+ЦЕНАПРАЙСРУБ|0.01"},
};

void fill(TxDatabase &db, int contracts)
{
    TxTransaction t(db);
    TxStatementCache st(db);
    auto run = [&st](const char *sql, const QVariantList &values) { st.exec(QString::fromUtf8(sql), values); };
    const QDate today = QDate::currentDate();
    run("INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (?, ?, ?, ?)", {1, "Рубль", "BYN", 1});
    run("INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (?, ?, ?, ?)", {2, "Доллар", "USD", 0});
    run("INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (?, ?, ?, ?)", {2, 1, today.addDays(-2), 3.2687});
    run("INSERT INTO rent_payment (id, name, shortname) VALUES (?, ?, ?)", {1, "Безналичный расчет", "б/н"});
    run("INSERT INTO rent_invoicetype (id, name) VALUES (?, ?)", {1, "Аренда"});
    for (int o = 1; o <= Objects; ++o)
        run("INSERT INTO rent_object (id, parent, name) VALUES (?, NULL, ?)", {o, QStringLiteral("Офис %1").arg(o)});
    for (int s = 1; s <= Services; ++s) {
        run("INSERT INTO rent_service (id, name, currservice) VALUES (?, ?, ?)",
            {s, QStringLiteral("Услуга %1").arg(s), s == 3 ? 1 : 0});
        run("INSERT INTO rent_servicecost (id, servicekey, objectkey, costncu, costcurr) VALUES (?, ?, NULL, ?, ?)",
            {s, s, 10.0 + s, 3.0 + s * 0.25});
    }
    for (int i = 0; i < Types.size(); ++i) {
        run("INSERT INTO rent_typereckoning (id, name) VALUES (?, ?)", {i + 1, QStringLiteral("Тип %1").arg(i + 1)});
        for (int k = 0; k < Types.at(i).size(); ++k) {
            const QStringList p = Types.at(i).at(k).split(QLatin1Char('|'));
            run("INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (?, ?, ?, ?, ?, ?)",
                {(i + 1) * 10 + k, i + 1, k + 1, p.at(0), p.at(1), p.size() > 2 ? QVariant(p.at(2).toDouble()) : QVariant()});
        }
    }
    int position = 1;
    for (int c = 1; c <= contracts; ++c) {
        run("INSERT INTO cst_customer (customerkey, name, kind) VALUES (?, ?, 1)", {c, QStringLiteral("Клиент %1").arg(c)});
        run("INSERT INTO rent_contract (id, customerkey, currkey, number, paymentkey, disabled) VALUES (?, ?, 2, ?, 1, 0)",
            {c, c, QString::number(c)});
        for (int k = 0; k < PositionsPerContract; ++k) {
            const int service = (c + k) % Services + 1;
            run("INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, "
                "typereckoningkey, ncureckoning, countobject) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {position, c, service, (c * 3 + k) % Objects + 1, 100.0 + c % 50, 25.0 + k,
                 k == 0 ? QVariant() : QVariant(k), k == 1 ? 0 : 1, 1 + k});
            ++position;
        }
    }
    t.commit();
}

// The reference: the statements the invoices need, each prepared once.
void bareWork(TxDatabase &db, int contracts, const QDate &date)
{
    TxTransaction t(db);
    TxStatementCache st(db);
    auto drain = [](TxQuery &q) {
        while (q.next())
            q.value(0);
    };
    QSet<int> types;
    QSet<quint64> prices;
    bool rate = false;
    for (int c = 1; c <= contracts; ++c) {
        TxQuery &key = st.exec(QStringLiteral("EXECUTE PROCEDURE rent_p_getinvoicekey"), {});
        key.next();
        const int invoice = key.value(0).toInt();
        st.exec(QStringLiteral("UPDATE fin_options SET optionsvalue = CAST(CAST(optionsvalue AS INTEGER) + 1 AS VARCHAR(20))"
                               " WHERE userkey IS NULL AND name = 'INVOICENUMBER'"),
                {});
        drain(st.exec(QStringLiteral("SELECT customerkey, number FROM rent_contract WHERE id = ?"), {c}));
        TxQuery &positions =
            st.exec(QStringLiteral("SELECT id, servicekey, objectkey, typereckoningkey FROM rent_contractservice"
                                   " WHERE contractkey = ?"),
                    {c});
        struct P {
            int key, service, object, type;
        };
        std::vector<P> rows;
        while (positions.next())
            rows.push_back({positions.value(0).toInt(), positions.value(1).toInt(), positions.value(2).toInt(),
                            positions.value(3).toInt()});
        st.exec(QStringLiteral("INSERT INTO rent_invoice (id, number, invoicedate, operationdate, expiredate, customerkey,"
                               " contractkey, paymentkey, invoicetypekey, currkey) VALUES (?, ?, ?, ?, ?, ?, ?, 1, 1, 2)"),
                {invoice, QString::number(invoice), date, date, date, c, c});
        for (const P &p : rows) {
            drain(st.exec(QStringLiteral("SELECT cs.objectkey, cs.servicekey, c.customerkey, cs.contractkey, "
                                         "cs.typereckoningkey, cs.ncureckoning, cs.costncu, cs.costcurr, cs.countobject "
                                         "FROM rent_contractservice cs JOIN rent_contract c ON c.id = cs.contractkey "
                                         "WHERE cs.id = ?"),
                          {p.key}));
            if (p.type != 0 && !types.contains(p.type)) {
                types.insert(p.type);
                drain(st.exec(QStringLiteral("SELECT number, name, formula, rounding FROM rent_reckoning "
                                             "WHERE typereckoningkey = ? ORDER BY number, id"),
                              {p.type}));
            }
            const quint64 price = (quint64(p.service) << 32) | quint32(p.object);
            if (p.type != 0 && !prices.contains(price)) {
                prices.insert(price);
                drain(st.exec(QStringLiteral("SELECT costncu, costcurr FROM rent_p_getservicecost(?, ?)"),
                              {p.service, p.object}));
            }
            if (p.type != 0 && !rate) {
                rate = true;
                drain(st.exec(QStringLiteral("SELECT FIRST 1 fordate, coeff FROM fin_currrate WHERE fromcurr = ? AND "
                                             "tocurr = ? AND fordate <= ? AND coeff IS NOT NULL ORDER BY fordate DESC"),
                              {2, 1, date}));
            }
            st.exec(QStringLiteral("INSERT INTO rent_invoiceservice (invoicekey, contractservicekey, costncu, costcurr)"
                                   " VALUES (?, ?, ?, ?)"),
                    {invoice, p.key, 100.0, QVariant()});
        }
        st.exec(QStringLiteral("EXECUTE PROCEDURE rent_p_addinvoicedebt(?)"), {invoice});
    }
    // Rolled back: the next run bills the same database.
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int contracts = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int repetitions = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    QTemporaryDir dir;
    TxConnectionParams::Target target;
    target.path = dir.filePath(QStringLiteral("bench.fdb"));
    createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
    setFirebirdForcedWrites(target, QStringLiteral("SYSDBA"), QString(), false);
    TxConnectionParams params;
    params.setServerName(target.path);
    TxDatabase db;
    db.open(params, QStringLiteral("SYSDBA"), QString());
    TxSchema::install(db);
    korvex::shell::TmmOptions options(db, korvex::shell::TmmOptions::DefaultUserKey);
    korvex::shell::TAppContext context{db, options, nullptr};
    fill(db, contracts);
    options.SetIntegerOption(QStringLiteral("invoicenumber"), false, 1);

    QList<int> keys;
    for (int c = 1; c <= contracts; ++c)
        keys << c;
    korvex::billing::TInvoiceParams invoice;
    invoice.currKey = 2;
    invoice.paymentKey = 1;
    invoice.invoiceTypeKey = 1;
    invoice.invoiceDate = invoice.expireDate = invoice.operationDate = QDate::currentDate();
    invoice.rate = 3.2687;
    QList<int> services;
    for (int s = 1; s <= Services; ++s)
        services << s;

    std::vector<double> referenceTimes, billingTimes;
    double referenceStatements = 0, billingStatements = 0;
    int made = 0, unpriced = 0, failed = 0;
    QElapsedTimer clock;
    for (int r = 0; r < repetitions; ++r) {
        quint64 statements = TxQuery::executions();
        clock.start();
        bareWork(db, contracts, invoice.invoiceDate);
        referenceTimes.push_back(double(clock.nsecsElapsed()) / 1e6);
        referenceStatements = double(TxQuery::executions() - statements) / contracts;

        statements = TxQuery::executions();
        clock.restart();
        {
            TxTransaction t(db);  // rolled back, as the reference is
            korvex::billing::TboRentContract bo(context);
            const korvex::billing::TInvoiceRun run = bo.MakeInvoices(keys, services, invoice);
            billingTimes.push_back(double(clock.nsecsElapsed()) / 1e6);
            made = run.made();
            unpriced = int(run.unpriced().size());
            failed = run.failed();
        }
        billingStatements = double(TxQuery::executions() - statements) / contracts;
    }
    const double reference = median(referenceTimes);
    const double billing = median(billingTimes);
    std::printf("contracts: %d x %d positions, repetitions: %d\n", contracts, PositionsPerContract, repetitions);
    std::printf("reference (bare database work): %8.1f ms  %8.0f invoices/s  %5.1f statements/invoice\n", reference,
                contracts / reference * 1000, referenceStatements);
    std::printf("billing run (MakeInvoices):     %8.1f ms  %8.0f invoices/s  %5.1f statements/invoice  ratio %.2f\n",
                billing, contracts / billing * 1000, billingStatements, billing / reference);
    std::printf("invoices made: %d, positions not priced: %d, contracts failed: %d\n", made, unpriced, failed);
    return made == contracts && unpriced == 0 && failed == 0 ? 0 : 1;
}
