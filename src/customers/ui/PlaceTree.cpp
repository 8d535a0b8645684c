#include "PlaceTree.h"

#include "dlgClassifier.h"
#include "uiCommon.h"
#include "customers/PlaceTreeModel.h"
#include "db/xDbError.h"
#include "widgets/ui/xMessages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

TPlaceTreeView::TPlaceTreeView(korvex::db::TxDatabase &db, QWidget *parent)
    : QTreeView(parent)
    , m_db(db)
    , m_model(new TPlaceTreeModel(db, this))
{
    setModel(m_model);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setStretchLastSection(false);
    connect(m_model, &TPlaceTreeModel::loadFailed, this, [this](const QString &text) { TxMessages::error(this, text); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TPlaceTreeView::currentKeyChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TPlaceTreeView::currentKeyChanged);
}

std::optional<int> TPlaceTreeView::currentKey() const
{
    return m_model->keyOf(currentIndex());
}

bool TPlaceTreeView::setCurrentKey(int placeKey)
{
    try {
        const QModelIndex index = m_model->indexOf(placeKey);
        if (!index.isValid())
            return false;
        for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
            expand(p);
        setCurrentIndex(index);
        scrollTo(index);
        return true;
    } catch (const korvex::db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
        return false;
    }
}

bool TPlaceTreeView::reload()
{
    const std::optional<int> current = currentKey();
    try {
        m_model->reload();
        m_loaded = true;
    } catch (const korvex::db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
        return false;
    }
    if (current)
        setCurrentKey(*current);
    else if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, 0));
    return true;
}

int TPlaceTreeView::addPlace(bool below)
{
    const QModelIndex current = currentIndex();
    QVariant parent;
    QVariant kind;
    if (below) {
        if (const auto key = currentKey())
            parent = *key;
    } else if (current.isValid()) {
        if (const int p = m_model->parentKeyOf(current); p > 0)
            parent = p;
        kind = m_model->kindOf(current);
    }
    int saved = -1;
    guarded(this, [&] {
        TdlgPlace dialog(m_db, QString(), -1, parent, kind, this);
        dialog.exec();
        saved = dialog.savedKey();
    });
    if (saved > 0 && reload())
        setCurrentKey(saved);
    return saved;
}

int TPlaceTreeView::editCurrent()
{
    const auto key = currentKey();
    if (!key)
        return -1;
    int saved = -1;
    guarded(this, [&] {
        TdlgPlace dialog(m_db, QString(), *key, {}, {}, this);
        dialog.exec();
        saved = dialog.savedKey();
    });
    if (saved > 0 && reload())
        setCurrentKey(saved);
    return saved;
}

// ---------------------------------------------------------------------------

TdlgPlaceTree::TdlgPlaceTree(korvex::db::TxDatabase &db, const QVariant &placeKey, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Адрес"));
    setObjectName(QStringLiteral("dlgPlaceTree"));
    auto *layout = new QVBoxLayout(this);
    addHeading(layout, tr(" Установите курсор на нужную позицию"));
    m_tree = new TPlaceTreeView(db, this);
    layout->addWidget(m_tree, 1);

    QHBoxLayout *buttons = confirmRow(this, tr("&Готово"), tr("&Отмена")).layout;
    auto *add = new QPushButton(tr("Добавить"), this);
    auto *menu = new QMenu(add);
    menu->addAction(tr("Уровень"), this, [this] { m_tree->addPlace(false); });
    menu->addAction(tr("Подуровень"), this, [this] { m_tree->addPlace(true); });
    add->setMenu(menu);
    auto *edit = new QPushButton(tr("Изменить"), this);
    auto *refresh = new QPushButton(tr("Перечитать"), this);
    buttons->insertWidget(0, add);
    buttons->insertWidget(1, edit);
    buttons->insertWidget(2, refresh);
    layout->addLayout(buttons);
    connect(edit, &QPushButton::clicked, this, [this] { m_tree->editCurrent(); });
    connect(refresh, &QPushButton::clicked, this, [this] { m_tree->reload(); });
    connect(m_tree, &QTreeView::doubleClicked, this, &QDialog::accept);

    m_tree->reload();
    if (!placeKey.isNull())
        m_tree->setCurrentKey(placeKey.toInt());
    resize(480, 520);
}

} // namespace korvex::customers
