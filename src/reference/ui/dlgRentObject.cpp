#include "dlgRentObject.h"

#include "dlgCurr.h"

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
    setWindowTitle(tr("Объект"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_location = treeItemBox(m_locations, QStringLiteral("location"), tr("М"));
    m_type = treeItemBox(m_types, QStringLiteral("objecttype"), tr("Т"));
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

TxLookupBox *TdlgRentObject::treeItemBox(TboRentTreeItem *bo, const QString &name, const QString &button)
{
    auto *box = new TxLookupBox(this);
    box->setObjectName(name);
    box->setChooserVisible(false);
    box->setSource(std::make_unique<TxTableLookup>(bo->context().db, bo->table(), QStringLiteral("id"),
                                                   QStringLiteral("name")));
    // A name that is no row of the list makes one, which is then chosen.
    connect(box, &TxLookupBox::textNotFound, this, [this, bo, box](const QString &text) {
        try {
            int key = 0;
            if (bo->newItem(0, text, &key) && key > 0) {
                box->reload();
                box->setKey(key);
            }
        } catch (const korvex::db::EDatabaseError &e) {
            TxMessages::error(this, e.message());
        }
    });
    QToolButton *edit = box->addButton(button, bo->title());
    connect(edit, &QToolButton::clicked, this, [this, bo, box] {
        if (box->key().isNull())
            return;
        try {
            if (bo->editItem(box->key().toInt()))
                box->reload();
        } catch (const korvex::db::EDatabaseError &e) {
            TxMessages::error(this, e.message());
        }
    });
    return box;
}

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

void TdlgRentObject::writeRecord()
{
    TRentObjectRecord r = m_record;
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
    m_writtenId = r.id;
}

void TdlgRentObject::afterSave()
{
    m_record.id = m_writtenId;
    m_lastSaved = m_writtenId;
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

void TdlgRentOTLocation::writeRecord()
{
    TRentTreeRecord r = m_record;
    r.name = m_name->text().trimmed();
    m_bo.writeItem(r);
    m_writtenId = r.id;
}

void TdlgRentOTLocation::afterSave()
{
    m_record.id = m_writtenId;
    m_lastSaved = m_writtenId;
}

void TdlgRentOTLocation::startNextRecord()
{
    m_record.id = 0;
    m_record.name.clear();
    m_name->clear();
    m_name->setFocus();
}

// --- TdlgRentChooseObject -------------------------------------------------------------------

TdlgRentChooseObject::TdlgRentChooseObject(TboRentObject &bo, TObjectChoice &choice, QWidget *parent)
    : QDialog(parent)
    , m_choice(choice)
{
    setObjectName(QStringLiteral("dlgRentChooseObject"));
    setWindowTitle(tr("Выбор объекта"));
    auto *layout = new QVBoxLayout(this);
    m_model = new TxTreeModel(bo.context().db, this);
    bo.setUpTree(*m_model, true);
    m_tree = new TxDBTreeView(this);
    m_tree->setObjectName(QStringLiteral("ObjectTree"));
    m_tree->setTreeModel(m_model);
    layout->addWidget(m_tree, 1);

    m_allObjects = new QCheckBox(tr("Все объекты"), this);
    m_allObjects->setObjectName(QStringLiteral("allobjects"));
    m_includeGroup = new QCheckBox(tr("Включать группу в отчет"), this);
    m_includeGroup->setObjectName(QStringLiteral("includegroup"));
    m_allObjects->setVisible(choice.showSwitches);
    m_includeGroup->setVisible(choice.showSwitches);
    layout->addWidget(m_allObjects);
    layout->addWidget(m_includeGroup);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("Ок"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 480);

    if (m_tree->reload()) {
        m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        if (choice.objectKey <= 0 || !m_tree->setCurrentId(choice.objectKey))
            m_tree->setCurrentIndex(m_model->index(0, 0));
    }
}

TdlgRentChooseObject::~TdlgRentChooseObject() = default;

void TdlgRentChooseObject::accept()
{
    const std::optional<qint64> current = m_tree->currentId();
    if (!current)
        return;
    m_choice.objectKey = int(*current);
    m_choice.marked.clear();
    for (qint64 id : m_model->markedIds())
        m_choice.marked << int(id);
    m_choice.allObjects = m_allObjects->isChecked();
    m_choice.includeGroup = m_includeGroup->isChecked();
    QDialog::accept();
}

} // namespace korvex::reference
