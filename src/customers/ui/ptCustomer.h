#pragma once

#include "customers/dmCustomer.h"
#include "widgets/ui/Part.h"

#include <array>
#include <memory>

class QPushButton;

namespace korvex::widgets {
class TxDBGrid;
class TxDBTreeView;
class TxQueryModel;
class TxTreeModel;
}

namespace korvex::customers {

class TPlaceTreeView;

// "Справочник клиентов" (918): enterprises, banks, kinds of places, places,
// forms of ownership, company forms, branches and kinds of activity, each on
// a tab of its own, opened when the tab is first shown. The tab used last
// is remembered per user (cst_curref) and comes back when the page opens.
class TptCustomer : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { Enterprises, Banks, PlaceKinds, Places, PropertyKinds, CompanyKinds, Branches, ActCategories, TabCount };

    TptCustomer(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptCustomer() override;

    TdmCustomer &data() { return *m_dm; }
    korvex::widgets::TxDBGrid *grid(Tab tab) const { return m_grids[tab]; }
    korvex::widgets::TxQueryModel *listModel(Tab tab) const { return m_models[tab]; }
    korvex::widgets::TxDBTreeView *placeKindTree() const { return m_kindTree; }
    TPlaceTreeView *placeTree() const { return m_places; }
    bool isOpened(Tab tab) const { return m_opened[tab]; }

    // "Фильтр..." of the enterprise or bank list.
    void editFilter();
    void cutPlace();
    void pastePlaces(bool replace);
    void clearClipboard();

protected:
    void actionAdd() override;
    void actionAddChild() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;
    void tabChanged(int index) override;

private:
    QWidget *buildGrid(Tab tab);
    void openTab(Tab tab);
    void updateButtons();
    int customerKind() const;
    void editCustomer(int key);
    TClassifier classifierOf(Tab tab) const;
    void editClassifier(int key);
    void editPlaceKind(int key);

    std::unique_ptr<TdmCustomer> m_dm;
    std::array<korvex::widgets::TxDBGrid *, TabCount> m_grids{};
    std::array<korvex::widgets::TxQueryModel *, TabCount> m_models{};
    std::array<bool, TabCount> m_opened{};
    korvex::widgets::TxDBTreeView *m_kindTree = nullptr;
    korvex::widgets::TxTreeModel *m_kindModel = nullptr;
    TPlaceTreeView *m_places = nullptr;
    QPushButton *m_filter = nullptr;
    QPushButton *m_cut = nullptr;
    QPushButton *m_paste = nullptr;
    QPushButton *m_replace = nullptr;
    QPushButton *m_clear = nullptr;
    bool m_ready = false;
};

} // namespace korvex::customers
