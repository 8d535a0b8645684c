#pragma once

// A document ready to be filled: the template, its title, the data of its
// default section and its variables. Print forms and reports make one; the
// report window shows it, the command-line tool writes it to a file.

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <memory>

namespace korvex::documents {

class TxMemoryReportDataSource;
class TxReport;

struct TPrintJob {
    enum Kind { Document, Register, Report };
    Kind kind = Document;
    int typeDocument = 0;  // the print form's type (documents)
    QString title;         // the heading, the window's caption with the template
    QString templateFile;  // as stored
    QStringList vars;
    std::shared_ptr<TxMemoryReportDataSource> data;  // the default section ("dsReport1")

    // The file-name box of a contract document, and the contract whose
    // rent_contract.filename a save stores.
    bool fileNameBox = false;
    QString fileName;
    int contractKey = 0;

    // The template as the engine opens it (see resolveTemplate).
    QString templatePath() const;
    // The message when Execute fails.
    QString failureText() const;
    // Sets the engine's template, default section and variables.
    void fill(TxReport &report) const;
};

// A stored template name: a leading "%" stands for the program's folder
// (the engine then expands its own path macros). A template of the
// program's folder that is not there is taken from the copy built into the
// program, so the demonstration forms print wherever the program runs.
QString resolveTemplate(const QString &stored);

// Runs the query (when not active) and copies every row into memory.
std::shared_ptr<TxMemoryReportDataSource> readAll(QSqlQuery &query);

// Fills the job's template into an RTF file, or a PDF laid out as printed
// when the name ends in ".pdf". The file is complete or absent. Errors are
// the engine's (ExReport, ExRTF) and the database's.
void writeJob(const TPrintJob &job, const QString &outputFile);

} // namespace korvex::documents
