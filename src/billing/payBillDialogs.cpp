#include "payBillDialogs.h"

namespace korvex::billing {

TPayBillDialogs::~TPayBillDialogs() = default;

bool TPayBillDialogs::payBillDialog(TboRentPayBill &, TPayBillEdit &, int &)
{
    return false;
}

bool TPayBillDialogs::payBillFilterDialog(TboRentPayBill &, TPayBillFilter &)
{
    return false;
}

bool TPayBillDialogs::makePayBillDialog(TboRentPayBill &, TPayBillImport &)
{
    return false;
}

bool TPayBillDialogs::paymentDialog(TboRentPayment &, TPaymentRecord &, bool, int &)
{
    return false;
}

} // namespace korvex::billing
