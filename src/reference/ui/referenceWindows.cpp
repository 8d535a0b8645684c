#include "referenceWindows.h"

#include "dlgCurr.h"
#include "dlgRentObject.h"
#include "dlgRentService.h"
#include "dlgRentServiceCost.h"

#include <QApplication>

namespace korvex::reference {

TReferenceWindows::TReferenceWindows(QWidget *parent)
    : m_parent(parent)
    , m_messages(parent)
{
}

QWidget *TReferenceWindows::parentWidget() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_parent;
}

bool TReferenceWindows::currencyDialog(TboCurrency &bo, TCurrencyRecord &record, bool isNew)
{
    Q_UNUSED(isNew);
    TdlgCurr dlg(bo, record, parentWidget());
    dlg.exec();
    if (dlg.savedCount() == 0)
        return false;
    record = dlg.record();
    return true;
}

bool TReferenceWindows::rateDialog(TboCurrency &bo, TRateRecord &record, bool isNew)
{
    TdlgCurrRate dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit();
}

bool TReferenceWindows::objectDialog(TboRentObject &bo, TRentObjectRecord &record, bool isNew, int &savedKey)
{
    TdlgRentObject dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TReferenceWindows::treeItemDialog(TboRentTreeItem &bo, TRentTreeRecord &record, bool isNew, int &savedKey)
{
    TdlgRentOTLocation dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TReferenceWindows::chooseObject(TboRentObject &bo, TObjectChoice &choice)
{
    TdlgRentChooseObject dlg(bo, choice, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TReferenceWindows::serviceDialog(TboRentService &bo, TServiceRecord &record, bool isNew, int &savedKey)
{
    TdlgRentService dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TReferenceWindows::chooseServices(TboRentService &bo, QList<int> &keys)
{
    TdlgRentChooseService dlg(bo, keys, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

bool TReferenceWindows::serviceCostDialog(TboRentServiceCost &bo, TServiceCostRecord &record, bool isNew,
                                          int &savedKey)
{
    TdlgRentServiceCost dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

} // namespace korvex::reference
