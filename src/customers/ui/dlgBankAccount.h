#pragma once

#include "customers/boCustomer.h"
#include "shell/AppContext.h"
#include "widgets/ui/xEditDialog.h"

class QLineEdit;

namespace korvex::widgets {
class TxLookupBox;
}

namespace korvex::customers {

// "Банковский счет": one account of the customer card. The card keeps the
// answer (account()) and writes it with the customer.
class TdlgBankAccount : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    // existing null: a new account, its key taken at once from
    // CST_P_BANKACCOUNT_ACCOUNTKEY. An account whose bank is gone fails with
    // "Такого банка в данный момент не существует!" (EBusinessError).
    TdlgBankAccount(korvex::shell::TAppContext &context, const TBankAccount *existing, QWidget *parent = nullptr);

    TBankAccount account() const { return m_account; }
    korvex::widgets::TxLookupBox *bankBox() const { return m_bank; }

protected:
    bool validate() override;
    int writeRecord() override;

private:
    // A bank typed that the list lacks is made in a new customer card.
    void newBank(const QString &name);

    korvex::shell::TAppContext &m_context;
    TBankAccount m_account;
    korvex::widgets::TxLookupBox *m_bank;
    QLineEdit *m_name;
    QLineEdit *m_number;
};

} // namespace korvex::customers
