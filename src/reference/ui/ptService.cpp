#include "ptService.h"

#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xTreeModel.h"

namespace korvex::reference {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxMessages;
using korvex::widgets::TxTreeModel;

TptService::TptService(korvex::shell::TAppContext &context, QWidget *parent)
    : TTreePart(context, 725, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptService"), tr("Справочники"), tr("Услуги"));
    m_bo = new TboRentService(context, &m_windows, this);

    m_services = new TxTreeModel(context.db, this);
    m_bo->setUpTree(*m_services, false);
    m_tree = newTree(QStringLiteral("ServiceTree"), m_services, {{QStringLiteral("name"), 400}});

    m_values = new TServiceValueModel(*m_bo, this);
    m_valueGrid = new TxDBGrid(this);
    m_valueGrid->setObjectName(QStringLiteral("ValueGrid"));
    m_valueGrid->setSortingByTitle(false);
    m_valueGrid->setModel(m_values);
    m_valueGrid->setReadOnly(false);
    m_valueGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_valueGrid->setFieldTitle(QStringLiteral("SERVICEDATE"), tr("Дата"));
    m_valueGrid->setFieldTitle(QStringLiteral("SERVICEVALUE"), tr("Стоимость"));
    m_valueGrid->setFieldWidth(QStringLiteral("SERVICEDATE"), 110);
    m_valueGrid->setFieldWidth(QStringLiteral("SERVICEVALUE"), 140);
    connect(m_values, &TServiceValueModel::cellRefused, this,
            [this](const QString &message) { TxMessages::warning(this, message, korvex::widgets::TxPrompt::attentionBang()); });
    connect(m_values, &TServiceValueModel::rowStored, this, [this](int id) {
        const int row = m_values->rowOf(id);
        if (row >= 0)
            m_valueGrid->setCurrentIndex(m_values->index(row, TServiceValueModel::ValueColumn));
    });

    addTreeTab(tr("&Услуги"), m_tree,
               {[this](int parent, int *key) { return m_bo->NewService(parent, QString(), key); },
                [this](int key) { return m_bo->EditService(key); },
                [this](int key) { return m_bo->DeleteService(key); }});
    addTab(tr("&Стоимость услуги"), m_valueGrid);
    showSubjectOf(m_tree, ValuesTab, tr("Услуга"));
    tabChanged(ServicesTab);
    guarded(this, [&] { m_tree->reload(); });
    restorePlacement();
}

TptService::~TptService() = default;

void TptService::tabChanged(int index)
{
    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    if (index == ValuesTab)
        loadValues();
}

void TptService::loadValues()
{
    m_values->load(currentKey(m_tree).value_or(0));
}

void TptService::treeChanged(TxDBTreeView *)
{
    if (currentTab() == ValuesTab)
        loadValues();
}

void TptService::actionAdd()
{
    if (currentTab() != ValuesTab) {
        TTreePart::actionAdd();
        return;
    }
    const int row = m_values->appendRow();
    if (row < 0)
        return;
    // The new row is stored once its value is typed.
    const QModelIndex value = m_values->index(row, TServiceValueModel::ValueColumn);
    m_valueGrid->setCurrentIndex(value);
    m_valueGrid->setFocus();
    m_valueGrid->edit(value);
}

void TptService::actionAddChild()
{
    // Under the current service, on either tab.
    addRow(m_tree, true);
}

void TptService::actionEdit()
{
    if (currentTab() != ValuesTab) {
        TTreePart::actionEdit();
        return;
    }
    if (m_valueGrid->currentIndex().isValid()) {
        m_valueGrid->setFocus();
        m_valueGrid->edit(m_valueGrid->currentIndex());
    }
}

void TptService::actionDelete()
{
    if (currentTab() != ValuesTab) {
        TTreePart::actionDelete();
        return;
    }
    const QModelIndex current = m_valueGrid->currentIndex();
    if (!current.isValid())
        return;
    const std::optional<int> id = m_values->idAt(current.row());
    // A row not stored yet is simply dropped.
    if (!id || m_bo->deleteValue(*id))
        loadValues();
}

void TptService::actionRefresh()
{
    TTreePart::actionRefresh();
    if (currentTab() == ValuesTab)
        loadValues();
}

} // namespace korvex::reference
