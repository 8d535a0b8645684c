#pragma once

#include <QDate>
#include <QList>
#include <optional>

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
    // With a payment form key only contracts of that payment form count.
    void DebtOfCustomerService(int serviceKey, int customerKey, const QDate &date,
                               std::optional<int> paymentKey = std::nullopt);

    void DebtOfContractService(int contractServiceKey) { DebtOfContractService(contractServiceKey, QDate::currentDate()); }
    void DebtOfContract(int contractKey) { DebtOfContract(contractKey, QDate::currentDate()); }
    void DebtOfCustomer(int customerKey) { DebtOfCustomer(customerKey, QDate::currentDate()); }

    // "Перерасчет задолженностей": every debt rebuilt from the invoices and
    // pay bills as they stand (rent_p_newdebt), in one write scope, so a
    // failure leaves the debts as they were.
    static void RebuildDebts(korvex::db::TxDatabase &db);

    // One date of a debt's history: the NCU balance before and after the
    // date, what invoices charged and what pay bills paid on it.
    struct Movement {
        QDate date;
        double startDebt = 0;
        double endDebt = 0;
        double charged = 0;
        double paid = 0;
    };
    // The penalty on a customer's overdue NCU debt for one service from
    // start to end (both included) at a daily rate: every day the debt is
    // positive adds debt x rate. The opening debt and the history are both of
    // the contracts of the payment form, or of all payment forms. An empty
    // period (end before start) costs nothing.
    double ComputeFine(int serviceKey, int customerKey, int paymentKey, bool allPayments, const QDate &endDate,
                       const QDate &startDate, double rate);
    // The same over a history already read: from the debt before the start,
    // the movements dated within the period in date order. Only a negative
    // change that is neither charge nor payment lowers the running debt.
    static double fineOverHistory(double openingDebt, const QList<Movement> &history, const QDate &startDate,
                                  const QDate &endDate, double rate);

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
