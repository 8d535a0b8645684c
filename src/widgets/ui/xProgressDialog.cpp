#include "xProgressDialog.h"

#include "xMessages.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace korvex::widgets {

namespace {

// Pumping events for every record would cost more than the work of many
// small records; the eye needs no more than this.
constexpr qint64 PumpIntervalMs = 40;

} // namespace

TxProgressDialog::TxProgressDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setMinimumWidth(360);
    m_text->setWordWrap(true);
    m_bar = new QProgressBar(this);
    m_stop = new QPushButton(tr("Прервать"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stop);
    buttons->addStretch();
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    connect(m_stop, &QPushButton::clicked, this, &TxProgressDialog::stop);
}

void TxProgressDialog::setStoppable(bool on)
{
    m_stop->setEnabled(on);
}

void TxProgressDialog::begin(const QString &text, qint64 total)
{
    m_stopped = false;
    setText(text);
    setMaximum(total);
    m_position = 0;
    m_bar->setValue(0);
    m_sincePump.invalidate();
    show();
    raise();
    QCoreApplication::processEvents();
}

void TxProgressDialog::setText(const QString &text)
{
    m_text->setText(text);
}

QString TxProgressDialog::text() const
{
    return m_text->text();
}

int TxProgressDialog::scaled(qint64 value) const
{
    constexpr qint64 limit = std::numeric_limits<int>::max();
    if (m_total <= limit)
        return int(value);
    return int(value * limit / m_total);
}

void TxProgressDialog::setMaximum(qint64 total)
{
    m_total = qMax<qint64>(total, 0);
    m_bar->setRange(0, scaled(m_total));
}

void TxProgressDialog::setPosition(qint64 done)
{
    m_position = qBound<qint64>(0, done, m_total);
    if (m_sincePump.isValid() && m_sincePump.elapsed() < PumpIntervalMs)
        return;
    m_bar->setValue(scaled(m_position));
    QCoreApplication::processEvents();
    m_sincePump.start();
}

void TxProgressDialog::end()
{
    hide();
}

void TxProgressDialog::stop()
{
    if (m_stopped || !m_stop->isEnabled())
        return;
    if (!m_cancelQuestion.isEmpty() && !TxMessages::confirm(this, m_cancelQuestion, TxPrompt::attention()))
        return;
    m_stopped = true;
    Q_EMIT stopped();
}

void TxProgressDialog::reject()
{
    stop();
}

void TxProgressDialog::closeEvent(QCloseEvent *event)
{
    event->ignore();
    stop();
}

} // namespace korvex::widgets
