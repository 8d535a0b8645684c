#include "referenceLookups.h"

#include "reference/boRentOTLocation.h"
#include "reference/boRentObject.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"

namespace korvex::reference {

using korvex::widgets::newTableBox;
using korvex::widgets::TxLookupBox;

TxLookupBox *newCurrencyBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("fin_curr"), QStringLiteral("id"), QStringLiteral("shortname"), name, parent);
}

TxLookupBox *newObjectBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("rent_object"), QStringLiteral("id"), QStringLiteral("name"), name, parent);
}

TxLookupBox *newObjectChooserBox(TboRentObject &objects, const QString &name, QWidget *parent)
{
    TxLookupBox *box = newObjectBox(objects.context().db, name, parent);
    box->setChooserVisible(true);
    QObject::connect(box, &TxLookupBox::chooserClicked, box, [box, &objects] {
        korvex::widgets::guarded(box, [&] {
            int key = box->key().toInt();
            if (objects.ChooseObject(key))
                box->setKey(key);
        });
    });
    return box;
}

TxLookupBox *newServiceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("rent_service"), QStringLiteral("id"), QStringLiteral("name"), name, parent);
}

TxLookupBox *newPaymentBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    return newTableBox(db, QStringLiteral("rent_payment"), QStringLiteral("id"), QStringLiteral("name"), name, parent);
}

TxLookupBox *newTreeItemBox(TboRentTreeItem &items, const QString &name, const QString &button, QWidget *parent)
{
    TxLookupBox *box = newTableBox(items.context().db, items.table(), QStringLiteral("id"), QStringLiteral("name"), name,
                                   parent);
    korvex::widgets::connectRowMaking(
        box,
        [&items](const QString &text) {
            int key = 0;
            return items.newItem(0, text, &key) ? key : 0;
        },
        [&items](int key) { return items.editItem(key); }, button, items.title());
    return box;
}

} // namespace korvex::reference
