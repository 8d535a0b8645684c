#include "printMenu.h"

#include "printWindows.h"

#include "documents/xReportData.h"
#include "widgets/ui/xGuard.h"
#include "widgets/xQueryModel.h"

#include <QMenu>

namespace korvex::documents {

void BuildPrintMenu(QMenu *menu, const TboRentPrintDocument &bo, int type, const QString &registerTable,
                    const TPrintHandler &registerHandler, const TPrintHandler &documentHandler)
{
    for (const TPrintMenuEntry &entry : bo.printMenu(type, registerTable)) {
        const TPrintHandler &handler = entry.isRegister ? registerHandler : documentHandler;
        QMenu *target = menu;
        if (entry.items.size() > 1)
            target = menu->addMenu(entry.caption);
        for (const TPrintMenuItem &item : entry.items) {
            QAction *action = target->addAction(item.caption);
            action->setData(item.formId);
            action->setToolTip(item.hint);
            action->setStatusTip(item.hint);
            const int formId = item.formId;
            QObject::connect(action, &QAction::triggered, menu, [handler, formId] {
                if (handler)
                    handler(formId);
            });
        }
    }
}

namespace {

struct PageLists {
    QList<std::pair<int, QString>> calls;  // type, register list
};

PageLists pageLists(TPrintPage page)
{
    switch (page) {
    case TPrintPage::Contracts:
        return {{{TboRentPrintDocument::Contract, QStringLiteral("qryContract")},
                 {TboRentPrintDocument::ContractPriced, QString()}}};
    case TPrintPage::Supplements: return {{{-1, QStringLiteral("qrySupplement")}}};
    case TPrintPage::ContractServices: return {{{-1, QStringLiteral("qryContractService")}}};
    case TPrintPage::Invoices: return {{{TboRentPrintDocument::Invoice, QStringLiteral("qryInvoice")}}};
    case TPrintPage::InvoiceLines: return {{{-1, QStringLiteral("qryInvoiceService")}}};
    case TPrintPage::Payments: return {{{-1, QStringLiteral("qryPayment")}}};
    case TPrintPage::InvoiceTypes: return {{{-1, QStringLiteral("qryInvoiceType")}}};
    case TPrintPage::PayBills: return {{{-1, QStringLiteral("qryPayBill")}}};
    case TPrintPage::PayBillLines: return {{{-1, QStringLiteral("qryPayBillRelat")}}};
    case TPrintPage::Violations: return {{{-1, QStringLiteral("qryviotation")}}};
    case TPrintPage::Debts: return {{{-1, QStringLiteral("qryDebt")}}};
    case TPrintPage::DebtHistory: return {{{-1, QStringLiteral("qryHistory")}}};
    case TPrintPage::PrintForms: return {{{-1, QStringLiteral("qryPrintDocument")}}};
    }
    return {};
}

// The print-form object and its windows of one menu.
class TPagePrinting : public QObject
{
public:
    TPagePrinting(korvex::shell::TAppContext &context, QMenu *menu)
        : QObject(menu)
        , windows(context, menu->parentWidget())
        , bo(context, &windows)
    {
    }
    TPrintWindows windows;
    TboRentPrintDocument bo;
};

} // namespace

void addPagePrintMenu(QMenu *menu, korvex::shell::TAppContext &context, TPrintPage page,
                      std::function<TPrintSelection()> selection)
{
    auto printing = new TPagePrinting(context, menu);
    QWidget *parent = menu->parentWidget();
    const bool marksPrint = page == TPrintPage::Invoices;
    const TPrintHandler documents = [printing, selection, parent, marksPrint](int formId) {
        korvex::widgets::guarded(parent, [&] {
            const TPrintSelection s = selection();
            if (marksPrint && !s.marked.isEmpty())
                printing->bo.PrintDocument(formId, -1, {}, s.marked);
            else if (s.current > 0)
                printing->bo.PrintDocument(formId, s.current);
        });
    };
    const TPrintHandler registers = [printing, selection, parent](int formId) {
        korvex::widgets::guarded(parent, [&] {
            const TPrintSelection s = selection();
            if (!s.list)
                return;
            QVariantList keys;
            for (int k : s.marked)
                keys << k;
            QSqlQuery query = s.list->printQuery(s.list->keyField().isEmpty() ? QVariantList() : keys);
            printing->bo.PrintDocument(formId, -1, readAll(query));
        });
    };
    bool separated = false;
    for (const auto &[type, list] : pageLists(page).calls) {
        const int before = int(menu->actions().size());
        if (!separated && before > 0) {
            menu->addSeparator();
            separated = true;
        }
        BuildPrintMenu(menu, printing->bo, type, list, registers, documents);
    }
    // No print form: no separator left dangling at the end.
    if (separated && !menu->actions().isEmpty() && menu->actions().last()->isSeparator())
        menu->removeAction(menu->actions().last());
}

} // namespace korvex::documents
