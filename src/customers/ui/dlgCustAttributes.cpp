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
    : QDialog(parent)
    , m_db(db)
    , m_customers(customers)
{
    setWindowTitle(tr("Аттрибуты"));
    setObjectName(QStringLiteral("dlgCustAttributes"));
    auto *layout = new QVBoxLayout(this);
    m_model = new TxTreeModel(db, this);
    m_model->setTable(QStringLiteral("ph_attr"));
    m_model->setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    m_model->setDisplayFields({QStringLiteral("shortname")});
    m_model->setFieldTitle(QStringLiteral("name"), tr("Полное наименование"));
    m_model->setFieldTitle(QStringLiteral("shortname"), tr("Краткое наименование"));
    m_model->setMarkable(true);
    m_tree = new TxDBTreeView(this);
    m_tree->setTreeModel(m_model);
    layout->addWidget(m_tree, 1);

    QHBoxLayout *row = confirmRow(this, tr("&Готово"), tr("&Отмена"), [this] { return confirm(); });
    int at = 0;
    auto button = [&](const QString &text, const std::function<void()> &handler) {
        auto *b = new QPushButton(text, this);
        row->insertWidget(at++, b);
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded(this, handler); });
        return b;
    };
    button(tr("Новый..."), [this] { editAttribute(true, false); });
    button(tr("Подуровень..."), [this] { editAttribute(true, true); });
    button(tr("Изменить..."), [this] { editAttribute(false, false); });
    button(tr("Удалить"), [this] { deleteAttribute(); });
    layout->addLayout(row);

    m_model->load();
    m_tree->expandAll();
    if (showOwn && m_customers.size() == 1) {
        const QList<int> own = TCustAttributes(db).attributesOf(m_customers.first());
        m_model->setMarked(QList<qint64>(own.cbegin(), own.cend()), true);
    }
    resize(520, 480);
}

bool TdlgCustAttributes::confirm()
{
    QList<int> marked;
    for (qint64 id : m_model->markedIds())
        marked << int(id);
    bool done = false;
    guarded(this, [&] {
        TxMessages prompt(this);
        done = TCustAttributes(m_db).replace(m_customers, marked, prompt);
    });
    return done;
}

void TdlgCustAttributes::editAttribute(bool create, bool below)
{
    const auto current = m_tree->currentId();
    if (!create && !current)
        return;
    TCustAttributes attributes(m_db);
    TCachedRow row = create ? attributes.newAttribute(below ? (current ? QVariant(*current) : QVariant())
                                                            : (current ? m_model->value(*current, QStringLiteral("parent"))
                                                                       : QVariant()))
                            : attributes.attribute(int(*current));
    TdlgCustAttr dialog(m_db, row, this);
    dialog.exec();
    if (dialog.savedKey() > 0 && m_tree->reload())
        m_tree->setCurrentId(dialog.savedKey());
}

void TdlgCustAttributes::deleteAttribute()
{
    const auto current = m_tree->currentId();
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
    m_tree->reload();
}

// ---------------------------------------------------------------------------

TdlgCustAttr::TdlgCustAttr(korvex::db::TxDatabase &db, const TCachedRow &row, QWidget *parent)
    : TxEditDialog(db, parent)
    , m_row(row)
{
    setWindowTitle(tr("Аттрибут"));
    setObjectName(QStringLiteral("dlgCustAttr"));
    okButton()->setText(tr("&Готово"));
    cancelButton()->setText(tr("&Отмена"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    auto text = [&](const QString &caption, const QString &field) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(field);
        form->addRow(caption, edit);
        m_binder.text(edit, m_row, field);
        return edit;
    };
    text(tr("Полное наименование:"), QStringLiteral("name"));
    QLineEdit *shortName = text(tr("Краткое наименование:"), QStringLiteral("shortname"));
    text(tr("Токемы:"), QStringLiteral("tokem"));
    m_hotkey = new QKeySequenceEdit(this);
    m_hotkey->setObjectName(QStringLiteral("hotkey"));
    form->addRow(tr("Горячая клавиша"), m_hotkey);
    auto *disabled = new QCheckBox(this);
    disabled->setObjectName(QStringLiteral("disabled"));
    form->addRow(tr("Выключен:"), disabled);
    m_binder.check(disabled, m_row, QStringLiteral("disabled"));
    addRequired(shortName, tr("Введиет краткое наименование"));

    m_binder.load();
    const QVariant hotkey = m_row.value(QStringLiteral("hotkey"));
    if (!hotkey.isNull() && hotkey.toInt() != 0)
        m_hotkey->setKeySequence(QKeySequence(hotkey.toInt()));
}

void TdlgCustAttr::writeRecord()
{
    m_binder.store();
    const QKeySequence keys = m_hotkey->keySequence();
    m_row.setValue(QStringLiteral("hotkey"), keys.isEmpty() ? QVariant() : QVariant(keys[0].toCombined()));
    m_row.setValue(QStringLiteral("rating"), 1);
    m_row.write(db());
}

void TdlgCustAttr::afterSave()
{
    m_row.confirm();
    m_savedKey = m_row.key().toInt();
}

} // namespace korvex::customers
