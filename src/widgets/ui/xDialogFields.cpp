#include "xDialogFields.h"

#include <QPushButton>
#include <QToolButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace korvex::widgets {

namespace {

bool takesTyping(const QWidget *w, const QWidget *window)
{
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(window))
        return false;
    // A widget that hands its focus on (a tab widget to its tab bar) is met
    // again as the one it hands it to.
    // Check boxes and radio buttons are fields; push and tool buttons act.
    if (w->focusProxy() || qobject_cast<const QTabBar *>(w) || qobject_cast<const QPushButton *>(w)
        || qobject_cast<const QToolButton *>(w))
        return false;
    if (auto *e = qobject_cast<const QLineEdit *>(w); e && e->isReadOnly())
        return false;
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w); e && e->isReadOnly())
        return false;
    if (auto *e = qobject_cast<const QTextEdit *>(w); e && e->isReadOnly())
        return false;
    return true;
}

class TFirstFieldOnShow : public QObject
{
public:
    TFirstFieldOnShow(QWidget *window, const QList<QWidget *> &buttons)
        : QObject(window)
        , m_window(window)
    {
        for (QWidget *b : buttons)
            m_buttons << b;
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            m_window->removeEventFilter(this);
            QList<QWidget *> buttons;
            for (const QPointer<QWidget> &b : std::as_const(m_buttons)) {
                if (b)
                    buttons << b;
            }
            fitFieldsToContent(m_window);
            focusFirstField(m_window, buttons);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    QList<QPointer<QWidget>> m_buttons;
};

} // namespace

void focusFirstField(QWidget *window, const QList<QWidget *> &buttons)
{
    // The Tab order is a ring through the window's widgets in the order they
    // were made: buttons made before the fields follow the last field there
    // already. Only the start is wrong, which the cursor fixes.
    QWidget *current = window->focusWidget();
    if (current && buttons.contains(current))
        current = nullptr;
    if (current && current != window && takesTyping(current, window))
        return;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (window->isAncestorOf(w) && takesTyping(w, window)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void focusFirstFieldOnShow(QWidget *window, const QList<QWidget *> &buttons)
{
    new TFirstFieldOnShow(window, buttons);
}

void fitFieldsToContent(QWidget *window)
{
    const int ch = window->fontMetrics().averageCharWidth();
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        // Lines inside boxes and spin boxes are sized by their box.
        if (qobject_cast<QComboBox *>(edit->parentWidget()) || qobject_cast<QAbstractSpinBox *>(edit->parentWidget())) {
            if (!edit->hasFocus())
                edit->setCursorPosition(0);
            continue;
        }
        // Numbers and dates (right-aligned or short) need no more room.
        const bool shortField = edit->maxLength() <= 12 || edit->alignment().testFlag(Qt::AlignRight)
                             || edit->inherits("korvex::widgets::TxCheckedEdit");
        if (!shortField) {
            const int allowed = edit->maxLength() < 32767 ? edit->maxLength() : 40;
            const int chars = qBound(16, allowed, 40);
            const int text = edit->fontMetrics().horizontalAdvance(edit->text()) + 2 * ch + 8;
            edit->setMinimumWidth(qMax(edit->minimumWidth(), qMin(qMax(chars * ch, text), 40 * ch)));
        }
        if (!edit->hasFocus())
            edit->setCursorPosition(0);
    }
    for (QComboBox *box : window->findChildren<QComboBox *>()) {
        if (!box->isEditable())
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
}

void bringIntoView(QWidget *field)
{
    for (QWidget *w = field; w && !w->isWindow(); w = w->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(w->parentWidget());
        if (!stack)
            continue;
        if (auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget()))
            tabs->setCurrentWidget(w);
        else
            stack->setCurrentWidget(w);
    }
}

} // namespace korvex::widgets
