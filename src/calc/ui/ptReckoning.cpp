#include "ptReckoning.h"

#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/xQueryModel.h"
#include "widgets/xTreeModel.h"

namespace korvex::calc {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxQueryModel;
using korvex::widgets::TxTreeModel;

TptReckoning::TptReckoning(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 196, parent)
    , m_windows(this)
{
    setObjectName(QStringLiteral("ptReckoning"));
    setCaption(tr("Формулы для расчета"));
    setSection(tr("Справочники"), tr("Формулы для расчета"));
    m_bo = new TboRentReckoningType(context, &m_windows, this);

    m_types = new TxTreeModel(context.db, this);
    m_bo->setUpTree(*m_types);
    m_tree = new TxDBTreeView(this);
    m_tree->setObjectName(QStringLiteral("TypeTree"));
    m_tree->setTreeModel(m_types);
    connect(m_types, &QAbstractItemModel::modelReset, m_tree, [this] {
        m_tree->setFieldWidth(QStringLiteral("name"), 320);
        m_tree->setFieldWidth(QStringLiteral("description"), 400);
    });
    connect(m_tree, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });

    m_stepRows = new TxQueryModel(context.db, this);
    m_stepGrid = new TxDBGrid(this);
    m_stepGrid->setObjectName(QStringLiteral("StepGrid"));
    m_stepGrid->setKeyField(QStringLiteral("id"));
    m_stepGrid->setModel(m_stepRows);
    m_stepGrid->setFieldVisible(QStringLiteral("id"), false);
    m_stepGrid->setFieldTitle(QStringLiteral("number"), tr("Номер"));
    m_stepGrid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_stepGrid->setFieldTitle(QStringLiteral("formula"), tr("Формула"));
    m_stepGrid->setFieldTitle(QStringLiteral("rounding"), tr("Округление"));
    m_stepGrid->setFieldWidth(QStringLiteral("name"), 160);
    m_stepGrid->setFieldWidth(QStringLiteral("formula"), 420);

    addTab(tr("&Формулы"), m_tree);
    addTab(tr("&Позиции формулы"), m_stepGrid);
    tabChanged(TypesTab);
    guarded([&] { m_tree->reload(); });
    restorePlacement();
}

TptReckoning::~TptReckoning() = default;

std::optional<int> TptReckoning::currentType() const
{
    const std::optional<qint64> id = m_tree->currentId();
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

void TptReckoning::tabChanged(int index)
{
    if (index == TypesTab) {
        setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    } else {
        setActions({});
        loadSteps();
    }
}

void TptReckoning::loadSteps()
{
    // No type selected lists nothing (no type has key 0).
    m_stepRows->setStatement(TboRentReckoningType::stepsSql(), {currentType().value_or(0)}, QStringLiteral("2, 1"));
    m_stepGrid->requery();
}

void TptReckoning::addType(bool child)
{
    const std::optional<int> current = currentType();
    if (child && !current)
        return;
    const int parent = child ? *current : (current ? int(m_types->parentOf(*current).value_or(0)) : 0);
    int key = 0;
    if (m_bo->NewReckoningType(parent, QString(), &key)) {
        m_tree->reload();
        m_tree->setCurrentId(key);
    }
}

void TptReckoning::actionAdd()
{
    addType(false);
}

void TptReckoning::actionAddChild()
{
    addType(true);
}

void TptReckoning::actionEdit()
{
    const std::optional<int> current = currentType();
    if (current && m_bo->EditReckoningType(*current)) {
        // The name may have changed; the tree keeps its selection.
        m_tree->reload();
        if (currentTab() == StepsTab)
            loadSteps();
    }
}

void TptReckoning::actionDelete()
{
    const std::optional<int> current = currentType();
    if (current && m_bo->DeleteReckoningType(*current)) {
        m_tree->reload();
        if (currentTab() == StepsTab)
            loadSteps();
    }
}

void TptReckoning::actionRefresh()
{
    m_tree->reload();
    if (currentTab() == StepsTab)
        loadSteps();
}

} // namespace korvex::calc
