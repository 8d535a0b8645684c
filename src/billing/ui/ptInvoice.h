#pragma once

#include "billingWindows.h"
#include "payBillWindows.h"
#include "billing/boRentPayment.h"
#include "billing/boRentInvoice.h"
#include "widgets/ui/Part.h"

#include <memory>
#include <optional>

class QAction;
class QMenu;
class QToolButton;

namespace korvex::widgets {
class TxCheckedQueryModel;
class TxSortMenu;
class TxDBGrid;
class TxQueryModel;
}

namespace korvex::billing {

// "Счета фактуры" (20): the invoice list as the filter and sort order choose
// it, with a check column for the ticked-invoice actions; the lines of the
// current invoice, the forms of payment and the invoice types.
class TptInvoice : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { InvoicesTab = 0, LinesTab, PaymentsTab, TypesTab };

    TptInvoice(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptInvoice() override;

    TboRentInvoice &invoice() { return *m_bo; }
    korvex::widgets::TxCheckedQueryModel *invoiceModel() const { return m_invoices; }
    korvex::widgets::TxDBGrid *invoiceGrid() const { return m_invoiceGrid; }
    korvex::widgets::TxDBGrid *lineGrid() const { return m_lineGrid; }
    korvex::widgets::TxDBGrid *paymentGrid() const { return m_paymentGrid; }
    korvex::widgets::TxDBGrid *typeGrid() const { return m_typeGrid; }
    QToolButton *sortButton() const;
    QMenu *invoiceMenu() const { return m_menu; }
    // "Печать" of the invoice menu (filled by buildPrintMenu()).
    QMenu *printMenu() const { return m_printMenu; }
    std::optional<int> currentInvoice() const;

    // Reads the list again and shows the invoice given (else the current one).
    void loadInvoices(std::optional<int> locate = std::nullopt);
    // The menu's operations.
    void checkAll();
    void clearChecks();
    void setAttributes();
    void postOperations();
    void findInvoicesWithErrors();
    void setSortOrder(int order);
    void editFilter();

protected:
    void actionAdd() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    QWidget *buildInvoicesTab();
    korvex::widgets::TxDBGrid *newListGrid(const QString &name, korvex::widgets::TxQueryModel *&model);
    void buildMenus();
    // "Печать" of the invoice menu: where the print forms of the page join.
    void buildPrintMenu(QMenu *menu);
    void loadDetails();
    void loadPayments(std::optional<int> locate = std::nullopt);
    void loadTypes(std::optional<int> locate = std::nullopt);
    void updateSortCaption();
    QString sortCaption(int order) const;

    TBillingWindows m_windows;
    TboRentInvoice *m_bo = nullptr;
    TboRentInvoiceType *m_types = nullptr;
    // The payment forms listed on their tab, edited with their own dialog.
    TPayBillWindows m_paymentWindows;
    std::unique_ptr<TboRentPayment> m_paymentForms;

    korvex::widgets::TxCheckedQueryModel *m_invoices = nullptr;
    korvex::widgets::TxDBGrid *m_invoiceGrid = nullptr;
    korvex::widgets::TxSortMenu *m_sort = nullptr;
    QMenu *m_menu = nullptr;
    QMenu *m_printMenu = nullptr;
    QAction *m_attributes = nullptr;

    korvex::widgets::TxQueryModel *m_lines = nullptr;
    korvex::widgets::TxDBGrid *m_lineGrid = nullptr;
    korvex::widgets::TxQueryModel *m_payments = nullptr;
    korvex::widgets::TxDBGrid *m_paymentGrid = nullptr;
    korvex::widgets::TxQueryModel *m_typesModel = nullptr;
    korvex::widgets::TxDBGrid *m_typeGrid = nullptr;
};

} // namespace korvex::billing
