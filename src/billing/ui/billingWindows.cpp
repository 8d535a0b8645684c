#include "billingWindows.h"

#include "dlgChooseContractService.h"
#include "dlgRentContract.h"
#include "dlgRentContractFilter.h"
#include "dlgRentContractList.h"

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

} // namespace korvex::billing
