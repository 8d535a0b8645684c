#pragma once

#include "shell/AppContext.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <memory>

namespace korvex::calc {
class TboRentReckoning;
}

namespace korvex::billing {

// One line of a payment allocation: the contract service paid, the NCU and
// currency amounts it gets, and whether its service is written off only by
// debt (rent_service.rejectdebt).
struct TCSCost {
    int contractServiceKey = 0;
    double ncu = 0;
    double curr = 0;
    int rejectDebt = 0;

    bool operator==(const TCSCost &) const = default;
};

// A position the advance distribution could not price, and why.
struct TUnpricedPosition {
    int contractServiceKey = 0;
    QString reason;
};

// Spreads a payment over a customer's debts by service priority, and any
// surplus over the customer's open contract services by their prices.
class TboRentAllocation
{
    Q_DECLARE_TR_FUNCTIONS(TboRentAllocation)
public:
    explicit TboRentAllocation(korvex::shell::TAppContext &context);
    // Prices with the caller's engine (one engine for a whole run).
    TboRentAllocation(korvex::shell::TAppContext &context, korvex::calc::TboRentReckoning &engine);
    ~TboRentAllocation();

    // The date of the debts paid; today unless set.
    QDate debtDate() const { return m_debtDate; }
    void setDebtDate(const QDate &date) { m_debtDate = date; }

    // Allocates the NCU amount of a payment at the rate for the customer,
    // for one service (with its main service) or for all (serviceKey -1):
    // 1. the debts (a row takes part when either amount is positive) are paid
    //    by ascending priority, rows of one priority in the order read; a
    //    row paid in full gets its whole debt (a currency service its
    //    currency debt at the rate), the row that exhausts the amount gets
    //    what is left (its currency: that over the rate, 0 at rate 0) and
    //    the allocation ends;
    // 2. money left over once every debt is paid goes to the ordinary
    //    (not written-off-only-by-debt) lines in proportion to them;
    //    without an ordinary line it goes to the advance distribution;
    // 3. advance distribution: the customer's open contract services (of
    //    the service) not written off only by debt are priced by the
    //    reckoning engine at the rate and share the amount by their NCU
    //    prices (with every price 0 each keeps its price).
    // Shares are rounded to a whole NCU unit (a tie to the even one) and
    // what rounding leaves is put on the last rounded line, so the NCU
    // amounts always add up to the payment. False (lines empty,
    // failureReason() set) when the advance distribution has no open
    // position or none of them prices. Database errors are thrown.
    bool AllocatePayment(int customerKey, int serviceKey, QList<TCSCost> &lines, double rate, double amount);

    QString failureReason() const { return m_failure; }
    // Positions of the last advance distribution that could not be priced
    // (they were left out).
    QList<TUnpricedPosition> unpriced() const { return m_unpriced; }

private:
    struct DebtRow;
    bool allocate(int customerKey, int serviceKey, QList<TCSCost> &lines, double rate, double amount);
    bool advance(int customerKey, int serviceKey, QList<TCSCost> &lines, double rate, double amount);
    korvex::calc::TboRentReckoning &engine();

    korvex::shell::TAppContext &m_context;
    std::unique_ptr<korvex::calc::TboRentReckoning> m_ownEngine;
    korvex::calc::TboRentReckoning *m_engine = nullptr;
    QDate m_debtDate = QDate::currentDate();
    QString m_failure;
    QList<TUnpricedPosition> m_unpriced;
};

} // namespace korvex::billing
