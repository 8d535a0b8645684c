#pragma once

#include "billingWindows.h"
#include "billing/boRentContract.h"
#include "widgets/ui/Part.h"

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace korvex::accounting {
class TCustomerSyncLink;
}
namespace korvex::widgets {
class TxSortMenu;
class TxCheckedQueryModel;
class TxDBGrid;
class TxQueryModel;
}

namespace korvex::billing {

// "Договора" (10): the contract list as the filter and sort order choose it,
// with a check column; the positions, their dated values, the supplementary
// documents and the information (debts, the customer's requisites, bank
// accounts, objects in use and rental history) of the current contract.
class TptContract : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { ContractsTab = 0, PositionsTab, ValuesTab, SupplementsTab, InfoTab };

    // sync: the customer synchronisation of the contract dialog (none: the
    // link is not set up).
    TptContract(korvex::shell::TAppContext &context, QWidget *parent,
                korvex::accounting::TCustomerSyncLink *sync = nullptr);
    ~TptContract() override;

    TboRentContract &contract() { return *m_bo; }
    korvex::widgets::TxCheckedQueryModel *contractModel() const { return m_contracts; }
    korvex::widgets::TxDBGrid *contractGrid() const { return m_contractGrid; }
    korvex::widgets::TxDBGrid *positionGrid() const { return m_positionGrid; }
    korvex::widgets::TxDBGrid *supplementGrid() const { return m_supplementGrid; }
    TContractServiceValueModel *valueModel() const { return m_values; }
    korvex::widgets::TxDBGrid *valueGrid() const { return m_valueGrid; }
    QLabel *totalLabel() const { return m_total; }
    QLabel *debtLabel(int which) const { return m_debts[which]; }  // contract NCU, currency; customer NCU, currency
    QTabWidget *infoTabs() const { return m_infoTabs; }
    QTableWidget *requisites() const { return m_requisites; }
    korvex::widgets::TxDBGrid *bankGrid() const { return m_bankGrid; }
    korvex::widgets::TxDBGrid *objectGrid() const { return m_objectGrid; }
    korvex::widgets::TxDBGrid *historyGrid() const { return m_historyGrid; }
    QToolButton *sortButton() const;
    QMenu *contractMenu() const { return m_menu; }
    std::optional<int> currentContract() const;

    // Reads the list again and shows the contract given (else the current one).
    void loadContracts(std::optional<int> locate = std::nullopt);
    // The menu's operations.
    void renewCurrent();
    void closeCurrent();
    void markOpenContracts();
    void viewContractFile();
    void showOpenContracts();
    void showCustomers();
    void setSortOrder(int order);
    void editFilter();
    // "Сумма": the values of the position added up, four decimals.
    void showValueSum();

protected:
    void actionAdd() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    QWidget *buildContractsTab();
    QWidget *buildPositionsTab();
    QWidget *buildValuesTab();
    QWidget *buildSupplementsTab();
    QWidget *buildInfoTab();
    void buildMenus();
    korvex::widgets::TxDBGrid *newListGrid(const QString &name, korvex::widgets::TxQueryModel *&model);
    // The tab shown follows the current contract (and position).
    void loadDetails();
    void loadPositions();
    void loadValues();
    void loadInfo();
    void updateSortCaption();
    QString sortCaption(int order) const;

    TBillingWindows m_windows;
    TboRentContract *m_bo = nullptr;

    korvex::widgets::TxCheckedQueryModel *m_contracts = nullptr;
    korvex::widgets::TxDBGrid *m_contractGrid = nullptr;
    korvex::widgets::TxSortMenu *m_sort = nullptr;
    QMenu *m_menu = nullptr;

    korvex::widgets::TxQueryModel *m_positions = nullptr;
    korvex::widgets::TxDBGrid *m_positionGrid = nullptr;
    TContractServiceValueModel *m_values = nullptr;
    korvex::widgets::TxDBGrid *m_valueGrid = nullptr;
    QLabel *m_valueOwner = nullptr;
    QLabel *m_total = nullptr;
    korvex::widgets::TxQueryModel *m_supplements = nullptr;
    korvex::widgets::TxDBGrid *m_supplementGrid = nullptr;

    QLabel *m_debts[4] = {};
    QTabWidget *m_infoTabs = nullptr;
    QTableWidget *m_requisites = nullptr;
    korvex::widgets::TxQueryModel *m_banks = nullptr;
    korvex::widgets::TxDBGrid *m_bankGrid = nullptr;
    korvex::widgets::TxQueryModel *m_objects = nullptr;
    korvex::widgets::TxDBGrid *m_objectGrid = nullptr;
    korvex::widgets::TxQueryModel *m_history = nullptr;
    korvex::widgets::TxDBGrid *m_historyGrid = nullptr;

    // The contract whose positions are listed (0: none yet).
    int m_positionsOf = 0;
};

} // namespace korvex::billing
