#pragma once

#include "billing/boRentPayment.h"
#include "widgets/ui/xEditDialog.h"

class QLineEdit;

namespace korvex::billing {

// "Форма оплаты": one form of payment; "&Следующий" (for a new one) stores
// it and starts another.
class TdlgRentPayment : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentPayment(TboRentPayment &bo, const TPaymentRecord &record, bool isNew, QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *shortNameEdit() const { return m_shortName; }

protected:
    int writeRecord() override;
    void startNextRecord() override;

private:
    TboRentPayment &m_bo;
    QLineEdit *m_name;
    QLineEdit *m_shortName;
};

} // namespace korvex::billing
