#include "viotationWindows.h"

#include "dlgRentViotation.h"
#include "dlgRentViotationFilter.h"

#include <QApplication>

namespace korvex::billing {

TViotationWindows::TViotationWindows(QWidget *parent)
    : m_parent(parent)
    , m_messages(parent)
{
}

QWidget *TViotationWindows::parentWidget() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

bool TViotationWindows::viotationDialog(TboRentViotation &bo, TViotationRecord &record, bool, int &savedKey)
{
    TdlgRentViotation dlg(bo, record, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TViotationWindows::viotationFilterDialog(TboRentViotation &bo, TViotationFilter &filter)
{
    TdlgRentViotationFilter dlg(bo, filter, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

} // namespace korvex::billing
