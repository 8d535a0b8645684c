#include "ptServiceCost.h"

#include "widgets/ui/xDBTreeView.h"
#include "widgets/xTreeModel.h"

namespace korvex::reference {

using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxTreeModel;

TptServiceCost::TptServiceCost(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 832, parent)
    , m_windows(this)
{
    setObjectName(QStringLiteral("ptServiceCost"));
    setCaption(tr("Прайс листы"));
    setSection(tr("Справочники"), tr("Прайс листы"));
    m_bo = new TboRentServiceCost(context, &m_windows, this);

    m_costs = new TxTreeModel(context.db, this);
    m_bo->setUpTree(*m_costs);
    m_tree = new TxDBTreeView(this);
    m_tree->setObjectName(QStringLiteral("CostTree"));
    m_tree->setTreeModel(m_costs);
    connect(m_costs, &QAbstractItemModel::modelReset, m_tree, [this] {
        m_tree->setFieldWidth(QStringLiteral("name"), 300);
        m_tree->setFieldWidth(QStringLiteral("objectname"), 220);
        m_tree->setFieldWidth(QStringLiteral("currsign"), 70);
        m_tree->setFieldWidth(QStringLiteral("costncu"), 120);
        m_tree->setFieldWidth(QStringLiteral("costcurr"), 120);
    });
    // A double click edits the row, except in the price cells typed into.
    connect(m_tree, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!m_costs->isNumberColumn(index.column()))
            trigger(Action::Edit);
    });

    addTab(tr("&Прайс листы"), m_tree);
    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    guarded([&] { m_tree->reload(); });
    restorePlacement();
}

TptServiceCost::~TptServiceCost() = default;

std::optional<int> TptServiceCost::currentRow() const
{
    const std::optional<qint64> id = m_tree->currentId();
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

void TptServiceCost::addRow(bool child)
{
    const std::optional<int> current = currentRow();
    if (child && !current)
        return;
    const int parent = child ? *current : (current ? int(m_costs->parentOf(*current).value_or(0)) : 0);
    int key = 0;
    if (m_bo->NewServiceCost(parent, &key)) {
        m_tree->reload();
        m_tree->setCurrentId(key);
    }
}

void TptServiceCost::actionAdd()
{
    addRow(false);
}

void TptServiceCost::actionAddChild()
{
    addRow(true);
}

void TptServiceCost::actionEdit()
{
    const std::optional<int> current = currentRow();
    if (current && m_bo->EditServiceCost(*current)) {
        m_tree->reload();
        m_tree->setCurrentId(*current);
    }
}

void TptServiceCost::actionDelete()
{
    const std::optional<int> current = currentRow();
    if (current && m_bo->DeleteServiceCost(*current))
        m_tree->reload();
}

void TptServiceCost::actionRefresh()
{
    m_tree->reload();
}

} // namespace korvex::reference
