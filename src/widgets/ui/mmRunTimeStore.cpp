#include "mmRunTimeStore.h"

#include "Part.h"
#include "xDBGrid.h"
#include "xGridConditions.h"
#include "xGuard.h"
#include "xRtsColors.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"
#include "widgets/xCondition.h"
#include "widgets/xRtsTables.h"
#include "widgets/xTreeModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QSqlQueryModel>
#include <QSqlField>
#include <QSqlRecord>
#include <QTableView>
#include <QTreeView>
#include <algorithm>

namespace korvex::widgets {

namespace {

QHeaderView *headerOf(QAbstractItemView *view)
{
    if (auto *t = qobject_cast<QTableView *>(view))
        return t->horizontalHeader();
    if (auto *t = qobject_cast<QTreeView *>(view))
        return t->header();
    return nullptr;
}

QString className(const QObject *o)
{
    QString name = QString::fromLatin1(o->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    if (colons >= 0)
        name = name.mid(colons + 2);
    return name.startsWith(QLatin1Char('T')) ? name.mid(1) : name;
}

rts::TAlign toAlign(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return rts::TAlign::Center;
    if (a & Qt::AlignRight)
        return rts::TAlign::Right;
    return rts::TAlign::Left;
}

Qt::Alignment toQtAlign(rts::TAlign a)
{
    switch (a) {
    case rts::TAlign::Right: return Qt::AlignRight;
    case rts::TAlign::Center: return Qt::AlignHCenter;
    case rts::TAlign::Left: break;
    }
    return Qt::AlignLeft;
}

// A stored colour that shows the colour now shown is kept as stored (a
// system colour stays one); otherwise the colour now shown.
std::optional<int> storedColor(const QColor &now, const std::optional<int> &loaded)
{
    if (loaded && toQColor(*loaded) == now)
        return loaded;
    return toStoredColor(now);
}

TRtsFont storedFont(const QFont &font, const QColor &color, const TRtsFont &loaded)
{
    TRtsFont f;
    f.color = storedColor(color, loaded.color);
    f.size = font.pointSize() > 0 ? font.pointSize() : 8;
    f.style = styleLetters(font);
    // A family this system lacks shows as another one: the stored name stays.
    f.name = loaded.name && toQFont(*loaded.name, 0, QString(), font).family() == font.family() ? *loaded.name
                                                                                                 : font.family();
    return f;
}

QFont fontOf(const TRtsFont &f, const QFont &base)
{
    return toQFont(f.name.value_or(QString()), f.size.value_or(0), f.style.value_or(styleLetters(base)), base);
}

bool isNumberOrDate(QMetaType type)
{
    const TFieldKind kind = fieldKindOf(type);
    return kind == TFieldKind::Number || kind == TFieldKind::Date || kind == TFieldKind::Time
        || kind == TFieldKind::DateTime;
}

} // namespace

// --- TRunTimeStore ------------------------------------------------------------------

TRunTimeStore::TRunTimeStore(TmmRunTimeStore &owner, QAbstractItemView *view, const QString &tableName)
    : QObject(&owner)
    , m_owner(owner)
    , m_view(view)
    , m_tableName(tableName)
{
    follow(view->model());
    if (auto *g = grid())
        connect(g, &TxDBGrid::modelChanged, this, [this] {
            if (m_view)
                follow(m_view->model());
        });
}

TRunTimeStore::~TRunTimeStore() = default;

TxDBGrid *TRunTimeStore::grid() const
{
    return qobject_cast<TxDBGrid *>(m_view.data());
}

void TRunTimeStore::follow(QAbstractItemModel *model)
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_model = model;
    if (!model)
        return;
    m_connections << connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { closing(); });
    m_connections << connect(model, &QAbstractItemModel::modelReset, this, [this] {
        guarded(m_view, [this] { opened(); });
    });
}

void TRunTimeStore::find(TRunTimeStoreTables &tables)
{
    const std::optional<int> key = tables.findStore(m_owner.UserKey, m_owner.Context, m_tableName);
    m_storeKey = key.value_or(-1);
    m_exists = key.has_value();
}

QStringList TRunTimeStore::fields() const
{
    QStringList out;
    QAbstractItemModel *m = m_view ? m_view->model() : nullptr;
    if (!m)
        return out;
    if (auto *g = grid()) {
        for (int c = 0; c < m->columnCount(); ++c)
            out << g->columnField(c);
    } else if (auto *tree = qobject_cast<TxTreeModel *>(m)) {
        for (const QString &f : tree->fieldNames())
            if (tree->columnOf(f) >= 0)
                out << f;
    } else if (auto *sql = qobject_cast<QSqlQueryModel *>(m)) {
        for (int c = 0; c < sql->record().count(); ++c)
            out << sql->record().fieldName(c);
    }
    out.removeAll(QString());
    return out;
}

int TRunTimeStore::columnOf(const QString &field) const
{
    QAbstractItemModel *m = m_view ? m_view->model() : nullptr;
    if (!m)
        return -1;
    if (auto *g = grid())
        return g->fieldColumn(field);
    if (auto *tree = qobject_cast<TxTreeModel *>(m))
        return tree->columnOf(field);
    if (auto *sql = qobject_cast<QSqlQueryModel *>(m))
        return sql->record().indexOf(field);
    return -1;
}

QMetaType TRunTimeStore::typeOf(int column) const
{
    QAbstractItemModel *m = m_view ? m_view->model() : nullptr;
    if (auto *sql = qobject_cast<QSqlQueryModel *>(m))
        return sql->record().field(column).metaType();
    if (m && m->rowCount() > 0)
        return m->index(0, column).data(Qt::EditRole).metaType();
    return {};
}

bool TRunTimeStore::isFormatted(int column) const
{
    return isNumberOrDate(typeOf(column));
}

bool TRunTimeStore::isNumber(int column) const
{
    return fieldKindOf(typeOf(column)) == TFieldKind::Number;
}

int TRunTimeStore::toChars(int pixels) const
{
    const int w = qMax(1, m_view->fontMetrics().averageCharWidth());
    return qMax(1, qRound(double(pixels - 6) / w));
}

int TRunTimeStore::toPixels(int chars) const
{
    return chars * qMax(1, m_view->fontMetrics().averageCharWidth()) + 6;
}

std::optional<TCachedStore> TRunTimeStore::current(const QString &field, const TCachedStore *loaded) const
{
    const int column = columnOf(field);
    QHeaderView *header = m_view ? headerOf(m_view) : nullptr;
    if (column < 0 || !header) {
        const auto it = m_snapshot.constFind(field.toUpper());
        if (it == m_snapshot.constEnd())
            return std::nullopt;
        return it.value();
    }
    QAbstractItemModel *m = m_view->model();
    TCachedStore e;
    e.FieldName = field;
    e.HasColumn = true;
    e.FieldOrder = header->visualIndex(column);
    e.Visible = !header->isSectionHidden(column);
    e.DisplayLabel = m->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    // A hidden column shows no width: the one it had is kept.
    e.DisplayWidth = e.Visible ? toChars(header->sectionSize(column))
                               : (loaded ? loaded->DisplayWidth : m_snapshot.value(field.toUpper()).DisplayWidth);
    const TCachedStore none;
    const TCachedStore &before = loaded ? *loaded : none;
    const QFont viewFont = m_view->font();
    const QColor viewText = m_view->palette().color(QPalette::Text);
    const QFont titleFont = header->font();
    if (auto *g = grid()) {
        const TxColumnLook look = g->fieldLook(field);
        e.DisplayFormat = look.displayFormat;
        e.EditMask = look.editMask;
        // Numbers stand at the right unless the layout says otherwise.
        e.Alignment = look.alignment ? toAlign(*look.alignment)
                                     : (isNumber(column) ? rts::TAlign::Right : rts::TAlign::Left);
        e.Font = storedFont(look.font.value_or(viewFont), look.fontColor.isValid() ? look.fontColor : viewText, before.Font);
        e.Color = storedColor(look.color.isValid() ? look.color : g->palette().color(QPalette::Base), before.Color);
        e.TitleFont = storedFont(look.titleFont.value_or(titleFont),
                                 look.titleFontColor.isValid() ? look.titleFontColor
                                                               : header->palette().color(QPalette::ButtonText),
                                 before.TitleFont);
        e.TitleColor = storedColor(look.titleColor.isValid() ? look.titleColor : header->palette().color(QPalette::Button),
                                   before.TitleColor);
        e.TitleAlignment = look.titleAlignment ? toAlign(*look.titleAlignment) : rts::TAlign::Left;
    } else {
        e.Font = storedFont(viewFont, viewText, before.Font);
        e.Color = storedColor(m_view->palette().color(QPalette::Base), before.Color);
        e.TitleFont = storedFont(titleFont, header->palette().color(QPalette::ButtonText), before.TitleFont);
        e.TitleColor = storedColor(header->palette().color(QPalette::Button), before.TitleColor);
        e.Alignment = before.Alignment;
        e.DisplayFormat = before.DisplayFormat;
        e.EditMask = before.EditMask;
    }
    e.Resizeable = before.Resizeable;
    e.MaxWidth = before.MaxWidth;
    e.MinWidth = before.MinWidth;
    return e;
}

void TRunTimeStore::apply(const TCachedStore &entry, bool loadFlag)
{
    const int column = columnOf(entry.FieldName);
    QHeaderView *header = headerOf(m_view);
    if (column < 0 || !header)
        return;
    QAbstractItemModel *m = m_view->model();
    if (auto *g = grid()) {
        TxColumnLook look = g->fieldLook(entry.FieldName);
        if (entry.HasColumn) {
            const QFont viewFont = g->font();
            const QFont font = fontOf(entry.Font, viewFont);
            look.font = font == viewFont ? std::nullopt : std::optional<QFont>(font);
            const QColor text = entry.Font.color ? toQColor(*entry.Font.color) : QColor();
            look.fontColor = text == g->palette().color(QPalette::Text) ? QColor() : text;
            const QColor color = entry.Color ? toQColor(*entry.Color) : QColor();
            look.color = color == g->palette().color(QPalette::Base) ? QColor() : color;
            const QFont titleFont = fontOf(entry.TitleFont, header->font());
            look.titleFont = titleFont == header->font() ? std::nullopt : std::optional<QFont>(titleFont);
            const QColor titleText = entry.TitleFont.color ? toQColor(*entry.TitleFont.color) : QColor();
            look.titleFontColor = titleText == header->palette().color(QPalette::ButtonText) ? QColor() : titleText;
            const QColor titleColor = entry.TitleColor ? toQColor(*entry.TitleColor) : QColor();
            look.titleColor = titleColor == header->palette().color(QPalette::Button) ? QColor() : titleColor;
            if (entry.TitleAlignment != rts::TAlign::Left)
                look.titleAlignment = toQtAlign(entry.TitleAlignment);
        }
        if (loadFlag) {
            look.alignment = toQtAlign(entry.Alignment);
            look.displayFormat = entry.DisplayFormat;
            look.editMask = entry.EditMask;
            if (!entry.Resizeable)
                header->setSectionResizeMode(column, QHeaderView::Fixed);
        }
        g->setFieldLook(entry.FieldName, look);
        if (loadFlag) {
            if (!entry.DisplayLabel.isEmpty())
                g->setFieldTitle(entry.FieldName, entry.DisplayLabel);
            g->setFieldVisible(entry.FieldName, entry.Visible);
            if (entry.DisplayWidth > 0) {
                int width = toPixels(entry.DisplayWidth);
                if (entry.MaxWidth > 0)
                    width = qMin(width, entry.MaxWidth);
                if (entry.MinWidth > 0)
                    width = qMax(width, entry.MinWidth);
                g->setStoredFieldWidth(entry.FieldName, width);
            }
        }
        return;
    }
    // Trees and other views: the header only.
    if (!entry.DisplayLabel.isEmpty())
        m->setHeaderData(column, Qt::Horizontal, entry.DisplayLabel, Qt::DisplayRole);
    header->setSectionHidden(column, !entry.Visible);
    if (entry.DisplayWidth > 0 && entry.Visible)
        header->resizeSection(column, toPixels(entry.DisplayWidth));
}

TRtsGridValues TRunTimeStore::currentGrid() const
{
    TRtsGridValues v;
    QHeaderView *header = headerOf(m_view);
    const TRtsGridValues &before = m_loadedGrid;
    v.Font = storedFont(m_view->font(), m_view->palette().color(QPalette::Text), before.Font);
    v.Color = storedColor(m_view->palette().color(QPalette::Base), before.Color);
    if (header) {
        v.TitleFont = storedFont(header->font(), header->palette().color(QPalette::ButtonText), before.TitleFont);
        v.TitleColor = storedColor(header->palette().color(QPalette::Button), before.TitleColor);
    }
    v.ColorSelected = storedColor(m_view->palette().color(QPalette::Active, QPalette::Highlight), before.ColorSelected);
    if (auto *g = grid()) {
        v.Striped = g->isStriped();
        v.StripeOne = storedColor(g->stripeOne(), before.StripeOne);
        v.StripeTwo = storedColor(g->stripeTwo(), before.StripeTwo);
        v.ScaleColumns = g->scaleColumns();
        v.CondFormat = g->conditions()->isEnabled();
        v.ShowLines = g->showLines();
        v.Settings = encodeGridSettings(TGridSettings{g->conditions()->rules(), g->lineFields()});
    }
    return v;
}

void TRunTimeStore::applyGrid(const TRtsGridValues &v)
{
    QHeaderView *header = headerOf(m_view);
    m_view->setFont(fontOf(v.Font, m_view->font()));
    QPalette p = m_view->palette();
    if (v.Font.color && toQColor(*v.Font.color).isValid())
        p.setColor(QPalette::Text, toQColor(*v.Font.color));
    if (v.Color && toQColor(*v.Color).isValid())
        p.setColor(QPalette::Base, toQColor(*v.Color));
    m_view->setPalette(p);
    if (header) {
        header->setFont(fontOf(v.TitleFont, header->font()));
        QPalette hp = header->palette();
        if (v.TitleFont.color && toQColor(*v.TitleFont.color).isValid())
            hp.setColor(QPalette::ButtonText, toQColor(*v.TitleFont.color));
        if (v.TitleColor && toQColor(*v.TitleColor).isValid())
            hp.setColor(QPalette::Button, toQColor(*v.TitleColor));
        header->setPalette(hp);
    }
    auto *g = grid();
    if (!g)
        return;
    if (v.ColorSelected && toQColor(*v.ColorSelected).isValid())
        g->setSelectionColor(toQColor(*v.ColorSelected));
    g->setStriped(v.Striped);
    const QColor one = v.StripeOne ? toQColor(*v.StripeOne) : QColor();
    const QColor two = v.StripeTwo ? toQColor(*v.StripeTwo) : QColor();
    g->setStripeColors(one.isValid() ? one : g->stripeOne(), two.isValid() ? two : g->stripeTwo());
    if (v.ScaleColumns)
        g->setScaleColumns(*v.ScaleColumns);
    g->conditions()->setEnabled(v.CondFormat);
    g->setShowLines(v.ShowLines);
    // The stored rules stand in for the designed ones: the user's list began
    // as a copy of them.
    if (v.Settings) {
        if (const std::optional<TGridSettings> s = decodeGridSettings(*v.Settings)) {
            g->conditions()->setRules(s->Rules);
            g->setLineFields(s->LineFields);
        }
    }
    g->conditions()->setRulesChanged(false);
}

void TRunTimeStore::load(TRunTimeStoreTables &tables)
{
    m_entries.clear();
    const QStringList present = fields();
    if (m_storeKey >= 0) {
        const TRtsGridValues stored = tables.readLayout(m_storeKey);
        applyGrid(stored);
        // The values the layout left open are the grid's own from here on.
        m_loadedGrid = stored;
        const TRtsGridValues shown = currentGrid();
        auto fill = [](std::optional<int> &v, const std::optional<int> &from) {
            if (!v)
                v = from;
        };
        m_loadedGrid.Font = stored.Font.completedWith(shown.Font);
        m_loadedGrid.TitleFont = stored.TitleFont.completedWith(shown.TitleFont);
        fill(m_loadedGrid.Color, shown.Color);
        fill(m_loadedGrid.TitleColor, shown.TitleColor);
        fill(m_loadedGrid.ColorSelected, shown.ColorSelected);
        fill(m_loadedGrid.StripeOne, shown.StripeOne);
        fill(m_loadedGrid.StripeTwo, shown.StripeTwo);
        if (!m_loadedGrid.ScaleColumns)
            m_loadedGrid.ScaleColumns = shown.ScaleColumns;

        QList<TCachedStore> rows = tables.readFields(m_storeKey);
        // Columns are placed in ascending order of their stored position.
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TCachedStore &a, const TCachedStore &b) { return a.FieldOrder < b.FieldOrder; });
        for (TCachedStore &row : rows) {
            if (!present.contains(row.FieldName, Qt::CaseInsensitive))
                continue;  // a field the data set no longer has
            const std::optional<TCachedStore> now = current(row.FieldName, nullptr);
            for (const QString &f : present)
                if (f.compare(row.FieldName, Qt::CaseInsensitive) == 0)
                    row.FieldName = f;
            row.HasColumn = now.has_value();
            if (now) {
                row.Font = row.Font.completedWith(now->Font);
                row.TitleFont = row.TitleFont.completedWith(now->TitleFont);
                if (!row.Color)
                    row.Color = now->Color;
                if (!row.TitleColor)
                    row.TitleColor = now->TitleColor;
            }
            m_entries << row;
        }
        if (auto *g = grid()) {
            for (const TCachedStore &e : std::as_const(m_entries))
                if (e.FieldOrder >= 0)
                    g->setFieldPosition(e.FieldName, e.FieldOrder);
        } else if (QHeaderView *header = headerOf(m_view)) {
            for (const TCachedStore &e : std::as_const(m_entries)) {
                const int column = columnOf(e.FieldName);
                if (column >= 0 && e.FieldOrder >= 0 && e.FieldOrder < header->count())
                    header->moveSection(header->visualIndex(column), e.FieldOrder);
            }
        }
        for (const TCachedStore &e : std::as_const(m_entries))
            apply(e, true);
    } else {
        m_loadedGrid = currentGrid();
    }
    addUntouched(present);
    m_loaded = true;
}

void TRunTimeStore::addUntouched(const QStringList &present)
{
    // Fields without a stored column are written whole at the next save.
    for (const QString &f : present) {
        const bool known = std::any_of(m_entries.cbegin(), m_entries.cend(), [&](const TCachedStore &e) {
            return e.FieldName.compare(f, Qt::CaseInsensitive) == 0;
        });
        if (!known) {
            TCachedStore e;
            e.FieldName = f;
            e.Untouched = true;
            m_entries << e;
        }
    }
}

void TRunTimeStore::opened(TRunTimeStoreTables *tables)
{
    if (!m_view || !m_view->model() || m_view->model()->columnCount() == 0)
        return;
    Q_EMIT m_owner.customGrid(this);
    m_formatted.clear();
    for (const QString &f : fields())
        if (isFormatted(columnOf(f)))
            m_formatted.insert(f.toUpper());
    if (!m_loaded) {
        if (tables) {
            load(*tables);
        } else {
            korvex::db::TxDatabase *db = m_owner.database();
            if (!db)
                return;
            TRunTimeStoreTables own(*db);
            load(own);
        }
        return;
    }
    addUntouched(fields());
    // The grid keeps its column settings itself; a tree builds its columns
    // anew and gets them back from the snapshot.
    if (!grid()) {
        QList<TCachedStore> snapshot = m_snapshot.values();
        std::stable_sort(snapshot.begin(), snapshot.end(),
                         [](const TCachedStore &a, const TCachedStore &b) { return a.FieldOrder < b.FieldOrder; });
        QHeaderView *header = headerOf(m_view);
        for (const TCachedStore &e : std::as_const(snapshot)) {
            const int column = columnOf(e.FieldName);
            if (header && column >= 0 && e.FieldOrder < header->count())
                header->moveSection(header->visualIndex(column), e.FieldOrder);
            apply(e, false);
        }
    }
}

void TRunTimeStore::closing()
{
    if (!m_view || !m_view->model())
        return;
    for (const QString &f : fields()) {
        const TCachedStore *loaded = nullptr;
        for (const TCachedStore &e : std::as_const(m_entries))
            if (e.FieldName.compare(f, Qt::CaseInsensitive) == 0)
                loaded = &e;
        if (std::optional<TCachedStore> now = current(f, loaded))
            m_snapshot.insert(f.toUpper(), *now);
    }
}

void TRunTimeStore::save(TRunTimeStoreTables &tables)
{
    if (!m_loaded || !m_view)
        return;
    korvex::db::TxDatabase &db = *m_owner.database();
    korvex::db::TxWriteScope scope(db);
    const bool isNew = !(m_storeKey >= 0 && m_exists);
    int key = m_storeKey;
    if (isNew) {
        // A layout that cannot be made is not kept, and nobody is told.
        try {
            key = tables.appendLayout(m_owner.UserKey, m_owner.Context, m_tableName);
        } catch (const korvex::db::EDatabaseError &) {
            return;
        }
    }
    QList<TCachedStore> saved;
    for (const TCachedStore &entry : std::as_const(m_entries)) {
        std::optional<TCachedStore> now = current(entry.FieldName, entry.Untouched ? nullptr : &entry);
        if (!now)
            throw korvex::db::EDatabaseError(TmmRunTimeStore::tr("Ошибка после закрытия базы данных!"));
        const bool formatted = m_formatted.contains(entry.FieldName.toUpper());
        if (entry.FieldKey >= 0 && !isNew) {
            now->FieldKey = entry.FieldKey;
            tables.writeField(*now, entry, formatted);
        } else {
            now->FieldKey = tables.appendField(key, *now, formatted);
        }
        saved << *now;
    }
    const TRtsGridValues grid = currentGrid();
    auto *g = this->grid();
    const bool rulesChanged = g && g->conditions()->rulesChanged();
    tables.writeLayout(key, grid, isNew ? nullptr : &m_loadedGrid, isNew || rulesChanged);
    scope.commit();
    m_storeKey = key;
    m_exists = true;
    m_entries = saved;
    m_loadedGrid = grid;
    if (g)
        g->conditions()->setRulesChanged(false);
}

// --- TmmRunTimeStore -------------------------------------------------------------------

TmmRunTimeStore::TmmRunTimeStore(QWidget *form)
    : QObject(form)
    , m_form(form)
{
    setObjectName(QStringLiteral("RunTimeStore"));
    const QVariant context = form->property(ContextProperty);
    if (context.isValid())
        Context = context.toInt();
    const QVariant enabled = form->property(EnabledProperty);
    if (enabled.isValid())
        Enabled = enabled.toBool();
    if (UseUserLogin) {
        if (auto *options = korvex::shell::TmmOptions::instance())
            UserKey = options->userKey();
    }
    if (form->isWindow())
        form->installEventFilter(this);
}

TmmRunTimeStore::~TmmRunTimeStore() = default;

QWidget *TmmRunTimeStore::formOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<TPart *>(w) || w->isWindow())
            return w;
    }
    return nullptr;
}

TmmRunTimeStore *TmmRunTimeStore::of(QWidget *form, bool create)
{
    if (!form)
        return nullptr;
    if (auto *s = form->findChild<TmmRunTimeStore *>(QString(), Qt::FindDirectChildrenOnly))
        return s;
    return create ? new TmmRunTimeStore(form) : nullptr;
}

QString TmmRunTimeStore::tableNameOf(QAbstractItemView *view, QWidget *form)
{
    QString dataSet = view->model() ? view->model()->objectName() : QString();
    if (dataSet.isEmpty())
        dataSet = view->objectName();
    if (dataSet.isEmpty())
        dataSet = className(view);
    const QString formName = form->objectName().isEmpty() ? className(form) : form->objectName();
    // Characters the database's code page lacks would refuse the name.
    QString name = formName + QLatin1Char('.') + dataSet;
    for (QChar &c : name) {
        if (c.unicode() >= 0x80 && !(c.unicode() >= 0x401 && c.unicode() <= 0x45F))
            c = QLatin1Char('_');
    }
    return name.left(100);
}

void TmmRunTimeStore::attachView(QAbstractItemView *view)
{
    if (TmmRunTimeStore *store = of(formOf(view)); store && store->isActive())
        store->attach(view);
}

korvex::db::TxDatabase *TmmRunTimeStore::database() const
{
    auto *options = korvex::shell::TmmOptions::instance();
    return options ? &options->database() : nullptr;
}

bool TmmRunTimeStore::isActive() const
{
    korvex::db::TxDatabase *db = database();
    return Enabled && db && db->isOpen();
}

void TmmRunTimeStore::attach(QAbstractItemView *view)
{
    if (!isActive() || storeOf(view) || !headerOf(view))
        return;
    auto *store = new TRunTimeStore(*this, view, tableNameOf(view, m_form));
    m_stores << store;
    connect(view, &QObject::destroyed, this, [this, store] {
        m_stores.removeOne(store);
        store->deleteLater();
    });
    TRunTimeStoreTables tables(*database());
    store->find(tables);
    Q_EMIT customGrid(store);
    store->opened(&tables);
}

TRunTimeStore *TmmRunTimeStore::storeOf(const QAbstractItemView *view) const
{
    for (TRunTimeStore *s : m_stores)
        if (s->view() == view)
            return s;
    return nullptr;
}

QList<TRunTimeStore *> TmmRunTimeStore::stores() const
{
    return m_stores;
}

void TmmRunTimeStore::save()
{
    if (!isActive())
        return;
    TRunTimeStoreTables tables(*database());
    std::optional<korvex::db::EDatabaseError> first;
    for (TRunTimeStore *s : std::as_const(m_stores)) {
        try {
            s->save(tables);
        } catch (const korvex::db::EDatabaseError &e) {
            if (!first)
                first = e;
        }
    }
    if (first)
        throw *first;
}

void TmmRunTimeStore::saveShowingErrors()
{
    guarded(m_form, [this] { save(); });
}

bool TmmRunTimeStore::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form && event->type() == QEvent::Hide)
        saveShowingErrors();
    return false;
}

} // namespace korvex::widgets
