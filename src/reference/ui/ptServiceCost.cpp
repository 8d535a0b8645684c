#include "ptServiceCost.h"

#include "widgets/ui/xDBTreeView.h"
#include "widgets/xTreeModel.h"

namespace korvex::reference {

using korvex::widgets::TxTreeModel;

TptServiceCost::TptServiceCost(korvex::shell::TAppContext &context, QWidget *parent)
    : TTreePart(context, 832, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptServiceCost"), tr("Справочники"), tr("Прайс листы"));
    m_bo = new TboRentServiceCost(context, &m_windows, this);

    m_costs = new TxTreeModel(context.db, this);
    m_bo->setUpTree(*m_costs);
    m_tree = newTree(QStringLiteral("CostTree"), m_costs,
                     {{QStringLiteral("name"), 300},
                      {QStringLiteral("objectname"), 220},
                      {QStringLiteral("currsign"), 70},
                      {QStringLiteral("costncu"), 120},
                      {QStringLiteral("costcurr"), 120}});
    addTreeTab(tr("&Прайс листы"), m_tree,
               {[this](int parent, int *key) { return m_bo->NewServiceCost(parent, key); },
                [this](int key) { return m_bo->EditServiceCost(key); },
                [this](int key) { return m_bo->DeleteServiceCost(key); }});
    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    guarded(this, [&] { m_tree->reload(); });
    restorePlacement();
}

TptServiceCost::~TptServiceCost() = default;

} // namespace korvex::reference
