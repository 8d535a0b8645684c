#include "Maintenance.h"

#include "mmOptions.h"

#include "db/xBusinessError.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

namespace korvex::shell {

using namespace korvex::db;

TboMaintenance::TboMaintenance(TxDatabase &db)
    : m_db(db)
{
}

void TboMaintenance::rebuildDebts()
{
    TxWriteScope scope(m_db);
    TxStoredProc proc(m_db, QStringLiteral("rent_p_newdebt"));
    proc.execute();
    scope.commit();
}

void TboMaintenance::deleteOperations(const TPeriod &period)
{
    if (!period.all) {
        if (!period.begin.isValid() || !period.end.isValid())
            throw EBusinessError(tr("Укажите период"));
        if (period.end < period.begin)
            throw EBusinessError(tr("Конец периода раньше его начала"));
    }
    TxWriteScope scope(m_db);
    TxStoredProc proc(m_db, QStringLiteral("fin_p_deleteoperation"));
    proc.setParam(QStringLiteral("optypekey"), LeaseOperationType);
    proc.setParam(QStringLiteral("datebegin"), period.begin.isValid() ? QVariant(period.begin) : QVariant(QMetaType::fromType<QDate>()));
    proc.setParam(QStringLiteral("dateend"), period.end.isValid() ? QVariant(period.end) : QVariant(QMetaType::fromType<QDate>()));
    proc.setParam(QStringLiteral("Alloperation"), period.all ? 1 : 0);
    proc.execute();
    scope.commit();
}

TboMaintenance::TPeriod TboMaintenance::storedPeriod(const TmmOptions &options)
{
    const QDate today = QDate::currentDate();
    TPeriod p;
    p.begin = options.dateOption(QStringLiteral("rent_periodbegindate"), today);
    p.end = options.dateOption(QStringLiteral("rent_periodenddate"), today);
    p.all = options.integerOption(QStringLiteral("rent_operationall"), 0) != 0;
    return p;
}

void TboMaintenance::storePeriod(TmmOptions &options, const TPeriod &period)
{
    if (period.begin.isValid())
        options.SetDateOption(QStringLiteral("rent_periodbegindate"), true, period.begin);
    if (period.end.isValid())
        options.SetDateOption(QStringLiteral("rent_periodenddate"), true, period.end);
    options.SetIntegerOption(QStringLiteral("rent_operationall"), true, period.all ? 1 : 0);
}

} // namespace korvex::shell
