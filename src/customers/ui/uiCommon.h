#pragma once

#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xGuard.h"

#include <QString>
#include <functional>

class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace korvex::customers {

using korvex::widgets::confirmRow;
using korvex::widgets::guarded;

// The bold heading line at the top of a dialog.
QLabel *addHeading(QBoxLayout *layout, const QString &text);


} // namespace korvex::customers
