#include "referenceWindows.h"

#include "dlgCurr.h"
#include "dlgRentObject.h"

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
    dlg.exec();
    return dlg.savedCount() > 0;
}

bool TReferenceWindows::objectDialog(TboRentObject &bo, TRentObjectRecord &record, bool isNew, int &savedKey)
{
    TdlgRentObject dlg(bo, record, isNew, parentWidget());
    dlg.exec();
    savedKey = dlg.savedKey();
    return dlg.savedCount() > 0;
}

bool TReferenceWindows::treeItemDialog(TboRentTreeItem &bo, TRentTreeRecord &record, bool isNew, int &savedKey)
{
    TdlgRentOTLocation dlg(bo, record, isNew, parentWidget());
    dlg.exec();
    savedKey = dlg.savedKey();
    return dlg.savedCount() > 0;
}

bool TReferenceWindows::chooseObject(TboRentObject &bo, TObjectChoice &choice)
{
    TdlgRentChooseObject dlg(bo, choice, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

} // namespace korvex::reference
