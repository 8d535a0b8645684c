#pragma once

#include "shell/AppContext.h"

class QWidget;

namespace korvex::shell {

// The maintenance actions of the options page, each under a progress
// window. Both are single server calls in one transaction, so neither can be
// stopped half way: they finish or leave everything as it was.

// "Удаление операций за период": the period dialog, then the lease
// operations (type 1800) of the period, or all of them, go. False when the
// user cancelled.
bool deleteOperationsForPeriod(TAppContext &context, QWidget *parent);

// "Перерасчет задолженностей": asks first, then rebuilds every debt from the
// invoices and pay bills. False when the user said no.
bool rebuildDebts(TAppContext &context, QWidget *parent);

} // namespace korvex::shell
