#include "frmRunningBoy.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

namespace korvex::widgets {

TfrmRunningBoy::TfrmRunningBoy(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(tr("Подождите пожалуйста"));
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setMinimumWidth(320);
    m_text->setWordWrap(true);
    m_figureBar = new QProgressBar(this);
    m_figureBar->setRange(0, Steps);
    m_figureBar->setTextVisible(false);
    layout->addWidget(m_text);
    layout->addWidget(m_figureBar);
}

TfrmRunningBoy &TfrmRunningBoy::shared()
{
    static QPointer<TfrmRunningBoy> window;
    if (!window) {
        window = new TfrmRunningBoy;
        // Freed with the application, before the window system goes.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(), &QObject::deleteLater);
    }
    return *window;
}

QString TfrmRunningBoy::text() const
{
    return m_text->text();
}

void TfrmRunningBoy::setText(const QString &text)
{
    m_text->setText(text);
}

void TfrmRunningBoy::reset()
{
    m_figure = 0;
    m_figureBar->setValue(0);
}

void TfrmRunningBoy::step(qint64 processed, qint64 total)
{
    if (total <= 0)
        return;
    const double share = double(processed) * Steps / double(total);
    const int before = m_figure;
    while (m_figure < Steps && m_figure < share)
        ++m_figure;
    if (m_figure != before) {
        m_figureBar->setValue(m_figure);
        if (isVisible())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TfrmRunningBoy::begin(const QString &text, qint64 total)
{
    m_total = total;
    setText(text);
    reset();
    show();
    raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmRunningBoy::end()
{
    hide();
}

} // namespace korvex::widgets
