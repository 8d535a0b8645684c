#include "billingWindows.h"

#include "dlgChooseContractService.h"
#include "dlgRentContract.h"
#include "dlgRentContractFilter.h"
#include "dlgRentContractList.h"
#include "dlgRentInvoice.h"
#include "dlgRentInvoiceFilter.h"
#include "dlgRentInvoiceType.h"
#include "dlgInvoiceRunReport.h"
#include "dlgRentMakeInvoice.h"

#include "reference/boRentService.h"
#include "reference/ui/referenceWindows.h"

#include "widgets/ui/xProgressDialog.h"

#include <QApplication>

namespace korvex::billing {

TBillingWindows::TBillingWindows(QWidget *parent)
    : m_parent(parent)
    , m_messages(parent)
{
}

QWidget *TBillingWindows::parentWidget() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

bool TBillingWindows::contractDialog(TboRentContract &bo, TContractEdit &edit, int &savedKey)
{
    TdlgRentContract dlg(bo, edit, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TBillingWindows::contractFilterDialog(TboRentContract &bo, TContractFilter &filter)
{
    TdlgRentContractFilter dlg(bo, filter, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TBillingWindows::contractListDialog(TboRentContract &bo)
{
    TdlgRentContractList dlg(bo, parentWidget());
    return dlg.exec() == QDialog::Accepted && dlg.savedCount() > 0;
}

bool TBillingWindows::chooseContractServices(TboRentContract &bo, TContractServiceChoice &choice)
{
    TdlgChooseContractService dlg(bo, choice, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TBillingWindows::invoiceDialog(TboRentInvoice &bo, TInvoiceEdit &edit, int &savedKey)
{
    TdlgRentInvoice dlg(bo, edit, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TBillingWindows::invoiceFilterDialog(TboRentInvoice &bo, TInvoiceFilter &filter)
{
    TdlgRentInvoiceFilter dlg(bo, filter, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TBillingWindows::makeInvoiceDialog(korvex::shell::TAppContext &context, TInvoiceParams &params,
                                        bool invoiceDateEditable)
{
    TdlgRentMakeInvoice dlg(context, params, invoiceDateEditable, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TBillingWindows::invoiceTypeDialog(TboRentInvoiceType &bo, TInvoiceTypeRecord &record, bool isNew, int &savedKey)
{
    TdlgRentInvoiceType dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TBillingWindows::chooseServices(korvex::shell::TAppContext &context, QList<int> &keys)
{
    korvex::reference::TReferenceWindows windows(parentWidget());
    korvex::reference::TboRentService services(context, &windows);
    services.ServiceKeys = keys;
    if (!services.ChooseServices())
        return false;
    keys = services.ServiceKeys;
    return true;
}

void TBillingWindows::invoiceRunReport(const TInvoiceRun &run)
{
    TdlgInvoiceRunReport dlg(run, parentWidget());
    dlg.exec();
}

std::unique_ptr<korvex::widgets::TxProgress> TBillingWindows::openProgress(const QString &caption)
{
    auto progress = std::make_unique<korvex::widgets::TxProgressDialog>(parentWidget());
    progress->setWindowTitle(caption);
    return progress;
}

} // namespace korvex::billing
