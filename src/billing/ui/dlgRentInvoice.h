#pragma once

#include "billing/boInvoiceService.h"
#include "billing/boRentInvoice.h"
#include "widgets/ui/xEditDialog.h"

class QAction;
class QLineEdit;
class QMenu;

namespace korvex::widgets {
class TxCheckedEdit;
class TxDBGrid;
class TxLookupBox;
}

namespace korvex::billing {

// "Формирование задолженности": an invoice with its lines, all held in the
// dialog until "Ок" (or "&Следующий") hands them to the business object,
// which withdraws the debt the invoice booked, writes it and books it again
// in one transaction. Cancelling leaves the database, the debt included, as
// it was. Lines come only from the positions of the customer's contracts;
// their amounts are typed or set by the line actions, every change going
// through the dialog's conversion guard at the rate of "Курс".
class TdlgRentInvoice : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    // The line actions: each for the current line and for all lines.
    enum class LineAction {
        NcuFromRate,   // "Пересчет рублевой цены по курсу"
        CurrFromRate,  // "Пересчет валютной цены по курсу"
        Reckon,        // "Пересчет цен по формулам"
        PriceList,     // "Цены из прайса"
    };

    TdlgRentInvoice(TboRentInvoice &bo, const TInvoiceEdit &edit, QWidget *parent = nullptr);
    ~TdlgRentInvoice() override;

    // The edit as the fields show it now.
    TInvoiceEdit currentEdit() const;
    TInvoiceLineModel *lines() const { return m_lines; }
    korvex::widgets::TxDBGrid *lineGrid() const { return m_lineGrid; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxLookupBox *contractBox() const { return m_contract; }
    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    QLineEdit *rateEdit() const { return m_rate; }
    QAction *lineAction(LineAction action, bool allLines) const;

    // "Добавить": positions of the customer chosen, each a line priced by
    // the engine (a line stays when its price fails; the user is told).
    void addLines();
    // "Выбрать все позиции договора": each position of the contract that
    // prices to an amount other than 0.
    void addContractPositions();
    // "Удалить", "Удалить все" (after the question).
    void deleteLine();
    void deleteAllLines();
    void runLineAction(LineAction action, bool allLines);
    // "Рассчет по формуле" on the current line.
    void reckonInDialog();

protected:
    bool validate() override;
    int writeRecord() override;
    void startNextRecord() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildLines();
    void display(const TInvoiceEdit &edit);
    // "Курс": the rate of the invoice's currency on the invoice date.
    void showRate();
    bool rateLeft();
    void customerChanged();
    int currentLine() const;
    double rate() const;
    // The lines asked for priced by the engine; the prices it could not
    // find are named to the user.
    void takeReckoned(const QList<int> &rows, const QList<TReckonResult> &results);
    void watchFocus(QWidget *field);

    TboRentInvoice &m_bo;
    TInvoiceEdit m_edit;
    bool m_viaNext = false;

    QLineEdit *m_number;
    korvex::widgets::TxLookupBox *m_customer;
    korvex::widgets::TxCheckedEdit *m_invoiceDate;
    korvex::widgets::TxCheckedEdit *m_expireDate;
    korvex::widgets::TxLookupBox *m_contract;
    korvex::widgets::TxLookupBox *m_currency;
    QLineEdit *m_rate;
    korvex::widgets::TxLookupBox *m_payment;
    korvex::widgets::TxLookupBox *m_type;
    korvex::widgets::TxCheckedEdit *m_operationDate;
    QLineEdit *m_information;

    TInvoiceLineModel *m_lines;
    korvex::widgets::TxDBGrid *m_lineGrid;
    QMenu *m_lineMenu;
    QHash<int, QAction *> m_lineActions;
    QAction *m_inDialog = nullptr;
};

} // namespace korvex::billing
