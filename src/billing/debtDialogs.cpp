#include "debtDialogs.h"

namespace korvex::billing {

TDebtDialogs::~TDebtDialogs() = default;

bool TDebtDialogs::debtFilterDialog(TboRentDebtFilter &, TDebtFilter &)
{
    return false;
}

bool TDebtDialogs::chooseDebts(TboRentDebtFilter &, TDebtChoice &)
{
    return false;
}

} // namespace korvex::billing
