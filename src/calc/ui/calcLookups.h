#pragma once

#include "widgets/ui/xLookupBox.h"

namespace korvex::calc {

class TboRentReckoningType;

// The pick lists of the calculation subsystem, the same in every dialog.

// The reckoning-type box: the types by name through the server's own look-up,
// where a typed name selects the type of exactly that name; any other name
// makes a type of that name (no parent), which is then chosen. Its button
// "Ф" edits the chosen type. The chooser button is hidden.
korvex::widgets::TxLookupBox *newReckoningTypeBox(TboRentReckoningType &types, const QString &name, QWidget *parent);

// The user variables of the dictionary by name.
korvex::widgets::TxLookupBox *newVariableBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);

} // namespace korvex::calc
