#pragma once

#include "debtWindows.h"
#include "billing/boRentDebtFilter.h"
#include "widgets/ui/Part.h"

#include <QList>

class QAction;
class QLabel;
class QMenu;
class QToolButton;

namespace korvex::widgets {
class TxSortMenu;
class TxDBGrid;
class TxQueryModel;
}

namespace korvex::billing {

// "Задолженности" (190): the debts on the filter's date with their sums, and
// the history of the current row's position, customer and service.
class TptDebt : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { DebtsTab = 0, PositionHistoryTab = 1, CustomerHistoryTab = 2, ServiceHistoryTab = 3 };

    TptDebt(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptDebt() override;

    TboRentDebtFilter &debts() { return *m_bo; }
    korvex::widgets::TxDBGrid *debtGrid() const { return m_debtGrid; }
    TDebtListModel *debtModel() const { return m_debts; }
    korvex::widgets::TxDBGrid *historyGrid(Tab tab) const;
    korvex::widgets::TxQueryModel *historyModel(Tab tab) const;
    QLabel *historyHead(Tab tab) const { return tab > DebtsTab ? m_historyHeads[tab - 1] : nullptr; }
    QLabel *ncuTotal() const { return m_ncuTotal; }
    QLabel *currTotal() const { return m_currTotal; }
    QLabel *countTotal() const { return m_countTotal; }
    QToolButton *sortButton() const;
    QMenu *sortMenu() const;

    // Reads the list again with the filter as it stands, keeping the row.
    void loadDebts();
    void setSortOrder(int order);
    void editFilter();
    // "Возрастная структура задолженности" on the filter's debt date, shown
    // in the report preview (printed and saved from there).
    void showAgedDebts();
    static QString sortCaption(int order);

protected:
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    QWidget *buildDebtsTab();
    QWidget *newHistoryTab(const QString &name, int index);
    korvex::widgets::TxDBGrid *newHistoryGrid(const QString &name, korvex::widgets::TxQueryModel *model);
    void buildMenus();
    void updateSortCaption();
    void loadHistory();

    TDebtWindows m_windows;
    TboRentDebtFilter *m_bo;
    TDebtListModel *m_debts;
    korvex::widgets::TxDBGrid *m_debtGrid;
    QLabel *m_ncuTotal;
    QLabel *m_currTotal;
    QLabel *m_countTotal;
    korvex::widgets::TxSortMenu *m_sort = nullptr;
    korvex::widgets::TxQueryModel *m_histories[3] = {};
    korvex::widgets::TxDBGrid *m_historyGrids[3] = {};
    QLabel *m_historyHeads[3] = {};
};

} // namespace korvex::billing
