#pragma once

#include "billing/debtDialogs.h"

#include <QPointer>
#include <QWidget>

namespace korvex::billing {

// The debt dialogs as windows, opened modally over the active window.
class TDebtWindows : public TDebtDialogs
{
public:
    explicit TDebtWindows(QWidget *parent);

    bool debtFilterDialog(TboRentDebtFilter &bo, TDebtFilter &filter) override;
    bool chooseDebts(TboRentDebtFilter &bo, TDebtChoice &choice) override;

private:
    // The active window, so that a dialog opened from a dialog stays above it.
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
};

} // namespace korvex::billing
