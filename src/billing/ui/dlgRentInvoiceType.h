#pragma once

#include "billing/boRentInvoice.h"
#include "widgets/ui/xEditDialog.h"

class QLineEdit;

namespace korvex::billing {

// "Тип задолженности": one invoice type; "&Следующий" stores it and starts
// another.
class TdlgRentInvoiceType : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentInvoiceType(TboRentInvoiceType &bo, const TInvoiceTypeRecord &record, bool isNew, QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }

protected:
    int writeRecord() override;
    void startNextRecord() override;

private:
    TboRentInvoiceType &m_bo;
    TInvoiceTypeRecord m_record;
    QLineEdit *m_name;
};

} // namespace korvex::billing
