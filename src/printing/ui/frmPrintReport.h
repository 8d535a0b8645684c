#pragma once

#include "printing/printJob.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;

namespace korvex::documents {

class TxReport;
class TxRTFViewer;
class TxRTFScaleCombo;

// "Печать отчета": builds the job's document with the report engine and
// shows it; prints it, saves it (RTF or PDF), hands it or its template to
// the word processor, and shows the variables and the data it was built
// from. Temporary files it made are removed when it closes.
class TfrmPrintReport : public QDialog
{
    Q_OBJECT
public:
    TfrmPrintReport(TPrintJob &job, QWidget *parent = nullptr);
    ~TfrmPrintReport() override;

    // Builds the document ("Перестроить"); false after the failure message.
    bool build();
    bool saved() const { return m_saved; }

    TxRTFViewer *viewer() const { return m_viewer; }
    QLineEdit *fileNameBox() const { return m_fileName; }
    QLabel *heading() const { return m_heading; }

    // The file dialog; tests put a fake in: (title, filter, suffix, proposed) -> file or empty.
    using FileChooser = std::function<QString(const QString &, const QString &, const QString &, const QString &)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    void save();
    void savePdf();
    void print();
    void openForm();
    void openInWord();
    void showValues();
    void showTable();

private:
    void message(const QString &text);

    TPrintJob &m_job;
    std::unique_ptr<TxReport> m_report;
    QLabel *m_heading;
    QLineEdit *m_fileName;
    TxRTFViewer *m_viewer;
    TxRTFScaleCombo *m_zoom;
    FileChooser m_chooseFile;
    QStringList m_temporary;
    bool m_saved = false;
};

// "Переменные": the variables, one line each.
class TfrmValues : public QDialog
{
    Q_OBJECT
public:
    TfrmValues(const QStringList &lines, QWidget *parent = nullptr);
};

// "Таблица": the rows a document was built from.
class TfrmViewGrid : public QDialog
{
    Q_OBJECT
public:
    TfrmViewGrid(const TxMemoryReportDataSource &data, QWidget *parent = nullptr);
};

} // namespace korvex::documents
