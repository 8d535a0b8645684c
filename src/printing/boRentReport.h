#pragma once

#include "printDialogs.h"
#include "printJob.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace korvex::shell {
struct TAppContext;
}
namespace korvex::widgets {
class TxSqlFilter;
}

namespace korvex::documents {

// One row of rent_printreport.
struct TRentReportRecord {
    int id = 0;
    int parent = 0;  // 0: at the top
    QString name;
    QString fileName;  // the template
    int typeReport = 0;
    int icon = 0;  // 0 to 119
    QString textSql;
    int userKey = 0;
};

class TboRentReport;

// How a report type gathers its data: asks its questions through the
// object's dialogs and answers the job to show, or nullopt when the user
// cancelled or nothing is to be shown.
using TReportRunner = std::function<std::optional<TPrintJob>(TboRentReport &bo, const TRentReportRecord &report)>;

// The stored reports: each has a type, which decides the questions asked and
// how the data is gathered. Every value a question answers is bound; a
// user's own statement runs read-only and must be a single SELECT.
class TboRentReport
{
public:
    enum Type {
        SqlReport = 0,
        DebtsByObjects = 1,
        FreeObjects = 2,
        UsedObjects = 3,
        Tenants = 4,
        DebtorTenants = 5,
        Violations = 6,
        DebtsByServices = 7,
    };
    static constexpr int IconCount = 120;

    explicit TboRentReport(korvex::shell::TAppContext &context, TPrintDialogs *dialogs = nullptr);

    // Another part of the program adds a report type of its own (a type
    // number above the built-in ones); the report dialog then offers it.
    static void registerReportType(int type, const QString &name, TReportRunner runner);
    // The type numbers and their names, in number order.
    static QList<std::pair<int, QString>> reportTypes();
    static QString typeName(int type);

    void RunReport(int id);
    // The job RunReport shows; nullopt: nothing to show.
    std::optional<TPrintJob> reportJob(int id);

    bool AddReport(int parent, int *newId = nullptr);
    bool DeleteReport(int id);
    bool EditReport(int id);

    TRentReportRecord newRecord(int parent) const;
    std::optional<TRentReportRecord> readReport(int id) const;
    // Inserts (id 0, which then receives the key) or updates; a report
    // without a name is refused (EBusinessError "Введите наименование").
    void writeReport(TRentReportRecord &record);
    // Whether reports lie below the report.
    bool hasChildren(int id) const;

    // --- For the report types -------------------------------------------------
    korvex::shell::TAppContext &context() const { return m_context; }
    TPrintDialogs &dialogs() const;
    // A job over the statement with the report's name and template.
    TPrintJob jobFor(const TRentReportRecord &report, const korvex::widgets::TxSqlFilter &sql,
                     const QStringList &vars = {}) const;
    // " AND column IN (...)" for the marked customers unless all are chosen;
    // false (after the message) when none is marked.
    bool addCustomerFilter(korvex::widgets::TxSqlFilter &sql, const TReportCustomerChoice &choice,
                           const QString &column) const;
    // The ":name" parameters of a statement, each once, in order of appearance.
    static QStringList sqlParameterNames(const QString &sql);

private:
    std::optional<TPrintJob> sqlReport(const TRentReportRecord &report);
    std::optional<TPrintJob> debtReport(const TRentReportRecord &report, bool byObjects);
    std::optional<TPrintJob> objectReport(const TRentReportRecord &report);

    korvex::shell::TAppContext &m_context;
    TPrintDialogs *m_dialogs;
};

} // namespace korvex::documents
