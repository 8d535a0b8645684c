#pragma once

#include <QCoreApplication>
#include <QDate>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

class TmmOptions;

// The maintenance actions of the options page, which belong to no other
// page: rebuilding the server's debt records and deleting the lease's
// bookkeeping operations of a period.
class TboMaintenance
{
    Q_DECLARE_TR_FUNCTIONS(TboMaintenance)
public:
    // The lease's bookkeeping operations are of this type.
    static constexpr int LeaseOperationType = 1800;

    // The period of "Удаление операций за период", remembered per user.
    struct TPeriod {
        QDate begin;
        QDate end;
        bool all = false;  // every operation of the type, whatever its date
    };

    explicit TboMaintenance(korvex::db::TxDatabase &db);

    // Every debt rebuilt from the invoices and pay bills (rent_p_newdebt),
    // in one write scope.
    void rebuildDebts();
    // Deletes the lease's operations of the period (or all of them), in one
    // write scope. A period without both dates, or ending before it begins,
    // is refused (EBusinessError) unless all are asked for.
    void deleteOperations(const TPeriod &period);

    // The period last used (today to today when none was stored).
    static TPeriod storedPeriod(const TmmOptions &options);
    static void storePeriod(TmmOptions &options, const TPeriod &period);

private:
    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::shell
