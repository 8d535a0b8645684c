#include "calcLookups.h"

#include "calc/boRentReckoningType.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/xLookupSource.h"

#include <QToolButton>

namespace korvex::calc {

using korvex::widgets::TxLookupBox;

TxLookupBox *newReckoningTypeBox(TboRentReckoningType &types, const QString &name, QWidget *parent)
{
    // Search kind 1: a typed name selects the type of exactly that name.
    TxLookupBox *box = korvex::widgets::newProcedureBox(
        types.context().db, QStringLiteral("rent_p_typereckoning_view"), QStringLiteral("rent_p_typereckoning_search"),
        QStringLiteral("id"), QStringLiteral("name"), name, parent, 1);
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
    return korvex::widgets::newTableBox(db, QStringLiteral("rent_variable"), QStringLiteral("id"), QStringLiteral("name"),
                                        name, parent);
}

} // namespace korvex::calc
