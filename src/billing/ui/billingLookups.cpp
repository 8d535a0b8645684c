#include "billingLookups.h"

#include "billing/boRentContract.h"
#include "reference/ui/referenceLookups.h"
#include "customers/ui/dlgCustomer.h"
#include "shell/AppContext.h"
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

TxLookupBox *newTenantBoxWithCard(korvex::shell::TAppContext &context, const QString &name, QWidget *parent,
                                  const std::function<void()> &saved)
{
    TxLookupBox *box = newTenantBox(context.db, name, parent);
    auto open = [&context, parent, saved](int key, const QString &typed) {
        korvex::customers::TdlgCustomer card(context, typed, key, 1, parent);
        int savedKey = 0;
        if (!card.execEdit(savedKey))
            return 0;
        if (saved)
            saved();
        return savedKey;
    };
    connectRowMaking(
        box, [open](const QString &typed) { return open(-1, typed); },
        [open](int key) { return open(key, QString()) != 0; }, QStringLiteral("..."),
        QCoreApplication::translate("TdlgRentContract", "Карточка клиента"));
    return box;
}

TxLookupBox *newPaymentBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return korvex::reference::newPaymentBox(db, name, parent);
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

void followCustomer(TxLookupBox *box, korvex::db::TxDatabase &db, int customerKey, bool openOnly)
{
    const std::optional<int> kept = box->intKey();
    setContractsOf(box, db, customerKey, openOnly);
    box->setIntKey(kept);
    if (kept && box->text().isEmpty())
        box->clear();
}

} // namespace korvex::billing
