#pragma once

// Printing a document from the windows: the system print dialog or the
// program's own page-list dialog, the page-progress window with its stop
// button, and saving a document as PDF.

#include "documents/xRTFPrint.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace korvex::documents {

class TxRTFFile;

// "Печать": the printer, "Все" or "Страницы:" with a page list, the copies.
class TxPrintDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TxPrintDialog(QPrinter &printer, QWidget *parent = nullptr);

    bool allPages() const;
    bool pageList() const;
    QString pageText() const;
    int copies() const;

    QRadioButton *allButton() const { return m_all; }
    QRadioButton *pagesButton() const { return m_pages; }
    QLineEdit *pagesEdit() const { return m_pagesEdit; }
    QSpinBox *copiesBox() const { return m_copies; }

protected:
    bool event(QEvent *event) override;

private:
    void choosePrinter();
    void showPrinter();

    QPrinter &m_printer;
    QLabel *m_printerName;
    QRadioButton *m_all;
    QRadioButton *m_pages;
    QLineEdit *m_pagesEdit;
    QSpinBox *m_copies;
};

// The page being printed, and "Прервать".
class TRTFPrintingForm : public QDialog, public TxPrintMonitor
{
    Q_OBJECT
public:
    explicit TRTFPrintingForm(QWidget *parent = nullptr);

    void page(int pageNumber, int pageCount) override;
    bool stopped() const override { return m_stopped; }
    QString pageLabel() const;
    QPushButton *stopButton() const { return m_stop; }

protected:
    void reject() override;

private:
    void askStop();

    QLabel *m_page;
    QPushButton *m_stop;
    bool m_stopped = false;
};

// The printer and page ranges chosen in TxPrintDialog.
class TxRTFPrinter
{
public:
    explicit TxRTFPrinter(TxRTFFile &document);
    ~TxRTFPrinter();
    // Shows the dialog; false on "Отмена".
    bool Execute(QWidget *parent = nullptr);

    QPrinter &printer() { return *m_printer; }
    QList<TxPages> Pages;
    int Copies = 1;

private:
    TxRTFFile &m_document;
    std::unique_ptr<QPrinter> m_printer;
};

// Prints every page, through the system print dialog when asked; true when
// printing ran to its end.
bool Print(TxRTFFile &document, bool showDialog, QWidget *parent = nullptr);
// Prints the pages chosen in TxPrintDialog.
bool PrintPages(TxRTFFile &document, QWidget *parent = nullptr);
// Prints onto a printer set up by the caller, with the page-progress window.
bool printWithProgress(TxRTFFile &document, QPrinter &printer, const QList<TxPages> &ranges, QWidget *parent);

} // namespace korvex::documents
