#pragma once

#include "boRentContract.h"
#include "boRentInvoice.h"

#include <memory>

namespace korvex::widgets {
class TxPrompt;
class TxProgress;
}

namespace korvex::billing {

// The windows the billing operations open, supplied by the window layer
// (TBillingWindows) so that the business objects decide and write without
// knowing how a dialog is shown. The defaults answer "cancelled".
class TBillingDialogs
{
public:
    virtual ~TBillingDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;

    // "Договор аренды" on a new, existing or renewed contract: it stores the
    // edit through bo.writeContract(); true when at least one contract was
    // stored, savedKey the last one.
    virtual bool contractDialog(TboRentContract &bo, TContractEdit &edit, int &savedKey);
    // "Фильтрация договоров": true on "Ок" with the filter as edited.
    virtual bool contractFilterDialog(TboRentContract &bo, TContractFilter &filter);
    // "Договора": the quick list of open contracts; true when edits were stored.
    virtual bool contractListDialog(TboRentContract &bo);
    // "Выбор услуг": true on "Ок" with the ticked positions in choice.keys.
    virtual bool chooseContractServices(TboRentContract &bo, TContractServiceChoice &choice);

    // "Формирование задолженности" on a new or stored invoice: it stores the
    // edit through bo.writeInvoice(); true when at least one invoice was
    // stored, savedKey the last one.
    virtual bool invoiceDialog(TboRentInvoice &bo, TInvoiceEdit &edit, int &savedKey);
    // "Фильтрация счетов": true on "Ок" with the filter as edited.
    virtual bool invoiceFilterDialog(TboRentInvoice &bo, TInvoiceFilter &filter);
    // "Формирование счетов": true on "Ок" with the parameters as edited;
    // invoiceDateEditable false keeps the invoice date as given.
    virtual bool makeInvoiceDialog(korvex::shell::TAppContext &context, TInvoiceParams &params,
                                   bool invoiceDateEditable);
    // "Тип задолженности": stores the record through the business object;
    // true when at least one type was stored, savedKey the last one.
    virtual bool invoiceTypeDialog(TboRentInvoiceType &bo, TInvoiceTypeRecord &record, bool isNew, int &savedKey);

    // "Выбор услуг" of the services reference: true on "Ок" with the marked
    // services in keys.
    virtual bool chooseServices(korvex::shell::TAppContext &context, QList<int> &keys);
    // After a billing run: the positions left out of their invoices and the
    // contracts whose invoice failed.
    virtual void invoiceRunReport(const TInvoiceRun &run);
    // A progress window with the caption and a stop button for a long loop;
    // none by default.
    virtual std::unique_ptr<korvex::widgets::TxProgress> openProgress(const QString &caption);
};

} // namespace korvex::billing
