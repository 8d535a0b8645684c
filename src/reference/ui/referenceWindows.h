#pragma once

#include "reference/referenceDialogs.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>

namespace korvex::reference {

// The reference dialogs as windows: each operation opens its dialog modally
// over the parent and answers whether anything was stored.
class TReferenceWindows : public TReferenceDialogs
{
public:
    explicit TReferenceWindows(QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }

    bool currencyDialog(TboCurrency &bo, TCurrencyRecord &record, bool isNew) override;
    bool rateDialog(TboCurrency &bo, TRateRecord &record, bool isNew) override;
    bool objectDialog(TboRentObject &bo, TRentObjectRecord &record, bool isNew, int &savedKey) override;
    bool treeItemDialog(TboRentTreeItem &bo, TRentTreeRecord &record, bool isNew, int &savedKey) override;
    bool chooseObject(TboRentObject &bo, TObjectChoice &choice) override;
    bool serviceDialog(TboRentService &bo, TServiceRecord &record, bool isNew, int &savedKey) override;
    bool chooseServices(TboRentService &bo, QList<int> &keys) override;
    bool serviceCostDialog(TboRentServiceCost &bo, TServiceCostRecord &record, bool isNew, int &savedKey) override;

private:
    // The active window, so that a dialog opened from a dialog stays above it.
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
};

} // namespace korvex::reference
