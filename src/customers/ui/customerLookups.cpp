#include "customerLookups.h"

#include "widgets/ui/xLookupBox.h"
#include "widgets/xLookupSource.h"

namespace korvex::customers {

using korvex::widgets::TxLookupBox;

namespace {

TxLookupBox *emptyBox(const QString &name, QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    return box;
}

} // namespace

TxLookupBox *newCustomerBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    TxLookupBox *box = emptyBox(name, parent);
    box->setSource(std::make_unique<korvex::widgets::TxProcLookup>(db, QStringLiteral("cst_p_customer_view"),
                                                                   QStringLiteral("cst_p_customer_search"),
                                                                   QStringLiteral("customerkey"), QStringLiteral("name")));
    return box;
}

TxLookupBox *newBankBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    TxLookupBox *box = emptyBox(name, parent);
    box->setSource(std::make_unique<korvex::widgets::TxTableLookup>(
        db,
        korvex::widgets::TxSqlFilter(
            QStringLiteral("SELECT customerkey, name FROM cst_p_bank_list(NULL, 2) ORDER BY name, customerkey")),
        QStringLiteral("customerkey"), QStringLiteral("name")));
    return box;
}

TxLookupBox *newPropertyKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    TxLookupBox *box = emptyBox(name, parent);
    box->setSource(std::make_unique<korvex::widgets::TxTableLookup>(db, QStringLiteral("fin_propertykind"),
                                                                    QStringLiteral("propertykindkey"),
                                                                    QStringLiteral("name")));
    return box;
}

TxLookupBox *newCompanyKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    TxLookupBox *box = emptyBox(name, parent);
    box->setSource(std::make_unique<korvex::widgets::TxTableLookup>(db, QStringLiteral("fin_companykind"),
                                                                    QStringLiteral("companykindkey"),
                                                                    QStringLiteral("name")));
    return box;
}

TxLookupBox *newPlaceKindBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    TxLookupBox *box = emptyBox(name, parent);
    box->setSource(std::make_unique<korvex::widgets::TxTableLookup>(db, QStringLiteral("fin_placekind"),
                                                                    QStringLiteral("placekindkey"),
                                                                    QStringLiteral("name")));
    return box;
}

TxLookupBox *newPlaceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    TxLookupBox *box = emptyBox(name, parent);
    box->setSource(std::make_unique<korvex::widgets::TxProcLookup>(db, QStringLiteral("cst_p_place_view"),
                                                                   QStringLiteral("cst_p_place_search"),
                                                                   QStringLiteral("placekey"), QStringLiteral("name")));
    return box;
}

} // namespace korvex::customers
