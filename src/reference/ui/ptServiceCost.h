#pragma once

#include "referenceWindows.h"
#include "reference/boRentServiceCost.h"
#include "widgets/ui/xTreePart.h"

namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::reference {

// "Прайс листы" (832): the price list as a tree, its two prices typed in place.
class TptServiceCost : public korvex::widgets::TTreePart
{
    Q_OBJECT
public:
    TptServiceCost(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptServiceCost() override;

    TboRentServiceCost &serviceCost() { return *m_bo; }
    korvex::widgets::TxDBTreeView *costTree() const { return m_tree; }
    korvex::widgets::TxTreeModel *costModel() const { return m_costs; }

private:
    TReferenceWindows m_windows;
    TboRentServiceCost *m_bo;
    korvex::widgets::TxTreeModel *m_costs;
    korvex::widgets::TxDBTreeView *m_tree;
};

} // namespace korvex::reference
