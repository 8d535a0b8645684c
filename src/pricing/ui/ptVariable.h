#pragma once

#include "variableWindows.h"
#include "calc/boRentVariable.h"
#include "pricing/FineValues.h"
#include "widgets/ui/xTreePart.h"

#include <optional>

class QAction;

namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::calc {

// "Переменные" (120): the value rows of the user variables as a tree with
// marks and values typed in place, and the variable dictionary.
class TptVariable : public korvex::widgets::TTreePart
{
    Q_OBJECT
public:
    enum Tab { ValuesTab = 0, DictionaryTab = 1 };
    // The items of the values tab's menu, in their order.
    enum ValueItem {
        MarkTop,
        MarkChildren,
        ClearMarks,
        DeleteMarked,
        AssignValue,
        ComputeFine,
        MoveHere,
        MoveToTop,
        ValueItemCount
    };

    TptVariable(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptVariable() override;

    korvex::widgets::TxDBTreeView *valueTree() const { return m_valueTree; }
    korvex::widgets::TxTreeModel *valueModel() const { return m_valueModel; }
    korvex::widgets::TxDBTreeView *variableTree() const { return m_variableTree; }
    korvex::widgets::TxTreeModel *variableModel() const { return m_variableModel; }
    QAction *valueAction(ValueItem item) const { return m_valueActions[item]; }
    QAction *customerValuesAction() const { return m_customerValues; }
    TVariableWindows &windows() { return m_windows; }

    // "Присвоение переменным значения" with the number already asked.
    void assignToMarked(double value);
    // "Расчет пени" with the parameters already asked: the rounded penalty
    // of each marked row's customer; the number of rows written.
    int fineToMarked(const TFineParameters &parameters);
    // "Формирование переменных по клиентам" with the customers already chosen.
    void makeCustomerValues(const QList<int> &customers);

protected:
    void actionDelete() override;
    void tabChanged(int index) override;
    void treeChanged(korvex::widgets::TxDBTreeView *tree) override;

private:
    void addMenuAction(QMenu *menu, korvex::widgets::TxDBTreeView *tree, QAction *action);
    QList<int> markedValues() const;
    void askValue();
    void askFine();
    void chooseCustomers();
    void updateActions();

    TVariableWindows m_windows;
    TboRentVariable m_variables;
    TboRentValueVariable m_values;
    korvex::widgets::TxTreeModel *m_valueModel;
    korvex::widgets::TxDBTreeView *m_valueTree;
    korvex::widgets::TxTreeModel *m_variableModel;
    korvex::widgets::TxDBTreeView *m_variableTree;
    QAction *m_valueActions[ValueItemCount] = {};
    QAction *m_customerValues = nullptr;
};

} // namespace korvex::calc
