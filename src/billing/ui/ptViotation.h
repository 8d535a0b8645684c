#pragma once

#include "viotationWindows.h"
#include "billing/boRentViotation.h"
#include "widgets/ui/Part.h"

#include <optional>

class QMenu;
class QToolButton;

namespace korvex::widgets {
class TxDBGrid;
class TxQueryModel;
class TxSortMenu;
}

namespace korvex::billing {

// "Нарушения" (90): the violations the filter lists, in the order chosen.
class TptViotation : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    TptViotation(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptViotation() override;

    TboRentViotation &viotations() { return *m_bo; }
    korvex::widgets::TxDBGrid *grid() const { return m_grid; }
    korvex::widgets::TxQueryModel *model() const { return m_model; }
    QToolButton *sortButton() const;
    QMenu *sortMenu() const;
    // The menu of the list: the sort entries, the filter and the printing.
    QMenu *listMenu() const { return m_listMenu; }
    std::optional<int> currentViotation() const;

    // The name under which the list is printed as a register.
    static QString registerName() { return QStringLiteral("qryviotation"); }
    // The printing of the list's menu: the print forms of the register of
    // violations are appended to menu here.
    void buildPrintMenu(QMenu *menu);

    // Reads the list again and shows the violation given (else the current one).
    void loadViotations(std::optional<int> locate = std::nullopt);
    void setSortOrder(int order);
    void editFilter();
    static QString sortCaption(int order);

protected:
    void actionAdd() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;

private:
    QWidget *buildListTab();
    void buildMenus();

    TViotationWindows m_windows;
    TboRentViotation *m_bo;
    korvex::widgets::TxQueryModel *m_model;
    korvex::widgets::TxDBGrid *m_grid;
    korvex::widgets::TxSortMenu *m_sort = nullptr;
    QMenu *m_listMenu = nullptr;
};

} // namespace korvex::billing
