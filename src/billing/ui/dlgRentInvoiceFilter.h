#pragma once

#include "billing/boRentInvoice.h"

#include <QDialog>

class QCheckBox;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Фильтрация счетов": the invoice filter of the invoices page. Each "all"
// or unlimited-period box disables the fields it covers. "Ок" writes the
// filter as edited into the one given.
class TdlgRentInvoiceFilter : public QDialog
{
    Q_OBJECT
public:
    TdlgRentInvoiceFilter(TboRentInvoice &bo, TInvoiceFilter &filter, QWidget *parent = nullptr);
    ~TdlgRentInvoiceFilter() override;

    // The filter as the fields show it.
    TInvoiceFilter edited() const;

private:
    struct Period {
        korvex::widgets::TxCheckedEdit *from = nullptr;
        korvex::widgets::TxCheckedEdit *to = nullptr;
        QCheckBox *unlimited = nullptr;
    };
    struct Choice {
        korvex::widgets::TxLookupBox *box = nullptr;
        QCheckBox *all = nullptr;
    };
    void updateEnabled();

    TInvoiceFilter &m_filter;
    Period m_invoiceDate;
    Period m_expireDate;
    Period m_operationDate;
    Choice m_customer;
    Choice m_payment;
    Choice m_type;
};

} // namespace korvex::billing
