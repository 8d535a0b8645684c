#include "dlgRentPayBillFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xFilterRows.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

TdlgRentPayBillFilter::TdlgRentPayBillFilter(TboRentPayBill &bo, TPayBillFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentPayBillFilter"));
    setWindowTitle(tr("Фильтрация платежей"));
    auto *layout = new QVBoxLayout(this);
    korvex::db::TxDatabase &db = bo.context().db;

    using korvex::widgets::addChoiceRow;
    using korvex::widgets::addPeriodRow;
    const korvex::widgets::TxPeriodRow pay = addPeriodRow(this, layout, tr("Дата платежа"), QStringLiteral("paybill"),
                                                          filter.startPayBillDate, filter.endPayBillDate,
                                                          filter.payBillDateUnlimited);
    m_payFrom = pay.from;
    m_payTo = pay.to;
    m_payUnlimited = pay.unlimited;
    const korvex::widgets::TxPeriodRow op = addPeriodRow(this, layout, tr("Дата операции"), QStringLiteral("operation"),
                                                         filter.startOperationDate, filter.endOperationDate,
                                                         filter.operationDateUnlimited);
    m_opFrom = op.from;
    m_opTo = op.to;
    m_opUnlimited = op.unlimited;
    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    m_allCustomers = addChoiceRow(this, layout, tr("Клиент"), m_customer, tr("Все клиенты"),
                                  QStringLiteral("allCustomers"), filter.allCustomers, filter.customerKey);
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    m_allPayments = addChoiceRow(this, layout, tr("Форма оплаты"), m_payment, tr("Все формы оплаты"),
                                 QStringLiteral("allPayments"), filter.allPayments, filter.paymentKey);
    for (QCheckBox *box : {m_payUnlimited, m_opUnlimited, m_allCustomers, m_allPayments})
        connect(box, &QCheckBox::toggled, this, &TdlgRentPayBillFilter::updateEnabled);

    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          m_filter = edited();
                          return true;
                      }).layout);
    updateEnabled();
}

TdlgRentPayBillFilter::~TdlgRentPayBillFilter() = default;

void TdlgRentPayBillFilter::updateEnabled()
{
    m_payFrom->setEnabled(!m_payUnlimited->isChecked());
    m_payTo->setEnabled(!m_payUnlimited->isChecked());
    m_opFrom->setEnabled(!m_opUnlimited->isChecked());
    m_opTo->setEnabled(!m_opUnlimited->isChecked());
    m_customer->setEnabled(!m_allCustomers->isChecked());
    m_payment->setEnabled(!m_allPayments->isChecked());
}

TPayBillFilter TdlgRentPayBillFilter::edited() const
{
    TPayBillFilter f = m_filter;
    f.startPayBillDate = m_payFrom->dateValue().value_or(QDate::currentDate());
    f.endPayBillDate = m_payTo->dateValue().value_or(QDate::currentDate());
    f.payBillDateUnlimited = m_payUnlimited->isChecked();
    f.startOperationDate = m_opFrom->dateValue().value_or(QDate::currentDate());
    f.endOperationDate = m_opTo->dateValue().value_or(QDate::currentDate());
    f.operationDateUnlimited = m_opUnlimited->isChecked();
    f.allCustomers = m_allCustomers->isChecked();
    f.customerKey = m_customer->intKey().value_or(0);
    f.allPayments = m_allPayments->isChecked();
    f.paymentKey = m_payment->intKey().value_or(0);
    return f;
}

} // namespace korvex::billing
