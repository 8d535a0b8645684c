#pragma once

#include "pricing/FineValues.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;

namespace korvex::shell {
struct TAppContext;
}
namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::calc {

// "Расчет пени": the parameters of the penalty written into the marked value
// rows. Every field but the payment form comes back as the user left it;
// they are stored when the dialog closes, whichever way.
class TdlgFine : public QDialog
{
    Q_OBJECT
public:
    TdlgFine(korvex::shell::TAppContext &context, QWidget *parent = nullptr);

    TFineParameters parameters() const;

    korvex::widgets::TxCheckedEdit *coefficientEdit() const { return m_coefficient; }
    korvex::widgets::TxCheckedEdit *roundEdit() const { return m_round; }
    korvex::widgets::TxLookupBox *serviceBox() const { return m_service; }
    korvex::widgets::TxLookupBox *penaltyBox() const { return m_penalty; }
    korvex::widgets::TxLookupBox *paymentBox() const { return m_payment; }
    QCheckBox *allPaymentsBox() const { return m_allPayments; }
    QDateEdit *startEdit() const { return m_start; }
    QDateEdit *endEdit() const { return m_end; }

    void done(int result) override;

private:
    bool confirm();

    korvex::shell::TAppContext &m_context;
    korvex::widgets::TxCheckedEdit *m_coefficient;
    korvex::widgets::TxLookupBox *m_service;
    korvex::widgets::TxLookupBox *m_penalty;
    QDateEdit *m_start;
    QDateEdit *m_end;
    korvex::widgets::TxCheckedEdit *m_round;
    korvex::widgets::TxLookupBox *m_payment;
    QCheckBox *m_allPayments;
};

} // namespace korvex::calc
