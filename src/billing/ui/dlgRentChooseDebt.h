#pragma once

#include "billing/boRentDebtFilter.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace korvex::widgets {
class TxCheckedQueryModel;
class TxDBGrid;
class TxLookupBox;
}

namespace korvex::billing {

// "Выбор услуг по задолженностям": the debts of a customer on a date for
// services up to a priority, of one contract or of all; the user ticks the
// positions to pay. After "Ок" choice() holds the ticked contract services.
class TdlgRentChooseDebt : public QDialog
{
    Q_OBJECT
public:
    TdlgRentChooseDebt(TboRentDebtFilter &bo, const TDebtChoice &choice, QWidget *parent = nullptr);
    ~TdlgRentChooseDebt() override;

    const TDebtChoice &choice() const { return m_choice; }

    // Reads the list again for the customer, contract, date and priority
    // shown, keeping the ticks.
    void refresh();
    // "Выделить все", "Снять выделение", "Расчет".
    void tickAll();
    void clearTicks();
    void showTotal();

    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxLookupBox *contractBox() const { return m_contract; }
    QCheckBox *allContracts() const { return m_allContracts; }
    QLineEdit *priorityEdit() const { return m_priority; }
    QDateEdit *dateEdit() const { return m_date; }
    korvex::widgets::TxDBGrid *grid() const { return m_grid; }
    korvex::widgets::TxCheckedQueryModel *model() const { return m_model; }
    QLabel *totalLabel() const { return m_total; }

private:
    void loadContracts();
    void fetchAll();

    TboRentDebtFilter &m_bo;
    TDebtChoice m_choice;
    korvex::widgets::TxLookupBox *m_customer;
    korvex::widgets::TxLookupBox *m_contract;
    QCheckBox *m_allContracts;
    QLineEdit *m_priority;
    QDateEdit *m_date;
    korvex::widgets::TxCheckedQueryModel *m_model;
    korvex::widgets::TxDBGrid *m_grid;
    QLabel *m_total;
    bool m_building = true;
};

} // namespace korvex::billing
