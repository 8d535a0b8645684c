#include "payBillWindows.h"

#include "dlgRentMakePayBill.h"
#include "dlgRentPayBill.h"
#include "dlgRentPayBillFilter.h"
#include "dlgRentPayment.h"

#include <QApplication>

namespace korvex::billing {

TPayBillWindows::TPayBillWindows(QWidget *parent)
    : m_parent(parent)
    , m_messages(parent)
{
}

QWidget *TPayBillWindows::parentWidget() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

bool TPayBillWindows::payBillDialog(TboRentPayBill &bo, TPayBillEdit &edit, int &savedKey)
{
    TdlgRentPayBill dlg(bo, edit, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TPayBillWindows::payBillFilterDialog(TboRentPayBill &bo, TPayBillFilter &filter)
{
    TdlgRentPayBillFilter dlg(bo, filter, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TPayBillWindows::makePayBillDialog(TboRentPayBill &bo, TPayBillImport &params)
{
    TdlgRentMakePayBill dlg(bo, params, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TPayBillWindows::paymentDialog(TboRentPayment &bo, TPaymentRecord &record, bool isNew, int &savedKey)
{
    TdlgRentPayment dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

} // namespace korvex::billing
