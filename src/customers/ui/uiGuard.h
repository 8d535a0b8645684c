#pragma once

#include <functional>

class QWidget;

namespace korvex::customers {

// Runs a dialog's handler, showing a failure as a message box: nothing may
// escape an event handler unseen. Returns false when the handler failed.
bool guarded(QWidget *parent, const std::function<void()> &body);

} // namespace korvex::customers
