#pragma once

#include "shell/AppContext.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

namespace korvex::billing {

class TPayBillDialogs;

// One row of rent_payment: a form of payment.
struct TPaymentRecord {
    int id = 0;  // 0 while new
    QString name;
    QString shortName;
};

// The forms of payment ("Форма оплаты"): both names are required.
class TboRentPayment
{
    Q_DECLARE_TR_FUNCTIONS(TboRentPayment)
public:
    explicit TboRentPayment(korvex::shell::TAppContext &context, TPayBillDialogs *dialogs = nullptr);

    bool NewPayment(int *newKey = nullptr);
    bool EditPayment(int key);
    // Asks; a form still in use is reported and kept.
    bool DeletePayment(int key);

    std::optional<TPaymentRecord> readPayment(int key) const;
    // The first missing name's message ("Введите наименование", then
    // "Введите краткое наименование"); empty when the record may be saved.
    static QString checkPayment(const TPaymentRecord &record);
    // Checks (EBusinessError) and writes; returns the key.
    int writePayment(TPaymentRecord &record);
    // The list of the reference, by name.
    static QString listSql();

    korvex::shell::TAppContext &context() const { return m_context; }

private:
    korvex::shell::TAppContext &m_context;
    TPayBillDialogs *m_dialogs;
};

} // namespace korvex::billing
