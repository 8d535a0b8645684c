#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace korvex::test {

// Answers the next modal message box with the given button once the event
// loop runs, and keeps its caption and text. Use before the call that shows it.
struct MessageBoxAnswer {
    QString caption;
    QString text;
    bool shown = false;
};
void answerNextMessageBox(MessageBoxAnswer *answer, QMessageBox::StandardButton button = QMessageBox::Ok);

// Runs the function on the next modal dialog once it is shown, e.g. to fill
// and confirm a dialog opened by the code under test.
void onNextModalDialog(std::function<void(QWidget *)> handle);

} // namespace korvex::test
