#pragma once

#include "widgets/ui/xLookupBox.h"

namespace korvex::reference {

class TboRentObject;
class TboRentTreeItem;

// The pick lists of the reference data, the same in every dialog: by short
// name for currencies, by name for objects and services. The chooser button
// is hidden; a dialog that has a chooser shows it.
korvex::widgets::TxLookupBox *newCurrencyBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
korvex::widgets::TxLookupBox *newObjectBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The object box with its chooser: "..." opens the object chooser of objects
// and the chosen object becomes the box's key.
korvex::widgets::TxLookupBox *newObjectChooserBox(TboRentObject &objects, const QString &name, QWidget *parent);
korvex::widgets::TxLookupBox *newServiceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The forms of payment by name.
korvex::widgets::TxLookupBox *newPaymentBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The locations or object types by name: a name that is no row makes one,
// which is then chosen; the button (text given) edits the chosen row.
korvex::widgets::TxLookupBox *newTreeItemBox(TboRentTreeItem &items, const QString &name, const QString &button,
                                             QWidget *parent);

} // namespace korvex::reference
