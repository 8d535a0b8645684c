#pragma once

#include "billing/boRentPayBill.h"

#include <QDialog>

class QCheckBox;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Формирование платежей": the parameters of pay bills made from payment
// operations, and of "Аттрибуты платежей". Ticking "Дата операции та же,
// что и дата платежа" disables the operation date; "Ок" writes the
// parameters into those given.
class TdlgRentMakePayBill : public QDialog
{
    Q_OBJECT
public:
    TdlgRentMakePayBill(TboRentPayBill &bo, TPayBillImport &params, QWidget *parent = nullptr);
    ~TdlgRentMakePayBill() override;

    TPayBillImport edited() const;
    QCheckBox *sameDateBox() const { return m_sameDate; }
    korvex::widgets::TxCheckedEdit *operationDateField() const { return m_date; }

private:
    TPayBillImport &m_params;
    QCheckBox *m_sameDate;
    korvex::widgets::TxCheckedEdit *m_date;
    korvex::widgets::TxLookupBox *m_currency;
    QCheckBox *m_fromContract;
    korvex::widgets::TxLookupBox *m_payment;
};

} // namespace korvex::billing
