#include "xDBGrid.h"

#include "mmRunTimeStore.h"
#include "xGridConditions.h"
#include "xGridDisplay.h"
#include "xGuard.h"
#include "xMessages.h"
#include "widgets/xDisplayFormat.h"
#include "widgets/xQueryModel.h"

#include "db/xDbError.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QMenu>
#include <QPainter>
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

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (m_grid->lineAbove(index)) {
            painter->save();
            painter->setPen(QPen(option.palette.color(QPalette::WindowText), 1));
            painter->drawLine(option.rect.topLeft(), option.rect.topRight());
            painter->restore();
        }
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

    // Later, not while the model is still changing (a reset sets the value
    // too), and once however often the value changed meanwhile.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_fetchAboveQueued)
            return;
        m_fetchAboveQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_fetchAboveQueued = false;
            fetchAbove();
        }, Qt::QueuedConnection);
    });
    m_conditions = new TxGridConditions(this);
    m_conditionsMenu = new QMenu(tr("Условное форматирование"), this);
    QAction *use = m_conditionsMenu->addAction(tr("Использовать"));
    use->setObjectName(QStringLiteral("UseConditions"));
    use->setCheckable(true);
    connect(m_conditions, &TxGridConditions::changed, use, [this, use] { use->setChecked(m_conditions->isEnabled()); });
    connect(use, &QAction::triggered, this, [this](bool on) { m_conditions->setEnabled(on); });
    QAction *edit = m_conditionsMenu->addAction(tr("Задать условия"));
    edit->setObjectName(QStringLiteral("EditConditions"));
    connect(edit, &QAction::triggered, this, [this] { guarded(this, [this] { editConditions(); }); });

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
    m_conditions->setModel(model);
    applyFieldSettings();
    ensureCurrentRow();
    Q_EMIT modelChanged();
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
    // A keyed list finds the row by its place in the order, reading no row
    // before it; any other model reads on to it.
    auto *query = qobject_cast<TxQueryModel *>(model());
    const int row = query ? query->locate(columnField(keyColumn), key) : TxQueryModel::findRow(*model(), keyColumn, key);
    if (row < 0)
        return false;
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    while (column < model()->columnCount() - 1 && isColumnHidden(column))
        ++column;
    const QModelIndex target = model()->index(row, column);
    setCurrentIndex(target);
    scrollTo(target);
    fetchAbove();
    return true;
}

void TxDBGrid::fetchAbove()
{
    // Rows before the first one a keyed list holds come as the view reaches
    // its top, and the rows shown stay where they are.
    auto *query = qobject_cast<TxQueryModel *>(model());
    if (!query || m_fetchingAbove || !query->canFetchBefore()
        || verticalScrollBar()->value() > verticalScrollBar()->minimum())
        return;
    m_fetchingAbove = true;
    const int top = rowAt(0);
    try {
        const int added = query->fetchBefore();
        // The scroll range must know the new rows before the view can stay put.
        executeDelayedItemsLayout();
        if (added > 0 && top >= 0) {
            const int column = currentIndex().isValid() ? currentIndex().column() : 0;
            scrollTo(model()->index(top + added, column), QAbstractItemView::PositionAtTop);
        }
    } catch (const db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
    }
    m_fetchingAbove = false;
}

QModelIndex TxDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Ctrl+Home and Ctrl+End go to the ends of a keyed list, not of the rows
    // it holds; neither reads the rows between.
    auto *query = qobject_cast<TxQueryModel *>(model());
    const bool ends = (action == MoveHome || action == MoveEnd) && (modifiers & Qt::ControlModifier);
    if (query && !query->keyField().isEmpty() && ends
        && (action == MoveHome ? query->canFetchBefore() : query->canFetchMore())) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        try {
            if (action == MoveHome)
                query->requery();
            else
                query->openAtEnd();
        } catch (const db::EDatabaseError &e) {
            TxMessages::error(this, e.message());
            return currentIndex();
        }
        if (model()->rowCount() == 0)
            return {};
        return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
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
    if (auto *query = qobject_cast<TxQueryModel *>(model()))
        return query->fieldIndex(field.trimmed());
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
    if (auto *query = qobject_cast<TxQueryModel *>(model()))
        return query->record().fieldName(column).trimmed();
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

void TxDBGrid::setStoredFieldWidth(const QString &field, int width)
{
    settings(field).width = width;
    settings(field).widthFixed = true;
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
    m_columnLooks.clear();
    if (!m)
        return;
    m_applying = true;
    m_columnDecimals = QList<int>(m->columnCount(), -1);
    m_columnKinds = QList<TNumberKind>(m->columnCount(), TNumberKind::Auto);
    m_columnLooks = QList<TxColumnLook>(m->columnCount());
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
        m_columnLooks[column] = s.look;
        // Titles take their look from the model's header roles.
        const TxColumnLook &look = s.look;
        if (look.titleFont)
            m->setHeaderData(column, Qt::Horizontal, *look.titleFont, Qt::FontRole);
        if (look.titleFontColor.isValid())
            m->setHeaderData(column, Qt::Horizontal, look.titleFontColor, Qt::ForegroundRole);
        if (look.titleColor.isValid())
            m->setHeaderData(column, Qt::Horizontal, look.titleColor, Qt::BackgroundRole);
        if (look.titleAlignment)
            m->setHeaderData(column, Qt::Horizontal, QVariant::fromValue(*look.titleAlignment), Qt::TextAlignmentRole);
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
    applyScaling();
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
    const TxColumnLook *look = index.column() < m_columnLooks.size() ? &m_columnLooks.at(index.column()) : nullptr;
    if (m_striped && option.backgroundBrush.style() == Qt::NoBrush)
        option.backgroundBrush = index.row() % 2 == 0 ? m_stripeOne : m_stripeTwo;
    else if (look && look->color.isValid() && option.backgroundBrush.style() == Qt::NoBrush)
        option.backgroundBrush = look->color;
    if (look) {
        if (look->font)
            option.font = *look->font;
        if (look->fontColor.isValid())
            option.palette.setColor(QPalette::Text, look->fontColor);
        if (look->alignment)
            option.displayAlignment = *look->alignment | Qt::AlignVCenter;
        if (!look->displayFormat.isEmpty()) {
            const QVariant v = index.data(Qt::EditRole);
            if (const std::optional<QString> text = formatForDisplay(look->displayFormat, v, option.locale)) {
                option.text = *text;
                if (!look->alignment && numberText(v, TNumberKind::Auto))
                    option.displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
                if (m_formatter)
                    m_formatter(index, option);
                m_conditions->apply(index, option);
                return;
            }
        }
    }
    const int decimals = index.column() < m_columnDecimals.size() ? m_columnDecimals.at(index.column()) : -1;
    showNumber(option, index, columnNumberKind(index.column()), decimals);
    if (m_formatter)
        m_formatter(index, option);
    m_conditions->apply(index, option);
}

// --- Stored layout --------------------------------------------------------------

void TxDBGrid::setFieldLook(const QString &field, const TxColumnLook &look)
{
    settings(field).look = look;
    applyFieldSettings();
    viewport()->update();
}

TxColumnLook TxDBGrid::fieldLook(const QString &field) const
{
    return m_fields.value(field.toUpper()).look;
}

QStringList TxDBGrid::knownFields() const
{
    return m_fields.keys();
}

void TxDBGrid::setScaleColumns(bool on)
{
    m_scaleColumns = on;
    applyScaling();
}

void TxDBGrid::applyScaling()
{
    if (!m_scaleColumns || !model())
        return;
    QHeaderView *titles = horizontalHeader();
    int total = 0;
    for (int c = 0; c < titles->count(); ++c)
        if (!titles->isSectionHidden(c))
            total += titles->sectionSize(c);
    const int room = viewport()->width();
    if (total <= 0 || room <= 0 || total == room)
        return;
    m_applying = true;
    int used = 0, last = -1;
    for (int c = 0; c < titles->count(); ++c) {
        if (titles->isSectionHidden(c))
            continue;
        const int w = qMax(titles->minimumSectionSize(), int(qint64(titles->sectionSize(c)) * room / total));
        titles->resizeSection(c, w);
        used += w;
        last = c;
    }
    if (last >= 0 && used != room)
        titles->resizeSection(last, qMax(titles->minimumSectionSize(), titles->sectionSize(last) + room - used));
    m_applying = false;
}

void TxDBGrid::setShowLines(bool on)
{
    m_showLines = on;
    viewport()->update();
}

void TxDBGrid::setLineFields(const QStringList &fields)
{
    m_lineFields = fields;
    viewport()->update();
}

bool TxDBGrid::lineAbove(const QModelIndex &index) const
{
    if (!m_showLines || m_lineFields.isEmpty() || index.row() == 0 || !model())
        return false;
    for (const QString &field : m_lineFields) {
        const int column = fieldColumn(field);
        if (column < 0)
            continue;
        if (model()->index(index.row(), column).data(Qt::EditRole) != model()->index(index.row() - 1, column).data(Qt::EditRole))
            return true;
    }
    return false;
}

bool TxDBGrid::editConditions()
{
    if (!m_conditions->edit(this))
        return false;
    viewport()->update();
    return true;
}

void TxDBGrid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    // The first showing joins the form's run-time store, which brings the
    // user's layout back.
    if (!m_shownOnce) {
        m_shownOnce = true;
        guarded(this, [this] { TmmRunTimeStore::attachView(this); });
    }
}

void TxDBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    applyScaling();
}

void TxDBGrid::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addActions(actions());
    if (!menu.isEmpty())
        menu.addSeparator();
    menu.addMenu(m_conditionsMenu);
    menu.exec(event->globalPos());
}

bool TxDBGrid::viewportEvent(QEvent *event)
{
    // A page that lists its own actions still gets the rules' submenu after them.
    if (event->type() == QEvent::ContextMenu && contextMenuPolicy() == Qt::ActionsContextMenu) {
        contextMenuEvent(static_cast<QContextMenuEvent *>(event));
        return true;
    }
    return QTableView::viewportEvent(event);
}

} // namespace korvex::widgets
