#include "printJob.h"

#include "db/xDbError.h"
#include "documents/xRTFPrint.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "documents/xSafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

namespace korvex::documents {

QString resolveTemplate(const QString &stored)
{
    QString path = stored.trimmed();
    if (!path.startsWith(QLatin1Char('%')))
        return path;
    const QString rest = path.mid(1);
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(rest);
    if (QFileInfo::exists(beside))
        return beside;
    const QString builtIn = QStringLiteral(":/") + QString(rest).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QFileInfo::exists(builtIn))
        return builtIn;
    return beside;
}

QString TPrintJob::templatePath() const
{
    return resolveTemplate(templateFile);
}

QString TPrintJob::failureText() const
{
    return kind == Report ? QCoreApplication::translate("TfrmPrintReport", "Ненайден шаблон или ошибка в печатной форме")
                          : QCoreApplication::translate("TfrmPrintReport", "Ненайден шаблон или обнаружена ошибка");
}

void TPrintJob::fill(TxReport &report) const
{
    report.SetFormFile(templatePath());
    report.DataSources().clear();
    if (data)
        report.SetSectionData(QStringLiteral("DEFAULTTABLE"), data.get());
    report.Vars().setLines(vars);
    report.SetCaption(title + QLatin1Char(' ') + templateFile);
}

std::shared_ptr<TxMemoryReportDataSource> readAll(QSqlQuery &query)
{
    if (!query.isActive() && !query.exec())
        throw korvex::db::EDatabaseError::fromSqlError(query.lastError(), query.lastQuery());
    auto data = std::make_shared<TxMemoryReportDataSource>();
    const QSqlRecord record = query.record();
    data->addFields(record);
    const int n = record.count();
    if (query.isForwardOnly() || query.at() < 0) {
        while (query.next()) {
            data->appendRow();
            for (int i = 0; i < n; ++i)
                data->setValue(i, query.value(i));
        }
    } else if (query.first()) {
        do {
            data->appendRow();
            for (int i = 0; i < n; ++i)
                data->setValue(i, query.value(i));
        } while (query.next());
    }
    // A row the server fails to give ends the loop like the last one did.
    if (query.lastError().isValid())
        throw korvex::db::EDatabaseError::fromSqlError(query.lastError(), query.lastQuery());
    data->first();
    return data;
}

void writeJob(const TPrintJob &job, const QString &outputFile)
{
    TxReport report;
    report.SetOptions(TxReport::frAlwaysOpenDataSet);
    job.fill(report);
    bool written = false;
    if (outputFile.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        report.SetDestination(TxReport::dsUserEvent);
        report.SetOnReportReady([&](TxReport &, std::unique_ptr<TxRTFFile> &doc) {
            writePdf(*doc, outputFile, job.title);
            written = true;
        });
    } else {
        report.SetDestination(TxReport::dsFile);
        report.SetOutputFile(outputFile);
    }
    if (!report.Execute())
        throw ExReport(job.failureText());
    if (!written && !QFileInfo::exists(outputFile))
        throw ExReport(job.failureText());
}

} // namespace korvex::documents
