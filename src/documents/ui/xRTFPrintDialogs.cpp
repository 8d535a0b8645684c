#include "xRTFPrintDialogs.h"

#include "documents/xRTF.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace korvex::documents {

// ---------------------------------------------------------------------------
// TxPrintDialog

TxPrintDialog::TxPrintDialog(QPrinter &printer, QWidget *parent)
    : QDialog(parent)
    , m_printer(printer)
{
    setWindowTitle(tr("Печать"));
    resize(352, 211);

    auto printerLabel = new QLabel(tr("Принтер:"), this);
    m_printerName = new QLabel(this);
    auto choose = new QPushButton(tr("Выбор принтера"), this);
    connect(choose, &QPushButton::clicked, this, &TxPrintDialog::choosePrinter);

    auto range = new QGroupBox(tr(" Диапазон страниц "), this);
    m_all = new QRadioButton(tr("Все"), range);
    m_pages = new QRadioButton(tr("Страницы:"), range);
    m_pagesEdit = new QLineEdit(range);
    m_all->setChecked(true);
    connect(m_pagesEdit, &QLineEdit::textEdited, this, [this] { m_pages->setChecked(true); });
    auto rangeLayout = new QVBoxLayout(range);
    rangeLayout->addWidget(m_all);
    auto pagesRow = new QHBoxLayout;
    pagesRow->addWidget(m_pages);
    pagesRow->addWidget(m_pagesEdit, 1);
    rangeLayout->addLayout(pagesRow);

    auto copiesBox = new QGroupBox(tr(" Копии "), this);
    m_copies = new QSpinBox(copiesBox);
    m_copies->setRange(1, 100);
    m_copies->setValue(1);
    auto copiesLayout = new QHBoxLayout(copiesBox);
    copiesLayout->addWidget(new QLabel(tr("Число копий:"), copiesBox));
    copiesLayout->addWidget(m_copies);

    auto print = new QPushButton(tr("Печать"), this);
    print->setDefault(true);
    auto cancel = new QPushButton(tr("Отмена"), this);
    connect(print, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto layout = new QVBoxLayout(this);
    auto top = new QHBoxLayout;
    auto names = new QVBoxLayout;
    names->addWidget(printerLabel);
    names->addWidget(m_printerName);
    top->addLayout(names, 1);
    top->addWidget(choose);
    layout->addLayout(top);
    auto middle = new QHBoxLayout;
    middle->addWidget(range, 1);
    middle->addWidget(copiesBox);
    layout->addLayout(middle);
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    showPrinter();
}

bool TxPrintDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        showPrinter();
    return QDialog::event(event);
}

void TxPrintDialog::showPrinter()
{
    const QString name = m_printer.outputFormat() == QPrinter::PdfFormat ? tr("PDF") : m_printer.printerName();
    m_printerName->setText(name);
}

void TxPrintDialog::choosePrinter()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    dialog.exec();
    showPrinter();
}

bool TxPrintDialog::allPages() const
{
    return m_all->isChecked();
}

bool TxPrintDialog::pageList() const
{
    return m_pages->isChecked();
}

QString TxPrintDialog::pageText() const
{
    return m_pagesEdit->text();
}

int TxPrintDialog::copies() const
{
    return m_copies->value();
}

// ---------------------------------------------------------------------------
// TRTFPrintingForm

TRTFPrintingForm::TRTFPrintingForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setWindowTitle(tr("Печать"));
    resize(150, 90);
    m_page = new QLabel(this);
    m_page->setAlignment(Qt::AlignCenter);
    m_stop = new QPushButton(tr("Прервать"), this);
    connect(m_stop, &QPushButton::clicked, this, &TRTFPrintingForm::askStop);
    auto layout = new QVBoxLayout(this);
    auto title = new QLabel(tr("Печать страницы"), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    layout->addWidget(m_page);
    layout->addWidget(m_stop, 0, Qt::AlignHCenter);
}

void TRTFPrintingForm::page(int pageNumber, int pageCount)
{
    if (!isVisible())
        show();
    m_page->setText(tr("%1 из %2.").arg(pageNumber).arg(pageCount));
    QApplication::processEvents();
}

QString TRTFPrintingForm::pageLabel() const
{
    return m_page->text();
}

void TRTFPrintingForm::reject()
{
    askStop();  // Escape
}

void TRTFPrintingForm::askStop()
{
    if (m_stopped)
        return;
    if (QMessageBox::question(this, tr("Внимание"), tr("Печать еще не завершена. Прервать?"),
                              QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        m_stopped = true;
}

// ---------------------------------------------------------------------------
// Printing

TxRTFPrinter::TxRTFPrinter(TxRTFFile &document)
    : m_document(document)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

TxRTFPrinter::~TxRTFPrinter() = default;

bool TxRTFPrinter::Execute(QWidget *parent)
{
    Pages.clear();
    m_printer->setPageOrientation(m_document.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    TxPrintDialog dialog(*m_printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Copies = dialog.copies();
    if (dialog.allPages())
        Pages.append({1, -1});
    else if (dialog.pageList())
        Pages = parsePageList(dialog.pageText());
    else
        throw ExRTF(QStringLiteral("Internal error: Don't know what to print!?!"));
    m_printer->setCopyCount(Copies);
    return true;
}

namespace {

QString jobTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName() + QCoreApplication::translate("TxRTFPrint", " - печать");
}

} // namespace

bool printWithProgress(TxRTFFile &document, QPrinter &printer, const QList<TxPages> &ranges, QWidget *parent)
{
    printer.setFullPage(true);
    if (printer.docName().isEmpty())
        printer.setDocName(jobTitle());
    TRTFPrintingForm progress(parent);
    return printDocument(document, printer, ranges, &progress, false);
}

bool Print(TxRTFFile &document, bool showDialog, QWidget *parent)
{
    if (document.isDrawing())
        throw ExRTFFile(QStringLiteral("Drawing is prohibited - try to call printing again."));
    QPrinter printer(QPrinter::HighResolution);
    if (showDialog) {
        QPrintDialog dialog(&printer, parent);
        dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    return printWithProgress(document, printer, {}, parent);
}

bool PrintPages(TxRTFFile &document, QWidget *parent)
{
    if (document.isDrawing())
        throw ExRTFFile(QStringLiteral("Drawing is prohibited - try to call printing again."));
    TxRTFPrinter chooser(document);
    if (!chooser.Execute(parent))
        return false;
    chooser.printer().setDocName(QStringLiteral("Printing RTF file."));
    return printWithProgress(document, chooser.printer(), chooser.Pages, parent);
}

} // namespace korvex::documents
