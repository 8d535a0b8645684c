#pragma once

#include "billing/boRentViotation.h"

#include <QDialog>

class QCheckBox;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Фильтрация нарушений": a customer or all, a period or none, a contract of
// the customer shown or all. Each "all" box disables what it covers.
class TdlgRentViotationFilter : public QDialog
{
    Q_OBJECT
public:
    TdlgRentViotationFilter(TboRentViotation &bo, TViotationFilter &filter, QWidget *parent = nullptr);

    QCheckBox *allCustomersBox() const { return m_allCustomers; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    QCheckBox *unlimitedBox() const { return m_unlimited; }
    korvex::widgets::TxCheckedEdit *startEdit() const { return m_start; }
    korvex::widgets::TxCheckedEdit *endEdit() const { return m_end; }
    QCheckBox *allContractsBox() const { return m_allContracts; }
    korvex::widgets::TxLookupBox *contractBox() const { return m_contract; }

private:
    TViotationFilter edited() const;
    void updateEnabled();
    void loadContracts();

    TboRentViotation &m_bo;
    TViotationFilter &m_filter;
    QCheckBox *m_allCustomers;
    korvex::widgets::TxLookupBox *m_customer;
    QCheckBox *m_unlimited;
    korvex::widgets::TxCheckedEdit *m_start;
    korvex::widgets::TxCheckedEdit *m_end;
    QCheckBox *m_allContracts;
    korvex::widgets::TxLookupBox *m_contract;
};

} // namespace korvex::billing
