#pragma once

#include "referenceWindows.h"
#include "reference/boRentOTLocation.h"
#include "reference/boRentObject.h"
#include "widgets/ui/xTreePart.h"

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
class TptObject : public korvex::widgets::TTreePart
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
    korvex::widgets::TxTreeModel *locationModel() const { return m_locationModel; }
    korvex::widgets::TxTreeModel *typeModel() const { return m_typeModel; }
    QAction *moveAction() const { return m_moveAction; }
    QAction *moveToTopAction() const { return m_moveTopAction; }

    // "Переместить объекты": the marked objects under the current one.
    void moveMarkedHere();
    // "Переместить в главную группу".
    void moveMarkedToTop();

protected:
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    void buildObjectsTab();
    korvex::widgets::TxDBGrid *buildContractGrid(const QString &name, korvex::widgets::TxQueryModel *&model);
    // A tab with the tree of locations or types.
    korvex::widgets::TxTreeModel *addNameTreeTab(const QString &title, TboRentTreeItem *bo, const QString &name);
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
    korvex::widgets::TxTreeModel *m_locationModel;
    korvex::widgets::TxTreeModel *m_typeModel;
    QAction *m_moveAction;
    QAction *m_moveTopAction;
};

} // namespace korvex::reference
