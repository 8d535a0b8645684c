#pragma once

#include "referenceWindows.h"
#include "reference/boRentOTLocation.h"
#include "reference/boRentObject.h"
#include "widgets/ui/Part.h"

#include <functional>
#include <optional>

class QAction;

namespace korvex::widgets {
class TxDBGrid;
class TxDBTreeView;
class TxQueryModel;
class TxTreeModel;
}

namespace korvex::reference {

// "Объекты" (60): the object tree with its coefficients, where an object is
// used, its contract history, and the location and type trees.
class TptObject : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { ObjectsTab = 0, UsedTab, HistoryTab, LocationsTab, TypesTab };

    TptObject(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptObject() override;

    korvex::widgets::TxDBTreeView *objectTree() const { return m_objectTree; }
    korvex::widgets::TxTreeModel *objectModel() const { return m_objects; }
    korvex::widgets::TxDBGrid *usedGrid() const { return m_usedGrid; }
    korvex::widgets::TxDBGrid *historyGrid() const { return m_historyGrid; }
    korvex::widgets::TxTreeModel *locationModel() const { return m_locations.model; }
    korvex::widgets::TxTreeModel *typeModel() const { return m_types.model; }
    QAction *moveAction() const { return m_moveAction; }
    QAction *moveToTopAction() const { return m_moveTopAction; }

    // "Переместить объекты": the marked objects under the current one.
    void moveMarkedHere();
    // "Переместить в главную группу".
    void moveMarkedToTop();

protected:
    void actionAdd() override;
    void actionAddChild() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    // A tab with a tree of names: locations or types.
    struct NameTree {
        TboRentTreeItem *bo = nullptr;
        korvex::widgets::TxTreeModel *model = nullptr;
        korvex::widgets::TxDBTreeView *view = nullptr;
    };

    QWidget *buildObjectsTab();
    korvex::widgets::TxDBGrid *buildContractGrid(const QString &name, korvex::widgets::TxQueryModel *&model);
    NameTree buildNameTree(TboRentTreeItem *bo, const QString &name);
    NameTree *currentNameTree();
    // The tree the current tab edits (none on the contract tabs).
    korvex::widgets::TxDBTreeView *currentTree();
    void addRow(bool child);
    // Edits or deletes the current row of the tab's tree; reloads it after a change.
    void changeCurrentRow(const std::function<bool(int)> &onObject, bool (TboRentTreeItem::*onName)(int));
    void loadContracts(korvex::widgets::TxQueryModel *model, korvex::widgets::TxDBGrid *grid, const QString &sql);
    void updateMoveActions();
    std::optional<int> currentObject() const;

    TReferenceWindows m_windows;
    TboRentObject *m_bo;
    korvex::widgets::TxTreeModel *m_objects;
    korvex::widgets::TxDBTreeView *m_objectTree;
    korvex::widgets::TxQueryModel *m_used;
    korvex::widgets::TxDBGrid *m_usedGrid;
    korvex::widgets::TxQueryModel *m_history;
    korvex::widgets::TxDBGrid *m_historyGrid;
    NameTree m_locations;
    NameTree m_types;
    QAction *m_moveAction;
    QAction *m_moveTopAction;
};

} // namespace korvex::reference
