#pragma once

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::billing {

class TboRentPayBill;
class TboRentPayment;
struct TPayBillEdit;
struct TPayBillFilter;
struct TPayBillImport;
struct TPaymentRecord;

// The windows the pay-bill and payment-form operations open, supplied by the
// window layer (TPayBillWindows), so that the business objects decide and
// write without knowing how a dialog is shown. The defaults answer
// "cancelled".
class TPayBillDialogs
{
public:
    virtual ~TPayBillDialogs();

    // Questions and messages of the operations.
    virtual korvex::widgets::TxPrompt &prompt() = 0;

    // "Погашение задолженности": stores the edit through bo.writePayBill();
    // true when at least one pay bill was stored, savedKey the last one.
    virtual bool payBillDialog(TboRentPayBill &bo, TPayBillEdit &edit, int &savedKey);
    // "Фильтрация платежей": true on "Ок" with the filter as edited.
    virtual bool payBillFilterDialog(TboRentPayBill &bo, TPayBillFilter &filter);
    // "Формирование платежей": true on "Ок" with the parameters as edited.
    virtual bool makePayBillDialog(TboRentPayBill &bo, TPayBillImport &params);
    // "Форма оплаты": stores the record through bo.writePayment().
    virtual bool paymentDialog(TboRentPayment &bo, TPaymentRecord &record, bool isNew, int &savedKey);
};

} // namespace korvex::billing
