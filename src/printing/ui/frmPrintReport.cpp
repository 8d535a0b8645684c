#include "frmPrintReport.h"

#include "documents/ui/xRTFPrintDialogs.h"
#include "documents/ui/xRTFView.h"
#include "documents/xRTFPrint.h"
#include "documents/xReport.h"
#include "documents/xReportData.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xMessages.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QVBoxLayout>

namespace korvex::documents {

using korvex::widgets::TxMessages;

TfrmPrintReport::TfrmPrintReport(TPrintJob &job, QWidget *parent)
    : QDialog(parent)
    , m_job(job)
    , m_report(std::make_unique<TxReport>())
{
    setObjectName(QStringLiteral("frmPrintReport"));
    setWindowTitle(job.title.isEmpty() ? tr("Печать отчета") : job.title + QLatin1Char(' ') + job.templateFile);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(960, 720);

    m_heading = new QLabel(job.title.isEmpty() ? tr("Печатная форма") : job.title, this);
    QFont f = m_heading->font();
    f.setBold(true);
    m_heading->setFont(f);
    m_fileName = new QLineEdit(job.fileName, this);
    m_fileName->setVisible(job.fileNameBox);
    m_viewer = new TxRTFViewer(this);
    m_viewer->setPreviewOptions(TxRTFViewer::poShowPageBreaks | TxRTFViewer::poDrawTBMargins
                                | TxRTFViewer::poDrawLRMargins);
    m_zoom = new TxRTFScaleCombo(this);
    m_zoom->setRTFViewer(m_viewer);

    auto bar = new QHBoxLayout;
    const auto button = [this, bar](const QString &text, void (TfrmPrintReport::*slot)()) {
        auto b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, slot] { korvex::widgets::guarded(this, [&] { (this->*slot)(); }); });
        bar->addWidget(b);
        return b;
    };
    button(tr("Запись"), &TfrmPrintReport::save);
    button(tr("Печать"), &TfrmPrintReport::print);
    button(tr("Сохранить в PDF"), &TfrmPrintReport::savePdf);
    button(tr("Форма"), &TfrmPrintReport::openForm);
    button(tr("Word"), &TfrmPrintReport::openInWord);
    button(tr("Переменные"), &TfrmPrintReport::showValues);
    button(tr("Таблица"), &TfrmPrintReport::showTable);
    auto rebuild = new QPushButton(tr("Перестроить"), this);
    rebuild->setAutoDefault(false);
    connect(rebuild, &QPushButton::clicked, this, [this] { build(); });
    bar->addWidget(rebuild);
    bar->addStretch();
    bar->addWidget(new QLabel(tr("Масштаб:"), this));
    bar->addWidget(m_zoom);
    auto exit = new QPushButton(tr("Выход"), this);
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    bar->addWidget(exit);

    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_fileName);
    layout->addLayout(bar);
    layout->addWidget(m_viewer, 1);

    m_chooseFile = [this](const QString &title, const QString &filter, const QString &suffix, const QString &proposed) {
        QFileDialog dialog(this, title, proposed, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };

    m_report->SetOptions(TxReport::frMsgIfTerminated | TxReport::frAlwaysOpenDataSet);
    m_report->SetDestination(TxReport::dsUserEvent);
    m_report->SetOnReportReady(
        [this](TxReport &, std::unique_ptr<TxRTFFile> &document) { m_viewer->TakeDocument(document); });
}

TfrmPrintReport::~TfrmPrintReport()
{
    for (const QString &file : std::as_const(m_temporary))
        QFile::remove(file);
}

void TfrmPrintReport::message(const QString &text)
{
    TxMessages::warning(this, text, tr("Внимание!"));
}

bool TfrmPrintReport::build()
{
    try {
        m_job.fill(*m_report);
        if (m_job.data)
            m_job.data->first();
        m_report->Execute();
        return true;
    } catch (const std::exception &) {
        message(m_job.failureText());
        return false;
    }
}

void TfrmPrintReport::save()
{
    if (!m_viewer->document())
        return;
    const QString file = m_chooseFile(tr("Запись на диск"), tr("Файлы в формате RTF (*.rtf)"), QStringLiteral("rtf"),
                                      m_fileName->text());
    if (file.isEmpty())
        return;
    bool ok = false;
    try {
        ok = m_viewer->SaveToFile(file);
    } catch (const std::exception &) {
        ok = false;
    }
    if (!ok) {
        // A file that cannot be written is said so; nothing claims success.
        message(tr("Отчет не записан в файл %1.").arg(file));
        return;
    }
    m_fileName->setText(file);
    m_job.fileName = file;
    m_saved = true;
}

void TfrmPrintReport::savePdf()
{
    if (!m_viewer->document())
        return;
    const QString file = m_chooseFile(tr("Сохранить в PDF"), tr("Файлы PDF (*.pdf)"), QStringLiteral("pdf"), QString());
    if (file.isEmpty())
        return;
    try {
        writePdf(*m_viewer->document(), file, m_job.title);
    } catch (const std::exception &) {
        message(tr("Отчет не записан в файл %1.").arg(file));
    }
    m_viewer->viewport()->update();
}

void TfrmPrintReport::print()
{
    if (!m_viewer->document())
        return;
    Print(*m_viewer->document(), true, this);
    m_viewer->viewport()->update();
}

void TfrmPrintReport::openForm()
{
    if (!OpenInWord(TxReport::expandPathMacros(m_job.templatePath())))
        message(tr("Ошибка открытия текстового редактора. Проверьте, какая программа открывает файлы RTF."));
}

void TfrmPrintReport::openInWord()
{
    if (!m_viewer->document())
        return;
    QTemporaryFile temporary(QDir::temp().filePath(QStringLiteral("rtfXXXXXX.rtf")));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        message(tr("Отчет не записан во временный файл."));
        return;
    }
    const QString file = temporary.fileName();
    temporary.close();
    m_temporary << file;
    if (!m_viewer->SaveToFile(file)) {
        message(tr("Отчет не записан в файл %1.").arg(file));
        return;
    }
    if (!OpenInWord(file))
        message(tr("Ошибка открытия текстового редактора. Проверьте, какая программа открывает файлы RTF."));
}

void TfrmPrintReport::showValues()
{
    TfrmValues values(m_job.vars, this);
    values.exec();
}

void TfrmPrintReport::showTable()
{
    if (!m_job.data)
        return;
    TfrmViewGrid grid(*m_job.data, this);
    grid.exec();
}

// ---------------------------------------------------------------------------

TfrmValues::TfrmValues(const QStringList &lines, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmValues"));
    setWindowTitle(tr("Переменные"));
    resize(500, 500);
    auto text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    QStringList shown;
    TxValueList list(lines);
    for (int i = 0; i < list.count(); ++i)
        shown << list.name(i) + QStringLiteral(" = ") + list.value(i);
    text->setPlainText(shown.join(QLatin1Char('\n')));
    auto layout = new QVBoxLayout(this);
    layout->addWidget(text);
}

TfrmViewGrid::TfrmViewGrid(const TxMemoryReportDataSource &data, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmViewGrid"));
    setWindowTitle(tr("Таблица"));
    resize(800, 500);
    auto &source = const_cast<TxMemoryReportDataSource &>(data);
    auto table = new QTableWidget(source.recordCount(), data.fieldCount(), this);
    QStringList titles;
    for (int c = 0; c < data.fieldCount(); ++c)
        titles << data.fieldName(c);
    table->setHorizontalHeaderLabels(titles);
    for (int r = 0; r < source.recordCount(); ++r)
        for (int c = 0; c < data.fieldCount(); ++c)
            table->setItem(r, c, new QTableWidgetItem(reportValueText(data.value(r, c))));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(table);
}

} // namespace korvex::documents
