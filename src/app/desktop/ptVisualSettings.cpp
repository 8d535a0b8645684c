#include "ptVisualSettings.h"

#include "widgets/ui/mmRunTimeStore.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xRtsTables.h"

#include <QHeaderView>
#include <QSplitter>

namespace korvex::shell {

using korvex::widgets::TRtsRowsModel;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;

namespace {

TxDBGrid *editableGrid(const QString &name, TRtsRowsModel *model, QWidget *parent)
{
    auto *grid = new TxDBGrid(parent);
    grid->setObjectName(name);
    grid->setSortingByTitle(false);
    grid->setModel(model);
    grid->setReadOnly(false);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    return grid;
}

} // namespace

TptVisualSettings::TptVisualSettings(TAppContext &context, QWidget *parent)
    : TPart(context, 999, parent)
{
    setTitles(QStringLiteral("ptVisualSettings"), tr("Настройки"), tr("Настройки таблиц"));
    // This page edits the stored layouts themselves: it keeps none of its own.
    setProperty(korvex::widgets::TmmRunTimeStore::EnabledProperty, false);

    m_layouts = new TRtsRowsModel(context.db, TRtsRowsModel::Kind::Layouts, this);
    m_columns = new TRtsRowsModel(context.db, TRtsRowsModel::Kind::Fields, this);
    auto *split = new QSplitter(Qt::Vertical, this);
    m_layoutGrid = editableGrid(QStringLiteral("LayoutGrid"), m_layouts, split);
    m_columnGrid = editableGrid(QStringLiteral("ColumnGrid"), m_columns, split);
    m_layoutGrid->setFieldWidth(QStringLiteral("TABLENAME"), 260);
    m_columnGrid->setFieldWidth(QStringLiteral("DISPLAYLABEL"), 180);
    split->addWidget(m_layoutGrid);
    split->addWidget(m_columnGrid);
    addTab(tr("Настройки таблиц"), split);
    setActions({Action::Delete, Action::Refresh});

    for (TRtsRowsModel *m : {m_layouts, m_columns})
        connect(m, &TRtsRowsModel::cellRefused, this, [this](const QString &message) { TxMessages::warning(this, message); });
    connect(m_layoutGrid, &TxDBGrid::currentKeyChanged, this, [this] { showColumns(); });
    m_layouts->load();
    if (m_layouts->rowCount() > 0)
        m_layoutGrid->setCurrentIndex(m_layouts->index(0, 0));
    showColumns();
    restorePlacement();
}

void TptVisualSettings::showColumns()
{
    const QModelIndex current = m_layoutGrid->currentIndex();
    const int key = current.isValid() ? m_layouts->keyOf(current.row()) : -1;
    m_columns->load(key >= 0 ? std::optional<int>(key) : std::nullopt);
}

void TptVisualSettings::actionDelete()
{
    // The column grid when it has the focus, else the layout with its columns.
    if (m_columnGrid->hasFocus() && m_columnGrid->currentIndex().isValid()) {
        if (TxMessages::confirm(this, tr("Удалить настройку колонки?")))
            m_columns->deleteRow(m_columnGrid->currentIndex().row());
        return;
    }
    const QModelIndex current = m_layoutGrid->currentIndex();
    if (!current.isValid())
        return;
    if (!TxMessages::confirm(this, tr("Удалить настройку таблицы вместе с настройками ее колонок?")))
        return;
    m_layouts->deleteRow(current.row());
    showColumns();
}

void TptVisualSettings::actionRefresh()
{
    m_layouts->load();
    if (m_layouts->rowCount() > 0)
        m_layoutGrid->setCurrentIndex(m_layouts->index(0, 0));
    showColumns();
}

} // namespace korvex::shell
