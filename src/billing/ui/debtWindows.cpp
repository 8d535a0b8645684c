#include "debtWindows.h"

#include "dlgRentChooseDebt.h"
#include "dlgRentDebtFilter.h"

#include <QApplication>

namespace korvex::billing {

TDebtWindows::TDebtWindows(QWidget *parent)
    : m_parent(parent)
{
}

QWidget *TDebtWindows::parentWidget() const
{
    if (QWidget *active = QApplication::activeModalWidget())
        return active;
    return m_parent ? m_parent->window() : nullptr;
}

bool TDebtWindows::debtFilterDialog(TboRentDebtFilter &bo, TDebtFilter &filter)
{
    TdlgRentDebtFilter dlg(bo, filter, parentWidget());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    filter = dlg.filter();
    return true;
}

bool TDebtWindows::chooseDebts(TboRentDebtFilter &bo, TDebtChoice &choice)
{
    TdlgRentChooseDebt dlg(bo, choice, parentWidget());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    choice = dlg.choice();
    return true;
}

} // namespace korvex::billing
