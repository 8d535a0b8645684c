#include "graphWindows.h"

#include "dlgBreakdownObject.h"
#include "dlgRentObjectGraph.h"

#include "reference/boRentObject.h"

#include <QApplication>

namespace korvex::graph {

TGraphWindows::TGraphWindows(korvex::shell::TAppContext &context, QWidget *parent)
    : m_parent(parent)
    , m_messages(parent)
    , m_reference(parent)
    , m_objects(std::make_unique<korvex::reference::TboRentObject>(context, &m_reference))
{
}

TGraphWindows::~TGraphWindows() = default;

QWidget *TGraphWindows::parentWidget() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

bool TGraphWindows::figureDialog(TboRentGraph &bo, TRentFigure &figure, bool isNew)
{
    TdlgRentObjectGraph dlg(bo, *m_objects, figure, isNew, parentWidget());
    if (!dlg.execEdit())
        return false;
    figure = dlg.figure();
    return true;
}

bool TGraphWindows::breakdownDialog(TBreakdownParams &params, int width, int height)
{
    TdlgBreakdownObject dlg(params, width, height, parentWidget());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    params = dlg.params();
    return true;
}

bool TGraphWindows::chooseObject(int &objectKey)
{
    return m_objects->ChooseObject(objectKey);
}

} // namespace korvex::graph
