#pragma once

#include "widgets/ui/xLookupBox.h"

namespace korvex::billing {

// The pick lists of the billing documents, the same in every dialog. The
// chooser button is hidden; a dialog that has a chooser shows it.

// The tenants (customers that are not banks) by name, through the server's
// look-up.
korvex::widgets::TxLookupBox *newTenantBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The forms of payment by name.
korvex::widgets::TxLookupBox *newPaymentBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The contracts of one customer by number (all of them, or the open ones);
// setContractsOf() gives the box another customer.
korvex::widgets::TxLookupBox *newContractBox(korvex::db::TxDatabase &db, int customerKey, bool openOnly,
                                             const QString &name, QWidget *parent);
void setContractsOf(korvex::widgets::TxLookupBox *box, korvex::db::TxDatabase &db, int customerKey, bool openOnly);

} // namespace korvex::billing
