#include "billingLookups.h"

#include "billing/boRentContract.h"
#include "widgets/xLookupSource.h"

namespace korvex::billing {

using namespace korvex::widgets;

TxLookupBox *newTenantBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    // Search kind 1: a typed name chooses the tenant of exactly that name,
    // so that a new name can make a new customer.
    return newProcedureBox(db, QStringLiteral("rent_p_customer_view"), QStringLiteral("rent_p_customer_search"),
                           QStringLiteral("customerkey"), QStringLiteral("name"), name, parent, 1);
}

TxLookupBox *newPaymentBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("rent_payment"), QStringLiteral("id"), QStringLiteral("name"), name, parent);
}

TxLookupBox *newContractBox(korvex::db::TxDatabase &db, int customerKey, bool openOnly, const QString &name,
                            QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    setContractsOf(box, db, customerKey, openOnly);
    return box;
}

void setContractsOf(TxLookupBox *box, korvex::db::TxDatabase &db, int customerKey, bool openOnly)
{
    box->setSource(std::make_unique<TxTableLookup>(db, TboRentContract::customerContracts(customerKey, openOnly),
                                                   QStringLiteral("id"), QStringLiteral("number")));
}

} // namespace korvex::billing
