#include "billingDialogs.h"

namespace korvex::billing {

TBillingDialogs::~TBillingDialogs() = default;

bool TBillingDialogs::contractDialog(TboRentContract &, TContractEdit &, int &)
{
    return false;
}

bool TBillingDialogs::contractFilterDialog(TboRentContract &, TContractFilter &)
{
    return false;
}

bool TBillingDialogs::contractListDialog(TboRentContract &)
{
    return false;
}

bool TBillingDialogs::chooseContractServices(TboRentContract &, TContractServiceChoice &)
{
    return false;
}

} // namespace korvex::billing
