#include "frmRTFProgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::documents {

TRTFProgressWindow::TRTFProgressWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowModality(Qt::ApplicationModal);
    m_comment = new QLabel(this);
    m_comment->setAlignment(Qt::AlignCenter);
    m_progressText = new QLabel(this);
    m_progressText->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_stop = new QPushButton(tr("Прервать"), this);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_comment);
    layout->addWidget(m_progressText);
    layout->addWidget(m_bar);
    layout->addWidget(m_stop, 0, Qt::AlignHCenter);
    connect(m_stop, &QPushButton::clicked, this, &TRTFProgressWindow::askStop);
    setMinimumWidth(360);
}

TRTFProgressWindow::~TRTFProgressWindow() = default;

QString TRTFProgressWindow::commentText() const
{
    return m_comment->text();
}

QString TRTFProgressWindow::progressText() const
{
    return m_progressText->text();
}

void TRTFProgressWindow::showWindow(const QString &comment, bool canCancel)
{
    m_comment->setText(comment);
    m_stop->setEnabled(canCancel);
    m_bar->setValue(0);
    show();
    raise();
}

void TRTFProgressWindow::showComment(const QString &comment)
{
    m_comment->setText(comment);
}

void TRTFProgressWindow::hideWindow()
{
    hide();
}

void TRTFProgressWindow::showPosition(qint64 position, qint64 maximum, const QString &progressText)
{
    // The bar works in per mille so that sizes above the int range show too.
    m_bar->setRange(0, 1000);
    m_bar->setValue(maximum > 0 ? int(qBound(qint64(0), position * 1000 / maximum, qint64(1000))) : 0);
    m_progressText->setText(progressText);
}

void TRTFProgressWindow::processEvents()
{
    QApplication::processEvents();
}

void TRTFProgressWindow::askStop()
{
    if (!canCancel() || cancelled())
        return;
    if (QMessageBox::question(this, tr("Внимание"), cancelQuestion(), QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        cancel();
}

void TRTFProgressWindow::closeEvent(QCloseEvent *event)
{
    // The window goes when the work ends, not before.
    event->ignore();
    askStop();
}

void TRTFProgressWindow::reject()
{
    askStop();
}

} // namespace korvex::documents
