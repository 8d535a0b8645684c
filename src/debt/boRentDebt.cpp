#include "boRentDebt.h"

#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

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

void TboRentDebt::DebtOfCustomerService(int serviceKey, int customerKey, const QDate &date)
{
    sums(QStringLiteral("SELECT SUM(d.costncu) AS sumncu, SUM(d.costcurr) AS sumcurr "
                        "FROM rent_contractservice cs, rent_contract c, rent_p_getdebt(?) d "
                        "WHERE d.contractservicekey = cs.id AND c.id = cs.contractkey "
                        "AND c.customerkey = ? AND cs.servicekey = ?"),
         {date, customerKey, serviceKey});
}

void TboRentDebt::RebuildDebts(TxDatabase &db)
{
    runInTransaction(db, [&] { TxQuery::execute(db, QStringLiteral("EXECUTE PROCEDURE rent_p_newdebt")); });
}

} // namespace korvex::billing
