#pragma once

#include "billing/boPayBillLine.h"
#include "billing/boRentPayBill.h"
#include "widgets/ui/xEditDialog.h"

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace korvex::widgets {
class TxCheckedEdit;
class TxDBGrid;
class TxLookupBox;
}

namespace korvex::billing {

class TboRentContract;
class TboRentDebtFilter;

// "Погашение задолженности": a pay bill and its lines, held in the dialog
// until "Ок" (or "&Следующий") hands them to the business object, which
// writes them with their settlement in one transaction; cancelling leaves
// the database as it was. Lines are only made by the adding actions; their
// amounts are typed or set by the line actions, converted at the rate of
// "Курс" (TPayBillLineModel).
class TdlgRentPayBill : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    enum class LineAction {
        FromContract,   // "Выбор услуг из договора"
        FromDebts,      // "Выбор услуг из задолженностей"
        Allocate,       // "Автоматический выбор услуг по рублевой сумме"
        Delete,         // "Удалить"
        DeleteAll,      // "Удалить все"
        NcuFromRate,    // "Пересчет рублевой цены по курсу для всех позиций"
        CurrFromRate,   // "Пересчет валютной цены по курсу для всех позиций"
        Formula,        // "Рассчет по формуле"
    };

    TdlgRentPayBill(TboRentPayBill &bo, const TPayBillEdit &edit, QWidget *parent = nullptr);
    ~TdlgRentPayBill() override;

    // The edit as the fields show it now.
    TPayBillEdit currentEdit() const;
    TPayBillLineModel *lines() const { return m_lines; }
    korvex::widgets::TxDBGrid *lineGrid() const { return m_grid; }
    QLineEdit *numberEdit() const { return m_number; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxCheckedEdit *dateField() const { return m_date; }
    korvex::widgets::TxCheckedEdit *sumField() const { return m_sum; }
    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    QLineEdit *rateEdit() const { return m_rate; }
    korvex::widgets::TxLookupBox *paymentBox() const { return m_payment; }
    korvex::widgets::TxCheckedEdit *operationDateField() const { return m_operationDate; }
    QLabel *ncuTotal() const { return m_ncuTotal; }
    QLabel *currTotal() const { return m_currTotal; }
    QPushButton *totalsButton() const { return m_totals; }
    QAction *lineAction(LineAction action) const;

    void runLineAction(LineAction action);
    // "Сумма позиций": the totals of the lines.
    void showTotals();

protected:
    bool validate() override;
    int writeRecord() override;
    void startNextRecord() override;

private:
    void display(const TPayBillEdit &edit);
    // "Курс": the rate of the currency on the pay-bill date.
    void showRate();
    void rateLeft();
    int currentLine() const;
    std::optional<int> requireCustomer();
    void addFromContract();
    void addFromDebts();
    void allocate();
    void reckonLine();
    QWidget *fieldOf(TPayBillField field) const;

    TboRentPayBill &m_bo;
    TPayBillEdit m_edit;
    std::unique_ptr<TboRentContract> m_contracts;
    std::unique_ptr<TboRentDebtFilter> m_debts;

    QLineEdit *m_number;
    korvex::widgets::TxLookupBox *m_customer;
    korvex::widgets::TxCheckedEdit *m_date;
    korvex::widgets::TxCheckedEdit *m_sum;
    korvex::widgets::TxLookupBox *m_currency;
    QLineEdit *m_rate;
    korvex::widgets::TxLookupBox *m_payment;
    korvex::widgets::TxCheckedEdit *m_operationDate;
    QPushButton *m_totals;
    QLabel *m_ncuTotal;
    QLabel *m_currTotal;
    TPayBillLineModel *m_lines;
    korvex::widgets::TxDBGrid *m_grid;
    QMenu *m_menu;
    QHash<int, QAction *> m_actions;
};

} // namespace korvex::billing
