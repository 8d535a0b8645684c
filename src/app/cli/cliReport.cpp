// korvex-rent-cli report: fills a report template from SELECT statements into
// an RTF or PDF file, with the program's own report engine.

#include "cliCommon.h"
#include "cliDocuments.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xTransaction.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "documents/xRTFMessages.h"
#include "documents/xRTFPrint.h"

#include <QFileInfo>
#include <stdexcept>
#include <vector>

namespace korvex::cli {

using namespace korvex::documents;

namespace {

const char *const kUsage =
    "Usage: korvex-rent-cli report TEMPLATE.rtf --out OUTPUT.rtf [--data SECTION=SELECT-STATEMENT]... "
    "[--var NAME=VALUE]... DATABASE";

int runReport(const Args &a)
{
    if (a.positional.size() != 2 || !a.has(QStringLiteral("out")) || a.value(QStringLiteral("out")).isEmpty())
        throw std::invalid_argument(kUsage);
    const QString templateFile = a.positional.at(0);
    const QString output = a.value(QStringLiteral("out"));
    QuietMessages messages;

    auto db = openDatabase(a.positional.at(1), a);
    // Nothing the statements might write survives the report.
    korvex::db::TxReadScope readOnly(*db);

    TxReport report;
    report.SetOptions(TxReport::frAlwaysOpenDataSet);
    report.SetFormFile(templateFile);
    std::vector<std::unique_ptr<TxSqlReportDataSource>> sources;
    for (const QString &data : a.values(QStringLiteral("data"))) {
        const qsizetype eq = data.indexOf(QLatin1Char('='));
        const QString section = eq < 0 ? QString() : data.left(eq).trimmed();
        if (section.isEmpty())
            throw std::invalid_argument(
                QStringLiteral("--data takes SECTION=SELECT-STATEMENT: %1").arg(data).toStdString());
        sources.push_back(TxSqlReportDataSource::fromSelect(*db, data.mid(eq + 1)));
        report.SetSectionData(section, sources.back().get());
    }
    for (const QString &var : a.values(QStringLiteral("var"))) {
        if (var.indexOf(QLatin1Char('=')) <= 0)
            throw std::invalid_argument(QStringLiteral("--var takes NAME=VALUE: %1").arg(var).toStdString());
        report.Vars().append(var);
    }

    if (output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        report.SetDestination(TxReport::dsUserEvent);
        report.SetOnReportReady([&output, &templateFile](TxReport &, std::unique_ptr<TxRTFFile> &doc) {
            writePdf(*doc, output, QFileInfo(templateFile).completeBaseName());
        });
    } else {
        report.SetDestination(TxReport::dsFile);
        report.SetOutputFile(output);
    }
    if (!report.Execute())
        throw std::runtime_error((messages.last.isEmpty() ? QStringLiteral("The report was not built.") : messages.last)
                                     .toStdString());
    return 0;
}

} // namespace

Command reportCommand()
{
    return {QStringLiteral("report"),
            QStringLiteral("  report TEMPLATE.rtf --out OUTPUT.rtf|OUTPUT.pdf [--data SECTION=SELECT-STATEMENT]...\n"
                           "         [--var NAME=VALUE]... DATABASE\n"
                           "                            fill a report template: each --data is the data set of\n"
                           "                            the section of that name (DefaultTable for a template\n"
                           "                            without a DATA command), run read-only; --var lines\n"
                           "                            are user variables; .pdf writes a PDF as printed"),
            [](const QStringList &args) -> int {
                QStringList valueOptions = databaseValueOptions();
                valueOptions << QStringLiteral("out") << QStringLiteral("data") << QStringLiteral("var");
                const Args a = parseArgs(args, valueOptions, {});
                return runWithOneLineErrors([&a] { return runReport(a); });
            },
            true};
}

} // namespace korvex::cli
