#include "billingDialogs.h"

#include "widgets/xProgress.h"

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

bool TBillingDialogs::invoiceDialog(TboRentInvoice &, TInvoiceEdit &, int &)
{
    return false;
}

bool TBillingDialogs::invoiceFilterDialog(TboRentInvoice &, TInvoiceFilter &)
{
    return false;
}

bool TBillingDialogs::makeInvoiceDialog(korvex::shell::TAppContext &, TInvoiceParams &, bool)
{
    return false;
}

bool TBillingDialogs::invoiceTypeDialog(TboRentInvoiceType &, TInvoiceTypeRecord &, bool, int &)
{
    return false;
}

bool TBillingDialogs::chooseServices(korvex::shell::TAppContext &, QList<int> &)
{
    return false;
}

void TBillingDialogs::invoiceRunReport(const TInvoiceRun &) {}

std::unique_ptr<korvex::widgets::TxProgress> TBillingDialogs::openProgress(const QString &)
{
    return nullptr;
}

} // namespace korvex::billing
