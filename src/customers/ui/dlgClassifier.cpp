#include "dlgClassifier.h"

#include "customerLookups.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;
using namespace korvex::widgets;

TdlgClassifier::TdlgClassifier(TxDatabase &db, TClassifier kind, QWidget *parent)
    : TxEditDialog(db, parent)
    , m_bo(db, kind)
{
    setWindowTitle(m_bo.info().caption);
    setObjectName(m_bo.info().table);
    okButton()->setText(tr("&Готово"));
    cancelButton()->setText(tr("&Отмена"));
    m_form = new QFormLayout;
    contentLayout()->addLayout(m_form);
}

std::unique_ptr<TdlgClassifier> TdlgClassifier::create(TClassifier kind, TxDatabase &db, const QString &initialName,
                                                       int key, QWidget *parent)
{
    switch (kind) {
    case TClassifier::PropertyKind: return std::make_unique<TdlgPropertyKind>(db, initialName, key, parent);
    case TClassifier::CompanyKind: return std::make_unique<TDlgCompanyKind>(db, initialName, key, parent);
    case TClassifier::Branch: return std::make_unique<TdlgBranch>(db, initialName, key, parent);
    case TClassifier::ActCategory: return std::make_unique<TdlgActCategory>(db, initialName, key, parent);
    case TClassifier::PlaceKind:
    case TClassifier::Place: break;
    }
    throw std::logic_error("TdlgClassifier::create: kinds and places have dialogs of their own");
}

QLineEdit *TdlgClassifier::addText(const QString &caption, QString TClassifierRecord::*member, const QString &name)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    m_form->addRow(caption, edit);
    m_texts.append({edit, member});
    return edit;
}

QCheckBox *TdlgClassifier::addCheck(const QString &caption, bool TClassifierRecord::*member, const QString &name)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(name);
    m_form->addRow(QString(), box);
    m_checks.append({box, member});
    return box;
}

void TdlgClassifier::start(const QString &initialName, int key, const TClassifierRecord &defaults, bool nextAllowed)
{
    m_defaults = defaults;
    if (key == -1)
        m_bo.openNew(initialName, defaults);
    else
        m_bo.open(key);
    setRecordKey(m_bo.isNew() ? 0 : m_bo.key());
    setNextEnabled(nextAllowed && key == -1 && !db().inTransaction());
    displayAll();
}

void TdlgClassifier::displayAll()
{
    const TClassifierRecord &r = m_bo.record();
    for (const auto &[edit, member] : std::as_const(m_texts))
        edit->setText(r.*member);
    for (const auto &[box, member] : std::as_const(m_checks))
        box->setChecked(r.*member);
    display(r);
}

int TdlgClassifier::writeRecord()
{
    TClassifierRecord &r = m_bo.record();
    for (const auto &[edit, member] : std::as_const(m_texts))
        r.*member = edit->text().trimmed();
    for (const auto &[box, member] : std::as_const(m_checks))
        r.*member = box->isChecked();
    collect(r);
    try {
        m_bo.write();
    } catch (const EDatabaseError &e) {
        if (m_bo.info().saveFailedMessage.isEmpty())
            throw;
        throw EDatabaseError(m_bo.info().saveFailedMessage + QLatin1Char('\n') + e.message(), e.sqlCode(), e.statement());
    }
    return m_bo.key();
}

void TdlgClassifier::afterSave()
{
    m_bo.confirm();
}

void TdlgClassifier::startNextRecord()
{
    m_bo.openNew(QString(), m_defaults);
    displayAll();
    if (QWidget *first = m_form->itemAt(0, QFormLayout::FieldRole) ? m_form->itemAt(0, QFormLayout::FieldRole)->widget() : nullptr)
        first->setFocus();
}

// ---------------------------------------------------------------------------

TdlgPropertyKind::TdlgPropertyKind(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::PropertyKind, parent)
{
    addText(tr("Наименование:"), &TClassifierRecord::name, QStringLiteral("name"));
    start(initialName, key, {});
}

TDlgCompanyKind::TDlgCompanyKind(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::CompanyKind, parent)
{
    addText(tr("Краткое наименование:"), &TClassifierRecord::name, QStringLiteral("name"));
    addText(tr("Полное наименование:"), &TClassifierRecord::fullname, QStringLiteral("fullname"));
    start(initialName, key, {});
}

TdlgBranch::TdlgBranch(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::Branch, parent)
{
    addText(tr("Наименование:"), &TClassifierRecord::name, QStringLiteral("name"));
    start(initialName, key, {});
}

TdlgActCategory::TdlgActCategory(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::ActCategory, parent)
{
    addText(tr("Наименование:"), &TClassifierRecord::name, QStringLiteral("name"));
    start(initialName, key, {});
}

TdlgPlaceKind::TdlgPlaceKind(TxDatabase &db, const QString &initialName, int key, int defaultGrade, QWidget *parent)
    : TdlgClassifier(db, TClassifier::PlaceKind, parent)
{
    addText(tr("Краткое наименование:"), &TClassifierRecord::abbr, QStringLiteral("abbr"));
    addText(tr("Полное наименование:"), &TClassifierRecord::name, QStringLiteral("name"));
    m_grade = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, this);
    m_grade->setObjectName(QStringLiteral("grade"));
    form()->addRow(tr("Уровень:"), m_grade);
    m_stand = new QComboBox(this);
    m_stand->setObjectName(QStringLiteral("stand"));
    m_stand->addItems({tr("Не отображается"), tr("До"), tr("После")});
    form()->addRow(tr("Расположение в адресе:"), m_stand);
    addCheck(tr("Не активен"), &TClassifierRecord::disabled, QStringLiteral("disabled"));
    TClassifierRecord defaults;
    defaults.grade = defaultGrade;
    start(initialName, key, defaults);
}

void TdlgPlaceKind::display(const TClassifierRecord &r)
{
    if (r.grade)
        m_grade->setIntValue(*r.grade);
    else
        m_grade->clear();
    m_stand->setCurrentIndex(r.stand ? *r.stand : -1);
}

void TdlgPlaceKind::collect(TClassifierRecord &r) const
{
    r.grade = m_grade->intValue();
    r.stand = m_stand->currentIndex() < 0 ? std::nullopt : std::optional<int>(m_stand->currentIndex());
}

void TdlgPlaceKind::startNextRecord()
{
    // The next kind keeps the grade just used.
    const auto grade = m_grade->intValue();
    TdlgClassifier::startNextRecord();
    if (grade) {
        classifier().record().grade = *grade;
        m_grade->setIntValue(*grade);
    }
}

TdlgPlace::TdlgPlace(TxDatabase &db, const QString &initialName, int key, const QVariant &defaultParent,
                     const QVariant &defaultKind, QWidget *parent)
    : TdlgClassifier(db, TClassifier::Place, parent)
{
    m_kind = newPlaceKindBox(db, QStringLiteral("placekind"), this);
    form()->addRow(tr("Тип места:"), m_kind);
    addText(tr("Наименование:"), &TClassifierRecord::name, QStringLiteral("name"));
    m_parent = newPlaceBox(db, QStringLiteral("parent"), this);
    form()->addRow(tr("Родительский уровень:"), m_parent);
    addText(tr("Комментарий:"), &TClassifierRecord::comment, QStringLiteral("comment"));
    addCheck(tr("Включать в адрес"), &TClassifierRecord::inAddress, QStringLiteral("inaddress"));
    addCheck(tr("Включать в адрес верхние уровни"), &TClassifierRecord::useHighLevel, QStringLiteral("usehighlevel"));
    TClassifierRecord defaults;
    if (!defaultParent.isNull())
        defaults.parent = defaultParent.toInt();
    if (!defaultKind.isNull())
        defaults.placeKind = defaultKind.toInt();
    start(initialName, key, defaults, false);
}

void TdlgPlace::display(const TClassifierRecord &r)
{
    m_kind->setKey(r.placeKind ? QVariant(*r.placeKind) : QVariant());
    m_parent->setKey(r.parent ? QVariant(*r.parent) : QVariant());
}

void TdlgPlace::collect(TClassifierRecord &r) const
{
    m_kind->resolveText();
    m_parent->resolveText();
    r.placeKind = m_kind->intKey();
    r.parent = m_parent->intKey();
}

} // namespace korvex::customers
