#include "dlgRentPayBillFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

namespace {

TxCheckedEdit *dateField(const QString &name, const QDate &date, QWidget *parent)
{
    auto *e = new TxCheckedEdit(TxCheckedEdit::Kind::Date, parent);
    e->setObjectName(name);
    e->setEmptyAllowed(false);
    e->setDateValue(date.isValid() ? date : QDate::currentDate());
    return e;
}

} // namespace

TdlgRentPayBillFilter::TdlgRentPayBillFilter(TboRentPayBill &bo, TPayBillFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentPayBillFilter"));
    setWindowTitle(tr("Фильтрация платежей"));
    auto *layout = new QVBoxLayout(this);
    korvex::db::TxDatabase &db = bo.context().db;

    auto period = [this, layout](const QString &title, const QString &name, TxCheckedEdit *&from, TxCheckedEdit *&to,
                                 QCheckBox *&unlimited, const QDate &start, const QDate &end, bool isUnlimited) {
        auto *box = new QGroupBox(title, this);
        auto *row = new QHBoxLayout(box);
        from = dateField(name + QStringLiteral("From"), start, box);
        to = dateField(name + QStringLiteral("To"), end, box);
        unlimited = new QCheckBox(tr("Неограниченный период"), box);
        unlimited->setObjectName(name + QStringLiteral("Unlimited"));
        unlimited->setChecked(isUnlimited);
        row->addWidget(new QLabel(tr("с"), box));
        row->addWidget(from);
        row->addWidget(new QLabel(tr("по"), box));
        row->addWidget(to);
        row->addWidget(unlimited);
        layout->addWidget(box);
        connect(unlimited, &QCheckBox::toggled, this, &TdlgRentPayBillFilter::updateEnabled);
    };
    period(tr("Дата платежа"), QStringLiteral("paybill"), m_payFrom, m_payTo, m_payUnlimited, filter.startPayBillDate,
           filter.endPayBillDate, filter.payBillDateUnlimited);
    period(tr("Дата операции"), QStringLiteral("operation"), m_opFrom, m_opTo, m_opUnlimited,
           filter.startOperationDate, filter.endOperationDate, filter.operationDateUnlimited);

    auto choice = [this, layout](const QString &title, TxLookupBox *box, QCheckBox *&all, const QString &allText,
                                 const QString &allName, bool isAll, int key) {
        auto *group = new QGroupBox(title, this);
        auto *row = new QHBoxLayout(group);
        box->setParent(group);
        if (key > 0)
            box->setKey(key);
        all = new QCheckBox(allText, group);
        all->setObjectName(allName);
        all->setChecked(isAll);
        row->addWidget(box, 1);
        row->addWidget(all);
        layout->addWidget(group);
        connect(all, &QCheckBox::toggled, this, &TdlgRentPayBillFilter::updateEnabled);
    };
    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    choice(tr("Клиент"), m_customer, m_allCustomers, tr("Все клиенты"), QStringLiteral("allCustomers"),
           filter.allCustomers, filter.customerKey);
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    choice(tr("Форма оплаты"), m_payment, m_allPayments, tr("Все формы оплаты"), QStringLiteral("allPayments"),
           filter.allPayments, filter.paymentKey);

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
