#pragma once

#include "calc/calcDialogs.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>

namespace korvex::calc {

// The calculation dialogs as windows: each operation opens its dialog
// modally over the parent and answers whether anything was stored. The
// variable and value dialogs are TVariableWindows' (they need the object
// chooser of the reference windows).
class TCalcWindows : public TCalcDialogs
{
public:
    explicit TCalcWindows(QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }

    bool reckoningTypeDialog(TboRentReckoningType &bo, TReckoningType &type, bool isNew, int &savedKey) override;
    QString chooseVariableFrom(TboRentVariable &dictionary) override;
    std::unique_ptr<korvex::widgets::TxProgress> openProgress(const QString &caption) override;

protected:
    // The active window, so that a dialog opened from a dialog stays above it.
    QWidget *parentWidget() const;

private:
    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
};

} // namespace korvex::calc
