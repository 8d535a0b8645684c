#include "ptVariable.h"

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

namespace {

std::optional<int> asKey(const std::optional<qint64> &id)
{
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

} // namespace

TptVariable::TptVariable(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 120, parent)
    , m_windows(this)
    , m_variables(context, &m_windows)
    , m_values(context, &m_windows)
{
    setObjectName(QStringLiteral("ptVariable"));
    setCaption(tr("Переменные"));
    setSection(tr("Настройки"), tr("Переменные"));

    m_valueModel = new TxTreeModel(context.db, this);
    m_values.setUpTree(*m_valueModel);
    m_valueTree = newTree(QStringLiteral("ValueTree"), m_valueModel);
    connect(m_valueModel, &QAbstractItemModel::modelReset, m_valueTree, [this] {
        m_valueTree->setFieldWidth(QStringLiteral("name"), 220);
        m_valueTree->setFieldWidth(QStringLiteral("customername"), 220);
        m_valueTree->setFieldWidth(QStringLiteral("objectname"), 180);
        m_valueTree->setFieldWidth(QStringLiteral("servicename"), 160);
    });
    m_variableModel = new TxTreeModel(context.db, this);
    m_variables.setUpTree(*m_variableModel);
    m_variableTree = newTree(QStringLiteral("VariableTree"), m_variableModel);
    connect(m_variableModel, &QAbstractItemModel::modelReset, m_variableTree,
            [this] { m_variableTree->setFieldWidth(QStringLiteral("name"), 260); });

    addTab(tr("&Значения переменных"), m_valueTree);
    addTab(tr("&Справочник переменных"), m_variableTree);
    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});

    QMenu *menu = createPageMenu(tr("Переменные"));
    const std::pair<ValueItem, const char *> items[] = {
        {MarkTop, QT_TR_NOOP("Выделить все в верхнем уровне")},
        {MarkChildren, QT_TR_NOOP("Выделить все низлежащие уровни")},
        {ClearMarks, QT_TR_NOOP("Снять выделения")},
        {DeleteMarked, QT_TR_NOOP("Удаление выделенных переменных")},
        {AssignValue, QT_TR_NOOP("Присвоение переменным значения")},
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
        guarded([&] {
            if (m_values.DeleteMarkedValueVariables(markedValues()))
                m_valueTree->reload();
        });
    });
    connect(m_valueActions[AssignValue], &QAction::triggered, this, [this] { guarded([&] { askValue(); }); });
    connect(m_valueActions[MoveHere], &QAction::triggered, this, [this] {
        if (const std::optional<qint64> target = m_valueTree->currentId())
            m_valueTree->moveMarked(*target);
    });
    connect(m_valueActions[MoveToTop], &QAction::triggered, this, [this] { m_valueTree->moveMarked(std::nullopt); });

    menu->addSeparator();
    m_customerValues = new QAction(tr("Формирование переменных по клиентам"), this);
    addMenuAction(menu, m_variableTree, m_customerValues);
    connect(m_customerValues, &QAction::triggered, this, [this] { guarded([&] { chooseCustomers(); }); });

    connect(m_valueModel, &TxTreeModel::marksChanged, this, &TptVariable::updateActions);
    connect(m_valueModel, &QAbstractItemModel::modelReset, this, &TptVariable::updateActions);
    connect(m_variableModel, &QAbstractItemModel::modelReset, this, &TptVariable::updateActions);
    connect(m_valueTree, &TxDBTreeView::currentIdChanged, this, &TptVariable::updateActions);
    connect(m_variableTree, &TxDBTreeView::currentIdChanged, this, &TptVariable::updateActions);

    tabChanged(ValuesTab);
    guarded([&] { actionRefresh(); });
    restorePlacement();
}

TptVariable::~TptVariable() = default;

TxDBTreeView *TptVariable::newTree(const QString &name, TxTreeModel *model)
{
    auto *tree = new TxDBTreeView(this);
    tree->setObjectName(name);
    tree->setTreeModel(model);
    tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (Action a : {Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh}) {
        auto *action = new QAction(actionButton(a) ? actionButton(a)->text() : QString(), tree);
        connect(action, &QAction::triggered, this, [this, a] { trigger(a); });
        tree->addAction(action);
    }
    auto *separator = new QAction(tree);
    separator->setSeparator(true);
    tree->addAction(separator);
    // A double click edits the row, except in the cells typed into.
    connect(tree, &QAbstractItemView::doubleClicked, this, [this, model](const QModelIndex &index) {
        if (!model->isNumberColumn(index.column()))
            trigger(Action::Edit);
    });
    return tree;
}

void TptVariable::addMenuAction(QMenu *menu, TxDBTreeView *tree, QAction *action)
{
    menu->addAction(action);
    tree->addAction(action);
}

TxDBTreeView *TptVariable::currentTree() const
{
    return currentTab() == DictionaryTab ? m_variableTree : m_valueTree;
}

std::optional<int> TptVariable::currentValue() const
{
    return asKey(m_valueTree->currentId());
}

std::optional<int> TptVariable::currentVariable() const
{
    return asKey(m_variableTree->currentId());
}

QList<int> TptVariable::markedValues() const
{
    QList<int> keys;
    for (qint64 id : m_valueModel->markedIds())
        keys << int(id);
    return keys;
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
    for (ValueItem item : {DeleteMarked, AssignValue, MoveToTop})
        m_valueActions[item]->setEnabled(values && marked);
    m_valueActions[MoveHere]->setEnabled(values && marked && m_valueTree->currentId().has_value());
    const std::optional<int> variable = currentVariable();
    m_customerValues->setEnabled(
        !values && variable && m_variableModel->value(*variable, QStringLiteral("lockcustomer")).toInt() == 1);
}

void TptVariable::tabChanged(int index)
{
    Q_UNUSED(index);
    updateActions();
}

void TptVariable::addRow(bool child)
{
    TxDBTreeView *tree = currentTree();
    // A new row goes beside the current one, or below it for a sub-level.
    const std::optional<qint64> current = tree->currentId();
    if (child && !current)
        return;
    const int parent = int(child ? *current : (current ? tree->treeModel()->parentOf(*current).value_or(0) : 0));
    int key = 0;
    const bool stored = currentTab() == DictionaryTab ? m_variables.NewVariable(parent, QString(), &key)
                                                      : m_values.NewValueVariable(parent, &key);
    if (stored) {
        tree->reload();
        tree->setCurrentId(key);
    }
}

void TptVariable::actionAdd()
{
    addRow(false);
}

void TptVariable::actionAddChild()
{
    addRow(true);
}

void TptVariable::actionEdit()
{
    if (currentTab() == DictionaryTab) {
        // A new name shows in the value rows too.
        if (const std::optional<int> current = currentVariable(); current && m_variables.EditVariable(*current))
            actionRefresh();
    } else if (const std::optional<int> current = currentValue(); current && m_values.EditValueVariable(*current)) {
        m_valueTree->reload();
    }
}

void TptVariable::actionDelete()
{
    if (currentTab() == DictionaryTab) {
        if (const std::optional<int> current = currentVariable(); current && m_variables.DeleteVariable(*current))
            m_variableTree->reload();
    } else if (m_values.DeleteValueVariables(currentValue().value_or(0), markedValues())) {
        m_valueTree->reload();
    }
}

void TptVariable::actionRefresh()
{
    m_valueTree->reload();
    m_variableTree->reload();
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

void TptVariable::chooseCustomers()
{
    if (!currentVariable() || !m_customerValues->isEnabled())
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
    const std::optional<int> variable = currentVariable();
    if (!variable)
        return;
    m_values.MakeCustomerValues(*variable, customers);
    m_valueTree->reload();
}

} // namespace korvex::calc
