#include "dlgRentViotationFilter.h"

#include "billingLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
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

    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    m_allCustomers = new QCheckBox(tr("По всем клиентам"), this);
    m_allCustomers->setObjectName(QStringLiteral("allCustomers"));
    m_start = korvex::widgets::newDateEdit(filter.startDate, QStringLiteral("startDate"), this);
    m_end = korvex::widgets::newDateEdit(filter.endDate, QStringLiteral("endDate"), this);
    m_unlimited = new QCheckBox(tr("Неограниченный период"), this);
    m_unlimited->setObjectName(QStringLiteral("unlimited"));
    m_contract = newContractBox(db, 0, false, QStringLiteral("contract"), this);
    m_allContracts = new QCheckBox(tr("По всем договорам"), this);
    m_allContracts->setObjectName(QStringLiteral("allContracts"));

    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel(tr("с"), this));
    period->addWidget(m_start);
    period->addWidget(new QLabel(tr("по"), this));
    period->addWidget(m_end);
    period->addWidget(m_unlimited);
    auto *customer = new QHBoxLayout;
    customer->addWidget(m_customer, 1);
    customer->addWidget(m_allCustomers);
    auto *contract = new QHBoxLayout;
    contract->addWidget(m_contract, 1);
    contract->addWidget(m_allContracts);
    auto *form = new QFormLayout;
    form->addRow(tr("Клиент"), customer);
    form->addRow(tr("Период"), period);
    form->addRow(tr("Договор"), contract);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(korvex::widgets::confirmRow(this, [this] { return confirm(); }).layout);

    connect(m_allCustomers, &QCheckBox::toggled, m_customer, [this](bool all) { m_customer->setEnabled(!all); });
    connect(m_unlimited, &QCheckBox::toggled, this, [this](bool unlimited) {
        m_start->setEnabled(!unlimited);
        m_end->setEnabled(!unlimited);
    });
    connect(m_allContracts, &QCheckBox::toggled, m_contract, [this](bool all) { m_contract->setEnabled(!all); });
    connect(m_customer, &TxLookupBox::keyChanged, this,
            [this] { korvex::widgets::guarded(this, [&] { loadContracts(); }); });

    m_customer->setIntKey(filter.customerKey > 0 ? std::optional<int>(filter.customerKey) : std::nullopt);
    loadContracts();
    m_contract->setIntKey(filter.contractKey > 0 ? std::optional<int>(filter.contractKey) : std::nullopt);
    m_allCustomers->setChecked(filter.allCustomers);
    m_customer->setEnabled(!filter.allCustomers);
    m_unlimited->setChecked(filter.dateUnlimited);
    m_start->setEnabled(!filter.dateUnlimited);
    m_end->setEnabled(!filter.dateUnlimited);
    m_allContracts->setChecked(filter.allContracts);
    m_contract->setEnabled(!filter.allContracts);
}

void TdlgRentViotationFilter::loadContracts()
{
    followCustomer(m_contract, m_bo.context().db, m_customer->intKey().value_or(0), false);
}

bool TdlgRentViotationFilter::confirm()
{
    TViotationFilter f = m_filter;
    f.allCustomers = m_allCustomers->isChecked();
    f.customerKey = m_customer->intKey().value_or(0);
    f.dateUnlimited = m_unlimited->isChecked();
    f.startDate = m_start->date();
    f.endDate = m_end->date();
    f.allContracts = m_allContracts->isChecked();
    f.contractKey = m_contract->intKey().value_or(0);
    m_filter = f;
    return true;
}

} // namespace korvex::billing
