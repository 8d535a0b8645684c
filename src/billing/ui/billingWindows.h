#pragma once

#include "billing/billingDialogs.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>

namespace korvex::billing {

// The billing dialogs as windows: each operation opens its dialog modally
// over the active window and answers whether anything was stored.
class TBillingWindows : public TBillingDialogs
{
public:
    explicit TBillingWindows(QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }

    bool contractDialog(TboRentContract &bo, TContractEdit &edit, int &savedKey) override;
    bool contractFilterDialog(TboRentContract &bo, TContractFilter &filter) override;
    bool contractListDialog(TboRentContract &bo) override;
    bool chooseContractServices(TboRentContract &bo, TContractServiceChoice &choice) override;

private:
    // The active window, so that a dialog opened from a dialog stays above it.
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
};

} // namespace korvex::billing
