#pragma once

#include "calcWindows.h"
#include "calc/boRentReckoningType.h"
#include "widgets/ui/xTreePart.h"

#include <optional>

namespace korvex::widgets {
class TxDBGrid;
class TxDBTreeView;
class TxQueryModel;
class TxTreeModel;
}

namespace korvex::calc {

// "Формулы для расчета" (196): the tree of reckoning types and, read-only,
// the steps of the type selected in it.
class TptReckoning : public korvex::widgets::TTreePart
{
    Q_OBJECT
public:
    enum Tab { TypesTab = 0, StepsTab = 1 };

    TptReckoning(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptReckoning() override;

    TboRentReckoningType &reckoning() { return *m_bo; }
    korvex::widgets::TxDBTreeView *typeTree() const { return m_tree; }
    korvex::widgets::TxTreeModel *typeModel() const { return m_types; }
    korvex::widgets::TxDBGrid *stepGrid() const { return m_stepGrid; }

protected:
    void actionRefresh() override;
    void tabChanged(int index) override;
    void treeChanged(korvex::widgets::TxDBTreeView *tree) override;

private:
    void loadSteps();

    TCalcWindows m_windows;
    TboRentReckoningType *m_bo;
    korvex::widgets::TxTreeModel *m_types;
    korvex::widgets::TxDBTreeView *m_tree;
    korvex::widgets::TxQueryModel *m_stepRows;
    korvex::widgets::TxDBGrid *m_stepGrid;
};

} // namespace korvex::calc
