#pragma once

#include "boCurrency.h"
#include "boRentObject.h"
#include "boRentOTLocation.h"
#include "boRentService.h"
#include "boRentServiceCost.h"

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::reference {

// The windows the reference operations open, supplied by the window layer
// (TReferenceWindows) so that the business objects decide and write without
// knowing how a dialog is shown. A dialog edits the record it is given and
// stores it through the business object; it returns true when at least one
// record was stored. The defaults answer "cancelled".
class TReferenceDialogs
{
public:
    virtual ~TReferenceDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;

    virtual bool currencyDialog(TboCurrency &bo, TCurrencyRecord &record, bool isNew);
    virtual bool rateDialog(TboCurrency &bo, TRateRecord &record, bool isNew);
    // savedKey: the key of the last object stored ("&Следующий" may store
    // several).
    virtual bool objectDialog(TboRentObject &bo, TRentObjectRecord &record, bool isNew, int &savedKey);
    virtual bool treeItemDialog(TboRentTreeItem &bo, TRentTreeRecord &record, bool isNew, int &savedKey);
    virtual bool chooseObject(TboRentObject &bo, TObjectChoice &choice);
    virtual bool serviceDialog(TboRentService &bo, TServiceRecord &record, bool isNew, int &savedKey);
    // "Выбор услуг": keys holds the marked services on entry and on "Ок".
    virtual bool chooseServices(TboRentService &bo, QList<int> &keys);
    virtual bool serviceCostDialog(TboRentServiceCost &bo, TServiceCostRecord &record, bool isNew, int &savedKey);
};

} // namespace korvex::reference
