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
    : TTreePart(context, 60, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptObject"), tr("Справочники"), tr("Объекты"));
    m_bo = new TboRentObject(context, &m_windows, this);

    buildObjectsTab();
    m_usedGrid = buildContractGrid(QStringLiteral("UsedGrid"), m_used);
    addTab(tr("&Где используется"), m_usedGrid);
    m_historyGrid = buildContractGrid(QStringLiteral("HistoryGrid"), m_history);
    addTab(tr("&История"), m_historyGrid);
    showSubjectOf(m_objectTree, UsedTab, tr("Объект"));
    showSubjectOf(m_objectTree, HistoryTab, tr("Объект"));
    m_locationModel = addNameTreeTab(tr("&Места расположения"), new TboRentLocation(context, &m_windows, this),
                                     QStringLiteral("LocationTree"));
    m_typeModel = addNameTreeTab(tr("&Типы объектов"), new TboRentObjectType(context, &m_windows, this),
                                 QStringLiteral("TypeTree"));
    tabChanged(ObjectsTab);

    QMenu *menu = createPageMenu(tr("Объекты"));
    menu->addAction(m_moveAction);
    menu->addAction(m_moveTopAction);

    guarded(this, [&] { actionRefresh(); });
    restorePlacement();
}

TptObject::~TptObject() = default;

void TptObject::buildObjectsTab()
{
    m_objects = new TxTreeModel(context().db, this);
    m_bo->setUpTree(*m_objects, false);
    m_objectTree = newTree(QStringLiteral("ObjectTree"), m_objects,
                           {{QStringLiteral("name"), 300},
                            {QStringLiteral("locationname"), 200},
                            {QStringLiteral("objecttypename"), 150},
                            {QStringLiteral("coef1"), 110},
                            {QStringLiteral("coef2"), 110},
                            {QStringLiteral("coef3"), 110}});
    addTreeTab(tr("&Объекты"), m_objectTree,
               {[this](int parent, int *key) { return m_bo->NewObject(parent, key); },
                [this](int key) { return m_bo->EditObject(key); },
                [this](int key) { return m_bo->DeleteObject(key); }});

    // The tree's menu: the page's actions, then the moves.
    addActionMenu(m_objectTree);
    m_moveAction = new QAction(tr("Переместить объекты"), this);
    m_moveTopAction = new QAction(tr("Переместить в главную группу"), this);
    connect(m_moveAction, &QAction::triggered, this, [this] { guarded(this, [&] { moveMarkedHere(); }); });
    connect(m_moveTopAction, &QAction::triggered, this, [this] { guarded(this, [&] { moveMarkedToTop(); }); });
    m_objectTree->addAction(m_moveAction);
    m_objectTree->addAction(m_moveTopAction);
    connect(m_objects, &TxTreeModel::marksChanged, this, &TptObject::updateMoveActions);
    connect(m_objects, &QAbstractItemModel::modelReset, this, &TptObject::updateMoveActions);
    updateMoveActions();
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

TxTreeModel *TptObject::addNameTreeTab(const QString &title, TboRentTreeItem *bo, const QString &name)
{
    auto *model = new TxTreeModel(context().db, this);
    bo->setUpTree(*model);
    addTreeTab(title, newTree(name, model, {{QStringLiteral("name"), 360}}),
               {[bo](int parent, int *key) { return bo->newItem(parent, QString(), key); },
                [bo](int key) { return bo->editItem(key); }, [bo](int key) { return bo->deleteItem(key); }});
    return model;
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
    // Locations and types made from the object dialog are there at once.
    else if (index == LocationsTab || index == TypesTab)
        (index == LocationsTab ? m_locationModel : m_typeModel)->load();
}

void TptObject::loadContracts(TxQueryModel *model, TxDBGrid *grid, const QString &sql)
{
    if (!model || !grid)
        return;
    model->setStatement(sql, {currentObject().value_or(0)}, QStringLiteral("3, 1"));
    grid->requery();
}

void TptObject::actionRefresh()
{
    TTreePart::actionRefresh();
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
