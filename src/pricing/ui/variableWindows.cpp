#include "variableWindows.h"

#include "dlgRentVariable.h"

namespace korvex::calc {

TVariableWindows::TVariableWindows(QWidget *parent)
    : TCalcWindows(parent)
    , m_reference(parent)
{
}

bool TVariableWindows::variableDialog(TboRentVariable &bo, TVariableRecord &record, bool isNew, int &savedKey)
{
    TdlgRentVariable dlg(bo, record, isNew, parentWidget());
    dlg.exec();
    savedKey = dlg.savedKey();
    return dlg.savedCount() > 0;
}

bool TVariableWindows::valueVariableDialog(TboRentValueVariable &bo, TValueVariableRecord &record, bool isNew,
                                           int &savedKey)
{
    TdlgRentValueVariable dlg(bo, record, isNew, &m_reference, parentWidget());
    dlg.exec();
    savedKey = dlg.savedKey();
    return dlg.savedCount() > 0;
}

} // namespace korvex::calc
