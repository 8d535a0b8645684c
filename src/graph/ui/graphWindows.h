#pragma once

#include "graph/graphDialogs.h"
#include "reference/ui/referenceWindows.h"
#include "shell/AppContext.h"
#include "widgets/ui/xMessages.h"

#include <QPointer>
#include <QWidget>
#include <memory>

namespace korvex::reference {
class TboRentObject;
}

namespace korvex::graph {

// The plan's dialogs as windows: each opens modally over the active window.
// The object chooser is the one of the leased objects.
class TGraphWindows : public TGraphDialogs
{
public:
    TGraphWindows(korvex::shell::TAppContext &context, QWidget *parent);
    ~TGraphWindows() override;

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }

    bool figureDialog(TboRentGraph &bo, TRentFigure &figure, bool isNew) override;
    bool breakdownDialog(TBreakdownParams &params, int width, int height) override;
    bool chooseObject(int &objectKey) override;

private:
    // The active window, so that a dialog opened from a dialog stays above it.
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
    korvex::reference::TReferenceWindows m_reference;
    std::unique_ptr<korvex::reference::TboRentObject> m_objects;
};

} // namespace korvex::graph
