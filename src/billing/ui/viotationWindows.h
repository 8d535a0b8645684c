#pragma once

#include "billing/viotationDialogs.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>

namespace korvex::billing {

// The violation dialogs as windows, opened modally over the active window.
class TViotationWindows : public TViotationDialogs
{
public:
    explicit TViotationWindows(QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }
    bool viotationDialog(TboRentViotation &bo, TViotationRecord &record, bool isNew, int &savedKey) override;
    bool viotationFilterDialog(TboRentViotation &bo, TViotationFilter &filter) override;

private:
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
};

} // namespace korvex::billing
