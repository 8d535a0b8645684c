#include "dlgCustAttributes.h"

#include "uiCommon.h"
#include "customers/boCustAttr.h"
#include "db/xDbError.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

TdlgCustAttributes::TdlgCustAttributes(korvex::db::TxDatabase &db, const QList<int> &customers, bool showOwn,
                                       QWidget *parent)
    : TdlgTreeChooser(
          db,
          [](TxTreeModel &model) {
              model.setTable(QStringLiteral("ph_attr"));
              model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
              model.setDisplayFields({QStringLiteral("shortname")});
              model.setFieldTitle(QStringLiteral("name"), tr("Полное наименование"));
              model.setFieldTitle(QStringLiteral("shortname"), tr("Краткое наименование"));
              model.setMarkable(true);
          },
          parent)
    , m_db(db)
    , m_customers(customers)
{
    setWindowTitle(tr("Аттрибуты"));
    setObjectName(QStringLiteral("dlgCustAttributes"));
    setCurrentRequired(false);
    okButton()->setText(tr("&Готово"));
    cancelButton()->setText(tr("&Отмена"));
    int at = 0;
    auto button = [&](const QString &text, const std::function<void()> &handler) {
        auto *b = new QPushButton(text, this);
        buttonRow()->insertWidget(at++, b);
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded(this, handler); });
    };
    button(tr("Новый..."), [this] { editAttribute(true, false); });
    button(tr("Подуровень..."), [this] { editAttribute(true, true); });
    button(tr("Изменить..."), [this] { editAttribute(false, false); });
    button(tr("Удалить"), [this] { deleteAttribute(); });

    QList<int> own;
    if (showOwn && m_customers.size() == 1)
        own = TCustAttributes(db).attributesOf(m_customers.first());
    load(std::nullopt, own, true);
    resize(520, 480);
}

void TdlgCustAttributes::accept()
{
    if (confirm())
        TdlgTreeChooser::accept();
}

bool TdlgCustAttributes::confirm()
{
    const QList<int> marked = model()->markedKeys();
    bool done = false;
    guarded(this, [&] {
        TxMessages prompt(this);
        done = TCustAttributes(m_db).replace(m_customers, marked, prompt);
    });
    return done;
}

void TdlgCustAttributes::editAttribute(bool create, bool below)
{
    const auto current = tree()->currentId();
    if (!create && !current)
        return;
    TCustAttributes attributes(m_db);
    auto asKey = [](const QVariant &v) { return v.isNull() || !v.isValid() ? std::nullopt : std::optional<int>(v.toInt()); };
    const TAttributeRecord row =
        create ? attributes.newAttribute(below ? (current ? std::optional<int>(int(*current)) : std::nullopt)
                                               : (current ? asKey(model()->value(*current, QStringLiteral("parent")))
                                                          : std::nullopt))
               : attributes.attribute(int(*current));
    TdlgCustAttr dialog(m_db, row, this);
    dialog.exec();
    if (dialog.savedKey() > 0 && tree()->reload())
        tree()->setCurrentId(dialog.savedKey());
}

void TdlgCustAttributes::deleteAttribute()
{
    const auto current = tree()->currentId();
    if (!current)
        return;
    try {
        TCustAttributes(m_db).deleteAttribute(int(*current));
    } catch (const korvex::db::EDatabaseError &e) {
        if (!e.isInUse())
            throw;
        TxMessages::warning(this, tr("Данная запись уже где-то используется!"));
        return;
    }
    tree()->reload();
}

// ---------------------------------------------------------------------------

TdlgCustAttr::TdlgCustAttr(korvex::db::TxDatabase &db, const TAttributeRecord &row, QWidget *parent)
    : TxEditDialog(db, parent)
    , m_row(row)
{
    setRecordKey(row.stored ? row.id : 0);
    setWindowTitle(tr("Аттрибут"));
    setObjectName(QStringLiteral("dlgCustAttr"));
    okButton()->setText(tr("&Готово"));
    cancelButton()->setText(tr("&Отмена"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    auto text = [&](const QString &caption, const QString &name, const QString &value) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setText(value);
        form->addRow(caption, edit);
        return edit;
    };
    m_name = text(tr("Полное наименование:"), QStringLiteral("name"), row.name);
    m_shortName = text(tr("Краткое наименование:"), QStringLiteral("shortname"), row.shortname);
    m_tokem = text(tr("Токемы:"), QStringLiteral("tokem"), row.tokem);
    m_hotkey = new QKeySequenceEdit(this);
    m_hotkey->setObjectName(QStringLiteral("hotkey"));
    form->addRow(tr("Горячая клавиша"), m_hotkey);
    if (row.hotkey)
        m_hotkey->setKeySequence(QKeySequence(*row.hotkey));
    m_disabled = new QCheckBox(this);
    m_disabled->setObjectName(QStringLiteral("disabled"));
    m_disabled->setChecked(row.disabled);
    form->addRow(tr("Выключен:"), m_disabled);
    addRequired(m_shortName, tr("Введиет краткое наименование"));
}

int TdlgCustAttr::writeRecord()
{
    TAttributeRecord r = m_row;
    r.name = m_name->text().trimmed();
    r.shortname = m_shortName->text().trimmed();
    r.tokem = m_tokem->text().trimmed();
    r.disabled = m_disabled->isChecked();
    const QKeySequence keys = m_hotkey->keySequence();
    r.hotkey = keys.isEmpty() ? std::nullopt : std::optional<int>(keys[0].toCombined());
    TCustAttributes(db()).writeAttribute(r);
    return r.id;
}

void TdlgCustAttr::afterSave()
{
    m_row.stored = true;
}

} // namespace korvex::customers
