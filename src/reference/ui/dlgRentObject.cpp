#include "dlgRentObject.h"

#include "dlgCurr.h"
#include "referenceLookups.h"

#include "db/xDbError.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xLookupSource.h"
#include "widgets/xTreeModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::reference {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;
using korvex::widgets::TxTableLookup;
using korvex::widgets::TxTreeModel;

// --- TdlgRentObject ---------------------------------------------------------------------

TdlgRentObject::TdlgRentObject(TboRentObject &bo, const TRentObjectRecord &record, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
    , m_locations(new TboRentLocation(bo.context(), bo.dialogs(), this))
    , m_types(new TboRentObjectType(bo.context(), bo.dialogs(), this))
{
    setObjectName(QStringLiteral("dlgRentObject"));
    setRecordKey(record.id);
    setWindowTitle(tr("Объект"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_location = newTreeItemBox(*m_locations, QStringLiteral("location"), tr("М"), this);
    m_type = newTreeItemBox(*m_types, QStringLiteral("objecttype"), tr("Т"), this);
    m_description = new QPlainTextEdit(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setTabChangesFocus(true);
    m_description->setMaximumHeight(80);
    m_attribute = new QLineEdit(this);
    m_attribute->setObjectName(QStringLiteral("attribute"));
    m_attribute->setMaxLength(60);
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Место положения"), m_location);
    form->addRow(tr("Тип объекта"), m_type);
    form->addRow(tr("Описание"), m_description);
    form->addRow(tr("Признак"), m_attribute);
    for (int i = 0; i < 3; ++i) {
        m_coef[i] = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
        m_coef[i]->setObjectName(QStringLiteral("coef%1").arg(i + 1));
        form->addRow(tr("Коэффициент %1").arg(i + 1), m_coef[i]);
    }
    auto check = [this, form](const QString &text, const QString &name) {
        auto *box = new QCheckBox(text, this);
        box->setObjectName(name);
        form->addRow(box);
        return box;
    };
    m_disabled = check(tr("Не активный"), QStringLiteral("disabled"));
    m_boolAttribute = check(tr("Признак 2"), QStringLiteral("boolattribute"));
    m_complete = check(tr("Проверка на задействованность"), QStringLiteral("complete"));
    m_isGroup = check(tr("Группа"), QStringLiteral("isgroup"));

    setNextEnabled(isNew);
    addRequired(m_location, tr("Введите место расположения объекта"), [this] { return !m_location->key().isNull(); });
    addRequired(m_type, tr("Введите тип объекта"), [this] { return !m_type->key().isNull(); });
    addRequired(m_name, tr("Введите наименование объекта"));
    display(m_record);
}

TdlgRentObject::~TdlgRentObject() = default;

void TdlgRentObject::display(const TRentObjectRecord &r)
{
    m_name->setText(r.name);
    m_location->setKey(r.locationKey ? QVariant(*r.locationKey) : QVariant());
    m_type->setKey(r.objectTypeKey ? QVariant(*r.objectTypeKey) : QVariant());
    m_description->setPlainText(r.description);
    m_attribute->setText(r.attribute);
    const std::optional<double> coefs[3] = {r.coef1, r.coef2, r.coef3};
    for (int i = 0; i < 3; ++i) {
        if (coefs[i])
            m_coef[i]->setText(numberFieldText(*coefs[i]));
        else
            m_coef[i]->clear();
    }
    m_disabled->setChecked(r.disabled);
    m_boolAttribute->setChecked(r.boolAttribute);
    m_complete->setChecked(r.complete);
    m_isGroup->setChecked(r.isGroup);
}

int TdlgRentObject::writeRecord()
{
    TRentObjectRecord r = m_record;
    r.id = recordKey();
    r.name = m_name->text().trimmed();
    r.locationKey = m_location->key().toInt();
    r.objectTypeKey = m_type->key().toInt();
    r.description = m_description->toPlainText();
    r.attribute = m_attribute->text().trimmed();
    r.coef1 = m_coef[0]->floatValue();
    r.coef2 = m_coef[1]->floatValue();
    r.coef3 = m_coef[2]->floatValue();
    r.disabled = m_disabled->isChecked();
    r.boolAttribute = m_boolAttribute->isChecked();
    r.complete = m_complete->isChecked();
    r.isGroup = m_isGroup->isChecked();
    m_bo.writeObject(r);
    return r.id;
}

void TdlgRentObject::startNextRecord()
{
    m_record = m_bo.newRecord(m_record.parent);
    display(m_record);
    m_name->setFocus();
}

// --- TdlgRentOTLocation ---------------------------------------------------------------------

TdlgRentOTLocation::TdlgRentOTLocation(TboRentTreeItem &bo, const TRentTreeRecord &record, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentOTLocation"));
    setRecordKey(record.id);
    setWindowTitle(bo.title());
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_name->setText(record.name);
    form->addRow(tr("Наименование"), m_name);
    setNextEnabled(isNew);
    addRequired(m_name, tr("Введите наименование"));
}

TdlgRentOTLocation::~TdlgRentOTLocation() = default;

int TdlgRentOTLocation::writeRecord()
{
    TRentTreeRecord r = m_record;
    r.id = recordKey();
    r.name = m_name->text().trimmed();
    m_bo.writeItem(r);
    return r.id;
}

void TdlgRentOTLocation::startNextRecord()
{
    m_record.name.clear();
    m_name->clear();
    m_name->setFocus();
}

// --- TdlgRentChooseObject -------------------------------------------------------------------

TdlgRentChooseObject::TdlgRentChooseObject(TboRentObject &bo, TObjectChoice &choice, QWidget *parent)
    : TdlgTreeChooser(bo.context().db, [&bo](TxTreeModel &model) { bo.setUpTree(model, true); }, parent)
    , m_choice(choice)
{
    setObjectName(QStringLiteral("dlgRentChooseObject"));
    setWindowTitle(tr("Выбор объекта"));
    tree()->setObjectName(QStringLiteral("ObjectTree"));
    m_allObjects = new QCheckBox(tr("Все объекты"), this);
    m_allObjects->setObjectName(QStringLiteral("allobjects"));
    m_includeGroup = new QCheckBox(tr("Включать группу в отчет"), this);
    m_includeGroup->setObjectName(QStringLiteral("includegroup"));
    m_allObjects->setVisible(choice.showSwitches);
    m_includeGroup->setVisible(choice.showSwitches);
    extraLayout()->addWidget(m_allObjects);
    extraLayout()->addWidget(m_includeGroup);
    resize(520, 480);
    load(choice.objectKey);
}

TdlgRentChooseObject::~TdlgRentChooseObject() = default;

void TdlgRentChooseObject::accept()
{
    const std::optional<int> current = currentKey();
    if (!current)
        return;
    m_choice.objectKey = *current;
    m_choice.marked = markedKeys();
    m_choice.allObjects = m_allObjects->isChecked();
    m_choice.includeGroup = m_includeGroup->isChecked();
    TdlgTreeChooser::accept();
}

} // namespace korvex::reference
