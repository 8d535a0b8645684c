#include "dlgRentMakePayBill.h"

#include "billingLookups.h"

#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace korvex::billing {

TdlgRentMakePayBill::TdlgRentMakePayBill(TboRentPayBill &bo, TPayBillImport &params, QWidget *parent)
    : QDialog(parent)
    , m_params(params)
{
    setObjectName(QStringLiteral("dlgRentMakePayBill"));
    setWindowTitle(tr("Формирование платежей"));
    korvex::db::TxDatabase &db = bo.context().db;
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    m_sameDate = new QCheckBox(tr("Дата операции та же, что и дата платежа"), this);
    m_sameDate->setObjectName(QStringLiteral("sameDate"));
    m_sameDate->setChecked(params.sameDate);
    m_date = new korvex::widgets::TxCheckedEdit(korvex::widgets::TxCheckedEdit::Kind::Date, this);
    m_date->setObjectName(QStringLiteral("operationDate"));
    m_date->setEmptyAllowed(false);
    m_date->setDateValue(params.operationDate.isValid() ? params.operationDate : QDate::currentDate());
    m_currency = korvex::reference::newCurrencyBox(db, QStringLiteral("currency"), this);
    if (params.currKey > 0)
        m_currency->setKey(params.currKey);
    m_fromContract = new QCheckBox(tr("Форма оплаты из договора"), this);
    m_fromContract->setObjectName(QStringLiteral("paymentFromContract"));
    m_fromContract->setChecked(params.paymentFromContract);
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    if (params.paymentKey > 0)
        m_payment->setKey(params.paymentKey);

    form->addRow(m_sameDate);
    form->addRow(tr("Дата операции"), m_date);
    form->addRow(tr("Валюта"), m_currency);
    form->addRow(m_fromContract);
    form->addRow(tr("Форма оплаты"), m_payment);
    connect(m_sameDate, &QCheckBox::toggled, this, [this](bool same) { m_date->setEnabled(!same); });
    m_date->setEnabled(!params.sameDate);

    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          m_params = edited();
                          return true;
                      }).layout);
}

TdlgRentMakePayBill::~TdlgRentMakePayBill() = default;

TPayBillImport TdlgRentMakePayBill::edited() const
{
    TPayBillImport p = m_params;
    p.sameDate = m_sameDate->isChecked();
    p.operationDate = m_date->dateValue().value_or(QDate::currentDate());
    p.currKey = m_currency->intKey().value_or(0);
    p.paymentFromContract = m_fromContract->isChecked();
    p.paymentKey = m_payment->intKey().value_or(0);
    return p;
}

} // namespace korvex::billing
