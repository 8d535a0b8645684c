#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::billing {

// A customer's NCU debt on a date split by how long its charges are past
// due. The five parts add up to the total, which is the customer's debt as
// the debt look-ups give it.
struct TAgedDebt {
    int customerKey = 0;
    QString customerName;
    double notDue = 0;
    double days1To30 = 0;
    double days31To60 = 0;
    double days61To90 = 0;
    double over90 = 0;
    double total = 0;
};

// Aged debts: everything a customer paid (pay-bill lines and every other
// movement that lowers a debt) settles the customer's charges (invoice
// lines) oldest due date first, across all the customer's contracts; what
// is left of each charge is aged by the date minus its due date (the
// invoice's pay-until date, else its invoice date).
class TboRentAgedDebt
{
public:
    explicit TboRentAgedDebt(korvex::db::TxDatabase &db);

    // Every customer whose NCU debt on the date is above 0 (or that one
    // customer, when it is), by customer key.
    QList<TAgedDebt> AgedDebts(const QDate &date, std::optional<int> customerKey = std::nullopt);
    // One customer whatever its debt; the parts are 0 unless it is above 0.
    TAgedDebt AgedDebtOfCustomer(int customerKey, const QDate &date);

    // One open charge: its due date and NCU amount.
    struct Charge {
        QDate due;
        double ncu = 0;
    };
    // The split of a debt (total) on the date from the charges, oldest due
    // first, and what was paid. A part of the total that the charges and
    // payments do not explain (a balance booked by no document) counts as
    // over 90 days when it is owed and as paid when it is not.
    static void age(TAgedDebt &debt, const QList<Charge> &charges, double paid, const QDate &date);

private:
    QList<TAgedDebt> read(const QDate &date, std::optional<int> customerKey, bool positiveOnly);

    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::billing
