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
    return dlg.execEdit(savedKey);
}

bool TVariableWindows::valueVariableDialog(TboRentValueVariable &bo, TValueVariableRecord &record, bool isNew,
                                           int &savedKey)
{
    TdlgRentValueVariable dlg(bo, record, isNew, &m_reference, parentWidget());
    return dlg.execEdit(savedKey);
}

} // namespace korvex::calc
