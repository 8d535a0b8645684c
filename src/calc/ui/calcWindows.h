#pragma once

#include "calc/calcDialogs.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>

namespace korvex::calc {

// The calculation dialogs as windows: each operation opens its dialog
// modally over the parent and answers whether anything was stored.
class TCalcWindows : public TCalcDialogs
{
public:
    explicit TCalcWindows(QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }

    bool reckoningTypeDialog(TboRentReckoning &bo, TReckoningType &type, bool isNew, int &savedKey) override;
    QString chooseVariable() override;

private:
    // The active window, so that a dialog opened from a dialog stays above it.
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
};

} // namespace korvex::calc
