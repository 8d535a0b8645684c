#pragma once

#include "referenceWindows.h"
#include "reference/boRentService.h"
#include "widgets/ui/xTreePart.h"

#include <optional>

namespace korvex::widgets {
class TxDBGrid;
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::reference {

// "Услуги" (725): the service tree and the dated values of the service
// selected in it, typed in place.
class TptService : public korvex::widgets::TTreePart
{
    Q_OBJECT
public:
    enum Tab { ServicesTab = 0, ValuesTab = 1 };

    TptService(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptService() override;

    TboRentService &service() { return *m_bo; }
    korvex::widgets::TxDBTreeView *serviceTree() const { return m_tree; }
    korvex::widgets::TxTreeModel *serviceModel() const { return m_services; }
    TServiceValueModel *valueModel() const { return m_values; }
    korvex::widgets::TxDBGrid *valueGrid() const { return m_valueGrid; }

protected:
    void actionAdd() override;
    void actionAddChild() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;
    void tabChanged(int index) override;
    void treeChanged(korvex::widgets::TxDBTreeView *tree) override;

private:
    void loadValues();

    TReferenceWindows m_windows;
    TboRentService *m_bo;
    korvex::widgets::TxTreeModel *m_services;
    korvex::widgets::TxDBTreeView *m_tree;
    TServiceValueModel *m_values;
    korvex::widgets::TxDBGrid *m_valueGrid;
};

} // namespace korvex::reference
