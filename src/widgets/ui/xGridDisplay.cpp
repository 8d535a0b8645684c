#include "xGridDisplay.h"

#include "amount/xAmount.h"

#include <QAbstractItemView>
#include <QHeaderView>

namespace korvex::widgets {

void showNumber(QStyleOptionViewItem &option, const QModelIndex &index, TNumberKind kind, int decimals)
{
    const QVariant v = index.data(Qt::DisplayRole);
    std::optional<QString> text;
    if (decimals >= 0 && !v.isNull() && (v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float))
        text = korvex::amount::formatFixed(v.toDouble(), decimals);
    else
        text = numberText(v, kind);
    if (!text)
        return;
    option.text = *text;
    option.displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

int fittingColumnWidth(QAbstractItemView *view, QHeaderView *header, int column, int asked)
{
    const int title = header->sectionSizeHint(column);
    // A long text is cut at the width of about fifty letters; the rest shows
    // when the column is widened.
    const int most = view->fontMetrics().averageCharWidth() * 50;
    const int rows = qMin(view->sizeHintForColumn(column), most);
    return qMax(qMax(title, rows), asked);
}

} // namespace korvex::widgets
