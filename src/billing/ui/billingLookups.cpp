#include "billingLookups.h"

#include "widgets/xLookupSource.h"

namespace korvex::billing {

using namespace korvex::widgets;

TxLookupBox *newTenantBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    // Search kind 1: a typed name chooses the tenant of exactly that name.
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
    TxSqlFilter select(QStringLiteral("SELECT con.id, con.number, con.name FROM rent_contract con WHERE con.customerkey = ?"),
                       {customerKey});
    select.addIf(openOnly, QStringLiteral("AND COALESCE(con.disabled, 0) = 0"));
    select.add(QStringLiteral("ORDER BY con.number, con.id"));
    box->setSource(std::make_unique<TxTableLookup>(db, select, QStringLiteral("id"), QStringLiteral("number")));
}

} // namespace korvex::billing
