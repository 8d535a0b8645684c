// The program's lists at 1,000 and at 100,000 rows: the same operations,
// through the program's own statements, model and grid, should take the
// same time whatever the length of the list.
//
// For every list below, two fresh databases get 1,000 and 100,000 rows of
// its table; on each, with the grid shown:
//   open       the list's statement set and run, the first rows shown, as
//              the page opens it;
//   sort       a click on a column title: the list ordered by that column,
//              the current row kept (the middle row of the new order, which
//              lies beyond the rows first read at either length, so that
//              both find it again the same way);
//   locate     the last row of the list made current (a page positioning on
//              a row it saved);
//   requery    the list read again keeping the current row, the last one (a
//              page after an edit).
// Each figure is the median of the repetitions, of the program's work alone
// (statement, model and grid) and of that with the grid painting the rows it
// then shows. The ratio of the 100,000-row time to the 1,000-row time is the
// figure that matters, for the work alone (goal: at most 1.5); painting
// costs the same at any length and only dilutes it.
//
// A list is one entry of lists() below: how to fill its table, the
// statement, order and key its page sets, and the column to sort by.
//
//   QT_QPA_PLATFORM=offscreen bench_grid [REPETITIONS [LIST]]     (default 9, every list)

#include "billing/boRentContract.h"
#include "billing/boRentViotation.h"
#include "billing/boRentPayBill.h"
#include "customers/FactoryFilter.h"
#include "db/xDatabase.h"
#include "db/xFbCreate.h"
#include "db/xQuery.h"
#include "db/xSchema.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/xQueryModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace korvex::db;
using namespace korvex::widgets;
using korvex::billing::TboRentContract;
using korvex::billing::TContractFilter;
using korvex::billing::TboRentViotation;
using korvex::billing::TViotationFilter;
using korvex::billing::TboRentPayBill;
using korvex::billing::TPayBillFilter;
using korvex::customers::TFactoryFilter;

namespace {

struct TList {
    const char *name;
    // Fills the list's table with n rows.
    std::function<void(TxDatabase &db, int n)> fill;
    // Gives the model the statement, order and key the page gives it.
    std::function<void(TxQueryModel &model)> setUp;
    QString keyField;
    QString sortField;
};

// Customers as a directory holds them: mostly enterprises, some persons and
// banks, names and numbers in no order of their keys, a few columns empty.
void fillCustomers(TxDatabase &db, int n)
{
    TxQuery::execute(db, QStringLiteral(
        "EXECUTE BLOCK (n INTEGER = ?) AS\n"
        "DECLARE i INTEGER = 1;\n"
        "BEGIN\n"
        "  WHILE (i <= n) DO\n"
        "  BEGIN\n"
        "    INSERT INTO cst_customer (customerkey, id, kind, name, fullname, code, zipcode, domicile, phone,\n"
        "                              email, unn, okpo, disabled)\n"
        "    VALUES (:i, :i, IIF(MOD(:i, 50) = 0, 2, IIF(MOD(:i, 7) = 0, 3, 1)),\n"
        "            'ООО «Клиент ' || LPAD(MOD(:i * 7919, 100003), 6, '0') || '»',\n"
        "            'Общество с ограниченной ответственностью «Клиент ' || :i || '»',\n"
        "            IIF(MOD(:i, 9) = 0, NULL, MOD(:i * 31, 5000)), 220000 + MOD(:i, 700),\n"
        "            'г. Минск, ул. Строителей, ' || MOD(:i, 200), '+375 17 ' || LPAD(MOD(:i * 13, 9999999), 7, '0'),\n"
        "            'office' || :i || '@mail.by', LPAD(MOD(:i * 104729, 999999937), 9, '0'),\n"
        "            IIF(MOD(:i, 4) = 0, NULL, LPAD(MOD(:i * 7, 99999), 12, '0')), 0);\n"
        "    i = i + 1;\n"
        "  END\n"
        "END"),
                     {n});
}

// Contracts of a quarter as many customers (filled as above): numbers and
// dates in no order of their keys, many contracts of one name, a sixth of
// them closed, some without a date of action.
void fillContracts(TxDatabase &db, int n)
{
    fillCustomers(db, std::max(1, n / 4));
    TxQuery::execute(db, QStringLiteral(
        "EXECUTE BLOCK (n INTEGER = ?) AS\n"
        "DECLARE i INTEGER = 1;\n"
        "DECLARE customers INTEGER;\n"
        "DECLARE signed DATE;\n"
        "BEGIN\n"
        "  customers = MAXVALUE(1, n / 4);\n"
        "  WHILE (i <= n) DO\n"
        "  BEGIN\n"
        "    signed = DATEADD(MOD(:i * 17, 3650) DAY TO DATE '2015-01-01');\n"
        "    INSERT INTO rent_contract (id, customerkey, number, name, signdate, expriredate, actiondate,\n"
        "                               paymentday, sumncu, sumcurr, disabled)\n"
        "    VALUES (:i, 1 + MOD(:i * 7919, :customers), LPAD(MOD(:i * 7919, 999983), 6, '0'),\n"
        "            'Аренда помещения ' || MOD(:i * 31, 997), :signed,\n"
        "            DATEADD(365 + MOD(:i, 700) DAY TO :signed), IIF(MOD(:i, 3) = 0, NULL, DATEADD(10 DAY TO :signed)),\n"
        "            1 + MOD(:i, 25), MOD(:i * 101, 1000000) / 100.0, IIF(MOD(:i, 4) = 0, MOD(:i * 37, 100000) / 100.0, 0),\n"
        "            IIF(MOD(:i, 6) = 0, 1, 0));\n"
        "    i = i + 1;\n"
        "  END\n"
        "END"),
                     {n});
}

// Violations of the contracts of a tenth as many (filled as above): numbers
// and dates in no order of their keys, every fifth without a contract.
void fillViotations(TxDatabase &db, int n)
{
    fillContracts(db, std::max(1, n / 10));
    TxQuery::execute(db, QStringLiteral(
        "EXECUTE BLOCK (n INTEGER = ?) AS\n"
        "DECLARE i INTEGER = 1;\n"
        "DECLARE contracts INTEGER;\n"
        "DECLARE c INTEGER;\n"
        "BEGIN\n"
        "  contracts = MAXVALUE(1, n / 10);\n"
        "  WHILE (i <= n) DO\n"
        "  BEGIN\n"
        "    c = 1 + MOD(:i * 7919, :contracts);\n"
        "    INSERT INTO rent_viotation (id, number, viotationdate, customerkey, contractkey, costncu, info)\n"
        "    VALUES (:i, 'Н-' || LPAD(MOD(:i * 7919, 999983), 6, '0'), DATEADD(MOD(:i * 17, 3650) DAY TO DATE '2015-01-01'),\n"
        "            (SELECT customerkey FROM rent_contract WHERE id = :c), IIF(MOD(:i, 5) = 0, NULL, :c),\n"
        "            MOD(:i * 101, 100000) / 100.0, 'Нарушение ' || :i);\n"
        "    i = i + 1;\n"
        "  END\n"
        "END"),
                     {n});
}

// Pay bills of a quarter as many customers (filled as above) in two forms
// of payment: numbers and dates in no order of their keys, a third of them
// without an operation date.
void fillPayBills(TxDatabase &db, int n)
{
    fillCustomers(db, std::max(1, n / 4));
    TxQuery::execute(db, QStringLiteral("INSERT INTO rent_payment (id, name, shortname) VALUES (1, 'Безналичный расчет', 'б/н')"));
    TxQuery::execute(db, QStringLiteral("INSERT INTO rent_payment (id, name, shortname) VALUES (2, 'Наличные', 'нал')"));
    TxQuery::execute(db, QStringLiteral(
        "EXECUTE BLOCK (n INTEGER = ?) AS\n"
        "DECLARE i INTEGER = 1;\n"
        "DECLARE customers INTEGER;\n"
        "DECLARE paid DATE;\n"
        "BEGIN\n"
        "  customers = MAXVALUE(1, n / 4);\n"
        "  WHILE (i <= n) DO\n"
        "  BEGIN\n"
        "    paid = DATEADD(MOD(:i * 17, 3650) DAY TO DATE '2015-01-01');\n"
        "    INSERT INTO rent_paybill (id, number, paybilldate, operationdate, customerkey, paymentkey, sumncu)\n"
        "    VALUES (:i, LPAD(MOD(:i * 7919, 999983), 6, '0'), :paid, IIF(MOD(:i, 3) = 0, NULL, :paid),\n"
        "            1 + MOD(:i * 7919, :customers), 1 + MOD(:i, 2), MOD(:i * 101, 1000000) / 100.0);\n"
        "    i = i + 1;\n"
        "  END\n"
        "END"),
                     {n});
}

std::vector<TList> lists()
{
    return {
        {"customers (enterprises)", fillCustomers,
         [](TxQueryModel &model) {
             // As the page opens the enterprise list of a user who filters nothing.
             TFactoryFilter filter(TFactoryFilter::enterprisePrefix());
             filter.setUse(TFactoryFilter::Name, TFactoryFilter::Off);
             model.setStatement(filter.listStatement(1), TFactoryFilter::listOrder());
             model.setKeyField(TFactoryFilter::listKey());
         },
         TFactoryFilter::listKey(), QStringLiteral("unn")},
        {"contracts", fillContracts,
         [](TxQueryModel &model) {
             // As the contracts page opens for a user who filters nothing: by number.
             const TContractFilter filter;
             model.setStatement(TboRentContract::listStatement(filter), TboRentContract::listOrder(filter.sortOrder));
             model.setKeyField(TboRentContract::listKey());
         },
         TboRentContract::listKey(), QStringLiteral("signdate")},
        {"violations", fillViotations,
         [](TxQueryModel &model) {
             // As the violations page opens for a user who filters nothing: by number.
             const TViotationFilter filter;
             model.setStatement(TboRentViotation::listStatement(filter), TboRentViotation::listOrder(filter.sortOrder));
             model.setKeyField(TboRentViotation::listKey());
         },
         TboRentViotation::listKey(), QStringLiteral("viotationdate")},
        {"pay bills", fillPayBills,
         [](TxQueryModel &model) {
             // As the pay-bill page opens for a user who filters nothing: by number.
             const TPayBillFilter filter;
             model.setStatement(TboRentPayBill::listStatement(filter), TboRentPayBill::listOrder(filter.sortOrder));
             model.setKeyField(TboRentPayBill::listKey());
         },
         TboRentPayBill::listKey(), QStringLiteral("paybilldate")},
    };
}

double medianMs(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

struct TFigures {
    double open = 0, sort = 0, locate = 0, requery = 0;
};

// One database of n rows for the list, and its operations timed.
class TBench
{
public:
    TBench(const TList &list, int rows)
        : m_list(list)
        , m_db(QStringLiteral("bench%1").arg(rows))
    {
        TxConnectionParams::Target target;
        target.path = m_dir.filePath(QStringLiteral("bench.fdb"));
        createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
        setFirebirdForcedWrites(target, QStringLiteral("SYSDBA"), QString(), false);
        TxConnectionParams params;
        params.setServerName(target.path);
        m_db.open(params, QStringLiteral("SYSDBA"), QString());
        TxSchema::install(m_db);
        list.fill(m_db, rows);

        m_model = std::make_unique<TxQueryModel>(m_db);
        m_grid = std::make_unique<TxDBGrid>();
        m_grid->setModel(m_model.get());
        m_grid->setKeyField(list.keyField);
        m_grid->resize(1000, 700);
        m_grid->show();
        QApplication::processEvents();
        // The key of the list's last row, as the server orders it.
        m_list.setUp(*m_model);
        m_model->openAtEnd();
        m_lastKey = m_model->value(m_model->rowCount() - 1, list.keyField);
        // The key of the middle row as the sort orders the list.
        m_model->open();
        m_model->sort(m_model->fieldIndex(list.sortField), Qt::AscendingOrder);
        while (m_model->rowCount() <= rows / 2 && m_model->canFetchMore())
            m_model->fetchMore();
        m_middleKey = m_model->value(rows / 2, list.keyField);
        m_model->sort(-1);
    }

    // One operation: the time of the program's work, and of that with the
    // grid painting the rows it then shows.
    struct TTime {
        double work = 0;
        double shown = 0;
    };
    TTime timed(const std::function<void()> &work)
    {
        QElapsedTimer t;
        t.start();
        work();
        TTime time;
        time.work = msSince(t);
        QApplication::processEvents();
        time.shown = msSince(t);
        return time;
    }

    TTime open()
    {
        return timed([&] {
            m_list.setUp(*m_model);
            m_model->open();
            m_grid->setCurrentIndex(m_model->index(0, 0));
        });
    }

    TTime sort()
    {
        m_grid->locateKey(m_middleKey);
        QApplication::processEvents();
        const TTime time = timed([&] {
            m_grid->sortByField(m_list.sortField, Qt::AscendingOrder);
            if (!korvex::widgets::sameKey(m_grid->currentKey(), m_middleKey))
                std::fprintf(stderr, "%s: the current row was lost in sorting\n", m_list.name);
        });
        m_model->sort(-1);
        return time;
    }

    TTime locate()
    {
        return timed([&] {
            if (!m_grid->locateKey(m_lastKey) || !korvex::widgets::sameKey(m_grid->currentKey(), m_lastKey))
                std::fprintf(stderr, "%s: the last row was not found\n", m_list.name);
        });
    }

    TTime requery()
    {
        return timed([&] {
            m_grid->requery();
            if (!korvex::widgets::sameKey(m_grid->currentKey(), m_lastKey))
                std::fprintf(stderr, "%s: the current row was lost\n", m_list.name);
        });
    }

private:
    const TList &m_list;
    QTemporaryDir m_dir;
    TxDatabase m_db;
    std::unique_ptr<TxQueryModel> m_model;
    std::unique_ptr<TxDBGrid> m_grid;
    QVariant m_lastKey;
    QVariant m_middleKey;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    // A second argument times only the lists whose name holds it.
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    bool allWithinGoal = true;
    for (const TList &list : lists()) {
        if (!QString::fromLatin1(list.name).contains(only))
            continue;
        std::fprintf(stderr, "%s: filling 1,000 and 100,000 rows...\n", list.name);
        TBench small(list, 1000);
        TBench large(list, 100000);
        std::vector<double> work[2][4], shown[2][4];
        // Small and large take turns, so that a machine shared with other
        // work slows both alike; the first round only warms the caches.
        for (int r = 0; r <= repetitions; ++r) {
            for (int which = 0; which < 2; ++which) {
                TBench &b = which == 0 ? small : large;
                const TBench::TTime times[4] = {b.open(), b.sort(), b.locate(), b.requery()};
                if (r == 0)
                    continue;
                for (int op = 0; op < 4; ++op) {
                    work[which][op].push_back(times[op].work);
                    shown[which][op].push_back(times[op].shown);
                }
            }
        }
        std::printf("%s (%d repetitions; medians; the program's work, and with the rows painted)\n", list.name,
                    repetitions);
        std::printf("  %-8s %12s %14s %7s   %12s %14s %7s\n", "", "1,000 rows", "100,000 rows", "ratio", "1,000 shown",
                    "100,000 shown", "ratio");
        const char *names[4] = {"open", "sort", "locate", "requery"};
        for (int op = 0; op < 4; ++op) {
            const double a = medianMs(work[0][op]), b = medianMs(work[1][op]);
            const double c = medianMs(shown[0][op]), d = medianMs(shown[1][op]);
            allWithinGoal = allWithinGoal && b / a <= 1.5;
            std::printf("  %-8s %9.2f ms %11.2f ms %7.2f   %9.2f ms %11.2f ms %7.2f\n", names[op], a, b, b / a, c, d, d / c);
        }
    }
    std::printf("goal: every ratio at most 1.5 - %s\n", allWithinGoal ? "met" : "NOT met");
    return allWithinGoal ? 0 : 1;
}
