#pragma once

// The report preview window and the windows the report engine shows through
// (preview, printing, the slow-down question).

#include "documents/xReport.h"

#include <QDialog>
#include <functional>

class QPushButton;

namespace korvex::documents {

class TxRTFViewer;
class TxRTFScaleCombo;

class TxReportPreviewForm : public QDialog
{
    Q_OBJECT
public:
    // templatePath: the form file the report came from ("Информация", "Форма").
    TxReportPreviewForm(const QString &caption, const QString &templatePath, QWidget *parent = nullptr);

    TxRTFViewer *viewer() const { return m_viewer; }
    TxRTFScaleCombo *zoom() const { return m_zoom; }

    // The file dialog; tests put a fake in: (title, filter, suffix) -> file or empty.
    using FileChooser = std::function<QString(const QString &title, const QString &filter, const QString &suffix)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // Messages the window shows; tests record them.
    using Notifier = std::function<void(const QString &title, const QString &text)>;
    void setNotifier(Notifier notifier) { m_notify = std::move(notifier); }

    void print();
    void save();
    void savePdf();
    void information();
    void openForm();

private:
    QString m_templatePath;
    TxRTFViewer *m_viewer;
    TxRTFScaleCombo *m_zoom;
    FileChooser m_chooseFile;
    Notifier m_notify;
};

// The engine's display in the desktop program.
class TxReportWindows : public TxReportDisplay
{
public:
    explicit TxReportWindows(QWidget *parent = nullptr) : m_parent(parent) {}
    void preview(TxReport &report, std::unique_ptr<TxRTFFile> &document) override;
    bool print(TxRTFFile &document, bool showDialog) override;
    QString askRescueFile() override;

private:
    QWidget *m_parent;
};

} // namespace korvex::documents
