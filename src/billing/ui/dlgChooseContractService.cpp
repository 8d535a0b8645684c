#include "dlgChooseContractService.h"

#include "billingLookups.h"

#include "db/xQuery.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/xCheckedQueryModel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::guarded;
using korvex::widgets::TxCheckedQueryModel;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxLookupBox;

TdlgChooseContractService::TdlgChooseContractService(TboRentContract &bo, TContractServiceChoice &choice,
                                                     QWidget *parent)
    : QDialog(parent)
    , m_bo(bo)
    , m_choice(choice)
{
    setObjectName(QStringLiteral("dlgChooseContractService"));
    setWindowTitle(tr("Выбор услуг"));
    korvex::db::TxDatabase &db = bo.context().db;
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    m_customer->setKey(choice.customerKey);
    m_customer->setEnabled(choice.customerChangeable);
    form->addRow(tr("Клиент"), m_customer);

    m_contract = newContractBox(db, choice.customerKey, true, QStringLiteral("contract"), this);
    m_allContracts = new QCheckBox(tr("Все договора"), this);
    m_allContracts->setObjectName(QStringLiteral("allContracts"));
    auto *contractRow = new QHBoxLayout;
    contractRow->addWidget(m_contract, 1);
    contractRow->addWidget(m_allContracts);
    form->addRow(tr("Договор"), contractRow);

    m_openOnly = new QCheckBox(tr("Активные договора"), this);
    m_openOnly->setObjectName(QStringLiteral("openOnly"));
    m_openOnly->setChecked(true);
    form->addRow(m_openOnly);

    m_priority = new QLineEdit(QStringLiteral("10"), this);
    m_priority->setObjectName(QStringLiteral("priority"));
    form->addRow(tr("Приоритет услуги"), m_priority);

    m_model = new TxCheckedQueryModel(db, this);
    m_model->setCheckColumn(QStringLiteral("id"), QStringLiteral("servicecal"));
    m_grid = new TxDBGrid(this);
    m_grid->setObjectName(QStringLiteral("PositionGrid"));
    m_grid->setKeyField(QStringLiteral("id"));
    m_grid->setModel(m_model);
    m_grid->setFieldVisible(QStringLiteral("id"), false);
    m_grid->setFieldTitle(QStringLiteral("servicecal"), tr("Услуга"));
    m_grid->setFieldTitle(QStringLiteral("priority"), tr("Приоритет"));
    m_grid->setFieldTitle(QStringLiteral("objectcal"), tr("Объект"));
    m_grid->setFieldTitle(QStringLiteral("contractcal"), tr("Договор"));
    m_grid->setFieldTitle(QStringLiteral("customercal"), tr("Клиент"));
    m_grid->setFieldTitle(QStringLiteral("costncu"), tr("Цена в рублях"));
    m_grid->setFieldTitle(QStringLiteral("costcurr"), tr("Цена в валюте"));
    m_grid->setFieldDecimals(QStringLiteral("costncu"), 2);
    m_grid->setFieldDecimals(QStringLiteral("costcurr"), 2);
    m_grid->setFieldWidth(QStringLiteral("servicecal"), 220);
    m_grid->setFieldWidth(QStringLiteral("customercal"), 200);
    layout->addWidget(m_grid, 1);

    auto *marks = new QHBoxLayout;
    auto *all = new QPushButton(tr("Выделить все"), this);
    all->setObjectName(QStringLiteral("markAll"));
    auto *none = new QPushButton(tr("Снять выделение"), this);
    none->setObjectName(QStringLiteral("clearMarks"));
    marks->addWidget(all);
    marks->addWidget(none);
    marks->addStretch();
    layout->addLayout(marks);
    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          m_choice.customerKey = m_customer->intKey().value_or(0);
                          m_choice.contractKey = m_allContracts->isChecked() ? 0 : m_contract->intKey().value_or(0);
                          m_choice.keys = m_model->checkedIntKeys();
                          return true;
                      }).layout);

    connect(all, &QPushButton::clicked, this, [this] { guarded(this, [&] { checkAll(); }); });
    connect(none, &QPushButton::clicked, this, [this] { clearChecks(); });
    connect(m_customer, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { reloadContracts(); }); });
    connect(m_contract, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { reloadPositions(); }); });
    connect(m_allContracts, &QCheckBox::toggled, this, [this](bool on) {
        m_contract->setEnabled(!on);
        guarded(this, [&] { reloadPositions(); });
    });
    connect(m_openOnly, &QCheckBox::toggled, this, [this] { guarded(this, [&] { reloadContracts(); }); });
    connect(m_priority, &QLineEdit::textChanged, this, [this] { guarded(this, [&] { reloadPositions(); }); });

    // A contract given is chosen; otherwise every contract counts.
    guarded(this, [&] {
        if (choice.contractKey > 0)
            m_contract->setKey(choice.contractKey);
        m_allContracts->setChecked(choice.contractKey <= 0);
        m_contract->setEnabled(!m_allContracts->isChecked());
        reloadPositions();
    });
    resize(860, 520);
}

TdlgChooseContractService::~TdlgChooseContractService() = default;

korvex::widgets::TxSqlFilter TdlgChooseContractService::statement() const
{
    const int contract = m_allContracts->isChecked() ? -1 : m_contract->intKey().value_or(0);
    return TboRentContract::choiceStatement(m_customer->intKey().value_or(0), contract, m_openOnly->isChecked(),
                                            m_priority->text());
}

void TdlgChooseContractService::reloadContracts()
{
    const QVariant kept = m_contract->key();
    setContractsOf(m_contract, m_bo.context().db, m_customer->intKey().value_or(0), m_openOnly->isChecked());
    m_contract->reload();
    m_contract->setKey(kept);
    reloadPositions();
}

void TdlgChooseContractService::reloadPositions()
{
    m_model->setStatement(statement(), QStringLiteral("con.number, s.priority, cs.id"));
    m_grid->requery();
}

void TdlgChooseContractService::checkAll()
{
    const korvex::widgets::TxSqlFilter select = statement();
    korvex::db::TxQuery q(m_bo.context().db);
    q.exec(select.text(), select.values());
    QList<QVariant> keys = m_model->checkedKeys();
    while (q.next())
        keys << q.value(0);
    m_model->setCheckedKeys(keys);
}

void TdlgChooseContractService::clearChecks()
{
    m_model->clearChecks();
}

} // namespace korvex::billing
