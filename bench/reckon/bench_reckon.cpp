// Pricing thousands of contract positions, as making the month's invoices
// does. A fresh database gets 10,000 positions on an object tree five levels
// deep, priced by types of 1 to 6 steps that mix the price list, КУРС, the
// debts, the service procedures, the object coefficients and user variables
// found 0 to 4 levels up the tree.
//
// Figures, all measured in this run:
//   reference   the minimum database work, as a well-written loop over the
//               positions would do it: each distinct row the formulas need
//               read once (each position, the steps of each type, each
//               price-list row, each object, the rate, each service's flag
//               and value, each position's debt and procedure values, each
//               contract's and customer's debt, each user variable with all
//               its values and the objects up the tree), every statement
//               prepared once, in one transaction, nothing computed;
//   engine      LoadContractService + Reckon for every position inside one
//               pricing run (TReckoningRun): goal at most 1.5 times the
//               reference;
//   uncached    the same without a run (every read fresh, each position in a
//               transaction of its own), whose prices the run must
//               reproduce to the last bit.
// Printed: positions per second, SQL statements per position, and the ratio
// of each time to the reference.
//
//   bench_reckon [POSITIONS] [REPETITIONS]     (default 10000 and 3)

#include "pricing/boRentReckoning.h"
#include "calc/xCalc.h"
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
#include <functional>
#include <vector>

using namespace korvex::db;
using korvex::calc::TboRentReckoning;
using korvex::calc::TReckoningRun;

namespace {

struct Type {
    bool ncuFirst;
    QStringList steps;  // "NAME|FORMULA[|ROUNDING]"
};

// КОЭФI and its kin end in the Latin I. ПЛОЩАДЬ: bound to the object, set on
// some objects of every level; ТАРИФ: object and service, set on the roots;
// СКИДКА: per customer; ИНДЕКС: one value for all.
const QList<Type> Types = {
    {true, {"ИТОГ|ЦЕНАПРАЙСРУБ*КОЛОБЪЕКТ|1"}},
    {false, {"БАЗА|ЦЕНАПРАЙСВАЛ*КОЛОБЪЕКТ", "ИТОГ|БАЗА*КОЭФI*КОЭФII"}},
    {true, {"ВАЛ|ЦЕНАПРАЙСВАЛ*ПЛОЩАДЬ", "РУБ|ВАЛ*КУРС|1"}},
    {true, {"ИТОГ|СТОИМУСЛУГИ*ПЛОЩАДЬ"}},
    {true, {"КВТЧ|СУММАУСЛУГ", "ИТОГ|КВТЧ*СТОИМУСЛУГИ", "ОКР|ИТОГ+КОЛУСЛУГ*0|1"}},
    {true, {"БАЗА|ЦЕНАПРАЙСРУБ*ИНДЕКС", "СКИД|БАЗА*(1-СКИДКА/100)", "ИТОГ|СКИД+ДОЛГРУБ*0.01"}},
    {true,
     {"А|ЦЕНАРУБ", "Б|А*КОЭФIII", "В|Б+ТАРИФ*КОЛОБЪЕКТ", "Г|В*ИНДЕКС", "Д|Г-(ДОЛГВАЛ<0)*10", "ИТОГ|Д|10"}},
    {true, {"ИТОГ|ЦЕНАРУБ*КУРС/КУРС+КОЛУСЛУГ"}},
    {true, {"ИТОГ|(ДОЛГКОНТРАКТРУБ>0)*100+ЦЕНАПРАЙСРУБ"}},
    {true, {"ИТОГ|ДОЛГКЛИЕНТРУБ*0.001+ЦЕНАПРАЙСРУБ*КОЭФI"}},
    {false, {"ИТОГ|ЦЕНАВАЛ*1.05|1"}},
    {false, {"Р|ЦЕНАПРАЙСВАЛ*КОЭФI*ПЛОЩАДЬ", "П|Р*ИНДЕКС", "ИТОГ|П*(1-СКИДКА/200)"}},
};
constexpr int Services = 12;
constexpr int Customers = 500;
constexpr int Contracts = 2000;
constexpr int Roots = 20;

// What a type's formulas read, for the reference.
struct Reads {
    bool price = false, object = false, rate = false, debtCs = false, debtContract = false, debtCustomer = false;
    std::array<bool, 3> procedures{};
    QStringList variables;
};

Reads readsOf(const Type &t)
{
    Reads r;
    for (const QString &step : t.steps) {
        const QString f = step.section(QLatin1Char('|'), 1, 1);
        r.price |= f.contains(QStringLiteral("ЦЕНАПРАЙС"));
        r.object |= f.contains(QStringLiteral("КОЭФ"));
        r.rate |= f.contains(QStringLiteral("КУРС"));
        r.debtCs |= f.contains(QStringLiteral("ДОЛГРУБ")) || f.contains(QStringLiteral("ДОЛГВАЛ"));
        r.debtContract |= f.contains(QStringLiteral("ДОЛГКОНТРАКТ"));
        r.debtCustomer |= f.contains(QStringLiteral("ДОЛГКЛИЕНТ"));
        r.procedures[0] |= f.contains(QStringLiteral("СТОИМУСЛУГИ"));
        r.procedures[1] |= f.contains(QStringLiteral("КОЛУСЛУГ"));
        r.procedures[2] |= f.contains(QStringLiteral("СУММАУСЛУГ"));
        for (const char *v : {"ПЛОЩАДЬ", "ТАРИФ", "СКИДКА", "ИНДЕКС"})
            if (f.contains(QString::fromUtf8(v)) && !r.variables.contains(QString::fromUtf8(v)))
                r.variables << QString::fromUtf8(v);
    }
    // A currency-first type needs the rate for the NCU price.
    r.rate |= !t.ncuFirst;
    return r;
}

struct Position {
    int key, contract, customer, service, object, type;
};

void fill(TxDatabase &db, korvex::shell::TmmOptions &options, int positions, std::vector<Position> &out)
{
    TxTransaction t(db);
    TxStatementCache st(db);
    auto run = [&st](const char *sql, const QVariantList &values) { st.exec(QString::fromUtf8(sql), values); };
    const QDate today = QDate::currentDate();

    run("INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (?, ?, ?, ?)", {1, "Рубль", "BYN", 1});
    run("INSERT INTO fin_curr (id, name, shortname, isncu) VALUES (?, ?, ?, ?)", {2, "Доллар", "USD", 0});
    run("INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (?, ?, ?, ?)", {2, 1, today.addDays(-2), 3.2687});
    for (int c = 1; c <= Customers; ++c)
        run("INSERT INTO cst_customer (customerkey, name, kind) VALUES (?, ?, 1)", {c, QStringLiteral("Клиент %1").arg(c)});

    // The object tree, level by level: 20 roots, three children each.
    std::vector<std::vector<int>> levels(5);
    int nextObject = 1;
    for (int level = 0; level < 5; ++level) {
        const int count = level == 0 ? Roots : int(levels[size_t(level - 1)].size()) * 3;
        for (int i = 0; i < count; ++i) {
            const int id = nextObject++;
            const QVariant parent = level == 0 ? QVariant() : QVariant(levels[size_t(level - 1)][size_t(i / 3)]);
            run("INSERT INTO rent_object (id, parent, name, coef1, coef2, coef3) VALUES (?, ?, ?, ?, ?, ?)",
                {id, parent, QStringLiteral("Объект %1").arg(id), 1 + (id % 7) * 0.05, 1 + (id % 3) * 0.1, 0.9 + (id % 5) * 0.05});
            levels[size_t(level)].push_back(id);
        }
    }

    for (int s = 1; s <= Services; ++s) {
        const bool currency = s == 2 || s == 3 || s == 11;
        run("INSERT INTO rent_service (id, name, currservice) VALUES (?, ?, ?)", {s, QStringLiteral("Услуга %1").arg(s), currency ? 1 : 0});
        run("INSERT INTO rent_servicevalue (id, servicekey, servicedate, servicevalue) VALUES (?, ?, ?, ?)",
            {s, s, today.addDays(-30), 0.25 + s * 0.1});
        run("INSERT INTO rent_servicecost (id, servicekey, objectkey, costncu, costcurr) VALUES (?, ?, NULL, ?, ?)",
            {s, s, 10.0 + s, 3.0 + s * 0.25});
    }
    // Dearer prices for the buildings of odd services: the price procedure climbs to them.
    int costKey = Services + 1;
    for (int s = 1; s <= Services; s += 2)
        for (const int root : levels[0])
            run("INSERT INTO rent_servicecost (id, servicekey, objectkey, costncu, costcurr) VALUES (?, ?, ?, ?, ?)",
                {costKey++, s, root, 12.0 + s + root * 0.01, 3.5 + s * 0.25});

    run("INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (?, ?, ?, ?, ?)", {1, "ПЛОЩАДЬ", 1, 0, 0});
    run("INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (?, ?, ?, ?, ?)", {2, "ТАРИФ", 1, 1, 0});
    run("INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (?, ?, ?, ?, ?)", {3, "СКИДКА", 0, 0, 1});
    run("INSERT INTO rent_variable (id, name, lockobject, lockservice, lockcustomer) VALUES (?, ?, ?, ?, ?)", {4, "ИНДЕКС", 0, 0, 0});
    int valueKey = 1;
    auto value = [&](int variable, QVariant object, QVariant service, QVariant customer, double v) {
        run("INSERT INTO rent_valuevariable (id, variablekey, objectkey, servicekey, customerkey, valuevariable) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            {valueKey++, variable, object, service, customer, v});
    };
    // ПЛОЩАДЬ on every root and on every 2nd, 3rd, 4th, 5th object of the
    // levels below, so that a room finds it 0 to 4 levels up.
    for (int level = 0; level < 5; ++level)
        for (const int id : levels[size_t(level)])
            if (id % (level + 1) == 0)
                value(1, id, QVariant(), QVariant(), 10 + id % 90);
    for (const int root : levels[0])
        for (int s = 1; s <= Services; ++s)
            value(2, root, s, QVariant(), 1 + (root + s) % 4);
    for (int c = 1; c <= Customers; ++c)
        value(3, QVariant(), QVariant(), c, c % 10);
    value(4, QVariant(), QVariant(), QVariant(), 1.045);

    for (int t = 0; t < Types.size(); ++t) {
        run("INSERT INTO rent_typereckoning (id, name) VALUES (?, ?)", {t + 1, QStringLiteral("Тип %1").arg(t + 1)});
        const QStringList &steps = Types.at(t).steps;
        for (int i = 0; i < steps.size(); ++i) {
            const QStringList p = steps.at(i).split(QLatin1Char('|'));
            run("INSERT INTO rent_reckoning (id, typereckoningkey, number, name, formula, rounding) VALUES (?, ?, ?, ?, ?, ?)",
                {(t + 1) * 10 + i, t + 1, i + 1, p.at(0), p.at(1), p.size() > 2 ? QVariant(p.at(2).toDouble()) : QVariant()});
        }
    }
    for (int c = 1; c <= Contracts; ++c)
        run("INSERT INTO rent_contract (id, customerkey, currkey, number) VALUES (?, ?, 2, ?)",
            {c, (c - 1) % Customers + 1, QString::number(c)});

    const std::vector<int> &rooms = levels[4];
    const std::vector<int> &sections = levels[3];
    for (int i = 1; i <= positions; ++i) {
        Position p;
        p.key = i;
        p.contract = (i - 1) % Contracts + 1;
        p.customer = (p.contract - 1) % Customers + 1;
        p.service = (i * 5) % Services + 1;
        p.object = i % 5 == 0 ? sections[size_t((i * 31) % int(sections.size()))] : rooms[size_t((i * 7919) % int(rooms.size()))];
        p.type = i % int(Types.size());
        out.push_back(p);
        run("INSERT INTO rent_contractservice (id, contractkey, servicekey, objectkey, costncu, costcurr, "
            "typereckoningkey, ncureckoning, countobject) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {i, p.contract, p.service, p.object, 100.0 + i % 97, 30.0 + i % 13, p.type + 1,
             Types.at(p.type).ncuFirst ? 1 : 0, 1 + i % 50});
        if (i % 2 == 0)
            run("INSERT INTO rent_debt (id, contractservicekey, debtdate, costncu, costcurr) VALUES (?, ?, ?, ?, ?)",
                {i, i, today.addDays(-(i % 40)), (i % 7 - 3) * 25.0, (i % 7 - 3) * 7.5});
        if (i % 3 == 0)
            run("INSERT INTO rent_contractservicevalue (id, contractservicekey, contractservicedate, contractservicevalue) "
                "VALUES (?, ?, ?, ?)",
                {i, i, today.addDays(-(i % 25)), 100.0 + i % 400});
    }
    st.clear();
    t.commit();
    options.SetIntegerOption(QStringLiteral("rentcurrkey"), false, 2);
}

// The reference: every distinct row the positions' formulas read, read once.
void minimumReads(TxDatabase &db, const std::vector<Position> &positions, const std::vector<Reads> &reads)
{
    TxTransaction t(db);
    TxStatementCache st(db);
    const QDate today = QDate::currentDate();
    auto read = [&st](const QString &sql, const QVariantList &values) {
        TxQuery &q = st.exec(sql, values);
        // An executed procedure has its one row of outputs.
        const bool oneRow = sql.startsWith(QLatin1String("EXECUTE"));
        while (q.next()) {
            q.value(0);
            if (oneRow)
                break;
        }
    };
    QSet<int> types, services, serviceValues, objects, contracts, customers;
    QSet<QString> variables;
    QSet<quint64> prices;
    bool rate = false;
    // Objects whose parents a user-variable look-up may climb through.
    std::function<void(int)> climb = [&](int object) {
        while (object != 0 && !objects.contains(object)) {
            objects.insert(object);
            TxQuery &q = st.exec(QStringLiteral("SELECT parent, coef1, coef2, coef3 FROM rent_object WHERE id = ?"), {object});
            object = q.next() ? q.value(0).toInt() : 0;
        }
    };
    for (const Position &p : positions) {
        const Reads &r = reads[size_t(p.type)];
        read(QStringLiteral("SELECT cs.objectkey, cs.servicekey, c.customerkey, cs.contractkey, cs.typereckoningkey, "
                            "cs.ncureckoning, cs.costncu, cs.costcurr, cs.countobject FROM rent_contractservice cs "
                            "JOIN rent_contract c ON c.id = cs.contractkey WHERE cs.id = ?"),
             {p.key});
        if (!types.contains(p.type)) {
            types.insert(p.type);
            read(QStringLiteral("SELECT number, name, formula, rounding FROM rent_reckoning WHERE typereckoningkey = ? "
                                "ORDER BY number, id"),
                 {p.type + 1});
        }
        if (!services.contains(p.service)) {
            services.insert(p.service);
            read(QStringLiteral("SELECT currservice FROM rent_service WHERE id = ?"), {p.service});
        }
        if (r.price && !prices.contains((quint64(p.service) << 32) | quint32(p.object))) {
            prices.insert((quint64(p.service) << 32) | quint32(p.object));
            read(QStringLiteral("SELECT costncu, costcurr FROM rent_p_getservicecost(?, ?)"), {p.service, p.object});
        }
        if (r.object)
            climb(p.object);
        if (r.rate && !rate) {
            rate = true;
            read(QStringLiteral("SELECT FIRST 1 fordate, coeff FROM fin_currrate WHERE fromcurr = ? AND tocurr = ? "
                                "AND fordate <= ? AND coeff IS NOT NULL ORDER BY fordate DESC"),
                 {2, 1, today});
        }
        if (r.procedures[0] && !serviceValues.contains(p.service)) {
            serviceValues.insert(p.service);
            read(QStringLiteral("EXECUTE PROCEDURE rent_p_getservicevalue(?, ?)"), {p.service, today});
        }
        if (r.procedures[1])
            read(QStringLiteral("EXECUTE PROCEDURE rent_p_getcountservice(?)"), {p.key});
        if (r.procedures[2])
            read(QStringLiteral("EXECUTE PROCEDURE rent_p_getsumservice(?)"), {p.key});
        if (r.debtCs)
            read(QStringLiteral("SELECT debtdate, costncu, costcurr FROM rent_debt WHERE contractservicekey = ? AND "
                                "debtdate = (SELECT MAX(debtdate) FROM rent_debt WHERE debtdate <= ? AND contractservicekey = ?)"),
                 {p.key, today, p.key});
        if (r.debtContract && !contracts.contains(p.contract)) {
            contracts.insert(p.contract);
            read(QStringLiteral("SELECT SUM(costncu), SUM(costcurr) FROM rent_p_getdebtcontract(?, ?)"), {today, p.contract});
        }
        if (r.debtCustomer && !customers.contains(p.customer)) {
            customers.insert(p.customer);
            read(QStringLiteral("SELECT SUM(costncu), SUM(costcurr) FROM rent_p_getdebtcustomer(?, ?)"), {today, p.customer});
        }
        for (const QString &name : r.variables) {
            if (!variables.contains(name)) {
                variables.insert(name);
                TxQuery &v = st.exec(QStringLiteral("SELECT id, COALESCE(lockobject, 0), COALESCE(lockservice, 0), "
                                                    "COALESCE(lockcustomer, 0) FROM rent_variable WHERE name = ?"),
                                     {name});
                const int variable = v.next() ? v.value(0).toInt() : 0;
                read(QStringLiteral("SELECT COALESCE(objectkey, 0), COALESCE(servicekey, 0), COALESCE(customerkey, 0), "
                                    "valuevariable FROM rent_valuevariable WHERE variablekey = ? AND valuevariable IS NOT NULL"),
                     {variable});
            }
            // A value bound to objects is found up the tree: those objects once each.
            if (name == QStringLiteral("ПЛОЩАДЬ") || name == QStringLiteral("ТАРИФ"))
                climb(p.object);
        }
    }
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
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
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

    std::vector<Position> positions;
    fill(db, options, count, positions);
    std::vector<Reads> reads;
    for (const Type &t : Types)
        reads.push_back(readsOf(t));

    // Uncached: every read fresh. Its prices are the ones to match.
    std::vector<std::pair<double, double>> expected;
    QStringList failures;
    QElapsedTimer clock;
    quint64 statements = TxQuery::executions();
    clock.start();
    {
        TboRentReckoning engine(context);
        for (const Position &p : positions) {
            engine.LoadContractService(p.key);
            if (!engine.Reckon())
                failures << QStringLiteral("%1: %2").arg(p.key).arg(engine.failureReason());
            expected.emplace_back(engine.CostNCU, engine.CostCurr);
        }
    }
    const double uncachedMs = double(clock.nsecsElapsed()) / 1e6;
    const double uncachedStatements = double(TxQuery::executions() - statements) / count;

    std::vector<double> referenceTimes;
    std::vector<double> engineTimes;
    double referenceStatements = 0;
    double engineStatements = 0;
    int mismatches = 0;
    for (int r = 0; r < repetitions; ++r) {
        statements = TxQuery::executions();
        clock.restart();
        minimumReads(db, positions, reads);
        referenceTimes.push_back(double(clock.nsecsElapsed()) / 1e6);
        referenceStatements = double(TxQuery::executions() - statements) / count;

        statements = TxQuery::executions();
        clock.restart();
        std::vector<std::pair<double, double>> prices;
        prices.reserve(positions.size());
        {
            TboRentReckoning engine(context);
            TReckoningRun run(engine);
            for (const Position &p : positions) {
                engine.LoadContractService(p.key);
                engine.Reckon();
                prices.emplace_back(engine.CostNCU, engine.CostCurr);
            }
        }
        engineTimes.push_back(double(clock.nsecsElapsed()) / 1e6);
        engineStatements = double(TxQuery::executions() - statements) / count;
        for (size_t i = 0; i < prices.size(); ++i)
            // Bit for bit: a kept row must give the very same price.
            if (korvex::calc::shortestDecimalText(prices[i].first) != korvex::calc::shortestDecimalText(expected[i].first)
                || korvex::calc::shortestDecimalText(prices[i].second) != korvex::calc::shortestDecimalText(expected[i].second))
                ++mismatches;
    }

    const double reference = median(referenceTimes);
    const double engine = median(engineTimes);
    std::printf("positions: %d, types: %lld, repetitions: %d\n", count, qlonglong(Types.size()), repetitions);
    std::printf("reference (minimum reads): %8.1f ms  %8.0f positions/s  %5.2f statements/position\n", reference,
                count / reference * 1000, referenceStatements);
    std::printf("engine, pricing run:       %8.1f ms  %8.0f positions/s  %5.2f statements/position  ratio %.2f\n",
                engine, count / engine * 1000, engineStatements, engine / reference);
    std::printf("engine, uncached:          %8.1f ms  %8.0f positions/s  %5.2f statements/position  ratio %.2f\n",
                uncachedMs, count / uncachedMs * 1000, uncachedStatements, uncachedMs / reference);
    std::printf("positions that failed: %lld; prices differing from the uncached run: %d\n", qlonglong(failures.size()),
                mismatches);
    for (const QString &f : failures.mid(0, 5))
        std::printf("  %s\n", qPrintable(f));
    return failures.isEmpty() && mismatches == 0 ? 0 : 1;
}
