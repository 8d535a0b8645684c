#include "xMessages.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace korvex::widgets {

namespace {

TxPrompt *g_intercept = nullptr;

// A box is as wide as its text; a short text ("Ошибка") would leave no room
// for the caption in the title bar, which the window manager then cuts.
void keepTitleWhole(QMessageBox &box)
{
    const int title = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 120;
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(qMax(title, 260), 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                  1, grid->columnCount());
}

} // namespace

TxMessages::TxMessages(QWidget *parent)
    : m_parent(parent)
{
}

bool TxMessages::show(const TxMessage &message)
{
    if (g_intercept)
        return g_intercept->show(message);

    QMessageBox box(m_parent);
    box.setWindowTitle(message.caption);
    box.setText(message.text);
    if (!message.detail.isEmpty())
        box.setInformativeText(message.detail);
    switch (message.kind) {
    case TxMessageKind::Question: {
        box.setIcon(QMessageBox::Question);
        QPushButton *yes = box.addButton(tr("Да"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(tr("Нет"), QMessageBox::NoRole);
        box.setDefaultButton(message.defaultYes ? yes : no);
        box.setEscapeButton(no);
        keepTitleWhole(box);
        box.exec();
        return box.clickedButton() == yes;
    }
    case TxMessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case TxMessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TxMessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    keepTitleWhole(box);
    box.exec();
    return true;
}

bool TxMessages::confirm(QWidget *parent, const QString &text, const QString &caption, bool defaultYes)
{
    return TxMessages(parent).TxPrompt::confirm(text, caption, defaultYes);
}

void TxMessages::information(QWidget *parent, const QString &text, const QString &caption)
{
    TxMessages(parent).TxPrompt::information(text, caption);
}

void TxMessages::warning(QWidget *parent, const QString &text, const QString &caption)
{
    TxMessages(parent).TxPrompt::warning(text, caption);
}

void TxMessages::error(QWidget *parent, const QString &text, const QString &caption)
{
    TxMessages(parent).TxPrompt::error(text, caption);
}

TxMessages::Intercept::Intercept(TxPrompt &to)
    : m_previous(g_intercept)
{
    g_intercept = &to;
}

TxMessages::Intercept::~Intercept()
{
    g_intercept = m_previous;
}

} // namespace korvex::widgets
