#include "printWindows.h"

#include "dlgPrintDocument.h"
#include "dlgRentReport.h"
#include "dlgSQLParams.h"
#include "frmPrintReport.h"

#include "customers/ui/dlgChooseCustomer.h"
#include "reference/boRentObject.h"
#include "reference/boRentService.h"
#include "reference/ui/dlgRentObject.h"
#include "reference/ui/referenceWindows.h"

#include <QApplication>

namespace korvex::documents {

TPrintWindows::TPrintWindows(korvex::shell::TAppContext &context, QWidget *parent)
    : m_context(context)
    , m_parent(parent)
    , m_messages(parent)
{
}

QWidget *TPrintWindows::parentWidget() const
{
    QWidget *active = QApplication::activeWindow();
    return active ? active : m_parent.data();
}

bool TPrintWindows::printFormDialog(TboRentPrintDocument &bo, TPrintFormRecord &record, bool isNew, int &savedKey)
{
    TdlgPrintDocument dlg(bo, record, isNew, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TPrintWindows::reportDialog(TboRentReport &bo, TRentReportRecord &record, bool, int &savedKey)
{
    TdlgRentReport dlg(bo, record, parentWidget());
    return dlg.execEdit(savedKey);
}

bool TPrintWindows::showReport(TPrintJob &job)
{
    TfrmPrintReport window(job, parentWidget());
    window.build();  // a failure is said; the window opens all the same
    window.exec();
    return window.saved();
}

bool TPrintWindows::chooseObjects(TReportObjectChoice &choice)
{
    korvex::reference::TReferenceWindows windows(parentWidget());
    korvex::reference::TboRentObject bo(m_context, &windows);
    korvex::reference::TObjectChoice objects;
    objects.showSwitches = true;
    korvex::reference::TdlgRentChooseObject dlg(bo, objects, parentWidget());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    choice.objects = objects.marked.isEmpty() && objects.objectKey > 0 ? QList<int>{objects.objectKey} : objects.marked;
    choice.allObjects = objects.allObjects;
    choice.includeGroup = objects.includeGroup;
    return true;
}

bool TPrintWindows::chooseCustomers(TReportCustomerChoice &choice, bool showPayments)
{
    korvex::customers::TdlgChooseCustomer dlg(m_context, parentWidget());
    dlg.setPaymentsVisible(showPayments);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    choice.startDate = dlg.startDate();
    choice.endDate = dlg.endDate();
    choice.unlimited = dlg.unlimitedPeriod();
    choice.allPayments = dlg.allPayments();
    choice.paymentKey = dlg.paymentKey();
    choice.allCustomers = dlg.allCustomers();
    choice.customers = dlg.checkedCustomers();
    return true;
}

bool TPrintWindows::chooseServices(QList<int> &keys)
{
    korvex::reference::TReferenceWindows windows(parentWidget());
    korvex::reference::TboRentService bo(m_context, &windows);
    if (!bo.ChooseServices())
        return false;
    keys = bo.ServiceKeys;
    return true;
}

korvex::widgets::TxProgress *TPrintWindows::progress()
{
    if (!m_progress) {
        m_progress = std::make_unique<korvex::widgets::TxProgressDialog>(m_parent.data());
        m_progress->setStoppable(true);
    }
    return m_progress.get();
}

bool TPrintWindows::sqlParams(const QStringList &names, const std::function<QString(const QStringList &)> &apply)
{
    TdlgSQLParams dlg(names, apply, parentWidget());
    return dlg.exec() == QDialog::Accepted;
}

} // namespace korvex::documents
