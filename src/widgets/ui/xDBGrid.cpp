#include "xDBGrid.h"

#include "xGridDisplay.h"
#include "xMessages.h"
#include "widgets/xQueryModel.h"

#include "db/xDbError.h"

#include <QHeaderView>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStyledItemDelegate>
#include <algorithm>

namespace korvex::widgets {

namespace {

class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(TxDBGrid *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        m_grid->styleCell(index, *option);
    }

private:
    TxDBGrid *m_grid;
};

} // namespace

TxDBGrid::TxDBGrid(QWidget *parent)
    : QTableView(parent)
{
    setItemDelegate(new GridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);  // sorting is ours: it must keep the current row
    setWordWrap(false);

    // Uniform row heights: the view never measures rows it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    // Fitting a column to its contents measures the first rows only.
    verticalHeader()->setResizeContentsPrecision(100);

    QHeaderView *titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(true);
    titles->setHighlightSections(false);
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(-1, Qt::AscendingOrder);
    titles->setStretchLastSection(false);

    m_stripeOne = palette().color(QPalette::Base);
    m_stripeTwo = QColor(0xEE, 0xF2, 0xF8);

    connect(titles, &QHeaderView::sortIndicatorChanged, this, [this](int section, Qt::SortOrder order) {
        if (!m_applying)
            titleClicked(section, order);
    });
    connect(titles, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        const QString field = columnField(column);
        if (!m_applying && size > 0 && !field.isEmpty()) {
            settings(field).width = size;
            settings(field).widthFixed = true;
        }
    });
    connect(titles, &QHeaderView::sectionMoved, this, [this] {
        if (m_applying)
            return;
        for (int c = 0; c < horizontalHeader()->count(); ++c) {
            const QString field = columnField(c);
            if (!field.isEmpty())
                settings(field).position = horizontalHeader()->visualIndex(c);
        }
    });
}

void TxDBGrid::setModel(QAbstractItemModel *model)
{
    for (const auto &c : std::as_const(m_modelConnections))
        disconnect(c);
    m_modelConnections.clear();
    m_sortColumn = -1;
    QTableView::setModel(model);
    m_applying = true;
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_applying = false;
    if (!model)
        return;
    // Connected after the header's own handlers, so the settings win.
    m_modelConnections << connect(model, &QAbstractItemModel::modelReset, this, &TxDBGrid::applyFieldSettings);
    // A list shows its first row as the current one, so that "Изменить" and
    // the arrow keys have a row to work on from the start.
    m_modelConnections << connect(model, &QAbstractItemModel::modelReset, this, &TxDBGrid::ensureCurrentRow,
                                  Qt::QueuedConnection);
    m_modelConnections << connect(model, &QAbstractItemModel::columnsInserted, this, &TxDBGrid::applyFieldSettings);
    m_modelConnections << connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                                  [this] { Q_EMIT currentKeyChanged(currentKey()); });
    applyFieldSettings();
    ensureCurrentRow();
}

// --- Rows -----------------------------------------------------------------------

void TxDBGrid::ensureCurrentRow()
{
    if (!model() || currentIndex().isValid() || model()->rowCount() == 0)
        return;
    int column = 0;
    while (column < model()->columnCount() - 1 && isColumnHidden(column))
        ++column;
    setCurrentIndex(model()->index(0, column));
}

QVariant TxDBGrid::currentKey() const
{
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return {};
    const int column = m_keyField.isEmpty() ? 0 : fieldColumn(m_keyField);
    if (column < 0)
        return {};
    return model()->data(model()->index(current.row(), column), Qt::EditRole);
}

QVariant TxDBGrid::currentValue(const QString &field) const
{
    const QModelIndex current = currentIndex();
    const int column = fieldColumn(field);
    if (!current.isValid() || column < 0)
        return {};
    return model()->data(model()->index(current.row(), column), Qt::EditRole);
}

bool TxDBGrid::locateKey(const QVariant &key)
{
    if (!model())
        return false;
    const int keyColumn = m_keyField.isEmpty() ? 0 : fieldColumn(m_keyField);
    const int row = TxQueryModel::findRow(*model(), keyColumn, key);
    if (row < 0)
        return false;
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    while (column < model()->columnCount() - 1 && isColumnHidden(column))
        ++column;
    const QModelIndex target = model()->index(row, column);
    setCurrentIndex(target);
    scrollTo(target);
    return true;
}

void TxDBGrid::requery()
{
    if (!model())
        return;
    const QVariant key = currentKey();
    const int row = currentIndex().row();
    if (auto *query = qobject_cast<TxQueryModel *>(model())) {
        query->requery();
    } else if (auto *table = qobject_cast<QSqlTableModel *>(model())) {
        if (!table->select())
            throw db::EDatabaseError::fromSqlError(table->lastError());
    } else {
        return;
    }
    if (!locateKey(key) && row >= 0 && model()->rowCount() > 0) {
        const QModelIndex near = model()->index(qMin(row, model()->rowCount() - 1), 0);
        setCurrentIndex(near);
    }
}

void TxDBGrid::setReadOnly(bool on)
{
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
}

// --- Sorting --------------------------------------------------------------------

void TxDBGrid::sortByField(const QString &field, Qt::SortOrder order)
{
    const int column = fieldColumn(field);
    if (column >= 0)
        sortByColumnKeepingRow(column, order);
}

void TxDBGrid::sortByColumnKeepingRow(int column, Qt::SortOrder order)
{
    if (!model())
        return;
    const QVariant key = currentKey();
    const bool hadRow = currentIndex().isValid();
    model()->sort(column, order);  // TxQueryModel throws EDatabaseError
    if (auto *table = qobject_cast<QSqlTableModel *>(model()); table && table->lastError().isValid())
        throw db::EDatabaseError::fromSqlError(table->lastError());
    m_sortColumn = column;
    m_sortOrder = order;
    m_applying = true;
    horizontalHeader()->setSortIndicator(column, order);
    m_applying = false;
    if (!locateKey(key) && hadRow && model()->rowCount() > 0)
        setCurrentIndex(model()->index(0, 0));
}

void TxDBGrid::titleClicked(int column, Qt::SortOrder order)
{
    // A plain QSqlQueryModel cannot run its statement again.
    const bool canSort = qobject_cast<TxQueryModel *>(model()) || qobject_cast<QSqlTableModel *>(model())
                      || !qobject_cast<QSqlQueryModel *>(model());
    if (!m_sortByTitle || !canSort || column < 0) {
        m_applying = true;
        horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
        m_applying = false;
        return;
    }
    try {
        sortByColumnKeepingRow(column, order);
    } catch (const db::EDatabaseError &e) {
        m_applying = true;
        horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
        m_applying = false;
        Q_EMIT sortFailed(e.message());
        TxMessages::error(this, e.message());
    }
}

// --- Columns --------------------------------------------------------------------

int TxDBGrid::fieldColumn(const QString &field) const
{
    if (!model() || field.isEmpty())
        return -1;
    if (auto *sql = qobject_cast<QSqlQueryModel *>(model())) {
        const QSqlRecord rec = sql->record();
        for (int i = 0; i < rec.count(); ++i) {
            if (rec.fieldName(i).trimmed().compare(field, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    for (int i = 0; i < model()->columnCount(); ++i) {
        if (model()->headerData(i, Qt::Horizontal, Qt::EditRole).toString().compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TxDBGrid::columnField(int column) const
{
    if (!model() || column < 0)
        return {};
    if (auto *sql = qobject_cast<QSqlQueryModel *>(model()))
        return sql->record().fieldName(column).trimmed();
    return model()->headerData(column, Qt::Horizontal, Qt::EditRole).toString();
}

void TxDBGrid::setFieldTitle(const QString &field, const QString &title)
{
    settings(field).title = title;
    applyFieldSettings();
}

void TxDBGrid::setFieldWidth(const QString &field, int width)
{
    settings(field).width = width;
    applyFieldSettings();
}

int TxDBGrid::fieldWidth(const QString &field) const
{
    const int column = fieldColumn(field);
    if (column >= 0)
        return columnWidth(column);
    return m_fields.value(field.toUpper()).width;
}

void TxDBGrid::setFieldVisible(const QString &field, bool visible)
{
    FieldSettings &s = settings(field);
    s.hidden = !visible;
    s.hiddenSet = true;
    applyFieldSettings();
}

bool TxDBGrid::isFieldVisible(const QString &field) const
{
    const int column = fieldColumn(field);
    if (column >= 0)
        return !isColumnHidden(column);
    return !m_fields.value(field.toUpper()).hidden;
}

void TxDBGrid::setFieldPosition(const QString &field, int position)
{
    settings(field).position = position;
    applyFieldSettings();
}

int TxDBGrid::fieldPosition(const QString &field) const
{
    const int column = fieldColumn(field);
    if (column >= 0)
        return horizontalHeader()->visualIndex(column);
    return m_fields.value(field.toUpper()).position;
}

void TxDBGrid::setFieldDecimals(const QString &field, int decimals)
{
    settings(field).decimals = decimals;
    applyFieldSettings();
}

int TxDBGrid::fieldDecimals(const QString &field) const
{
    return m_fields.value(field.toUpper()).decimals;
}

void TxDBGrid::setFieldNumberKind(const QString &field, TNumberKind kind)
{
    settings(field).kind = kind;
    applyFieldSettings();
}

TNumberKind TxDBGrid::columnNumberKind(int column) const
{
    return column >= 0 && column < m_columnKinds.size() ? m_columnKinds.at(column) : TNumberKind::Auto;
}

void TxDBGrid::applyFieldSettings()
{
    QAbstractItemModel *m = model();
    m_columnDecimals.clear();
    if (!m)
        return;
    m_applying = true;
    m_columnDecimals = QList<int>(m->columnCount(), -1);
    m_columnKinds = QList<TNumberKind>(m->columnCount(), TNumberKind::Auto);
    QList<std::pair<int, int>> positions;  // position, column
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        const int column = fieldColumn(it.key());
        if (column < 0)
            continue;
        const FieldSettings &s = it.value();
        if (!s.title.isEmpty() && m->headerData(column, Qt::Horizontal).toString() != s.title)
            m->setHeaderData(column, Qt::Horizontal, s.title);
        if (s.hiddenSet)
            setColumnHidden(column, s.hidden);
        if (s.width > 0)
            setColumnWidth(column, s.width);
        if (s.position >= 0)
            positions.append({s.position, column});
        m_columnDecimals[column] = s.decimals;
        m_columnKinds[column] = s.kind;
    }
    for (int column = 0; column < m->columnCount(); ++column) {
        const QString field = columnField(column);
        if (m_columnKinds[column] == TNumberKind::Auto)
            m_columnKinds[column] = numberKindOfColumn(*m, column, field);
        // Widths nobody chose follow the title and the rows, until the grid
        // has shown rows.
        if (field.isEmpty() || isColumnHidden(column))
            continue;
        FieldSettings &s = settings(field);
        if (s.widthFixed)
            continue;
        setColumnWidth(column, fittingColumnWidth(this, horizontalHeader(), column, s.width));
        if (m->rowCount() > 0 && isVisible())
            s.widthFixed = true;
    }
    std::sort(positions.begin(), positions.end());
    QHeaderView *titles = horizontalHeader();
    for (const auto &[position, column] : std::as_const(positions)) {
        if (position < titles->count())
            titles->moveSection(titles->visualIndex(column), position);
    }
    titles->setSortIndicator(m_sortColumn, m_sortOrder);
    m_applying = false;
}

// --- Look -----------------------------------------------------------------------

void TxDBGrid::setStriped(bool on)
{
    m_striped = on;
    viewport()->update();
}

void TxDBGrid::setStripeColors(const QColor &one, const QColor &two)
{
    m_stripeOne = one;
    m_stripeTwo = two;
    viewport()->update();
}

void TxDBGrid::setSelectionColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Highlight, color);
    p.setColor(QPalette::Inactive, QPalette::Highlight, color);
    setPalette(p);
}

QColor TxDBGrid::selectionColor() const
{
    return palette().color(QPalette::Active, QPalette::Highlight);
}

void TxDBGrid::styleCell(const QModelIndex &index, QStyleOptionViewItem &option) const
{
    // The title row counts as row 0: data rows 1, 3, 5 ... take the first colour.
    if (m_striped && option.backgroundBrush.style() == Qt::NoBrush)
        option.backgroundBrush = index.row() % 2 == 0 ? m_stripeOne : m_stripeTwo;
    const int decimals = index.column() < m_columnDecimals.size() ? m_columnDecimals.at(index.column()) : -1;
    showNumber(option, index, columnNumberKind(index.column()), decimals);
    if (m_formatter)
        m_formatter(index, option);
}

} // namespace korvex::widgets
