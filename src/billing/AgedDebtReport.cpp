#include "AgedDebtReport.h"

#include "debt/boRentAgedDebt.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "printing/boRentReport.h"
#include "shell/AppContext.h"
#include "widgets/xPrompt.h"

#include <QLocale>
#include <algorithm>

namespace korvex::billing {

TAgedDebtReport::TAgedDebtReport(korvex::db::TxDatabase &db, const QDate &date, std::optional<int> customerKey)
    : m_date(date)
{
    QList<TAgedDebt> debts = TboRentAgedDebt(db).AgedDebts(date, customerKey);
    std::stable_sort(debts.begin(), debts.end(), [](const TAgedDebt &a, const TAgedDebt &b) {
        return QString::localeAwareCompare(a.customerName, b.customerName) < 0;
    });
    QList<QVariantList> rows;
    for (const TAgedDebt &d : debts)
        rows << QVariantList{d.customerKey, d.customerName, d.notDue, d.days1To30, d.days31To60,
                             d.days61To90, d.over90,    d.total};
    m_rows = std::make_shared<korvex::documents::TxListReportDataSource>(
        QStringList{QStringLiteral("CUSTOMERKEY"), QStringLiteral("CUSTOMERNAME"), QStringLiteral("NOTDUE"),
                    QStringLiteral("D1_30"), QStringLiteral("D31_60"), QStringLiteral("D61_90"),
                    QStringLiteral("D90PLUS"), QStringLiteral("TOTAL")},
        std::move(rows));
}

TAgedDebtReport::~TAgedDebtReport() = default;

QString TAgedDebtReport::caption()
{
    return tr("Возрастная структура задолженности");
}

QString TAgedDebtReport::templateFile()
{
    return QStringLiteral(":/reports/agedDebts.rtf");
}

void TAgedDebtReport::prepare(korvex::documents::TxReport &report) const
{
    report.SetFormFile(templateFile());
    report.SetCaption(caption());
    report.SetSectionData(QStringLiteral("DefaultTable"), m_rows.get());
    report.Vars().setValue(QStringLiteral("DATE"), QLocale().toString(m_date, QLocale::ShortFormat));
}

int TAgedDebtReport::rowCount() const
{
    return m_rows->recordCount();
}

void TAgedDebtReport::registerReportType()
{
    using namespace korvex::documents;
    TboRentReport::registerReportType(
        ReportType, caption(), [](TboRentReport &bo, const TRentReportRecord &record) -> std::optional<TPrintJob> {
            TReportCustomerChoice choice;
            if (!bo.dialogs().chooseCustomers(choice, false))
                return std::nullopt;
            if (!choice.allCustomers && choice.customers.isEmpty()) {
                bo.dialogs().prompt().warning(tr("Необходио выбрать хотя бы одного клиента"), tr("Внимание!"));
                return std::nullopt;
            }
            const QDate date = choice.unlimited || !choice.endDate.isValid() ? QDate::currentDate() : choice.endDate;
            const TAgedDebtReport report(bo.context().db, date,
                                         choice.customers.size() == 1 && !choice.allCustomers
                                             ? std::optional<int>(choice.customers.first())
                                             : std::nullopt);
            TPrintJob job;
            job.kind = TPrintJob::Report;
            job.title = record.name;
            job.templateFile = record.fileName.isEmpty() ? templateFile() : record.fileName;
            job.vars << QStringLiteral("DATE = ") + QLocale().toString(date, QLocale::ShortFormat);
            job.data = report.m_rows;
            if (!choice.allCustomers && choice.customers.size() > 1) {
                // Several marked customers: the rows of those only.
                auto rows = std::make_shared<TxMemoryReportDataSource>();
                for (int f = 0; f < report.m_rows->fieldCount(); ++f)
                    rows->addField(report.m_rows->fieldName(f), report.m_rows->fieldKind(f));
                for (int r = 0; r < report.m_rows->recordCount(); ++r) {
                    if (!choice.customers.contains(report.m_rows->value(r, 0).toInt()))
                        continue;
                    rows->appendRow();
                    for (int f = 0; f < report.m_rows->fieldCount(); ++f)
                        rows->setValue(f, report.m_rows->value(r, f));
                }
                rows->first();
                job.data = rows;
            }
            return job;
        });
}

} // namespace korvex::billing
