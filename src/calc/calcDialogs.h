#pragma once

#include <QString>

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::calc {

class TboRentReckoning;
struct TReckoningType;

// The windows the calculation operations open, supplied by the window layer
// (TCalcWindows) so that the business objects decide and write without
// knowing how a dialog is shown. The defaults answer "cancelled".
class TCalcDialogs
{
public:
    virtual ~TCalcDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;

    // "Формула": edits the type and its steps and stores them through the
    // business object; true when at least one type was stored. savedKey: the
    // key of the last type stored ("&Следующий" may store several).
    virtual bool reckoningTypeDialog(TboRentReckoning &bo, TReckoningType &type, bool isNew, int &savedKey);
    // "Выбор переменной": the chosen variable's name, empty when cancelled.
    virtual QString chooseVariable();
};

} // namespace korvex::calc
