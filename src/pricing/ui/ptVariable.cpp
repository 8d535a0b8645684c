#include "ptVariable.h"

#include "dlgFine.h"
#include "dlgRentVariable.h"

#include "customers/ui/dlgChooseCustomer.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/xTreeModel.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace korvex::calc {

using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxTreeModel;

TptVariable::TptVariable(korvex::shell::TAppContext &context, QWidget *parent)
    : TTreePart(context, 120, parent)
    , m_windows(this)
    , m_variables(context, &m_windows)
    , m_values(context, &m_windows)
{
    setTitles(QStringLiteral("ptVariable"), tr("Настройки"), tr("Переменные"));

    m_valueModel = new TxTreeModel(context.db, this);
    m_values.setUpTree(*m_valueModel);
    m_valueTree = newTree(QStringLiteral("ValueTree"), m_valueModel,
                          {{QStringLiteral("name"), 220},
                           {QStringLiteral("customername"), 220},
                           {QStringLiteral("objectname"), 180},
                           {QStringLiteral("servicename"), 160}});
    m_variableModel = new TxTreeModel(context.db, this);
    m_variables.setUpTree(*m_variableModel);
    m_variableTree = newTree(QStringLiteral("VariableTree"), m_variableModel, {{QStringLiteral("name"), 260}});

    // The value rows are deleted with their marks (actionDelete).
    addTreeTab(tr("&Значения переменных"), m_valueTree,
               {[this](int parent, int *key) { return m_values.NewValueVariable(parent, key); },
                [this](int key) { return m_values.EditValueVariable(key); }, {}});
    addTreeTab(tr("&Справочник переменных"), m_variableTree,
               {[this](int parent, int *key) { return m_variables.NewVariable(parent, QString(), key); },
                [this](int key) { return m_variables.EditVariable(key); },
                [this](int key) { return m_variables.DeleteVariable(key); }});
    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    addActionMenu(m_valueTree);
    addActionMenu(m_variableTree);

    QMenu *menu = createPageMenu(tr("Переменные"));
    const std::pair<ValueItem, const char *> items[] = {
        {MarkTop, QT_TR_NOOP("Выделить все в верхнем уровне")},
        {MarkChildren, QT_TR_NOOP("Выделить все низлежащие уровни")},
        {ClearMarks, QT_TR_NOOP("Снять выделения")},
        {DeleteMarked, QT_TR_NOOP("Удаление выделенных переменных")},
        {AssignValue, QT_TR_NOOP("Присвоение переменным значения")},
        {ComputeFine, QT_TR_NOOP("Расчет пени")},
        {MoveHere, QT_TR_NOOP("Перенести запись")},
        {MoveToTop, QT_TR_NOOP("Перенести в главную группу")},
    };
    for (const auto &[item, text] : items) {
        m_valueActions[item] = new QAction(tr(text), this);
        addMenuAction(menu, m_valueTree, m_valueActions[item]);
    }
    connect(m_valueActions[MarkTop], &QAction::triggered, this, [this] { m_valueModel->markTopLevel(); });
    connect(m_valueActions[MarkChildren], &QAction::triggered, this, [this] {
        if (const std::optional<qint64> current = m_valueTree->currentId())
            m_valueModel->markChildren(*current);
    });
    connect(m_valueActions[ClearMarks], &QAction::triggered, this, [this] { m_valueModel->clearMarks(); });
    connect(m_valueActions[DeleteMarked], &QAction::triggered, this, [this] {
        guarded(this, [&] {
            if (m_values.DeleteMarkedValueVariables(markedValues()))
                m_valueTree->reload();
        });
    });
    connect(m_valueActions[AssignValue], &QAction::triggered, this, [this] { guarded(this, [&] { askValue(); }); });
    connect(m_valueActions[ComputeFine], &QAction::triggered, this, [this] { guarded(this, [&] { askFine(); }); });
    connect(m_valueActions[MoveHere], &QAction::triggered, this, [this] {
        if (const std::optional<qint64> target = m_valueTree->currentId())
            m_valueTree->moveMarked(*target);
    });
    connect(m_valueActions[MoveToTop], &QAction::triggered, this, [this] { m_valueTree->moveMarked(std::nullopt); });

    menu->addSeparator();
    m_customerValues = new QAction(tr("Формирование переменных по клиентам"), this);
    addMenuAction(menu, m_variableTree, m_customerValues);
    connect(m_customerValues, &QAction::triggered, this, [this] { guarded(this, [&] { chooseCustomers(); }); });

    connect(m_valueModel, &TxTreeModel::marksChanged, this, &TptVariable::updateActions);
    connect(m_valueModel, &QAbstractItemModel::modelReset, this, &TptVariable::updateActions);
    connect(m_variableModel, &QAbstractItemModel::modelReset, this, &TptVariable::updateActions);
    connect(m_valueTree, &TxDBTreeView::currentIdChanged, this, &TptVariable::updateActions);
    connect(m_variableTree, &TxDBTreeView::currentIdChanged, this, &TptVariable::updateActions);

    tabChanged(ValuesTab);
    guarded(this, [&] { actionRefresh(); });
    restorePlacement();
}

TptVariable::~TptVariable() = default;

void TptVariable::addMenuAction(QMenu *menu, TxDBTreeView *tree, QAction *action)
{
    menu->addAction(action);
    tree->addAction(action);
}

QList<int> TptVariable::markedValues() const
{
    return m_valueModel->markedKeys();
}

void TptVariable::updateActions()
{
    if (!m_customerValues)
        return;  // the first tab is shown before the menus exist
    const bool values = currentTab() == ValuesTab;
    const bool marked = m_valueModel->markedCount() > 0;
    for (QAction *a : m_valueActions)
        a->setEnabled(values);
    m_valueActions[MarkChildren]->setEnabled(values && m_valueTree->currentId().has_value());
    for (ValueItem item : {DeleteMarked, AssignValue, ComputeFine, MoveToTop})
        m_valueActions[item]->setEnabled(values && marked);
    m_valueActions[MoveHere]->setEnabled(values && marked && m_valueTree->currentId().has_value());
    const std::optional<int> variable = currentKey(m_variableTree);
    m_customerValues->setEnabled(
        !values && variable && m_variableModel->value(*variable, QStringLiteral("lockcustomer")).toInt() == 1);
}

void TptVariable::tabChanged(int index)
{
    Q_UNUSED(index);
    updateActions();
}

void TptVariable::treeChanged(TxDBTreeView *tree)
{
    // A variable's new name shows in the value rows too.
    if (tree == m_variableTree)
        m_valueTree->reload();
}

void TptVariable::actionDelete()
{
    if (currentTab() == DictionaryTab)
        TTreePart::actionDelete();
    else if (m_values.DeleteValueVariables(currentKey(m_valueTree).value_or(0), markedValues()))
        m_valueTree->reload();
}

void TptVariable::askValue()
{
    if (m_valueModel->markedCount() == 0)
        return;
    TdlgValue dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    assignToMarked(*dlg.value());
}

void TptVariable::assignToMarked(double value)
{
    m_values.AssignValue(markedValues(), value);
    m_valueTree->reload();
}

void TptVariable::askFine()
{
    if (m_valueModel->markedCount() == 0)
        return;
    TdlgFine dlg(context(), this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    fineToMarked(dlg.parameters());
}

int TptVariable::fineToMarked(const TFineParameters &parameters)
{
    const int written = TFineValues::ComputeFines(context().db, markedValues(), parameters);
    m_valueTree->reload();
    return written;
}

void TptVariable::chooseCustomers()
{
    if (!currentKey(m_variableTree) || !m_customerValues->isEnabled())
        return;
    korvex::customers::TdlgChooseCustomer dlg(context(), this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QList<int> customers;
    if (dlg.allCustomers()) {
        for (int i = 0; i < dlg.list()->count(); ++i)
            customers << dlg.list()->item(i)->data(Qt::UserRole).toInt();
    } else {
        customers = dlg.checkedCustomers();
    }
    makeCustomerValues(customers);
}

void TptVariable::makeCustomerValues(const QList<int> &customers)
{
    const std::optional<int> variable = currentKey(m_variableTree);
    if (!variable)
        return;
    m_values.MakeCustomerValues(*variable, customers);
    m_valueTree->reload();
}

} // namespace korvex::calc
