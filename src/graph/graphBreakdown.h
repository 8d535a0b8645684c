#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace korvex::shell {
class TmmOptions;
}

namespace korvex::graph {

// What "Разбиение объекта" asks: a grid of rows and columns, the cells' name
// with an optional running number, and the order in which the cells are made
// (and numbered):
//   1 rows top to bottom,    columns left to right   5 rows bottom to top,    columns right to left
//   2 columns left to right, rows top to bottom      6 columns right to left, rows bottom to top
//   3 rows bottom to top,    columns left to right   7 columns right to left, rows top to bottom
//   4 columns left to right, rows bottom to top      8 rows top to bottom,    columns right to left
struct TBreakdownParams {
    Q_DECLARE_TR_FUNCTIONS(TBreakdownParams)
public:
    int rows = 1;
    int columns = 1;
    QString name = defaultName();
    bool numbering = true;
    int start = 1;
    int step = 1;
    int order = 1;

    static QString defaultName() { return tr("Комната № "); }

    // The dialog's last values (common options); defaults for those not set.
    static TBreakdownParams fromOptions(const korvex::shell::TmmOptions &options);
    void toOptions(korvex::shell::TmmOptions &options) const;

    // The most rows and columns a figure of that height and width takes:
    // every cell at least 4 plan units.
    static int maxRows(int height);
    static int maxColumns(int width);
    // Why these values cannot split a figure of width x height, or an empty
    // text when they can.
    QString check(int width, int height) const;
};

// One cell of a breakdown, relative to the figure it splits (rows and
// columns count from 1 at the top left).
struct TBreakdownCell {
    int row = 0;
    int column = 0;
    QString name;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The cells of a figure of width x height in the order of params, named and
// numbered. Throws std::invalid_argument with check()'s text when the values
// cannot split the figure.
QList<TBreakdownCell> breakdownCells(int width, int height, const TBreakdownParams &params);

} // namespace korvex::graph
