#include "dlgRentViotationFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xFilterRows.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxLookupBox;

TdlgRentViotationFilter::TdlgRentViotationFilter(TboRentViotation &bo, TViotationFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_bo(bo)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("dlgRentViotationFilter"));
    setWindowTitle(tr("Фильтрация нарушений"));
    korvex::db::TxDatabase &db = bo.context().db;
    auto *layout = new QVBoxLayout(this);

    using korvex::widgets::addChoiceRow;
    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    m_allCustomers = addChoiceRow(this, layout, tr("Клиент"), m_customer, tr("По всем клиентам"),
                                  QStringLiteral("allCustomers"), filter.allCustomers, filter.customerKey);
    const korvex::widgets::TxPeriodRow period = korvex::widgets::addPeriodRow(
        this, layout, tr("Дата"), QStringLiteral("viotationdate"), filter.startDate, filter.endDate, filter.dateUnlimited);
    m_start = period.from;
    m_end = period.to;
    m_unlimited = period.unlimited;
    m_contract = newContractBox(db, filter.customerKey, false, QStringLiteral("contract"), this);
    m_allContracts = addChoiceRow(this, layout, tr("Договор"), m_contract, tr("По всем договорам"),
                                  QStringLiteral("allContracts"), filter.allContracts, filter.contractKey);
    for (QCheckBox *box : {m_allCustomers, m_unlimited, m_allContracts})
        connect(box, &QCheckBox::toggled, this, &TdlgRentViotationFilter::updateEnabled);
    connect(m_customer, &TxLookupBox::keyChanged, this,
            [this] { korvex::widgets::guarded(this, [&] { loadContracts(); }); });

    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          m_filter = edited();
                          return true;
                      }).layout);
    updateEnabled();
}

void TdlgRentViotationFilter::updateEnabled()
{
    m_customer->setEnabled(!m_allCustomers->isChecked());
    m_start->setEnabled(!m_unlimited->isChecked());
    m_end->setEnabled(!m_unlimited->isChecked());
    m_contract->setEnabled(!m_allContracts->isChecked());
}

void TdlgRentViotationFilter::loadContracts()
{
    followCustomer(m_contract, m_bo.context().db, m_customer->intKey().value_or(0), false);
}

TViotationFilter TdlgRentViotationFilter::edited() const
{
    TViotationFilter f = m_filter;
    f.allCustomers = m_allCustomers->isChecked();
    f.customerKey = m_customer->intKey().value_or(0);
    f.dateUnlimited = m_unlimited->isChecked();
    f.startDate = m_start->dateValue().value_or(f.startDate);
    f.endDate = m_end->dateValue().value_or(f.endDate);
    f.allContracts = m_allContracts->isChecked();
    f.contractKey = m_contract->intKey().value_or(0);
    return f;
}

} // namespace korvex::billing
