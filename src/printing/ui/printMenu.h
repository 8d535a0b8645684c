#pragma once

#include "printing/boRentPrintDocument.h"

#include <QList>
#include <QString>
#include <functional>

class QMenu;

namespace korvex::shell {
struct TAppContext;
}
namespace korvex::widgets {
class TxQueryModel;
}

namespace korvex::documents {

using TPrintHandler = std::function<void(int formId)>;

// Appends the print items of the documents of the type (none for -1) and of
// the registers of the list name to the menu; each item calls its handler
// with its print form. Nothing is added when no print form matches.
void BuildPrintMenu(QMenu *menu, const TboRentPrintDocument &bo, int type, const QString &registerTable,
                    const TPrintHandler &registerHandler, const TPrintHandler &documentHandler);

// The pages (and their lists) that print.
enum class TPrintPage {
    Contracts,         // documents 1 and 2, register "qryContract"
    Supplements,       // "qrySupplement"
    ContractServices,  // "qryContractService"
    Invoices,          // documents 3, register "qryInvoice"
    InvoiceLines,      // "qryInvoiceService"
    Payments,          // "qryPayment"
    InvoiceTypes,      // "qryInvoiceType"
    PayBills,          // "qryPayBill"
    PayBillLines,      // "qryPayBillRelat"
    Violations,        // "qryviotation"
    Debts,             // "qryDebt"
    DebtHistory,       // "qryHistory"
    PrintForms,        // "qryPrintDocument"
};

// What a print item of a page prints from when it is chosen: the current
// record (-1: none), the marked keys, and the list shown (its register is
// the list as shown, or only its marked rows).
struct TPrintSelection {
    int current = -1;
    QList<int> marked;
    const korvex::widgets::TxQueryModel *list = nullptr;
};

// THE print menu of a page: one call when the page builds the menu. The
// documents print the current record (invoices: the marked ones, when some
// are marked); the registers print the list. The print forms are read now;
// the objects the items need live as long as the menu.
void addPagePrintMenu(QMenu *menu, korvex::shell::TAppContext &context, TPrintPage page,
                      std::function<TPrintSelection()> selection);

} // namespace korvex::documents
