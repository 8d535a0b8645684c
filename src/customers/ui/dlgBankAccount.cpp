#include "dlgBankAccount.h"

#include "customerLookups.h"
#include "dlgCustomer.h"
#include "uiCommon.h"
#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/xQueryModel.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace korvex::customers {

using namespace korvex::widgets;

TdlgBankAccount::TdlgBankAccount(korvex::shell::TAppContext &context, const TBankAccount *existing, QWidget *parent)
    : TxEditDialog(context.db, parent)
    , m_context(context)
{
    setWindowTitle(tr("Банковский счет"));
    setObjectName(QStringLiteral("dlgBankAccount"));
    okButton()->setText(tr("&Готово"));
    cancelButton()->setText(tr("&Отмена"));
    addHeading(contentLayout(), tr(" Ввод банковского счета"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_bank = newBankBox(context.db, QStringLiteral("bank"), this);
    form->addRow(tr("Банк:"), m_bank);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    form->addRow(tr("Наименование:"), m_name);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("account"));
    form->addRow(tr("Номер счета:"), m_number);

    if (existing) {
        m_account = *existing;
        bool found = false;
        for (const TxLookupRow &row : m_bank->source()->rows())
            found = found || sameKey(row.key, m_account.bankKey);
        if (!found)
            throw korvex::db::EBusinessError(tr("Такого банка в данный момент не существует!"));
        m_bank->setKey(m_account.bankKey);
        m_name->setText(m_account.name);
        m_number->setText(m_account.account);
    } else {
        m_account.key = context.db.newKey(QStringLiteral("CST_P_BANKACCOUNT_ACCOUNTKEY"), QStringLiteral("bankaccountkey"));
        m_account.disabled = 0;
    }
    connect(m_bank, &TxLookupBox::textNotFound, this, [this](const QString &text) { newBank(text); });
}

void TdlgBankAccount::newBank(const QString &name)
{
    guarded(this, [&] {
        TdlgCustomer card(m_context, name, -1, 2, this);
        card.exec();
        if (card.savedKey() > 0) {
            m_bank->reload();
            m_bank->setKey(card.savedKey());
        }
    });
}

bool TdlgBankAccount::validate()
{
    m_bank->resolveText();
    if (m_account.key.isNull()) {
        fail(m_number, tr("Не задан идентификатор счета"));
        return false;
    }
    if (m_bank->key().isNull()) {
        fail(m_bank, tr("Не задан банк"));
        return false;
    }
    return true;
}

int TdlgBankAccount::writeRecord()
{
    // The card writes the account with the customer; here it is only taken.
    m_account.bankKey = m_bank->key();
    m_account.bankName = m_bank->text();
    m_account.name = m_name->text().trimmed();
    m_account.account = m_number->text().trimmed();
    return m_account.key.toInt();
}

} // namespace korvex::customers
