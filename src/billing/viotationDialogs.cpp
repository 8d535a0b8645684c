#include "viotationDialogs.h"

namespace korvex::billing {

TViotationDialogs::~TViotationDialogs() = default;

bool TViotationDialogs::viotationDialog(TboRentViotation &, TViotationRecord &, bool, int &)
{
    return false;
}

bool TViotationDialogs::viotationFilterDialog(TboRentViotation &, TViotationFilter &)
{
    return false;
}

} // namespace korvex::billing
