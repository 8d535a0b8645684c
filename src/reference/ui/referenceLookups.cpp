#include "referenceLookups.h"

#include "widgets/ui/xLookupBox.h"
#include "widgets/xLookupSource.h"

namespace korvex::reference {

using korvex::widgets::TxLookupBox;
using korvex::widgets::TxTableLookup;

namespace {

TxLookupBox *tableBox(korvex::db::TxDatabase &db, const QString &table, const QString &text, const QString &name,
                      QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    box->setSource(std::make_unique<TxTableLookup>(db, table, QStringLiteral("id"), text));
    return box;
}

} // namespace

TxLookupBox *newCurrencyBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return tableBox(db, QStringLiteral("fin_curr"), QStringLiteral("shortname"), name, parent);
}

TxLookupBox *newObjectBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return tableBox(db, QStringLiteral("rent_object"), QStringLiteral("name"), name, parent);
}

TxLookupBox *newServiceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return tableBox(db, QStringLiteral("rent_service"), QStringLiteral("name"), name, parent);
}

} // namespace korvex::reference
