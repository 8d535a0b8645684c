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
    : TTreePart(context, 196, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptReckoning"), tr("Настройки"), tr("Формулы для расчета"));
    m_bo = new TboRentReckoningType(context, &m_windows, this);

    m_types = new TxTreeModel(context.db, this);
    m_bo->setUpTree(*m_types);
    m_tree = newTree(QStringLiteral("TypeTree"), m_types, {{QStringLiteral("name"), 320}, {QStringLiteral("description"), 400}});

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

    addTreeTab(tr("&Формулы"), m_tree,
               {[this](int parent, int *key) { return m_bo->NewReckoningType(parent, QString(), key); },
                [this](int key) { return m_bo->EditReckoningType(key); },
                [this](int key) { return m_bo->DeleteReckoningType(key); }});
    addTab(tr("&Позиции формулы"), m_stepGrid);
    showSubjectOf(m_tree, StepsTab, tr("Формула"));
    tabChanged(TypesTab);
    guarded(this, [&] { m_tree->reload(); });
    restorePlacement();
}

TptReckoning::~TptReckoning() = default;

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
    m_stepRows->setStatement(TboRentReckoningType::stepsSql(), {currentKey(m_tree).value_or(0)}, QStringLiteral("2, 1"));
    m_stepGrid->requery();
}

void TptReckoning::treeChanged(TxDBTreeView *)
{
    if (currentTab() == StepsTab)
        loadSteps();
}

void TptReckoning::actionRefresh()
{
    TTreePart::actionRefresh();
    if (currentTab() == StepsTab)
        loadSteps();
}

} // namespace korvex::calc
