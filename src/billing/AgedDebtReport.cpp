#include "AgedDebtReport.h"

#include "debt/boRentAgedDebt.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"

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
    m_rows = std::make_unique<korvex::documents::TxListReportDataSource>(
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

} // namespace korvex::billing
