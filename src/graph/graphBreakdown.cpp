#include "graphBreakdown.h"

#include "amount/xAmount.h"
#include "shell/mmOptions.h"

#include <cstdlib>
#include <stdexcept>

namespace korvex::graph {

namespace {

const QString OptNumberCheck = QStringLiteral("rentbreakdownnumbercheck");
const QString OptNumber = QStringLiteral("rentbreakdownnumber");
const QString OptStep = QStringLiteral("rentbreakdownStep");
const QString OptName = QStringLiteral("rentbreakdownname");
const QString OptType = QStringLiteral("rentbreakdowntype");

// The smallest cell side a breakdown makes, in plan units.
constexpr int MinCell = 4;
// A breakdown is one transaction; beyond this many cells it is a typing slip.
constexpr qint64 MaxCells = 100000;

struct OrderShape {
    bool rowsOuter;      // the outer loop runs over rows
    bool rowsDown;       // rows top to bottom
    bool columnsRight;   // columns left to right
};

OrderShape shapeOf(int order)
{
    switch (order) {
    case 1: return {true, true, true};
    case 2: return {false, true, true};
    case 3: return {true, false, true};
    case 4: return {false, false, true};
    case 5: return {true, false, false};
    case 6: return {false, false, false};
    case 7: return {false, true, false};
    case 8: return {true, true, false};
    }
    throw std::invalid_argument("breakdown order out of 1..8");
}

} // namespace

TBreakdownParams TBreakdownParams::fromOptions(const korvex::shell::TmmOptions &options)
{
    TBreakdownParams p;
    p.numbering = options.integerOption(OptNumberCheck, 1) != 0;
    p.start = options.integerOption(OptNumber, 1);
    p.step = options.integerOption(OptStep, 1);
    p.name = options.stringOption(OptName, defaultName());
    const int order = options.integerOption(OptType, 1);
    p.order = order >= 1 && order <= 8 ? order : 1;
    return p;
}

void TBreakdownParams::toOptions(korvex::shell::TmmOptions &options) const
{
    options.SetIntegerOption(OptNumberCheck, false, numbering ? 1 : 0);
    options.SetIntegerOption(OptNumber, false, start);
    options.SetIntegerOption(OptStep, false, step);
    options.SetStringOption(OptName, false, name);
    options.SetIntegerOption(OptType, false, order);
}

int TBreakdownParams::maxRows(int height)
{
    return std::abs(height) / MinCell;
}

int TBreakdownParams::maxColumns(int width)
{
    return std::abs(width) / MinCell;
}

QString TBreakdownParams::check(int width, int height) const
{
    const int mr = maxRows(height);
    const int mc = maxColumns(width);
    if (mr < 1 || mc < 1)
        return tr("Объект слишком мал для разбиения");
    if (rows < 1 || rows > mr)
        return tr("Количество строк должно быть от 1 до %1").arg(mr);
    if (columns < 1 || columns > mc)
        return tr("Количество столбцов должно быть от 1 до %1").arg(mc);
    if (qint64(rows) * columns > MaxCells)
        return tr("Слишком много секторов: не более %1").arg(MaxCells);
    if (order < 1 || order > 8)
        return tr("Выберите порядок разбиения");
    return {};
}

QList<TBreakdownCell> breakdownCells(int width, int height, const TBreakdownParams &params)
{
    const QString fault = params.check(width, height);
    if (!fault.isEmpty())
        throw std::invalid_argument(fault.toStdString());
    using korvex::amount::roundHalfEven;
    const int cw = int(roundHalfEven(double(std::abs(width)) / params.columns));
    const int ch = int(roundHalfEven(double(std::abs(height)) / params.rows));
    const OrderShape shape = shapeOf(params.order);
    const int outerCount = shape.rowsOuter ? params.rows : params.columns;
    const int innerCount = shape.rowsOuter ? params.columns : params.rows;

    QList<TBreakdownCell> cells;
    cells.reserve(params.rows * params.columns);
    qint64 number = params.start;
    for (int o = 0; o < outerCount; ++o) {
        for (int i = 0; i < innerCount; ++i) {
            const int rowStep = shape.rowsOuter ? o : i;
            const int columnStep = shape.rowsOuter ? i : o;
            TBreakdownCell c;
            c.row = shape.rowsDown ? rowStep + 1 : params.rows - rowStep;
            c.column = shape.columnsRight ? columnStep + 1 : params.columns - columnStep;
            c.name = params.name;
            if (params.numbering) {
                c.name += QString::number(number);
                number += params.step;
            }
            c.x1 = (c.column - 1) * cw;
            c.x2 = c.column * cw;
            c.y1 = (c.row - 1) * ch;
            c.y2 = c.row * ch;
            cells << c;
        }
    }
    return cells;
}

} // namespace korvex::graph
