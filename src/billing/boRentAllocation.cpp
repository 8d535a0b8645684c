#include "boRentAllocation.h"

#include "amount/xAmount.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "pricing/boRentReckoning.h"
#include "widgets/xSqlFilter.h"

#include <algorithm>

namespace korvex::billing {

using korvex::amount::kopecks;
using korvex::amount::roundHalfEven;
using korvex::db::TxQuery;
using korvex::widgets::TxSqlFilter;

struct TboRentAllocation::DebtRow {
    int contractServiceKey = 0;
    int rejectDebt = 0;
    int currService = 0;
    int priority = 0;
    double ncu = 0;
    double curr = 0;
};

TboRentAllocation::TboRentAllocation(korvex::shell::TAppContext &context)
    : m_context(context)
{
}

TboRentAllocation::TboRentAllocation(korvex::shell::TAppContext &context, korvex::calc::TboRentReckoning &engine)
    : m_context(context)
    , m_engine(&engine)
{
}

TboRentAllocation::~TboRentAllocation() = default;

korvex::calc::TboRentReckoning &TboRentAllocation::engine()
{
    if (!m_engine) {
        m_ownEngine = std::make_unique<korvex::calc::TboRentReckoning>(m_context);
        m_engine = m_ownEngine.get();
    }
    return *m_engine;
}

namespace {

// Multiplies the lines at the positions by the factor, rounds their NCU
// amounts to whole units and puts what the rounding leaves of the amount
// distributed on the last of them, so that they add up to it.
void spreadRounded(QList<TCSCost> &lines, const QList<int> &positions, double factor, double distributed)
{
    double sum = 0;
    for (int i : positions) {
        TCSCost &line = lines[i];
        line.ncu = roundHalfEven(line.ncu * factor);
        line.curr *= factor;
        sum += line.ncu;
    }
    if (!positions.isEmpty())
        lines[positions.last()].ncu += distributed - sum;
}

} // namespace

bool TboRentAllocation::AllocatePayment(int customerKey, int serviceKey, QList<TCSCost> &lines, double rate,
                                        double amount)
{
    lines.clear();
    m_failure.clear();
    m_unpriced.clear();
    // Everything is read in one transaction (the caller's, or one that only
    // reads), so the debts and prices seen belong together.
    korvex::db::TxTransaction reading(m_context.db);
    QList<TCSCost> made;
    if (!allocate(customerKey, serviceKey, made, rate, amount))
        return false;
    lines = made;
    return true;
}

bool TboRentAllocation::allocate(int customerKey, int serviceKey, QList<TCSCost> &lines, double rate, double amount)
{
    TxSqlFilter serviceFilter;
    if (serviceKey != -1) {
        const int mainService =
            TxQuery::scalar(m_context.db, QStringLiteral("SELECT mainservice FROM rent_service WHERE id = ?"), {serviceKey})
                .toInt();
        serviceFilter.add(QStringLiteral("AND (cs.servicekey = ? OR cs.servicekey = ?)"), serviceKey, mainService);
    }

    // A row with no priority counts as priority 0, as a flag without value
    // counts as 0: no debt is left out of the payment.
    TxSqlFilter select(QStringLiteral(
                           "SELECT cs.id, COALESCE(rent_service.rejectdebt, 0), COALESCE(rent_service.currservice, 0), "
                           "COALESCE(rent_service.priority, 0), rent_p_getdebt.costncu, rent_p_getdebt.costcurr "
                           "FROM rent_contractservice cs, rent_contract, rent_service, rent_p_getdebt(?) "
                           "WHERE (rent_p_getdebt.contractservicekey = cs.id) AND (rent_contract.id = cs.contractkey) "
                           "AND (cs.servicekey = rent_service.id) "
                           "AND NOT (rent_p_getdebt.costncu <= 0 AND rent_p_getdebt.costcurr <= 0) "
                           "AND rent_contract.customerkey = ?"),
                       {m_debtDate, customerKey});
    select.append(serviceFilter);
    QList<DebtRow> rows;
    QList<int> priorities;
    {
        TxQuery q(m_context.db);
        q.exec(select.text(), select.values());
        while (q.next()) {
            DebtRow r;
            r.contractServiceKey = q.value(0).toInt();
            r.rejectDebt = q.value(1).toInt();
            r.currService = q.value(2).toInt();
            r.priority = q.value(3).toInt();
            r.ncu = q.value(4).toDouble();
            r.curr = q.value(5).toDouble();
            rows << r;
            if (!priorities.contains(r.priority))
                priorities << r.priority;
        }
    }
    if (rows.isEmpty())
        return advance(customerKey, serviceKey, lines, rate, amount);
    std::sort(priorities.begin(), priorities.end());

    double ordinary = 0;  // paid to ordinary services
    double byDebt = 0;    // paid to services written off only by debt
    for (int priority : std::as_const(priorities)) {
        for (const DebtRow &r : std::as_const(rows)) {
            if (r.priority != priority)
                continue;
            const bool inCurrency = r.currService == 1;
            const double full = inCurrency ? r.curr * rate : r.ncu;
            // Compared to the kopeck, so that a payment of exactly the debts
            // ends on the last debt instead of leaving a phantom surplus.
            if (kopecks(full + ordinary + byDebt) < kopecks(amount)) {
                lines << TCSCost{r.contractServiceKey, full, inCurrency ? r.curr : 0.0, r.rejectDebt};
                (r.rejectDebt ? byDebt : ordinary) += full;
                continue;
            }
            const double rest = amount - (ordinary + byDebt);
            const double restCurr = inCurrency && rate != 0 ? rest / rate : 0.0;
            lines << TCSCost{r.contractServiceKey, rest, restCurr, r.rejectDebt};
            return true;
        }
    }

    // Every debt is paid and money is left.
    if (kopecks(ordinary) != 0) {
        QList<int> positions;
        for (int i = 0; i < lines.size(); ++i)
            if (!lines.at(i).rejectDebt)
                positions << i;
        spreadRounded(lines, positions, (amount - byDebt) / ordinary, amount - byDebt);
        return true;
    }
    return advance(customerKey, serviceKey, lines, rate, amount - byDebt);
}

bool TboRentAllocation::advance(int customerKey, int serviceKey, QList<TCSCost> &lines, double rate, double amount)
{
    TxSqlFilter select(QStringLiteral("SELECT cs.id, COALESCE(ser.currservice, 0), COALESCE(ser.rejectdebt, 0) "
                                      "FROM rent_contractservice cs, rent_contract con, rent_service ser, cst_customer cust "
                                      "WHERE cs.contractkey = con.id AND cs.servicekey = ser.id AND con.customerkey = cust.id "
                                      "AND COALESCE(con.disabled, 0) = 0 AND cust.id = ?"),
                       {customerKey});
    select.addIf(serviceKey != -1, QStringLiteral("AND cs.servicekey = ?"), serviceKey);
    QList<std::pair<int, int>> positions;  // key, rejectdebt
    {
        TxQuery q(m_context.db);
        q.exec(select.text(), select.values());
        while (q.next())
            positions << std::pair{q.value(0).toInt(), q.value(2).toInt()};
    }
    if (positions.isEmpty()) {
        m_failure = tr("У клиента нет открытых позиций договоров, на которые можно отнести платеж");
        return false;
    }

    korvex::calc::TboRentReckoning &e = engine();
    QList<TCSCost> priced;
    double total = 0;
    {
        korvex::calc::TReckoningRun run(e);
        for (const auto &[key, rejectDebt] : std::as_const(positions)) {
            if (!e.LoadContractService(key)) {
                m_unpriced << TUnpricedPosition{key, e.failureReason()};
                continue;
            }
            if (rejectDebt)
                continue;
            e.ReckoningRate = rate;
            if (!e.Reckon()) {
                m_unpriced << TUnpricedPosition{key, e.failureReason()};
                continue;
            }
            priced << TCSCost{key, e.CostNCU, e.CostCurr, 0};
            total += e.CostNCU;
        }
    }
    if (priced.isEmpty()) {
        m_failure = tr("Ни одна позиция договоров клиента не рассчитана по формулам");
        if (!m_unpriced.isEmpty())
            m_failure += QStringLiteral(": ") + m_unpriced.first().reason;
        return false;
    }
    const double factor = kopecks(total) == 0 ? 1.0 : amount / total;
    QList<int> rounded;
    for (int i = 0; i < priced.size(); ++i)
        rounded << lines.size() + i;
    lines << priced;
    spreadRounded(lines, rounded, factor, amount);
    return true;
}

} // namespace korvex::billing
