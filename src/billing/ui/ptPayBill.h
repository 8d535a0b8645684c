#pragma once

#include "payBillWindows.h"
#include "billing/boRentPayBill.h"
#include "widgets/ui/Part.h"

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QToolButton;

namespace korvex::accounting {
class TPaymentImportLink;
}
namespace korvex::widgets {
class TxSortMenu;
class TxCheckedQueryModel;
class TxDBGrid;
class TxQueryModel;
}

namespace korvex::billing {

// "Платежи" (30): the pay bills as the filter and sort order choose them,
// with a check column for the ticked pay bills' actions, and the lines of
// the current pay bill.
class TptPayBill : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { PayBillsTab = 0, LinesTab };
    // The payment import of "Импорт платежей" over a window (none: the link
    // with the bookkeeping system is not set up).
    using ImportFactory = std::function<std::unique_ptr<korvex::accounting::TPaymentImportLink>(QWidget *)>;

    TptPayBill(korvex::shell::TAppContext &context, QWidget *parent, ImportFactory import = {});
    ~TptPayBill() override;

    TboRentPayBill &payBill() { return *m_bo; }
    korvex::widgets::TxCheckedQueryModel *payBillModel() const { return m_payBills; }
    korvex::widgets::TxDBGrid *payBillGrid() const { return m_payBillGrid; }
    korvex::widgets::TxDBGrid *lineGrid() const { return m_lineGrid; }
    QMenu *payBillMenu() const { return m_menu; }
    QToolButton *sortButton() const;
    std::optional<int> currentPayBill() const;
    QList<int> tickedKeys() const;

    void loadPayBills(std::optional<int> locate = std::nullopt);
    // The menu's operations.
    void checkAll();
    void clearChecks();
    void postTicked();       // "Формирование операций"
    void setAttributes();    // "Аттрибуты платежей"
    void tickWithErrors();   // "Поиск платежей с ошибками"
    void importPayments();   // "Импорт платежей"
    void setSortOrder(int order);
    void editFilter();

protected:
    void actionAdd() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    QWidget *buildPayBillsTab();
    QWidget *buildLinesTab();
    void buildMenus();
    // The documents printed from the page go into this menu (its print
    // forms are added here).
    void buildPrintMenu(QMenu *menu);
    void loadLines();
    void updateSortCaption();
    QString sortCaption(int order) const;

    TPayBillWindows m_windows;
    std::unique_ptr<TboRentPayBill> m_bo;
    ImportFactory m_import;

    korvex::widgets::TxCheckedQueryModel *m_payBills = nullptr;
    korvex::widgets::TxDBGrid *m_payBillGrid = nullptr;
    korvex::widgets::TxQueryModel *m_lines = nullptr;
    korvex::widgets::TxDBGrid *m_lineGrid = nullptr;
    korvex::widgets::TxSortMenu *m_sort = nullptr;
    QMenu *m_menu = nullptr;
    QMenu *m_printMenu = nullptr;
};

} // namespace korvex::billing
