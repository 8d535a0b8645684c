#pragma once

#include "widgets/ui/xLookupBox.h"

namespace korvex::customers {

// The pick lists of the customer directory, the same in every dialog. The
// chooser button is hidden; a dialog that has a chooser shows it.

// Customers by name through the server's own look-up.
korvex::widgets::TxLookupBox *newCustomerBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The banks (customers of kind 2) by name.
korvex::widgets::TxLookupBox *newBankBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The classifiers by name: forms of ownership, company forms, kinds of place.
korvex::widgets::TxLookupBox *newPropertyKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
korvex::widgets::TxLookupBox *newCompanyKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
korvex::widgets::TxLookupBox *newPlaceKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The places of the address tree through the server's own look-up.
korvex::widgets::TxLookupBox *newPlaceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);

} // namespace korvex::customers
