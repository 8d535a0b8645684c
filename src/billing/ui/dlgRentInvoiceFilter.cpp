#include "dlgRentInvoiceFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xFilterRows.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

TdlgRentInvoiceFilter::TdlgRentInvoiceFilter(TboRentInvoice &bo, TInvoiceFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentInvoiceFilter"));
    setWindowTitle(tr("Фильтрация счетов"));
    auto *layout = new QVBoxLayout(this);
    korvex::db::TxDatabase &db = bo.context().db;

    using korvex::widgets::addChoiceRow;
    using korvex::widgets::addPeriodRow;
    auto period = [this, layout](const QString &title, const QString &name, const QDate &start, const QDate &end,
                                 bool unlimited) {
        const korvex::widgets::TxPeriodRow row = addPeriodRow(this, layout, title, name, start, end, unlimited);
        connect(row.unlimited, &QCheckBox::toggled, this, &TdlgRentInvoiceFilter::updateEnabled);
        return Period{row.from, row.to, row.unlimited};
    };
    m_invoiceDate = period(tr("Дата счета"), QStringLiteral("invoicedate"), filter.startInvoiceDate,
                           filter.endInvoiceDate, filter.invoiceDateUnlimited);
    m_expireDate = period(tr("Дата до которой необходимо произвести оплату"), QStringLiteral("expiredate"),
                          filter.startExpireDate, filter.endExpireDate, filter.expireDateUnlimited);
    m_operationDate = period(tr("Дата операции"), QStringLiteral("operationdate"), filter.startOperationDate,
                             filter.endOperationDate, filter.operationDateUnlimited);

    auto choice = [this, layout](const QString &title, TxLookupBox *box, const QString &allText, const QString &allName,
                                 bool isAll, int key) {
        QCheckBox *all = addChoiceRow(this, layout, title, box, allText, allName, isAll, key);
        connect(all, &QCheckBox::toggled, this, &TdlgRentInvoiceFilter::updateEnabled);
        return Choice{box, all};
    };
    m_customer = choice(tr("Клиент"), newTenantBox(db, QStringLiteral("customer"), this), tr("По всем клиентам"),
                        QStringLiteral("allCustomers"), filter.allCustomers, filter.customerKey);
    m_payment = choice(tr("Форма оплаты"), newPaymentBox(db, QStringLiteral("payment"), this), tr("По всем формам"),
                       QStringLiteral("allPayments"), filter.allPayments, filter.paymentKey);
    m_type = choice(tr("Тип задолженности"), newInvoiceTypeBox(db, QStringLiteral("invoicetype"), this),
                    tr("По всем типам"), QStringLiteral("allTypes"), filter.allInvoiceTypes, filter.invoiceTypeKey);

    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          m_filter = edited();
                          return true;
                      }).layout);
    updateEnabled();
}

TdlgRentInvoiceFilter::~TdlgRentInvoiceFilter() = default;

void TdlgRentInvoiceFilter::updateEnabled()
{
    for (const Period &p : {m_invoiceDate, m_expireDate, m_operationDate}) {
        p.from->setEnabled(!p.unlimited->isChecked());
        p.to->setEnabled(!p.unlimited->isChecked());
    }
    for (const Choice &c : {m_customer, m_payment, m_type})
        c.box->setEnabled(!c.all->isChecked());
}

TInvoiceFilter TdlgRentInvoiceFilter::edited() const
{
    const QDate today = QDate::currentDate();
    TInvoiceFilter f = m_filter;
    f.startInvoiceDate = m_invoiceDate.from->dateValue().value_or(today);
    f.endInvoiceDate = m_invoiceDate.to->dateValue().value_or(today);
    f.invoiceDateUnlimited = m_invoiceDate.unlimited->isChecked();
    f.startExpireDate = m_expireDate.from->dateValue().value_or(today);
    f.endExpireDate = m_expireDate.to->dateValue().value_or(today);
    f.expireDateUnlimited = m_expireDate.unlimited->isChecked();
    f.startOperationDate = m_operationDate.from->dateValue().value_or(today);
    f.endOperationDate = m_operationDate.to->dateValue().value_or(today);
    f.operationDateUnlimited = m_operationDate.unlimited->isChecked();
    f.allCustomers = m_customer.all->isChecked();
    f.customerKey = m_customer.box->intKey().value_or(0);
    f.allPayments = m_payment.all->isChecked();
    f.paymentKey = m_payment.box->intKey().value_or(0);
    f.allInvoiceTypes = m_type.all->isChecked();
    f.invoiceTypeKey = m_type.box->intKey().value_or(0);
    return f;
}

} // namespace korvex::billing
