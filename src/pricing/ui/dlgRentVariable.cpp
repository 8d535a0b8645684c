#include "dlgRentVariable.h"

#include "calc/ui/calcLookups.h"
#include "customers/ui/customerLookups.h"

#include "db/xDbError.h"
#include "reference/boRentObject.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xLookupSource.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::calc {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;

// --- TdlgRentVariable -------------------------------------------------------------------

TdlgRentVariable::TdlgRentVariable(TboRentVariable &bo, const TVariableRecord &record, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentVariable"));
    setRecordKey(record.id);
    setWindowTitle(tr("Переменная"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setMaxLength(180);
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Описание"), m_description);
    auto *bindings = new QGroupBox(this);
    auto *bindingsLayout = new QVBoxLayout(bindings);
    m_lockObject = new QCheckBox(tr("Привязка к объекту"), bindings);
    m_lockObject->setObjectName(QStringLiteral("lockobject"));
    m_lockService = new QCheckBox(tr("Привязка к услуге"), bindings);
    m_lockService->setObjectName(QStringLiteral("lockservice"));
    m_lockCustomer = new QCheckBox(tr("Привязка к клиенту"), bindings);
    m_lockCustomer->setObjectName(QStringLiteral("lockcustomer"));
    bindingsLayout->addWidget(m_lockObject);
    bindingsLayout->addWidget(m_lockService);
    bindingsLayout->addWidget(m_lockCustomer);
    contentLayout()->addWidget(bindings);
    // The values already stored depend on the bindings: they stay as made.
    bindings->setEnabled(isNew);
    setNextEnabled(isNew);
    display(m_record);
    resize(420, 220);
}

TdlgRentVariable::~TdlgRentVariable() = default;

void TdlgRentVariable::display(const TVariableRecord &record)
{
    m_name->setText(record.name);
    m_description->setText(record.description);
    m_lockObject->setChecked(record.lockObject);
    m_lockService->setChecked(record.lockService);
    m_lockCustomer->setChecked(record.lockCustomer);
}

bool TdlgRentVariable::validate()
{
    if (const std::optional<QString> fault = TboRentVariable::checkName(m_name->text())) {
        fail(m_name, *fault);
        return false;
    }
    return true;
}

int TdlgRentVariable::writeRecord()
{
    TVariableRecord r = m_record;
    r.id = recordKey();
    r.name = m_name->text().trimmed();
    r.description = m_description->text().trimmed();
    r.lockObject = m_lockObject->isChecked();
    r.lockService = m_lockService->isChecked();
    r.lockCustomer = m_lockCustomer->isChecked();
    m_bo.writeVariable(r);
    return r.id;
}

void TdlgRentVariable::startNextRecord()
{
    m_record = m_bo.newRecord(m_record.parent, QString());
    display(m_record);
    m_name->setFocus();
}

// --- TdlgRentValueVariable --------------------------------------------------------------

TdlgRentValueVariable::TdlgRentValueVariable(TboRentValueVariable &bo, const TValueVariableRecord &record,
                                             bool isNew, korvex::reference::TReferenceDialogs *referenceDialogs,
                                             QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentValueVariable"));
    setRecordKey(record.id);
    setWindowTitle(tr("Значение переменной"));
    korvex::db::TxDatabase &db = bo.context().db;
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_variable = newVariableBox(db, QStringLiteral("variable"), this);
    if (referenceDialogs) {
        m_objects = new korvex::reference::TboRentObject(bo.context(), referenceDialogs, this);
        m_object = korvex::reference::newObjectChooserBox(*m_objects, QStringLiteral("object"), this);
    } else {
        m_object = korvex::reference::newObjectBox(db, QStringLiteral("object"), this);
    }
    m_service = korvex::reference::newServiceBox(db, QStringLiteral("service"), this);
    m_customer = korvex::customers::newCustomerBox(db, QStringLiteral("customer"), this);
    m_value = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_value->setObjectName(QStringLiteral("value"));
    form->addRow(tr("Переменная"), m_variable);
    form->addRow(tr("Объект"), m_object);
    form->addRow(tr("Услуга"), m_service);
    form->addRow(tr("Клиент"), m_customer);
    form->addRow(tr("Значение"), m_value);
    connect(m_variable, &TxLookupBox::keyChanged, this, [this] { guarded(this, [this] { applyBindings(); }); });

    setNextEnabled(isNew);
    display(m_record);
    resize(460, 240);
}

TdlgRentValueVariable::~TdlgRentValueVariable() = default;

void TdlgRentValueVariable::display(const TValueVariableRecord &record)
{
    m_variable->setIntKey(record.variableKey);
    m_object->setIntKey(record.objectKey);
    m_service->setIntKey(record.serviceKey);
    m_customer->setIntKey(record.customerKey);
    if (record.value)
        m_value->setFloatValue(*record.value);
    else
        m_value->clear();
    applyBindings();
}

void TdlgRentValueVariable::applyBindings()
{
    const std::optional<int> variable = m_variable->intKey();
    const std::optional<TVariableBindings> b = variable ? m_bo.bindings(*variable) : std::nullopt;
    m_object->setEnabled(b && b->object);
    m_service->setEnabled(b && b->service);
    m_customer->setEnabled(b && b->customer);
}

TValueVariableRecord TdlgRentValueVariable::collect() const
{
    TValueVariableRecord r = m_record;
    r.id = recordKey();
    r.variableKey = m_variable->intKey();
    r.objectKey = m_object->isEnabled() ? m_object->intKey() : std::nullopt;
    r.serviceKey = m_service->isEnabled() ? m_service->intKey() : std::nullopt;
    r.customerKey = m_customer->isEnabled() ? m_customer->intKey() : std::nullopt;
    r.value = m_value->floatValue();
    return r;
}

bool TdlgRentValueVariable::validate()
{
    const std::optional<TValueFault> fault = m_bo.checkValueVariable(collect());
    if (!fault)
        return true;
    TxLookupBox *field = m_variable;
    switch (fault->field) {
    case TValueFault::Variable: field = m_variable; break;
    case TValueFault::Object: field = m_object; break;
    case TValueFault::Service: field = m_service; break;
    case TValueFault::Customer: field = m_customer; break;
    }
    fail(field->lineEdit() ? static_cast<QWidget *>(field->lineEdit()) : field, fault->message);
    return false;
}

int TdlgRentValueVariable::writeRecord()
{
    TValueVariableRecord r = collect();
    m_bo.writeValueVariable(r);
    return r.id;
}

void TdlgRentValueVariable::startNextRecord()
{
    // The next row of the same variable, as a run of values is typed.
    const std::optional<int> variable = m_variable->intKey();
    m_record = m_bo.newRecord(m_record.parent);
    m_record.variableKey = variable;
    display(m_record);
    for (TxLookupBox *box : {m_object, m_service, m_customer}) {
        if (box->isEnabled()) {
            box->setFocus();
            return;
        }
    }
    m_value->setFocus();
}

// --- TdlgValue ----------------------------------------------------------------------------

TdlgValue::TdlgValue(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgValue"));
    setWindowTitle(tr("Введите значение"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_value = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_value->setObjectName(QStringLiteral("value"));
    form->addRow(tr("Значение"), m_value);
    layout->addLayout(form);
    layout->addLayout(korvex::widgets::confirmRow(this).layout);
}

std::optional<double> TdlgValue::value() const
{
    return m_value->floatValue();
}

void TdlgValue::accept()
{
    if (!m_value->floatValue()) {
        TxMessages::warning(this, tr("Введите значение"), TxPrompt::attentionBang());
        m_value->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace korvex::calc
