#pragma once

#include <QCoreApplication>
#include <QDate>
#include <memory>
#include <optional>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::documents {
class TxListReportDataSource;
class TxReport;
}

namespace korvex::billing {

// The report "Возрастная структура задолженности": every customer with a
// debt on a date, the debt split by days past due (TboRentAgedDebt), by
// customer name, from the program's own template. Its rows carry the fields
// CUSTOMERKEY, CUSTOMERNAME, NOTDUE, D1_30, D31_60, D61_90, D90PLUS and
// TOTAL; the variable DATE is the date. Printed and saved as every report
// is, through the report window.
class TAgedDebtReport
{
    Q_DECLARE_TR_FUNCTIONS(TAgedDebtReport)
public:
    // Reads the debts (all customers, or one).
    TAgedDebtReport(korvex::db::TxDatabase &db, const QDate &date, std::optional<int> customerKey = std::nullopt);
    ~TAgedDebtReport();

    static QString caption();
    // The template compiled into the program.
    static QString templateFile();

    // Gives the report its template, its rows as the default section and
    // its variables; the rows stay this object's and must outlive the build.
    void prepare(korvex::documents::TxReport &report) const;

    int rowCount() const;

private:
    QDate m_date;
    std::unique_ptr<korvex::documents::TxListReportDataSource> m_rows;
};

} // namespace korvex::billing
