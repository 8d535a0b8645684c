#include "xTreePart.h"

#include "xDBTreeView.h"
#include "widgets/xTreeModel.h"

#include <QAction>
#include <QPushButton>

namespace korvex::widgets {

TTreePart::TTreePart(korvex::shell::TAppContext &context, int pageCode, QWidget *parent)
    : TPart(context, pageCode, parent)
{
}

TTreePart::~TTreePart() = default;

TxDBTreeView *TTreePart::newTree(const QString &name, TxTreeModel *model, const QList<std::pair<QString, int>> &widths)
{
    auto *tree = new TxDBTreeView(this);
    tree->setObjectName(name);
    tree->setTreeModel(model);
    if (!widths.isEmpty()) {
        connect(model, &QAbstractItemModel::modelReset, tree, [tree, widths] {
            for (const auto &[field, width] : widths)
                tree->setFieldWidth(field, width);
        });
    }
    connect(tree, &QAbstractItemView::doubleClicked, this, [this, tree, model](const QModelIndex &index) {
        if (!model->isNumberColumn(index.column()) && m_ops.contains(tree) && currentTree() == tree)
            trigger(Action::Edit);
    });
    m_trees << tree;
    return tree;
}

int TTreePart::addTreeTab(const QString &title, TxDBTreeView *tree, const TTreeOps &ops)
{
    if (!m_trees.contains(tree))
        m_trees << tree;
    m_ops.insert(tree, ops);
    const int index = addTab(title, tree);
    m_tabTrees.insert(index, tree);
    return index;
}

void TTreePart::showSubjectOf(TxDBTreeView *tree, int detailTab, const QString &label)
{
    auto update = [this, tree, detailTab, label] {
        const QModelIndex current = tree->currentIndex();
        const QString name = current.isValid() ? current.siblingAtColumn(0).data().toString().trimmed() : QString();
        setTabSubject(detailTab, label + QStringLiteral(": ") + (name.isEmpty() ? tr("не выбрано") : name));
    };
    connect(tree, &TxDBTreeView::currentIdChanged, this, update);
    update();
}

void TTreePart::addActionMenu(TxDBTreeView *tree)
{
    tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (Action a : {Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh}) {
        auto *action = new QAction(actionButton(a)->text(), tree);
        connect(action, &QAction::triggered, this, [this, a] { trigger(a); });
        tree->addAction(action);
    }
    auto *separator = new QAction(tree);
    separator->setSeparator(true);
    tree->addAction(separator);
}

TxDBTreeView *TTreePart::currentTree() const
{
    return m_tabTrees.value(currentTab(), nullptr);
}

std::optional<int> TTreePart::currentKey(const TxDBTreeView *tree)
{
    const std::optional<qint64> id = tree ? tree->currentId() : std::nullopt;
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

void TTreePart::addRow(TxDBTreeView *tree, bool child)
{
    if (!tree || !m_ops.value(tree).add)
        return;
    // A new row goes beside the current one, or below it for a sub-level.
    const std::optional<int> current = currentKey(tree);
    if (child && !current)
        return;
    const int parent = child ? *current : (current ? int(tree->treeModel()->parentOf(*current).value_or(0)) : 0);
    int key = 0;
    if (m_ops.value(tree).add(parent, &key)) {
        tree->reload();
        if (key > 0)
            tree->setCurrentId(key);
        treeChanged(tree);
    }
}

void TTreePart::editRow(TxDBTreeView *tree)
{
    const std::optional<int> current = currentKey(tree);
    if (!current || !m_ops.value(tree).edit)
        return;
    if (m_ops.value(tree).edit(*current)) {
        // The tree keeps its current row across the reload.
        tree->reload();
        treeChanged(tree);
    }
}

void TTreePart::deleteRow(TxDBTreeView *tree)
{
    const std::optional<int> current = currentKey(tree);
    if (!current || !m_ops.value(tree).remove)
        return;
    if (m_ops.value(tree).remove(*current)) {
        tree->reload();
        treeChanged(tree);
    }
}

void TTreePart::actionAdd()
{
    addRow(currentTree(), false);
}

void TTreePart::actionAddChild()
{
    addRow(currentTree(), true);
}

void TTreePart::actionEdit()
{
    editRow(currentTree());
}

void TTreePart::actionDelete()
{
    deleteRow(currentTree());
}

void TTreePart::actionRefresh()
{
    for (TxDBTreeView *tree : std::as_const(m_trees))
        tree->reload();
}

} // namespace korvex::widgets
