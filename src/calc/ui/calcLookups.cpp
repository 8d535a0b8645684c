#include "calcLookups.h"

#include "calc/boRentReckoning.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/xLookupSource.h"

#include <QToolButton>

namespace korvex::calc {

using korvex::widgets::TxLookupBox;
using korvex::widgets::TxProcLookup;

TxLookupBox *newReckoningTypeBox(TboRentReckoning &types, const QString &name, QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    auto source = std::make_unique<TxProcLookup>(types.context().db, QStringLiteral("rent_p_typereckoning_view"),
                                                 QStringLiteral("rent_p_typereckoning_search"), QStringLiteral("id"),
                                                 QStringLiteral("name"));
    source->setSearchType(1);
    box->setSource(std::move(source));

    QToolButton *edit = korvex::widgets::connectRowMaking(
        box,
        [&types](const QString &text) {
            int key = 0;
            return types.NewReckoningType(0, text, &key) ? key : 0;
        },
        [&types](int key) { return types.EditReckoningType(key); }, QObject::tr("Ф"), QObject::tr("Редактирование формулы"));
    edit->setObjectName(QStringLiteral("editType"));
    return box;
}

TxLookupBox *newVariableBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent)
{
    auto *box = new TxLookupBox(parent);
    box->setObjectName(name);
    box->setChooserVisible(false);
    box->setSource(std::make_unique<korvex::widgets::TxTableLookup>(db, QStringLiteral("rent_variable"),
                                                                    QStringLiteral("id"), QStringLiteral("name")));
    return box;
}

} // namespace korvex::calc
