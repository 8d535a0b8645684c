#pragma once

#include "referenceWindows.h"
#include "reference/boRentServiceCost.h"
#include "widgets/ui/Part.h"

#include <optional>

namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::reference {

// "Прайс листы" (832): the price list as a tree, its two prices typed in place.
class TptServiceCost : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    TptServiceCost(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptServiceCost() override;

    TboRentServiceCost &serviceCost() { return *m_bo; }
    korvex::widgets::TxDBTreeView *costTree() const { return m_tree; }
    korvex::widgets::TxTreeModel *costModel() const { return m_costs; }

protected:
    void actionAdd() override;
    void actionAddChild() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;

private:
    std::optional<int> currentRow() const;
    void addRow(bool child);

    TReferenceWindows m_windows;
    TboRentServiceCost *m_bo;
    korvex::widgets::TxTreeModel *m_costs;
    korvex::widgets::TxDBTreeView *m_tree;
};

} // namespace korvex::reference
