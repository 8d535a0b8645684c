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
    : TPart(context, 725, parent)
    , m_windows(this)
{
    setObjectName(QStringLiteral("ptService"));
    setCaption(tr("Услуги"));
    setSection(tr("Справочники"), tr("Услуги"));
    m_bo = new TboRentService(context, &m_windows, this);

    m_services = new TxTreeModel(context.db, this);
    m_bo->setUpTree(*m_services, false);
    m_tree = new TxDBTreeView(this);
    m_tree->setObjectName(QStringLiteral("ServiceTree"));
    m_tree->setTreeModel(m_services);
    connect(m_services, &QAbstractItemModel::modelReset, m_tree,
            [this] { m_tree->setFieldWidth(QStringLiteral("name"), 400); });
    connect(m_tree, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });

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

    addTab(tr("&Услуги"), m_tree);
    addTab(tr("&Стоимость услуги"), m_valueGrid);
    tabChanged(ServicesTab);
    guarded([&] { m_tree->reload(); });
    restorePlacement();
}

TptService::~TptService() = default;

std::optional<int> TptService::currentService() const
{
    const std::optional<qint64> id = m_tree->currentId();
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

void TptService::tabChanged(int index)
{
    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    if (index == ValuesTab)
        loadValues();
}

void TptService::loadValues()
{
    m_values->load(currentService().value_or(0));
}

void TptService::addService(std::optional<int> parent)
{
    int key = 0;
    if (m_bo->NewService(parent.value_or(0), QString(), &key)) {
        m_tree->reload();
        m_tree->setCurrentId(key);
        if (currentTab() == ValuesTab)
            loadValues();
    }
}

void TptService::actionAdd()
{
    if (currentTab() == ValuesTab) {
        const int row = m_values->appendRow();
        if (row < 0)
            return;
        // The new row is stored once its value is typed.
        const QModelIndex value = m_values->index(row, TServiceValueModel::ValueColumn);
        m_valueGrid->setCurrentIndex(value);
        m_valueGrid->setFocus();
        m_valueGrid->edit(value);
        return;
    }
    const std::optional<int> current = currentService();
    addService(current ? std::optional<int>(int(m_services->parentOf(*current).value_or(0))) : std::nullopt);
}

void TptService::actionAddChild()
{
    // Under the current service, on either tab.
    if (const std::optional<int> current = currentService())
        addService(current);
}

void TptService::actionEdit()
{
    if (currentTab() == ValuesTab) {
        if (m_valueGrid->currentIndex().isValid()) {
            m_valueGrid->setFocus();
            m_valueGrid->edit(m_valueGrid->currentIndex());
        }
        return;
    }
    const std::optional<int> current = currentService();
    if (current && m_bo->EditService(*current))
        m_tree->reload();
}

void TptService::actionDelete()
{
    if (currentTab() == ValuesTab) {
        const QModelIndex current = m_valueGrid->currentIndex();
        if (!current.isValid())
            return;
        const std::optional<int> id = m_values->idAt(current.row());
        // A row not stored yet is simply dropped.
        if (!id || m_bo->deleteValue(*id))
            loadValues();
        return;
    }
    const std::optional<int> current = currentService();
    if (current && m_bo->DeleteService(*current))
        m_tree->reload();
}

void TptService::actionRefresh()
{
    m_tree->reload();
    if (currentTab() == ValuesTab)
        loadValues();
}

} // namespace korvex::reference
