#pragma once

#include "boRentContract.h"

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::billing {

// The windows the billing operations open, supplied by the window layer
// (TBillingWindows) so that the business objects decide and write without
// knowing how a dialog is shown. The defaults answer "cancelled".
class TBillingDialogs
{
public:
    virtual ~TBillingDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;

    // "Договор аренды" on a new, existing or renewed contract: it stores the
    // edit through bo.writeContract(); true when at least one contract was
    // stored, savedKey the last one.
    virtual bool contractDialog(TboRentContract &bo, TContractEdit &edit, int &savedKey);
    // "Фильтрация договоров": true on "Ок" with the filter as edited.
    virtual bool contractFilterDialog(TboRentContract &bo, TContractFilter &filter);
    // "Договора": the quick list of open contracts; true when edits were stored.
    virtual bool contractListDialog(TboRentContract &bo);
    // "Выбор услуг": true on "Ок" with the ticked positions in choice.keys.
    virtual bool chooseContractServices(TboRentContract &bo, TContractServiceChoice &choice);
};

} // namespace korvex::billing
