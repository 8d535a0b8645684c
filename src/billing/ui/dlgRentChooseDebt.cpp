#include "dlgRentChooseDebt.h"

#include "billingLookups.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xLookupSource.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::billing {

using namespace korvex::widgets;

namespace {

QString totalText(double v)
{
    return QLocale().toString(v, 'f', QLocale::FloatingPointShortest);
}

} // namespace

TdlgRentChooseDebt::TdlgRentChooseDebt(TboRentDebtFilter &bo, const TDebtChoice &choice, QWidget *parent)
    : QDialog(parent)
    , m_bo(bo)
    , m_choice(choice)
{
    setObjectName(QStringLiteral("dlgRentChooseDebt"));
    setWindowTitle(tr("Выбор услуг по задолженностям"));
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QGridLayout;
    korvex::db::TxDatabase &db = bo.context().db;

    m_customer = newTenantBox(db, QStringLiteral("Customer"), this);
    m_customer->setKey(choice.customerKey);
    m_customer->setEnabled(choice.customerChangeable);
    fields->addWidget(new QLabel(tr("Клиент"), this), 0, 0);
    fields->addWidget(m_customer, 0, 1, 1, 3);

    m_contract = newContractBox(db, choice.customerKey, false, QStringLiteral("Contract"), this);
    m_allContracts = new QCheckBox(tr("Все договора"), this);
    m_allContracts->setObjectName(QStringLiteral("AllContracts"));
    fields->addWidget(new QLabel(tr("Договор"), this), 1, 0);
    fields->addWidget(m_contract, 1, 1, 1, 2);
    fields->addWidget(m_allContracts, 1, 3);

    m_priority = new QLineEdit(QStringLiteral("10"), this);
    m_priority->setObjectName(QStringLiteral("Priority"));
    m_priority->setMaximumWidth(80);
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setObjectName(QStringLiteral("Date"));
    m_date->setCalendarPopup(true);
    auto *priorityRow = new QHBoxLayout;
    priorityRow->addWidget(m_priority);
    priorityRow->addSpacing(16);
    priorityRow->addWidget(new QLabel(tr("Дата"), this));
    priorityRow->addWidget(m_date);
    priorityRow->addStretch();
    fields->addWidget(new QLabel(tr("Приоритет услуги"), this), 2, 0);
    fields->addLayout(priorityRow, 2, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);

    m_model = new TxCheckedQueryModel(db, this);
    m_model->setCheckColumn(QStringLiteral("contractservicekey"), QStringLiteral("servicecal"));
    m_grid = new TxDBGrid(this);
    m_grid->setObjectName(QStringLiteral("DebtGrid"));
    m_grid->setKeyField(QStringLiteral("contractservicekey"));
    m_grid->setModel(m_model);
    for (const char *hidden : {"debtkey", "currkey", "contractservicekey", "debtdate"})
        m_grid->setFieldVisible(QString::fromLatin1(hidden), false);
    const std::pair<const char *, const char *> titles[] = {
        {"servicecal", QT_TR_NOOP("Услуга")},       {"objectcal", QT_TR_NOOP("Объект")},
        {"costncu", QT_TR_NOOP("Сумма в рублях")}, {"costcurr", QT_TR_NOOP("Сумма в валюте")},
        {"number", QT_TR_NOOP("Договор")},          {"customercal", QT_TR_NOOP("Клиент")},
        {"priority", QT_TR_NOOP("Приоритет")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        m_grid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_grid->setFieldPosition(QString::fromLatin1(field), position++);
    }
    m_grid->setFieldWidth(QStringLiteral("servicecal"), 180);
    m_grid->setFieldWidth(QStringLiteral("objectcal"), 130);
    m_grid->setFieldWidth(QStringLiteral("costncu"), 110);
    m_grid->setFieldWidth(QStringLiteral("costcurr"), 110);
    m_grid->setFieldWidth(QStringLiteral("number"), 70);
    m_grid->setFieldWidth(QStringLiteral("customercal"), 160);
    m_grid->setFieldWidth(QStringLiteral("priority"), 80);
    m_grid->setFieldDecimals(QStringLiteral("costncu"), 2);
    m_grid->setFieldDecimals(QStringLiteral("costcurr"), 2);
    layout->addWidget(m_grid, 1);

    auto *marks = new QHBoxLayout;
    auto *all = new QPushButton(tr("Выделить все"), this);
    all->setObjectName(QStringLiteral("markAll"));
    auto *none = new QPushButton(tr("Снять выделение"), this);
    none->setObjectName(QStringLiteral("clearMarks"));
    auto *sum = new QPushButton(tr("Расчет"), this);
    sum->setObjectName(QStringLiteral("Calculate"));
    marks->addWidget(all);
    marks->addWidget(none);
    marks->addWidget(sum);
    marks->addWidget(new QLabel(tr("Итого:"), this));
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("Total"));
    marks->addWidget(m_total, 1);
    layout->addLayout(marks);
    layout->addLayout(confirmRow(this, [this] {
        m_choice.customerKey = m_customer->intKey().value_or(0);
        m_choice.contractKey = m_allContracts->isChecked() ? 0 : m_contract->intKey().value_or(0);
        m_choice.keys = m_model->checkedIntKeys();
        return true;
    }).layout);

    connect(all, &QPushButton::clicked, this, [this] { guarded(this, [&] { tickAll(); }); });
    connect(none, &QPushButton::clicked, this, [this] { clearTicks(); });
    connect(sum, &QPushButton::clicked, this, [this] { guarded(this, [&] { showTotal(); }); });
    connect(m_customer, &TxLookupBox::keyChanged, this, [this] {
        guarded(this, [&] {
            loadContracts();
            refresh();
        });
    });
    connect(m_contract, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { refresh(); }); });
    connect(m_allContracts, &QCheckBox::toggled, this, [this](bool on) {
        m_contract->setEnabled(!on);
        guarded(this, [&] { refresh(); });
    });
    connect(m_priority, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { refresh(); }); });
    connect(m_date, &QDateEdit::dateChanged, this, [this] { guarded(this, [&] { refresh(); }); });

    guarded(this, [&] {
        loadContracts();
        if (choice.contractKey > 0)
            m_contract->setKey(choice.contractKey);
    });
    m_allContracts->setChecked(choice.contractKey <= 0);
    m_contract->setEnabled(!m_allContracts->isChecked());
    m_building = false;
    guarded(this, [&] { refresh(); });
    resize(760, 480);
}

TdlgRentChooseDebt::~TdlgRentChooseDebt() = default;

void TdlgRentChooseDebt::loadContracts()
{
    setContractsOf(m_contract, m_bo.context().db, m_customer->intKey().value_or(0), false);
    const QList<TxLookupRow> &rows = m_contract->source()->rows();
    m_contract->setKey(rows.isEmpty() ? QVariant() : rows.first().key);
}

void TdlgRentChooseDebt::refresh()
{
    if (m_building)
        return;
    const std::optional<int> contract =
        m_allContracts->isChecked() ? std::nullopt : std::optional<int>(m_contract->intKey().value_or(0));
    m_model->setStatement(TboRentDebtFilter::chooserStatement(m_customer->intKey().value_or(0), contract, m_date->date(),
                                                              TboRentDebtFilter::priorityLimit(m_priority->text())),
                          QStringLiteral("rent_contract.number, ser.name, cs.id"));
    m_grid->requery();
}

void TdlgRentChooseDebt::fetchAll()
{
    while (m_model->canFetchMore())
        m_model->fetchMore();
}

void TdlgRentChooseDebt::tickAll()
{
    fetchAll();
    const int column = m_model->fieldIndex(QStringLiteral("contractservicekey"));
    QList<QVariant> keys;
    for (int row = 0; row < m_model->rowCount(); ++row)
        keys << m_model->data(m_model->index(row, column), Qt::EditRole);
    m_model->setCheckedKeys(keys);
}

void TdlgRentChooseDebt::clearTicks()
{
    m_model->clearChecks();
}

void TdlgRentChooseDebt::showTotal()
{
    fetchAll();
    QList<double> ncu;
    QList<double> curr;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!m_model->isChecked(m_model->value(row, QStringLiteral("contractservicekey"))))
            continue;
        ncu << m_model->value(row, QStringLiteral("costncu")).toDouble();
        curr << m_model->value(row, QStringLiteral("costcurr")).toDouble();
    }
    m_total->setText(tr(" в рублях: ") + totalText(TboRentDebtFilter::fixedSum(ncu)) + tr("   в валюте: ")
                     + totalText(TboRentDebtFilter::fixedSum(curr)));
}

} // namespace korvex::billing
