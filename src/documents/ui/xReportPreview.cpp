#include "xReportPreview.h"

#include "documents/xRTF.h"
#include "documents/xRTFPrint.h"
#include "xRTFPrintDialogs.h"
#include "xRTFView.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::documents {

TxReportPreviewForm::TxReportPreviewForm(const QString &caption, const QString &templatePath, QWidget *parent)
    : QDialog(parent)
    , m_templatePath(templatePath)
{
    setWindowTitle(caption.isEmpty() ? tr("Просмотр") : caption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(900, 700);
    m_viewer = new TxRTFViewer(this);
    m_viewer->setPreviewOptions(TxRTFViewer::poShowPageBreaks | TxRTFViewer::poDrawTBMargins
                                | TxRTFViewer::poDrawLRMargins);
    m_zoom = new TxRTFScaleCombo(this);
    m_zoom->setRTFViewer(m_viewer);

    const auto button = [this](const QString &text, void (TxReportPreviewForm::*slot)()) {
        auto b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto bar = new QHBoxLayout;
    bar->addWidget(button(tr("Печать"), &TxReportPreviewForm::print));
    bar->addWidget(button(tr("Запись"), &TxReportPreviewForm::save));
    bar->addWidget(button(tr("Сохранить в PDF"), &TxReportPreviewForm::savePdf));
    bar->addWidget(button(tr("Информация"), &TxReportPreviewForm::information));
    bar->addWidget(button(tr("Форма"), &TxReportPreviewForm::openForm));
    bar->addStretch();
    bar->addWidget(new QLabel(tr("Масштаб:"), this));
    bar->addWidget(m_zoom);
    auto exit = new QPushButton(tr("Выход"), this);
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    bar->addWidget(exit);

    auto layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_viewer, 1);

    m_chooseFile = [this](const QString &title, const QString &filter, const QString &suffix) {
        QFileDialog dialog(this, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    m_notify = [this](const QString &title, const QString &text) { QMessageBox::information(this, title, text); };
}

void TxReportPreviewForm::print()
{
    try {
        if (Print(*m_viewer->document(), true, this)) {
            accept();
            return;
        }
    } catch (const ExRTF &e) {
        m_notify(tr("Внимание"), e.message());
    }
    m_viewer->viewport()->update();
}

void TxReportPreviewForm::save()
{
    const QString file = m_chooseFile(tr("Запись на диск"), tr("Файлы в формате RTF (*.rtf)"), QStringLiteral("rtf"));
    if (file.isEmpty())
        return;
    // A file that cannot be written is said so; nothing claims success.
    try {
        if (!m_viewer->SaveToFile(file))
            m_notify(tr("Внимание"), tr("Отчет не записан в файл %1.").arg(file));
    } catch (const ExRTF &e) {
        m_notify(tr("Внимание"), tr("Отчет не записан в файл %1.").arg(file) + QLatin1Char('\n') + e.message());
    }
}

void TxReportPreviewForm::savePdf()
{
    const QString file = m_chooseFile(tr("Сохранить в PDF"), tr("Файлы PDF (*.pdf)"), QStringLiteral("pdf"));
    if (file.isEmpty())
        return;
    try {
        writePdf(*m_viewer->document(), file, windowTitle());
    } catch (const ExRTF &e) {
        m_notify(tr("Внимание"), tr("Отчет не записан в файл %1.").arg(file) + QLatin1Char('\n') + e.message());
    }
    m_viewer->viewport()->update();
}

void TxReportPreviewForm::information()
{
    m_notify(tr("Информация"), tr("Информация об отчете:") + QLatin1Char('\n') + tr("  Исходный файл отчета: ")
                                   + m_templatePath + QLatin1Char('\n') + tr("  Занимаемая структурой память: ")
                                   + QString::number(m_viewer->document()->documentMemorySize()));
}

void TxReportPreviewForm::openForm()
{
    // The desktop's own program for RTF files stands in for the word processor.
    if (OpenInWord(TxReport::expandPathMacros(m_templatePath)))
        m_notify(tr("Информация"), tr("Исходная форма открыта в текстовом редакторе и может быть откорректирована."));
    else
        m_notify(tr("Внимание"), tr("Ошибка открытия текстового редактора. Проверьте, какая программа открывает "
                                    "файлы RTF."));
    reject();
}

// ---------------------------------------------------------------------------

void TxReportWindows::preview(TxReport &report, std::unique_ptr<TxRTFFile> &document)
{
    TxReportPreviewForm form(report.PreviewCaption(), report.FormFilePath(), m_parent);
    form.viewer()->TakeDocument(document);
    form.exec();
}

bool TxReportWindows::print(TxRTFFile &document, bool showDialog)
{
    return Print(document, showDialog, m_parent);
}

QString TxReportWindows::askRescueFile()
{
    const QString text = QObject::tr("Скорость построения отчета резко упала. ")
        + QObject::tr("Вероятно у Вас недостаточно оперативной памяти. ")
        + QObject::tr("Настоятельно рекомендуется создать отчет в файл и затем распечатать ")
        + QObject::tr("его из текстового редактора.");
    if (QMessageBox::question(m_parent, QObject::tr("Нехватка оперативной памяти"), text,
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return {};
    QFileDialog dialog(m_parent, QString(), QString(), QObject::tr("RTF (*.rtf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("rtf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace korvex::documents
