#pragma once

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::graph {

class TboRentGraph;
struct TRentFigure;
struct TBreakdownParams;

// The windows the plan operations open, supplied by the window layer so that
// the business object decides and writes without knowing how a dialog is
// shown. The defaults answer "cancelled".
class TGraphDialogs
{
public:
    virtual ~TGraphDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;

    // "Графический объект": edits the figure and stores it through
    // TboRentGraph::writeFigure; true when it was stored.
    virtual bool figureDialog(TboRentGraph &bo, TRentFigure &figure, bool isNew);
    // "Разбиение объекта" for a figure of width x height: true on "Ок" with
    // values that pass TBreakdownParams::check.
    virtual bool breakdownDialog(TBreakdownParams &params, int width, int height);
    // The object chooser: objectKey holds the object shown first and, on true,
    // the chosen one.
    virtual bool chooseObject(int &objectKey);
};

} // namespace korvex::graph
