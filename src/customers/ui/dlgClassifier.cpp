#include "dlgClassifier.h"

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

QLineEdit *TdlgClassifier::addText(const QString &caption, const QString &field)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(field);
    m_form->addRow(caption, edit);
    m_binder.text(edit, m_bo.row(), field);
    return edit;
}

QCheckBox *TdlgClassifier::addCheck(const QString &caption, const QString &field)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(field);
    m_form->addRow(QString(), box);
    m_binder.check(box, m_bo.row(), field);
    return box;
}

void TdlgClassifier::start(const QString &initialName, int key, const QVariantMap &defaults, bool nextAllowed)
{
    m_defaults = defaults;
    if (key == -1)
        m_bo.openNew(initialName, defaults);
    else
        m_bo.open(key);
    setNextEnabled(nextAllowed && key == -1 && !db().inTransaction());
    m_binder.load();
}

void TdlgClassifier::writeRecord()
{
    m_binder.store();
    try {
        m_bo.write();
    } catch (const EDatabaseError &e) {
        if (m_bo.info().saveFailedMessage.isEmpty())
            throw;
        throw EDatabaseError(m_bo.info().saveFailedMessage + QLatin1Char('\n') + e.message(), e.sqlCode(), e.statement());
    }
}

void TdlgClassifier::afterSave()
{
    m_bo.confirm();
    m_savedKey = m_bo.key();
}

void TdlgClassifier::startNextRecord()
{
    m_bo.openNew(QString(), m_defaults);
    m_binder.load();
    if (QWidget *first = m_form->itemAt(0, QFormLayout::FieldRole) ? m_form->itemAt(0, QFormLayout::FieldRole)->widget() : nullptr)
        first->setFocus();
}

// ---------------------------------------------------------------------------

TdlgPropertyKind::TdlgPropertyKind(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::PropertyKind, parent)
{
    addText(tr("Наименование:"), QStringLiteral("name"));
    start(initialName, key, {});
}

TDlgCompanyKind::TDlgCompanyKind(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::CompanyKind, parent)
{
    addText(tr("Краткое наименование:"), QStringLiteral("name"));
    addText(tr("Полное наименование:"), QStringLiteral("fullname"));
    start(initialName, key, {});
}

TdlgBranch::TdlgBranch(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::Branch, parent)
{
    addText(tr("Наименование:"), QStringLiteral("name"));
    start(initialName, key, {});
}

TdlgActCategory::TdlgActCategory(TxDatabase &db, const QString &initialName, int key, QWidget *parent)
    : TdlgClassifier(db, TClassifier::ActCategory, parent)
{
    addText(tr("Наименование:"), QStringLiteral("name"));
    start(initialName, key, {});
}

TdlgPlaceKind::TdlgPlaceKind(TxDatabase &db, const QString &initialName, int key, int defaultGrade, QWidget *parent)
    : TdlgClassifier(db, TClassifier::PlaceKind, parent)
{
    addText(tr("Краткое наименование:"), QStringLiteral("abbr"));
    addText(tr("Полное наименование:"), QStringLiteral("name"));
    m_grade = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, this);
    m_grade->setObjectName(QStringLiteral("grade"));
    form()->addRow(tr("Уровень:"), m_grade);
    binder().number(m_grade, classifier().row(), QStringLiteral("grade"));
    auto *stand = new QComboBox(this);
    stand->setObjectName(QStringLiteral("stand"));
    stand->addItems({tr("Не отображается"), tr("До"), tr("После")});
    form()->addRow(tr("Расположение в адресе:"), stand);
    binder().position(stand, classifier().row(), QStringLiteral("stand"));
    addCheck(tr("Не активен"), QStringLiteral("disabled"));
    start(initialName, key, {{QStringLiteral("grade"), defaultGrade}});
}

void TdlgPlaceKind::startNextRecord()
{
    // The next kind keeps the grade just used.
    const auto grade = m_grade->intValue();
    TdlgClassifier::startNextRecord();
    if (grade) {
        classifier().row().setValue(QStringLiteral("grade"), *grade);
        m_grade->setIntValue(*grade);
    }
}

TdlgPlace::TdlgPlace(TxDatabase &db, const QString &initialName, int key, const QVariant &defaultParent,
                     const QVariant &defaultKind, QWidget *parent)
    : TdlgClassifier(db, TClassifier::Place, parent)
{
    m_kind = new TxLookupBox(this);
    m_kind->setObjectName(QStringLiteral("placekind"));
    m_kind->setChooserVisible(false);
    m_kind->setSource(std::make_unique<TxTableLookup>(db, QStringLiteral("fin_placekind"), QStringLiteral("placekindkey"),
                                                      QStringLiteral("name")));
    form()->addRow(tr("Тип места:"), m_kind);
    binder().lookup(m_kind, classifier().row(), QStringLiteral("placekind"));
    addText(tr("Наименование:"), QStringLiteral("name"));
    m_parent = new TxLookupBox(this);
    m_parent->setObjectName(QStringLiteral("parent"));
    m_parent->setChooserVisible(false);
    m_parent->setSource(std::make_unique<TxProcLookup>(db, QStringLiteral("cst_p_place_view"), QStringLiteral("cst_p_place_search"),
                                                       QStringLiteral("placekey"), QStringLiteral("name")));
    form()->addRow(tr("Родительский уровень:"), m_parent);
    binder().lookup(m_parent, classifier().row(), QStringLiteral("parent"));
    addText(tr("Комментарий:"), QStringLiteral("comment"));
    addCheck(tr("Включать в адрес"), QStringLiteral("inaddress"));
    addCheck(tr("Включать в адрес верхние уровни"), QStringLiteral("usehighlevel"));
    QVariantMap defaults;
    if (!defaultParent.isNull())
        defaults.insert(QStringLiteral("parent"), defaultParent);
    if (!defaultKind.isNull())
        defaults.insert(QStringLiteral("placekind"), defaultKind);
    start(initialName, key, defaults, false);
}

} // namespace korvex::customers
