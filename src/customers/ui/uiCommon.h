#pragma once

#include <QString>
#include <functional>

class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace korvex::customers {

// Runs a dialog's handler, showing a failure as a message box: nothing may
// escape an event handler unseen. Returns false when the handler failed.
bool guarded(QWidget *parent, const std::function<void()> &body);

// The bold heading line at the top of a dialog.
QLabel *addHeading(QBoxLayout *layout, const QString &text);

// The row of a dialog's confirm and cancel buttons, pushed to the right
// (further buttons go in front of the stretch). onOk decides whether the
// dialog closes; the confirm button is named "ok".
QHBoxLayout *confirmRow(QDialog *dialog, const QString &okText, const QString &cancelText,
                        const std::function<bool()> &onOk);

} // namespace korvex::customers
