#include "ptObject.h"

#include "db/xDatabase.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/xQueryModel.h"
#include "widgets/xTreeModel.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::reference {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxQueryModel;
using korvex::widgets::TxTreeModel;

TptObject::TptObject(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 60, parent)
    , m_windows(this)
{
    setObjectName(QStringLiteral("ptObject"));
    setCaption(tr("Объекты"));
    setSection(tr("Справочники"), tr("Объекты"));
    m_bo = new TboRentObject(context, &m_windows, this);

    addTab(tr("&Объекты"), buildObjectsTab());
    m_usedGrid = buildContractGrid(QStringLiteral("UsedGrid"), m_used);
    addTab(tr("&Где используется"), m_usedGrid);
    m_historyGrid = buildContractGrid(QStringLiteral("HistoryGrid"), m_history);
    addTab(tr("&История"), m_historyGrid);
    m_locations = buildNameTree(new TboRentLocation(context, &m_windows, this), QStringLiteral("LocationTree"));
    addTab(tr("&Места расположения"), m_locations.view);
    m_types = buildNameTree(new TboRentObjectType(context, &m_windows, this), QStringLiteral("TypeTree"));
    addTab(tr("&Типы объектов"), m_types.view);
    tabChanged(ObjectsTab);

    QMenu *menu = createPageMenu(tr("Объекты"));
    menu->addAction(m_moveAction);
    menu->addAction(m_moveTopAction);

    guarded([&] { actionRefresh(); });
    restorePlacement();
}

TptObject::~TptObject() = default;

QWidget *TptObject::buildObjectsTab()
{
    m_objects = new TxTreeModel(context().db, this);
    m_bo->setUpTree(*m_objects, false);
    m_objectTree = new TxDBTreeView(this);
    m_objectTree->setObjectName(QStringLiteral("ObjectTree"));
    m_objectTree->setTreeModel(m_objects);
    // A reload builds the columns anew: widths are set again each time.
    connect(m_objects, &QAbstractItemModel::modelReset, m_objectTree, [this] {
        m_objectTree->setFieldWidth(QStringLiteral("name"), 300);
        m_objectTree->setFieldWidth(QStringLiteral("locationname"), 200);
        m_objectTree->setFieldWidth(QStringLiteral("objecttypename"), 150);
        for (const char *coef : {"coef1", "coef2", "coef3"})
            m_objectTree->setFieldWidth(QString::fromLatin1(coef), 110);
    });
    m_objectTree->setContextMenuPolicy(Qt::ActionsContextMenu);

    // The tree's menu: the page's actions, then the moves.
    for (Action a : {Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh}) {
        auto *action = new QAction(actionButton(a)->text(), m_objectTree);
        connect(action, &QAction::triggered, this, [this, a] { trigger(a); });
        m_objectTree->addAction(action);
    }
    auto *separator = new QAction(m_objectTree);
    separator->setSeparator(true);
    m_objectTree->addAction(separator);
    m_moveAction = new QAction(tr("Переместить объекты"), this);
    m_moveTopAction = new QAction(tr("Переместить в главную группу"), this);
    connect(m_moveAction, &QAction::triggered, this, [this] { guarded([&] { moveMarkedHere(); }); });
    connect(m_moveTopAction, &QAction::triggered, this, [this] { guarded([&] { moveMarkedToTop(); }); });
    m_objectTree->addAction(m_moveAction);
    m_objectTree->addAction(m_moveTopAction);
    connect(m_objects, &TxTreeModel::marksChanged, this, &TptObject::updateMoveActions);
    connect(m_objects, &QAbstractItemModel::modelReset, this, &TptObject::updateMoveActions);
    updateMoveActions();

    // A double click edits the object, except in the cells typed into.
    connect(m_objectTree, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!m_objects->isNumberColumn(index.column()))
            trigger(Action::Edit);
    });
    return m_objectTree;
}

TxDBGrid *TptObject::buildContractGrid(const QString &name, TxQueryModel *&model)
{
    model = new TxQueryModel(context().db, this);
    auto *grid = new TxDBGrid(this);
    grid->setObjectName(name);
    grid->setKeyField(QStringLiteral("contractkey"));
    grid->setModel(model);
    grid->setFieldVisible(QStringLiteral("contractkey"), false);
    grid->setFieldTitle(QStringLiteral("number"), tr("Номер договора"));
    grid->setFieldTitle(QStringLiteral("signdate"), tr("Дата подписания"));
    grid->setFieldTitle(QStringLiteral("customername"), tr("Клиент"));
    grid->setFieldWidth(QStringLiteral("customername"), 300);
    return grid;
}

TptObject::NameTree TptObject::buildNameTree(TboRentTreeItem *bo, const QString &name)
{
    NameTree tree;
    tree.bo = bo;
    tree.model = new TxTreeModel(context().db, this);
    bo->setUpTree(*tree.model);
    tree.view = new TxDBTreeView(this);
    tree.view->setObjectName(name);
    tree.view->setTreeModel(tree.model);
    connect(tree.model, &QAbstractItemModel::modelReset, tree.view,
            [view = tree.view] { view->setFieldWidth(QStringLiteral("name"), 360); });
    connect(tree.view, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return tree;
}

TptObject::NameTree *TptObject::currentNameTree()
{
    switch (currentTab()) {
    case LocationsTab: return &m_locations;
    case TypesTab: return &m_types;
    default: return nullptr;
    }
}

std::optional<int> TptObject::currentObject() const
{
    const std::optional<qint64> id = m_objectTree->currentId();
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

void TptObject::updateMoveActions()
{
    const bool marked = m_objects->markedCount() > 0;
    m_moveAction->setEnabled(marked);
    m_moveTopAction->setEnabled(marked);
}

void TptObject::tabChanged(int index)
{
    const bool editable = index == ObjectsTab || index == LocationsTab || index == TypesTab;
    if (editable)
        setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    else
        setActions({Action::Refresh});
    if (index == UsedTab)
        loadContracts(m_used, m_usedGrid, TboRentObject::usedInContractsSql());
    else if (index == HistoryTab)
        loadContracts(m_history, m_historyGrid, TboRentObject::contractHistorySql());
}

void TptObject::loadContracts(TxQueryModel *model, TxDBGrid *grid, const QString &sql)
{
    if (!model || !grid)
        return;
    model->setStatement(sql, {currentObject().value_or(0)}, QStringLiteral("3, 1"));
    grid->requery();
}

korvex::widgets::TxDBTreeView *TptObject::currentTree()
{
    if (NameTree *tree = currentNameTree())
        return tree->view;
    return currentTab() == ObjectsTab ? m_objectTree : nullptr;
}

void TptObject::addRow(bool child)
{
    TxDBTreeView *view = currentTree();
    if (!view)
        return;
    // A new row goes beside the current one, or below it for a sub-level.
    const std::optional<qint64> current = view->currentId();
    if (child && !current)
        return;
    const int parent = int(child ? *current : (current ? view->treeModel()->parentOf(*current).value_or(0) : 0));
    int key = 0;
    NameTree *tree = currentNameTree();
    const bool stored = tree ? tree->bo->newItem(parent, QString(), &key) : m_bo->NewObject(parent, &key);
    if (stored) {
        view->reload();
        view->setCurrentId(key);
    }
}

void TptObject::changeCurrentRow(const std::function<bool(int)> &onObject, bool (TboRentTreeItem::*onName)(int))
{
    TxDBTreeView *view = currentTree();
    const std::optional<qint64> current = view ? view->currentId() : std::nullopt;
    if (!current)
        return;
    NameTree *tree = currentNameTree();
    if (tree ? (tree->bo->*onName)(int(*current)) : onObject(int(*current)))
        view->reload();
}

void TptObject::actionAdd()
{
    addRow(false);
}

void TptObject::actionAddChild()
{
    addRow(true);
}

void TptObject::actionEdit()
{
    changeCurrentRow([this](int key) { return m_bo->EditObject(key); }, &TboRentTreeItem::editItem);
}

void TptObject::actionDelete()
{
    changeCurrentRow([this](int key) { return m_bo->DeleteObject(key); }, &TboRentTreeItem::deleteItem);
}

void TptObject::actionRefresh()
{
    m_objectTree->reload();
    m_locations.view->reload();
    m_types.view->reload();
    if (currentTab() == UsedTab || currentTab() == HistoryTab)
        tabChanged(currentTab());
}

void TptObject::moveMarkedHere()
{
    const std::optional<int> target = currentObject();
    if (!target || m_objects->markedCount() == 0)
        return;
    m_objectTree->moveMarked(*target);
}

void TptObject::moveMarkedToTop()
{
    if (m_objects->markedCount() == 0)
        return;
    m_objectTree->moveMarked(std::nullopt);
}

} // namespace korvex::reference
