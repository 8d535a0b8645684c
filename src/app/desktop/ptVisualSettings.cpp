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
    // Column titles for people; the grids still find the columns by field.
    const std::pair<const char *, const char *> titles[] = {
        {"STOREKEY", QT_TR_NOOP("Код")}, {"USERKEY", QT_TR_NOOP("Пользователь")}, {"CONTEXT", QT_TR_NOOP("Контекст")},
        {"TABLENAME", QT_TR_NOOP("Таблица")}, {"FONTCOLOR", QT_TR_NOOP("Цвет шрифта")},
        {"FONTSIZE", QT_TR_NOOP("Размер шрифта")}, {"FONTSTYLE", QT_TR_NOOP("Стиль шрифта")},
        {"FONTNAME", QT_TR_NOOP("Шрифт")}, {"TITLEFONTCOLOR", QT_TR_NOOP("Цвет шрифта заголовка")},
        {"TITLEFONTSIZE", QT_TR_NOOP("Размер шрифта заголовка")}, {"TITLEFONTSTYLE", QT_TR_NOOP("Стиль шрифта заголовка")},
        {"TITLEFONTNAME", QT_TR_NOOP("Шрифт заголовка")}, {"COLOR", QT_TR_NOOP("Цвет")},
        {"TITLECOLOR", QT_TR_NOOP("Цвет заголовка")}, {"COLORSELECTED", QT_TR_NOOP("Цвет выделения")},
        {"STRIPED", QT_TR_NOOP("Полосы")}, {"STRIPEONE", QT_TR_NOOP("Цвет полосы 1")},
        {"STRIPETWO", QT_TR_NOOP("Цвет полосы 2")}, {"SCALECOLUMNS", QT_TR_NOOP("Масштабировать колонки")},
        {"CONDFORMAT", QT_TR_NOOP("Условное форматирование")}, {"SHOWLINES", QT_TR_NOOP("Разделительные линии")},
        {"FIELDKEY", QT_TR_NOOP("Код")}, {"FIELDNAME", QT_TR_NOOP("Поле")}, {"FIELDORDER", QT_TR_NOOP("Порядок")},
        {"VISIBLE", QT_TR_NOOP("Видимое")}, {"DISPLAYLABEL", QT_TR_NOOP("Заголовок")},
        {"DISPLAYFORMAT", QT_TR_NOOP("Формат")}, {"DISPLAYWIDTH", QT_TR_NOOP("Ширина")},
        {"ALIGNMENT", QT_TR_NOOP("Выравнивание")}, {"EDITMASK", QT_TR_NOOP("Маска ввода")},
        {"TITLEALIGNMENT", QT_TR_NOOP("Выравнивание заголовка")}, {"RESIZEABLE", QT_TR_NOOP("Изменяемая ширина")},
        {"MAXWIDTH", QT_TR_NOOP("Наибольшая ширина")}, {"MINWIDTH", QT_TR_NOOP("Наименьшая ширина")}};
    for (const auto &[field, title] : titles) {
        m_layoutGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_columnGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
    }
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
