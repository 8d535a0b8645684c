#include "customerLookups.h"

#include "widgets/ui/xLookupBox.h"
#include "widgets/xLookupSource.h"

namespace korvex::customers {

using namespace korvex::widgets;

TxLookupBox *newCustomerBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newProcedureBox(db, QStringLiteral("cst_p_customer_view"), QStringLiteral("cst_p_customer_search"),
                           QStringLiteral("customerkey"), QStringLiteral("name"), name, parent);
}

TxLookupBox *newBankBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    box->setSource(std::make_unique<TxTableLookup>(
        db, TxSqlFilter(QStringLiteral("SELECT customerkey, name FROM cst_p_bank_list(NULL, 2) ORDER BY name, customerkey")),
        QStringLiteral("customerkey"), QStringLiteral("name")));
    return box;
}

TxLookupBox *newPropertyKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("fin_propertykind"), QStringLiteral("propertykindkey"), QStringLiteral("name"),
                       name, parent);
}

TxLookupBox *newCompanyKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("fin_companykind"), QStringLiteral("companykindkey"), QStringLiteral("name"),
                       name, parent);
}

TxLookupBox *newPlaceKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("fin_placekind"), QStringLiteral("placekindkey"), QStringLiteral("name"), name,
                       parent);
}

TxLookupBox *newPlaceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newProcedureBox(db, QStringLiteral("cst_p_place_view"), QStringLiteral("cst_p_place_search"),
                           QStringLiteral("placekey"), QStringLiteral("name"), name, parent);
}

} // namespace korvex::customers
