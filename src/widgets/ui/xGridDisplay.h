#pragma once

#include "widgets/xNumberDisplay.h"

#include <QStyleOptionViewItem>

class QAbstractItemView;
class QHeaderView;

namespace korvex::widgets {

// The display rule of the lists, shared by the grid (TxDBGrid) and the tree
// (TxDBTreeView): a number takes the text of its kind (xNumberDisplay.h) -
// or a fixed number of decimals when the column has them - and is
// right-aligned. Anything else is left as it is.
void showNumber(QStyleOptionViewItem &option, const QModelIndex &index, TNumberKind kind, int decimals = -1);

// The width a column gets on its first showing, when no width was stored:
// room for its title and for the rows read so far (not more than a long
// name), and at least the width the page asked for.
int fittingColumnWidth(QAbstractItemView *view, QHeaderView *header, int column, int asked = -1);

} // namespace korvex::widgets
