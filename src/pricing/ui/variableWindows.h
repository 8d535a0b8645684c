#pragma once

#include "calc/ui/calcWindows.h"
#include "reference/ui/referenceWindows.h"

namespace korvex::calc {

// The calculation windows with the variable and value dialogs; the value
// dialog's object chooser is the reference windows'.
class TVariableWindows : public TCalcWindows
{
public:
    explicit TVariableWindows(QWidget *parent);

    bool variableDialog(TboRentVariable &bo, TVariableRecord &record, bool isNew, int &savedKey) override;
    bool valueVariableDialog(TboRentValueVariable &bo, TValueVariableRecord &record, bool isNew,
                             int &savedKey) override;

    korvex::reference::TReferenceWindows &referenceWindows() { return m_reference; }

private:
    korvex::reference::TReferenceWindows m_reference;
};

} // namespace korvex::calc
