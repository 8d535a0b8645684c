#pragma once

#include <QString>
#include <memory>

namespace korvex::widgets {
class TxPrompt;
class TxProgress;
}

namespace korvex::calc {

class TboRentReckoningType;
class TboRentVariable;
class TboRentValueVariable;
struct TReckoningType;
struct TVariableRecord;
struct TValueVariableRecord;

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
    virtual bool reckoningTypeDialog(TboRentReckoningType &bo, TReckoningType &type, bool isNew, int &savedKey);
    // "Выбор переменной": the built-in variables and the user variables of
    // the dictionary; the chosen variable's name, empty when cancelled (and
    // by default).
    virtual QString chooseVariableFrom(TboRentVariable &dictionary);

    // "Переменная" and "Значение переменной": edit the record and store it
    // through the business object; true when at least one row was stored.
    // savedKey: the key of the last row stored.
    virtual bool variableDialog(TboRentVariable &bo, TVariableRecord &record, bool isNew, int &savedKey);
    virtual bool valueVariableDialog(TboRentValueVariable &bo, TValueVariableRecord &record, bool isNew,
                                     int &savedKey);

    // A progress window with the caption for a long loop; none by default.
    virtual std::unique_ptr<korvex::widgets::TxProgress> openProgress(const QString &caption);
};

} // namespace korvex::calc
