#include "FineValues.h"

#include "amount/xAmount.h"
#include "db/xBusinessError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "debt/boRentDebt.h"
#include "shell/mmOptions.h"

namespace korvex::calc {

using korvex::db::TxQuery;

void TFineParameters::load(const korvex::shell::TmmOptions &options)
{
    coefficient = options.floatOption(QStringLiteral("fine_coef"), coefficient);
    serviceKey = options.integerOption(QStringLiteral("fine_service"), serviceKey);
    penaltyServiceKey = options.integerOption(QStringLiteral("fine_fine"), penaltyServiceKey);
    startDate = options.dateOption(QStringLiteral("dlgFine_dtpStartDate"), startDate);
    endDate = options.dateOption(QStringLiteral("dlgFine_xccDate"), endDate);
    roundStep = options.floatOption(QStringLiteral("fine_round"), roundStep);
}

void TFineParameters::save(korvex::shell::TmmOptions &options) const
{
    korvex::db::runInTransaction(options.database(), [&] {
        options.SetFloatOption(QStringLiteral("fine_coef"), true, coefficient);
        options.SetIntegerOption(QStringLiteral("fine_service"), true, serviceKey);
        options.SetIntegerOption(QStringLiteral("fine_fine"), true, penaltyServiceKey);
        options.SetDateOption(QStringLiteral("dlgFine_dtpStartDate"), true, startDate);
        options.SetDateOption(QStringLiteral("dlgFine_xccDate"), true, endDate);
        options.SetFloatOption(QStringLiteral("fine_round"), true, roundStep);
    });
}

void TFineValues::check(const TFineParameters &p)
{
    if (p.serviceKey <= 0)
        throw korvex::db::EBusinessError(tr("Выберите услугу"));
    if (!p.allPayments && p.paymentKey <= 0)
        throw korvex::db::EBusinessError(tr("Выберите форму оплаты"));
    if (!p.startDate.isValid() || !p.endDate.isValid() || p.endDate < p.startDate)
        throw korvex::db::EBusinessError(tr("Конец периода раньше его начала"));
}

int TFineValues::ComputeFines(korvex::db::TxDatabase &db, const QList<int> &valueKeys, const TFineParameters &p)
{
    check(p);
    korvex::billing::TboRentDebt debt(db);
    int written = 0;
    korvex::db::TxWriteScope scope(db);
    for (int key : valueKeys) {
        const QVariant customer =
            TxQuery::scalar(db, QStringLiteral("SELECT customerkey FROM rent_valuevariable WHERE id = ?"), {key});
        if (customer.isNull())
            continue;
        const double fine = debt.ComputeFine(p.serviceKey, customer.toInt(), p.paymentKey, p.allPayments, p.endDate,
                                             p.startDate, p.coefficient);
        TxQuery::execute(db, QStringLiteral("UPDATE rent_valuevariable SET valuevariable = ? WHERE id = ?"),
                         {korvex::amount::roundToStep(fine, p.roundStep), key});
        ++written;
    }
    scope.commit();
    return written;
}

} // namespace korvex::calc
