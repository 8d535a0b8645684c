#pragma once

#include <QDate>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::billing {

// The debt object: what a customer owes (positive) or has overpaid (negative)
// on a contract service, a contract, a customer or one service of a
// customer, in NCU and in the contract currency, as of a date. The figures
// are kept by the server; these look-ups only read them.
class TboRentDebt
{
public:
    explicit TboRentDebt(korvex::db::TxDatabase &db);

    // The latest rent_debt row of the contract service on or before the date.
    // Without a row: 0, 0 and found() false.
    void DebtOfContractService(int contractServiceKey, const QDate &date);
    // Sums over the debt rows of a contract, a customer, or a service of a
    // customer; a sum over no rows is 0. found() tells whether the statement
    // returned a row, which a sum always does.
    void DebtOfContract(int contractKey, const QDate &date);
    void DebtOfCustomer(int customerKey, const QDate &date);
    void DebtOfCustomerService(int serviceKey, int customerKey, const QDate &date);

    void DebtOfContractService(int contractServiceKey) { DebtOfContractService(contractServiceKey, QDate::currentDate()); }
    void DebtOfContract(int contractKey) { DebtOfContract(contractKey, QDate::currentDate()); }
    void DebtOfCustomer(int customerKey) { DebtOfCustomer(customerKey, QDate::currentDate()); }

    // "Перерасчет задолженностей": every debt rebuilt from the invoices and
    // pay bills as they stand (rent_p_newdebt), in one write scope, so a
    // failure leaves the debts as they were.
    static void RebuildDebts(korvex::db::TxDatabase &db);

    double ncu() const { return m_ncu; }
    double curr() const { return m_curr; }
    bool found() const { return m_found; }
    // Set by the contract-service look-up to the date of the row found.
    QDate lastDebtDate() const { return m_lastDate; }

private:
    void sums(const QString &sql, const QVariantList &values);

    korvex::db::TxDatabase &m_db;
    double m_ncu = 0;
    double m_curr = 0;
    bool m_found = false;
    QDate m_lastDate = QDate::currentDate();
};

} // namespace korvex::billing
