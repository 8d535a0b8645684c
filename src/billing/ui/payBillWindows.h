#pragma once

#include "billing/payBillDialogs.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>

namespace korvex::billing {

// The pay-bill and payment-form dialogs as windows, each opened modally over
// the active window.
class TPayBillWindows : public TPayBillDialogs
{
public:
    explicit TPayBillWindows(QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }

    bool payBillDialog(TboRentPayBill &bo, TPayBillEdit &edit, int &savedKey) override;
    bool payBillFilterDialog(TboRentPayBill &bo, TPayBillFilter &filter) override;
    bool makePayBillDialog(TboRentPayBill &bo, TPayBillImport &params) override;
    bool paymentDialog(TboRentPayment &bo, TPaymentRecord &record, bool isNew, int &savedKey) override;

private:
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
};

} // namespace korvex::billing
