#pragma once

#include "billing/boRentContract.h"
#include "widgets/ui/xEditDialog.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;

namespace korvex::widgets {
class TxCheckedEdit;
class TxDBGrid;
class TxLookupBox;
}

namespace korvex::billing {

class TSupplementModel;

// "Договор аренды": a contract with its positions and supplementary
// documents, all held in the dialog until "Ок" (or "&Следующий") hands them
// to the business object, which writes them in one transaction. Cancelling
// leaves the database as it was. The positions' prices are typed or set by
// the price actions, every change going through the dialog's conversion
// guard at the rate of "Курс".
class TdlgRentContract : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    // The price actions of the positions: each for the current row and for
    // all rows.
    enum class PriceAction {
        NcuFromRate,    // "Пересчет рублевой цены по курсу"
        CurrFromRate,   // "Пересчет валютной цены по курсу"
        PriceList,      // "Цена на услугу из прайса"
        PriceListType,  // "Формула для расчета из прайса"
        Reckon,         // "Рассчет цены на услугу по формуле"
    };

    TdlgRentContract(TboRentContract &bo, const TContractEdit &edit, QWidget *parent = nullptr);
    ~TdlgRentContract() override;

    // The edit as the fields show it now.
    TContractEdit currentEdit() const;
    TContractServiceModel *positions() const { return m_positions; }
    korvex::widgets::TxDBGrid *positionGrid() const { return m_positionGrid; }
    korvex::widgets::TxDBGrid *supplementGrid() const { return m_supplementGrid; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    QLineEdit *rateEdit() const { return m_rate; }
    QCheckBox *closedBox() const { return m_closed; }
    QTabWidget *tabs() const { return m_tabs; }
    // The position actions as the grid's menu offers them.
    QAction *priceAction(PriceAction action, bool allRows) const;
    // "Рассчет по формуле" of the current row.
    QAction *priceMenuAction() const { return m_inDialog; }

    // "&Добавить" of the positions: the adding dialog, then the price list.
    void addPositions();
    // "&Удалить": a position the server allows to go, after the question.
    void deletePosition();
    void runPriceAction(PriceAction action, bool allRows);
    // "Рассчет по формуле" and "Формула расчета цены" on the current row.
    void reckonInDialog();
    void chooseFormula();
    // The supplements' buttons.
    void addSupplement();
    void editSupplement();
    void deleteSupplement();
    void viewSupplement();
    // "&Просмотр": the contract's file.
    void viewContractFile();

protected:
    bool validate() override;
    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    QWidget *buildPositionsTab();
    QWidget *buildSupplementsTab();
    void display(const TContractEdit &edit);
    // "Курс": the rate of the contract currency on the sign date.
    void showRate();
    void rateLeft();
    int currentPosition() const;
    void openSupplement(int row);

    TboRentContract &m_bo;
    TContractEdit m_edit;
    bool m_viaNext = false;

    QLineEdit *m_number;
    korvex::widgets::TxCheckedEdit *m_signDate;
    korvex::widgets::TxCheckedEdit *m_expireDate;
    QLineEdit *m_name;
    korvex::widgets::TxLookupBox *m_customer;
    QLineEdit *m_file;
    korvex::widgets::TxLookupBox *m_currency;
    QLineEdit *m_rate;
    korvex::widgets::TxCheckedEdit *m_paymentDay;
    korvex::widgets::TxCheckedEdit *m_actionDate;
    korvex::widgets::TxLookupBox *m_payment;
    QCheckBox *m_closed;
    QPushButton *m_view;
    QTabWidget *m_tabs;

    TContractServiceModel *m_positions;
    korvex::widgets::TxDBGrid *m_positionGrid;
    QMenu *m_priceMenu;
    QHash<int, QAction *> m_priceActions;
    QAction *m_inDialog = nullptr;
    TSupplementModel *m_supplements;
    korvex::widgets::TxDBGrid *m_supplementGrid;
};

} // namespace korvex::billing
