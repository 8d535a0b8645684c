#include "referenceDialogs.h"

namespace korvex::reference {

TReferenceDialogs::~TReferenceDialogs() = default;

bool TReferenceDialogs::currencyDialog(TboCurrency &, TCurrencyRecord &, bool)
{
    return false;
}

bool TReferenceDialogs::rateDialog(TboCurrency &, TRateRecord &, bool)
{
    return false;
}

bool TReferenceDialogs::objectDialog(TboRentObject &, TRentObjectRecord &, bool, int &)
{
    return false;
}

bool TReferenceDialogs::treeItemDialog(TboRentTreeItem &, TRentTreeRecord &, bool, int &)
{
    return false;
}

bool TReferenceDialogs::chooseObject(TboRentObject &, TObjectChoice &)
{
    return false;
}

bool TReferenceDialogs::serviceDialog(TboRentService &, TServiceRecord &, bool, int &)
{
    return false;
}

bool TReferenceDialogs::chooseServices(TboRentService &, QList<int> &)
{
    return false;
}

bool TReferenceDialogs::serviceCostDialog(TboRentServiceCost &, TServiceCostRecord &, bool, int &)
{
    return false;
}

} // namespace korvex::reference
