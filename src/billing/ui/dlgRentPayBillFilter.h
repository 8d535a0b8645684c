#pragma once

#include "billing/boRentPayBill.h"

#include <QDialog>

class QCheckBox;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Фильтрация платежей": the pay-bill filter of the pay-bill page. Each
// "all" or unlimited-period box disables what it covers; "Ок" writes the
// filter as edited into the one given.
class TdlgRentPayBillFilter : public QDialog
{
    Q_OBJECT
public:
    TdlgRentPayBillFilter(TboRentPayBill &bo, TPayBillFilter &filter, QWidget *parent = nullptr);
    ~TdlgRentPayBillFilter() override;

    TPayBillFilter edited() const;

private:
    void updateEnabled();

    TPayBillFilter &m_filter;
    korvex::widgets::TxCheckedEdit *m_payFrom;
    korvex::widgets::TxCheckedEdit *m_payTo;
    QCheckBox *m_payUnlimited;
    korvex::widgets::TxCheckedEdit *m_opFrom;
    korvex::widgets::TxCheckedEdit *m_opTo;
    QCheckBox *m_opUnlimited;
    korvex::widgets::TxLookupBox *m_customer;
    QCheckBox *m_allCustomers;
    korvex::widgets::TxLookupBox *m_payment;
    QCheckBox *m_allPayments;
};

} // namespace korvex::billing
