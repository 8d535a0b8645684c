#include "dlgRentContractFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
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

TdlgRentContractFilter::TdlgRentContractFilter(TboRentContract &bo, TContractFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentContractFilter"));
    setWindowTitle(tr("Фильтрация договоров"));
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
        connect(unlimited, &QCheckBox::toggled, this, &TdlgRentContractFilter::updateEnabled);
    };
    period(tr("Открытие договора"), QStringLiteral("sign"), m_signFrom, m_signTo, m_signUnlimited, filter.startSignDate,
           filter.endSignDate, filter.signDateUnlimited);
    period(tr("Закрытие договора"), QStringLiteral("expire"), m_expireFrom, m_expireTo, m_expireUnlimited,
           filter.startExpireDate, filter.endExpireDate, filter.expireDateUnlimited);

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
        connect(all, &QCheckBox::toggled, this, &TdlgRentContractFilter::updateEnabled);
    };
    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    choice(tr("Клиент"), m_customer, m_allCustomers, tr("Все клиенты"), QStringLiteral("allCustomers"),
           filter.allCustomers, filter.customerKey);
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    choice(tr("Форма оплаты"), m_payment, m_allPayments, tr("По всем формам"), QStringLiteral("allPayments"),
           filter.allPayments, filter.paymentKey);

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
