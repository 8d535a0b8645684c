#pragma once

#include "widgets/ui/xLookupBox.h"

#include <functional>

namespace korvex::shell {
struct TAppContext;
}

namespace korvex::billing {

// The pick lists of the billing documents, the same in every dialog. The
// chooser button is hidden; a dialog that has a chooser shows it.

// The tenants (customers that are not banks) by name, through the server's
// look-up.
korvex::widgets::TxLookupBox *newTenantBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The tenants with the customer card behind the box's button: a name typed
// that is no tenant's opens a new card, the button the chosen customer's;
// saved runs after a card was saved (the box then shows its customer).
korvex::widgets::TxLookupBox *newTenantBoxWithCard(korvex::shell::TAppContext &context, const QString &name,
                                                   QWidget *parent, const std::function<void()> &saved = {});
// The forms of payment by name.
korvex::widgets::TxLookupBox *newPaymentBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
// The contracts of one customer by number (all of them, or the open ones);
// setContractsOf() gives the box another customer.
korvex::widgets::TxLookupBox *newContractBox(korvex::db::TxDatabase &db, int customerKey, bool openOnly,
                                             const QString &name, QWidget *parent);
void setContractsOf(korvex::widgets::TxLookupBox *box, korvex::db::TxDatabase &db, int customerKey, bool openOnly);
// The contracts of another customer: the chosen contract stays only when it
// is one of them.
void followCustomer(korvex::widgets::TxLookupBox *box, korvex::db::TxDatabase &db, int customerKey, bool openOnly);

} // namespace korvex::billing
