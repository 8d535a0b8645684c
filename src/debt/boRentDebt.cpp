#include "boRentDebt.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <cmath>

namespace korvex::billing {

using namespace korvex::db;

TboRentDebt::TboRentDebt(TxDatabase &db)
    : m_db(db)
{
}

void TboRentDebt::DebtOfContractService(int contractServiceKey, const QDate &date)
{
    m_ncu = 0;
    m_curr = 0;
    m_found = false;
    TxQuery own(m_db);
    TxQuery &q = TxStatementCache::exec(
        m_db, own,
        QStringLiteral("SELECT debtdate, costncu, costcurr FROM rent_debt "
                       "WHERE contractservicekey = ? AND debtdate = "
                       "(SELECT MAX(debtdate) FROM rent_debt WHERE debtdate <= ? AND contractservicekey = ?)"),
        {contractServiceKey, date, contractServiceKey});
    if (q.next()) {
        m_found = true;
        m_lastDate = q.value(0).toDate();
        m_ncu = q.value(1).toDouble();
        m_curr = q.value(2).toDouble();
    }
}

void TboRentDebt::sums(const QString &sql, const QVariantList &values)
{
    m_ncu = 0;
    m_curr = 0;
    m_found = false;
    TxQuery own(m_db);
    TxQuery &q = TxStatementCache::exec(m_db, own, sql, values);
    if (q.next()) {
        m_found = true;
        m_ncu = q.value(0).toDouble();  // NULL (no rows) reads as 0
        m_curr = q.value(1).toDouble();
    }
}

void TboRentDebt::DebtOfContract(int contractKey, const QDate &date)
{
    sums(QStringLiteral("SELECT SUM(costncu) AS sumncu, SUM(costcurr) AS sumcurr FROM rent_p_getdebtcontract(?, ?)"),
         {date, contractKey});
}

void TboRentDebt::DebtOfCustomer(int customerKey, const QDate &date)
{
    sums(QStringLiteral("SELECT SUM(costncu) AS sumncu, SUM(costcurr) AS sumcurr FROM rent_p_getdebtcustomer(?, ?)"),
         {date, customerKey});
}

void TboRentDebt::DebtOfCustomerService(int serviceKey, int customerKey, const QDate &date,
                                        std::optional<int> paymentKey)
{
    // The customer's own debt rows: never every position of the database.
    QString sql = QStringLiteral("SELECT SUM(d.costncu) AS sumncu, SUM(d.costcurr) AS sumcurr "
                                 "FROM rent_p_getdebtcustomer(?, ?) d "
                                 "JOIN rent_contractservice cs ON cs.id = d.contractservicekey "
                                 "JOIN rent_contract c ON c.id = cs.contractkey "
                                 "WHERE cs.servicekey = ?");
    QVariantList values{date, customerKey, serviceKey};
    if (paymentKey) {
        sql += QStringLiteral(" AND c.paymentkey = ?");
        values << *paymentKey;
    }
    sums(sql, values);
}

namespace {

// Running balances keep to the millionth, as the server keeps the stored
// ones, so that a debt paid off in kopecks is 0 and not 1e-14.
double balance(double v)
{
    return std::round(v * 1e6) / 1e6;
}

} // namespace

double TboRentDebt::fineOverHistory(double openingDebt, const QList<Movement> &history, const QDate &startDate,
                                    const QDate &endDate, double rate)
{
    if (!startDate.isValid() || !endDate.isValid() || endDate < startDate)
        return 0;
    double debt = balance(openingDebt);
    double fine = 0;
    QDate previous = startDate;
    for (const Movement &m : history) {
        if (m.date < startDate || m.date > endDate)
            continue;
        const double adjustment = balance(m.endDebt - m.startDebt - m.charged + m.paid);
        if (adjustment < 0)
            debt = balance(debt + adjustment);
        if (debt > 0)
            fine += previous.daysTo(m.date) * debt * rate;
        previous = m.date;
        debt = balance(debt - m.paid + m.charged);
    }
    if (debt > 0)
        fine += rate * debt * previous.daysTo(endDate.addDays(1));
    return fine;
}

double TboRentDebt::ComputeFine(int serviceKey, int customerKey, int paymentKey, bool allPayments,
                                const QDate &endDate, const QDate &startDate, double rate)
{
    if (!startDate.isValid() || !endDate.isValid() || endDate < startDate)
        return 0;
    // The opening debt counts the same contracts as the history below.
    DebtOfCustomerService(serviceKey, customerKey, startDate.addDays(-1),
                          allPayments ? std::nullopt : std::optional<int>(paymentKey));
    const double opening = m_ncu;

    QList<Movement> history;
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT historydate, startdebtcostncu, enddebtcostncu, ccostncu, dcostncu "
                          "FROM rent_p_gethistoryservice(?, ?, ?, ?) "
                          "WHERE historydate <= ? AND historydate >= ? ORDER BY historydate"),
           {serviceKey, customerKey, allPayments ? 1 : 0, paymentKey, endDate, startDate});
    while (q.next())
        history << Movement{q.value(0).toDate(), q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toDouble(),
                            q.value(4).toDouble()};
    return fineOverHistory(opening, history, startDate, endDate, rate);
}

void TboRentDebt::RebuildDebts(TxDatabase &db)
{
    runInTransaction(db, [&] { TxQuery::execute(db, QStringLiteral("EXECUTE PROCEDURE rent_p_newdebt")); });
}

} // namespace korvex::billing
