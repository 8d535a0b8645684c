#pragma once

#include "billing/boRentViotation.h"
#include "widgets/ui/xEditDialog.h"

#include <optional>

class QLineEdit;
class QToolButton;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::billing {

// "Нарушение": a violation with its customer, contract, currency and
// amounts. The rate shown is the currency's today; the buttons beside the
// amounts convert one into the other at that rate. A rate typed in "Курс"
// is recorded as today's rate of the currency when the violation is saved.
class TdlgRentViotation : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentViotation(TboRentViotation &bo, const TViotationRecord &record, QWidget *parent = nullptr);

    QLineEdit *numberEdit() const { return m_number; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxCheckedEdit *dateEdit() const { return m_date; }
    korvex::widgets::TxLookupBox *contractBox() const { return m_contract; }
    korvex::widgets::TxLookupBox *currencyBox() const { return m_currency; }
    QLineEdit *rateEdit() const { return m_rate; }
    korvex::widgets::TxCheckedEdit *ncuEdit() const { return m_ncu; }
    korvex::widgets::TxCheckedEdit *currEdit() const { return m_curr; }
    QToolButton *ncuButton() const { return m_ncuButton; }
    QToolButton *currButton() const { return m_currButton; }
    QLineEdit *infoEdit() const { return m_info; }

    // The rate as typed; 0 when the field holds no number.
    double rate() const;

protected:
    int writeRecord() override;
    void startNextRecord() override;

private:
    void showRecord(const TViotationRecord &r);
    void customerChanged();
    void showRate();
    void rateLeft();

    TboRentViotation &m_bo;
    TViotationRecord m_record;
    // A rate typed for the currency, recorded with the save.
    std::optional<std::pair<int, double>> m_typedRate;
    QLineEdit *m_number;
    korvex::widgets::TxLookupBox *m_customer;
    korvex::widgets::TxCheckedEdit *m_date;
    korvex::widgets::TxLookupBox *m_contract;
    korvex::widgets::TxLookupBox *m_currency;
    QLineEdit *m_rate;
    korvex::widgets::TxCheckedEdit *m_ncu;
    QToolButton *m_ncuButton;
    korvex::widgets::TxCheckedEdit *m_curr;
    QToolButton *m_currButton;
    QLineEdit *m_info;
};

} // namespace korvex::billing
