#include "dlgRentContractFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xFilterRows.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

TdlgRentContractFilter::TdlgRentContractFilter(TboRentContract &bo, TContractFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentContractFilter"));
    setWindowTitle(tr("Фильтрация договоров"));
    auto *layout = new QVBoxLayout(this);
    korvex::db::TxDatabase &db = bo.context().db;

    using korvex::widgets::addChoiceRow;
    using korvex::widgets::addPeriodRow;
    const korvex::widgets::TxPeriodRow sign = addPeriodRow(this, layout, tr("Открытие договора"), QStringLiteral("sign"),
                                                           filter.startSignDate, filter.endSignDate,
                                                           filter.signDateUnlimited);
    m_signFrom = sign.from;
    m_signTo = sign.to;
    m_signUnlimited = sign.unlimited;
    const korvex::widgets::TxPeriodRow expire = addPeriodRow(this, layout, tr("Закрытие договора"),
                                                             QStringLiteral("expire"), filter.startExpireDate,
                                                             filter.endExpireDate, filter.expireDateUnlimited);
    m_expireFrom = expire.from;
    m_expireTo = expire.to;
    m_expireUnlimited = expire.unlimited;
    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    m_allCustomers = addChoiceRow(this, layout, tr("Клиент"), m_customer, tr("Все клиенты"),
                                  QStringLiteral("allCustomers"), filter.allCustomers, filter.customerKey);
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    m_allPayments = addChoiceRow(this, layout, tr("Форма оплаты"), m_payment, tr("По всем формам"),
                                 QStringLiteral("allPayments"), filter.allPayments, filter.paymentKey);
    for (QCheckBox *box : {m_signUnlimited, m_expireUnlimited, m_allCustomers, m_allPayments})
        connect(box, &QCheckBox::toggled, this, &TdlgRentContractFilter::updateEnabled);

    auto *activity = new QGroupBox(tr(" Активность договоров"), this);
    auto *activityLayout = new QVBoxLayout(activity);
    const char *texts[] = {QT_TR_NOOP("Все договора"), QT_TR_NOOP("Только активные договора"),
                           QT_TR_NOOP("Только неактивные договора")};
    for (int i = 0; i < 3; ++i) {
        m_activity[i] = new QRadioButton(tr(texts[i]), activity);
        m_activity[i]->setObjectName(QStringLiteral("activity%1").arg(i));
        activityLayout->addWidget(m_activity[i]);
    }
    m_activity[qBound(0, filter.activity, 2)]->setChecked(true);
    layout->addWidget(activity);

    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          m_filter = edited();
                          return true;
                      }).layout);
    updateEnabled();
}

TdlgRentContractFilter::~TdlgRentContractFilter() = default;

void TdlgRentContractFilter::updateEnabled()
{
    m_signFrom->setEnabled(!m_signUnlimited->isChecked());
    m_signTo->setEnabled(!m_signUnlimited->isChecked());
    m_expireFrom->setEnabled(!m_expireUnlimited->isChecked());
    m_expireTo->setEnabled(!m_expireUnlimited->isChecked());
    m_customer->setEnabled(!m_allCustomers->isChecked());
    m_payment->setEnabled(!m_allPayments->isChecked());
}

TContractFilter TdlgRentContractFilter::edited() const
{
    TContractFilter f = m_filter;
    f.startSignDate = m_signFrom->dateValue().value_or(QDate::currentDate());
    f.endSignDate = m_signTo->dateValue().value_or(QDate::currentDate());
    f.signDateUnlimited = m_signUnlimited->isChecked();
    f.startExpireDate = m_expireFrom->dateValue().value_or(QDate::currentDate());
    f.endExpireDate = m_expireTo->dateValue().value_or(QDate::currentDate());
    f.expireDateUnlimited = m_expireUnlimited->isChecked();
    f.allCustomers = m_allCustomers->isChecked();
    f.customerKey = m_customer->intKey().value_or(0);
    f.allPayments = m_allPayments->isChecked();
    f.paymentKey = m_payment->intKey().value_or(0);
    for (int i = 0; i < 3; ++i) {
        if (m_activity[i]->isChecked())
            f.activity = i;
    }
    return f;
}

} // namespace korvex::billing
