#pragma once

#include "Part.h"

#include <QHash>
#include <QList>
#include <functional>
#include <optional>
#include <utility>

namespace korvex::widgets {

class TxDBTreeView;
class TxTreeModel;

// THE tree page: a page some of whose tabs show trees of rows (id, parent,
// name). On a tree tab the standard actions work on the tree: "&Добавить"
// makes a row beside the current one, "&Подуровень" one below it,
// "&Изменить" and "&Удалить" work on the current row, each through the
// business object's operation; after a stored change the tree reloads and
// shows the row. "&Обновить" reloads every tree. A page adds its trees with
// newTree() and addTreeTab() and overrides an action only for its other tabs.
class TTreePart : public TPart
{
    Q_OBJECT
public:
    // The operations of one tree; each answers whether anything was stored.
    struct TTreeOps {
        // A new row under parent (0: the top level); key receives its key.
        std::function<bool(int parent, int *key)> add;
        std::function<bool(int key)> edit;
        std::function<bool(int key)> remove;
    };

    TTreePart(korvex::shell::TAppContext &context, int pageCode, QWidget *parent);
    ~TTreePart() override;

    // The tree of the current tab; null on the other tabs.
    TxDBTreeView *currentTree() const;
    // The current row of a tree.
    static std::optional<int> currentKey(const TxDBTreeView *tree);

protected:
    // A tree over the model (set up by its business object) named name. The
    // widths are given again after every load, which builds the columns
    // anew; a double click edits the row, except in cells typed into.
    TxDBTreeView *newTree(const QString &name, TxTreeModel *model, const QList<std::pair<QString, int>> &widths = {});
    // Shows the tree on a tab of its own, whose standard actions run ops.
    int addTreeTab(const QString &title, TxDBTreeView *tree, const TTreeOps &ops);
    // The header names the tree's current row while the detail tab is
    // current ("Услуга: Аренда офиса"), so that the tab says whose rows it shows.
    void showSubjectOf(TxDBTreeView *tree, int detailTab, const QString &label);
    // The page's standard actions as the tree's context menu, then a
    // separator; the page may add further actions after it.
    void addActionMenu(TxDBTreeView *tree);

    // The standard actions on one tree, for pages that run them from
    // another tab.
    void addRow(TxDBTreeView *tree, bool child);
    void editRow(TxDBTreeView *tree);
    void deleteRow(TxDBTreeView *tree);
    // After a stored change of the tree's rows and its reload.
    virtual void treeChanged(TxDBTreeView *tree) { Q_UNUSED(tree); }

    void actionAdd() override;
    void actionAddChild() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;

private:
    QList<TxDBTreeView *> m_trees;
    QHash<TxDBTreeView *, TTreeOps> m_ops;
    QHash<int, TxDBTreeView *> m_tabTrees;
};

} // namespace korvex::widgets
