#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QList>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::shell {
class TmmOptions;
}

namespace korvex::calc {

// What "Расчет пени" asks: the daily rate, the service whose debt is fined,
// the penalty service (remembered only), the period, the rounding step, and
// the payment form. Everything but the payment form is remembered per user.
struct TFineParameters {
    double coefficient = 0;
    int serviceKey = 0;
    int penaltyServiceKey = 0;
    QDate startDate = QDate::currentDate();
    QDate endDate = QDate::currentDate();
    double roundStep = 1;
    bool allPayments = true;
    int paymentKey = 0;

    // An option that is missing or of another type keeps the field as it is.
    void load(const korvex::shell::TmmOptions &options);
    void save(korvex::shell::TmmOptions &options) const;
};

// "Расчет пени" over value rows of user variables: every row with a
// customer gets that customer's penalty (TboRentDebt::ComputeFine) rounded
// to the step; rows without a customer are left alone. All rows in one
// write scope. The number of rows written.
class TFineValues
{
    Q_DECLARE_TR_FUNCTIONS(TFineValues)
public:
    static int ComputeFines(korvex::db::TxDatabase &db, const QList<int> &valueKeys, const TFineParameters &p);
    // Throws EBusinessError with the text for the user when the parameters
    // would write nonsense into the rows: no service, no payment form while
    // one is asked for, a period that ends before it starts.
    static void check(const TFineParameters &p);
};

} // namespace korvex::calc
