#pragma once

#include "widgets/ui/xGuard.h"

#include <QString>
#include <functional>

class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace korvex::customers {

using korvex::widgets::guarded;

// The bold heading line at the top of a dialog.
QLabel *addHeading(QBoxLayout *layout, const QString &text);

// The row of a dialog's confirm and cancel buttons, pushed to the right
// (further buttons go in front of the stretch). onOk decides whether the
// dialog closes; the confirm button is named "ok".
QHBoxLayout *confirmRow(QDialog *dialog, const QString &okText, const QString &cancelText,
                        const std::function<bool()> &onOk);

} // namespace korvex::customers
