#include "dlgRentViotation.h"

#include "billingLookups.h"
#include "rateField.h"

#include "amount/xAmount.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xLookupBox.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace korvex::billing {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

namespace {

TxCheckedEdit *amountEdit(const QString &name, QWidget *parent)
{
    auto *e = new TxCheckedEdit(TxCheckedEdit::Kind::Float, parent);
    e->setObjectName(name);
    return e;
}

QToolButton *convertButton(const QString &name, const QString &tip, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QStringLiteral("="));
    b->setToolTip(tip);
    return b;
}

QHBoxLayout *withButton(QWidget *field, QToolButton *button)
{
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

} // namespace

TdlgRentViotation::TdlgRentViotation(TboRentViotation &bo, const TViotationRecord &record, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentViotation"));
    setWindowTitle(tr("Нарушение"));
    korvex::db::TxDatabase &db = bo.context().db;

    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setMaxLength(20);
    m_customer = newTenantBox(db, QStringLiteral("customer"), this);
    m_date = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_date->setObjectName(QStringLiteral("viotationdate"));
    m_contract = newContractBox(db, 0, false, QStringLiteral("contract"), this);
    m_currency = korvex::reference::newCurrencyBox(db, QStringLiteral("currency"), this);
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_ncu = amountEdit(QStringLiteral("costncu"), this);
    m_ncuButton = convertButton(QStringLiteral("ncuButton"), tr("Сумма в рублях по курсу"), this);
    m_curr = amountEdit(QStringLiteral("costcurr"), this);
    m_currButton = convertButton(QStringLiteral("currButton"), tr("Сумма в валюте по курсу"), this);
    m_info = new QLineEdit(this);
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setMaxLength(254);

    auto *form = new QFormLayout;
    form->addRow(tr("Номер"), m_number);
    form->addRow(tr("Клиент"), m_customer);
    form->addRow(tr("Дата"), m_date);
    form->addRow(tr("Договор"), m_contract);
    form->addRow(tr("Валюта"), m_currency);
    form->addRow(tr("Курс"), m_rate);
    form->addRow(tr("Сумма в рублях"), withButton(m_ncu, m_ncuButton));
    form->addRow(tr("Сумма в валюте"), withButton(m_curr, m_currButton));
    form->addRow(tr("Информация"), m_info);
    contentLayout()->addLayout(form);

    connect(m_customer, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { customerChanged(); }); });
    connect(m_currency, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_rate, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });
    connect(m_ncuButton, &QToolButton::clicked, this, [this] {
        m_ncu->setFloatValue(TboRentViotation::ncuFromCurrency(m_curr->floatValue().value_or(0), rate()));
    });
    connect(m_currButton, &QToolButton::clicked, this, [this] {
        m_curr->setFloatValue(TboRentViotation::currencyFromNcu(m_ncu->floatValue().value_or(0), rate()));
    });

    addRequired(m_number, tr("Введите номер"));
    addRequired(m_date, tr("Введите дату"), [this] { return m_date->dateValue().has_value(); });
    addRequired(m_customer, tr("Выберите клиента"), [this] { return m_customer->intKey().has_value(); });

    showRecord(record);
    setRecordKey(record.id);
    setNextEnabled(record.id == 0);
}

void TdlgRentViotation::showRecord(const TViotationRecord &r)
{
    m_record = r;
    m_typedRate.reset();
    m_number->setText(r.number);
    m_customer->setIntKey(r.customerKey);
    customerChanged();
    m_contract->setIntKey(r.contractKey);
    if (r.viotationDate.isValid())
        m_date->setDateValue(r.viotationDate);
    else
        m_date->clear();
    m_currency->setIntKey(r.currKey);
    showRate();
    m_ncu->setFloatValue(r.costNcu);
    m_curr->setFloatValue(r.costCurr);
    m_info->setText(r.info);
}

void TdlgRentViotation::customerChanged()
{
    followCustomer(m_contract, m_bo.context().db, m_customer->intKey().value_or(0), false);
}

double TdlgRentViotation::rate() const
{
    return korvex::amount::parseNumber(m_rate->text()).value_or(0);
}

void TdlgRentViotation::showRate()
{
    m_typedRate.reset();
    m_rate->setText(rateText(m_bo.rateToday(m_currency->intKey())));
}

void TdlgRentViotation::rateLeft()
{
    const std::optional<double> value = typedRate(this, m_rate);
    if (!value)
        return;
    const std::optional<int> currency = m_currency->intKey();
    if (currency && *value > 0 && !korvex::amount::sameAmount(*value, m_bo.rateToday(currency)))
        m_typedRate = std::make_pair(*currency, *value);
}

int TdlgRentViotation::writeRecord()
{
    TViotationRecord r = m_record;
    r.id = recordKey();
    r.number = m_number->text().trimmed();
    r.viotationDate = m_date->dateValue().value_or(QDate());
    r.customerKey = m_customer->intKey();
    r.contractKey = m_contract->intKey();
    r.currKey = m_currency->intKey();
    r.costNcu = m_ncu->floatValue().value_or(0);
    r.costCurr = m_curr->floatValue().value_or(0);
    r.info = m_info->text().trimmed();
    const int key = m_bo.writeViotation(r);
    if (m_typedRate && r.currKey == m_typedRate->first)
        m_bo.setRateToday(m_typedRate->first, m_typedRate->second);
    return key;
}

void TdlgRentViotation::startNextRecord()
{
    showRecord(m_bo.newViotation());
}

} // namespace korvex::billing
