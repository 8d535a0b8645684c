#include "testWidgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <memory>

namespace korvex::test {

namespace {

// Polls for the modal widget: it appears only once the code under test has
// entered its own event loop.
void whenModal(std::function<bool(QWidget *)> handle, int attemptsLeft = 500)
{
    QTimer::singleShot(10, [handle, attemptsLeft] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && handle(modal))
            return;
        if (attemptsLeft > 0)
            whenModal(handle, attemptsLeft - 1);
    });
}

} // namespace

void answerNextMessageBox(MessageBoxAnswer *answer, QMessageBox::StandardButton button)
{
    whenModal([answer, button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return false;
        answer->caption = box->windowTitle();
        answer->text = box->text();
        answer->shown = true;
        QAbstractButton *b = box->button(button);
        if (b)
            b->click();
        if (box->isVisible())
            box->done(button);
        return true;
    });
}

void onNextModalDialog(std::function<void(QWidget *)> handle)
{
    whenModal([handle](QWidget *modal) {
        if (qobject_cast<QMessageBox *>(modal))
            return false;
        handle(modal);
        return true;
    });
}

} // namespace korvex::test
