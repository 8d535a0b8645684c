#pragma once

#include "printing/printDialogs.h"
#include "widgets/ui/xMessages.h"

#include "widgets/ui/xProgressDialog.h"

#include <QPointer>
#include <memory>
#include <QWidget>

namespace korvex::shell {
struct TAppContext;
}

namespace korvex::documents {

// The print-form and report windows: dialogs, the report window and the
// choosers of the report questions, opened over the parent.
class TPrintWindows : public TPrintDialogs
{
public:
    TPrintWindows(korvex::shell::TAppContext &context, QWidget *parent);

    korvex::widgets::TxPrompt &prompt() override { return m_messages; }
    bool printFormDialog(TboRentPrintDocument &bo, TPrintFormRecord &record, bool isNew, int &savedKey) override;
    bool reportDialog(TboRentReport &bo, TRentReportRecord &record, bool isNew, int &savedKey) override;
    bool showReport(TPrintJob &job) override;
    bool chooseObjects(TReportObjectChoice &choice) override;
    bool chooseCustomers(TReportCustomerChoice &choice, bool showPayments) override;
    bool chooseServices(QList<int> &keys) override;
    bool sqlParams(const QStringList &names, const std::function<QString(const QStringList &)> &apply) override;
    korvex::widgets::TxProgress *progress() override;

private:
    QWidget *parentWidget() const;

    korvex::shell::TAppContext &m_context;
    QPointer<QWidget> m_parent;
    korvex::widgets::TxMessages m_messages;
    std::unique_ptr<korvex::widgets::TxProgressDialog> m_progress;
};

} // namespace korvex::documents
