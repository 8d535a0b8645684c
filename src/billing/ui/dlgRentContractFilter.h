#pragma once

#include "billing/boRentContract.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Фильтрация договоров": the contract filter of the contracts page. Each
// "all" or unlimited-period box disables the fields it covers. "Ок" writes
// the filter as edited into the one given.
class TdlgRentContractFilter : public QDialog
{
    Q_OBJECT
public:
    TdlgRentContractFilter(TboRentContract &bo, TContractFilter &filter, QWidget *parent = nullptr);
    ~TdlgRentContractFilter() override;

    // The filter as the fields show it.
    TContractFilter edited() const;

private:
    void updateEnabled();

    TContractFilter &m_filter;
    korvex::widgets::TxCheckedEdit *m_signFrom;
    korvex::widgets::TxCheckedEdit *m_signTo;
    QCheckBox *m_signUnlimited;
    korvex::widgets::TxCheckedEdit *m_expireFrom;
    korvex::widgets::TxCheckedEdit *m_expireTo;
    QCheckBox *m_expireUnlimited;
    korvex::widgets::TxLookupBox *m_customer;
    QCheckBox *m_allCustomers;
    korvex::widgets::TxLookupBox *m_payment;
    QCheckBox *m_allPayments;
    QRadioButton *m_activity[3];
};

} // namespace korvex::billing
