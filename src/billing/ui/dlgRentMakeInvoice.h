#pragma once

#include "billing/boRentContract.h"

#include <QDialog>

class QLineEdit;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Формирование счетов": the parameters of the invoices a run makes (and of
// "Аттрибуты счетов", with the invoice date fixed). "Курс" shows the
// currency's rate on the invoice date; a rate typed there is recorded for
// the currency on that date with the invoices. The payment form and the
// type are required: an invoice without them cannot be listed.
class TdlgRentMakeInvoice : public QDialog
{
    Q_OBJECT
public:
    TdlgRentMakeInvoice(korvex::shell::TAppContext &context, TInvoiceParams &params, bool invoiceDateEditable,
                        QWidget *parent = nullptr);
    ~TdlgRentMakeInvoice() override;

    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    korvex::widgets::TxLookupBox *paymentBox() const { return m_payment; }
    korvex::widgets::TxLookupBox *typeBox() const { return m_type; }
    QLineEdit *rateEdit() const { return m_rate; }
    korvex::widgets::TxCheckedEdit *invoiceDateEdit() const { return m_invoiceDate; }

private:
    void showRate();
    // Leaving "Курс" or "Информация": a text that is no number is refused.
    bool rateLeft();
    bool accepted();
    bool require(QWidget *field, bool filled, const QString &message);

    korvex::shell::TAppContext &m_context;
    TInvoiceParams &m_params;
    QList<TTypedRate> m_typedRates;

    korvex::widgets::TxLookupBox *m_currency;
    QLineEdit *m_rate;
    korvex::widgets::TxLookupBox *m_payment;
    korvex::widgets::TxLookupBox *m_type;
    korvex::widgets::TxCheckedEdit *m_invoiceDate;
    korvex::widgets::TxCheckedEdit *m_expireDate;
    korvex::widgets::TxCheckedEdit *m_operationDate;
    QLineEdit *m_information;
};

} // namespace korvex::billing
