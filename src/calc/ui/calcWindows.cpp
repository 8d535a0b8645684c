#include "calcWindows.h"

#include "dlgRentChooseVariable.h"
#include "dlgRentReckoning.h"

#include "calc/boRentVariable.h"
#include "shell/AppContext.h"
#include "widgets/ui/xProgressDialog.h"

#include <QApplication>

namespace korvex::calc {

TCalcWindows::TCalcWindows(QWidget *parent)
    : m_parent(parent)
    , m_messages(parent)
{
}

QWidget *TCalcWindows::parentWidget() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

bool TCalcWindows::reckoningTypeDialog(TboRentReckoningType &bo, TReckoningType &type, bool isNew, int &savedKey)
{
    TdlgRentReckoning dlg(bo, type, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

QString TCalcWindows::chooseVariableFrom(TboRentVariable &dictionary)
{
    TdlgRentChooseVariable dlg(dictionary.context().db, parentWidget());
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.chosenName();
}

std::unique_ptr<korvex::widgets::TxProgress> TCalcWindows::openProgress(const QString &caption)
{
    auto progress = std::make_unique<korvex::widgets::TxProgressDialog>(parentWidget());
    progress->setWindowTitle(caption);
    return progress;
}

} // namespace korvex::calc
