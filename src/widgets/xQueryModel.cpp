#include "xQueryModel.h"
#include "xNumberDisplay.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"

#include <QSqlError>
#include <QSqlField>
#include <algorithm>

namespace korvex::widgets {

using db::EDatabaseError;
using db::TxQuery;

namespace {

constexpr int kChunk = 255;

bool isPosition(const QString &item)
{
    return !item.isEmpty() && std::all_of(item.cbegin(), item.cend(), [](QChar c) { return c.isDigit(); });
}

// The placeholders of the conditions a keyed list adds: "?" after the
// statement's own values, or names of their own when it binds by name.
struct Binder {
    bool named = false;
    QVariantList positional;
    QHash<QString, QVariant> names;

    QString bind(const QVariant &value)
    {
        if (!named) {
            positional << value;
            return QStringLiteral("?");
        }
        const QString name = QStringLiteral(":kx_%1").arg(names.size());
        names.insert(name, value);
        return name;
    }
};

QString quoted(const QString &field)
{
    return QStringLiteral("q.\"") + QString(field).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// NULL counts as the lowest value whichever the direction, as the server
// sorts: first in an ascending order, last in a descending one.
// "Comes before t in this field's direction"; empty: never.
QString before(const QString &f, bool descending, const QVariant &t, Binder &b)
{
    if (!descending)
        return t.isNull() ? QString() : QStringLiteral("(%1 IS NULL OR %1 < %2)").arg(f, b.bind(t));
    return t.isNull() ? QStringLiteral("%1 IS NOT NULL").arg(f) : QStringLiteral("%1 > %2").arg(f, b.bind(t));
}

QString after(const QString &f, bool descending, const QVariant &t, Binder &b)
{
    if (!descending)
        return t.isNull() ? QStringLiteral("%1 IS NOT NULL").arg(f) : QStringLiteral("%1 > %2").arg(f, b.bind(t));
    return t.isNull() ? QString() : QStringLiteral("(%1 IS NULL OR %1 < %2)").arg(f, b.bind(t));
}

QString equal(const QString &f, const QVariant &t, Binder &b)
{
    return t.isNull() ? QStringLiteral("%1 IS NULL").arg(f) : QStringLiteral("%1 = %2").arg(f, b.bind(t));
}

} // namespace

bool sameKey(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return false;
    if (isWholeNumber(a) && isWholeNumber(b))
        return a.toLongLong() == b.toLongLong();
    if (isWholeNumber(a) || isWholeNumber(b)) {
        bool ok1 = false, ok2 = false;
        const qlonglong x = a.toLongLong(&ok1), y = b.toLongLong(&ok2);
        if (ok1 && ok2)
            return x == y;
    }
    return a == b;
}

// Statements read one after another, as one stream of rows.
struct TxQueryModel::Cursor {
    struct Segment {
        QString sql;
        QVariantList positional;
        QHash<QString, QVariant> named;
    };
    QList<Segment> segments;
    qsizetype next = 0;
    std::unique_ptr<TxQuery> query;
    QSqlRecord record;  // the columns, known once a segment ran
    bool done = false;
};

TxQueryModel::TxQueryModel(db::TxDatabase &db, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
{
}

TxQueryModel::~TxQueryModel() = default;

void TxQueryModel::setStatement(const QString &select, const QVariantList &values, const QString &orderBy)
{
    m_select = select.trimmed();
    m_values = values;
    m_named.clear();
    m_orderBy = orderBy.trimmed();
    m_sortColumn = -1;
    m_sortOrder = Qt::AscendingOrder;
    setKeyField(m_keyField);
}

void TxQueryModel::setStatement(const TxSqlFilter &select, const QString &orderBy)
{
    setStatement(select.text(), select.values(), orderBy);
}

void TxQueryModel::setValues(const QVariantList &values)
{
    m_values = values;
}

void TxQueryModel::setParam(const QString &name, const QVariant &value)
{
    m_named.insert(name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name, value);
}

void TxQueryModel::setKeyField(const QString &field)
{
    m_keyField = field.trimmed();
    m_defaultOrder.clear();
    m_orderResolved = false;
    if (m_keyField.isEmpty())
        return;
    for (QString item : m_orderBy.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        item = item.trimmed();
        OrderItem o;
        if (item.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) {
            o.descending = true;
            item.chop(5);
        } else if (item.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) {
            item.chop(4);
        }
        o.field = item.trimmed();
        m_defaultOrder << o;
    }
    // The key last makes the order total, which the places of rows need.
    if (m_defaultOrder.isEmpty() || m_defaultOrder.last().field.compare(m_keyField, Qt::CaseInsensitive) != 0)
        m_defaultOrder << OrderItem{m_keyField, !m_defaultOrder.isEmpty() && m_defaultOrder.last().descending};
}

QString TxQueryModel::wrapped() const
{
    return QStringLiteral("SELECT * FROM (") + m_select + QStringLiteral(") q");
}

QString TxQueryModel::unkeyedStatement() const
{
    QStringList order;
    if (m_sortColumn >= 0)
        order << QString::number(m_sortColumn + 1)
                     + (m_sortOrder == Qt::DescendingOrder ? QStringLiteral(" DESC") : QString());
    if (!m_orderBy.isEmpty())
        order << m_orderBy;
    return order.isEmpty() ? m_select : m_select + QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
}

QVariantList TxQueryModel::statementValues() const
{
    return m_values;
}

QList<TxQueryModel::OrderItem> TxQueryModel::currentOrder() const
{
    if (m_sortColumn < 0 || m_sortColumn >= m_record.count())
        return m_defaultOrder;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    const QString field = m_record.fieldName(m_sortColumn);
    QList<OrderItem> order{{field, descending}};
    const int key = fieldIndex(m_keyField);
    const QString keyName = key >= 0 ? m_record.fieldName(key) : m_keyField;
    if (field.compare(keyName, Qt::CaseInsensitive) != 0)
        order << OrderItem{keyName, descending};
    return order;
}

QString TxQueryModel::orderText(const QList<OrderItem> &order, bool reversed) const
{
    QStringList items;
    for (const OrderItem &o : order) {
        QString text = isPosition(o.field) ? o.field
                       : m_orderResolved || m_sortColumn >= 0 ? quoted(o.field)
                                                              : QStringLiteral("q.") + o.field;
        if (o.descending != reversed)
            text += QStringLiteral(" DESC");
        items << text;
    }
    return items.join(QStringLiteral(", "));
}

void TxQueryModel::resolveOrder(const QSqlRecord &record)
{
    if (m_orderResolved || !keyed())
        return;
    QList<OrderItem> resolved;
    for (const OrderItem &o : std::as_const(m_defaultOrder)) {
        OrderItem r = o;
        if (isPosition(o.field)) {
            r.field = record.fieldName(o.field.toInt() - 1);
        } else {
            for (int i = 0; i < record.count(); ++i)
                if (record.fieldName(i).compare(o.field, Qt::CaseInsensitive) == 0)
                    r.field = record.fieldName(i);
        }
        // A position that names the key makes the key given after it redundant.
        if (!resolved.isEmpty() && resolved.last().field == r.field)
            continue;
        if (!r.field.isEmpty())
            resolved << r;
    }
    m_defaultOrder = resolved;
    m_orderResolved = true;
}

std::unique_ptr<TxQueryModel::Cursor> TxQueryModel::newCursor(const QList<std::pair<QString, QVariantList>> &segments) const
{
    auto cursor = std::make_unique<Cursor>();
    for (const auto &[sql, values] : segments)
        cursor->segments << Cursor::Segment{sql, values, m_named};
    return cursor;
}

QList<TxQueryModel::Row> TxQueryModel::read(Cursor &cursor, int n)
{
    QList<Row> rows;
    while (rows.size() < n && !cursor.done) {
        if (!cursor.query) {
            if (cursor.next >= cursor.segments.size()) {
                cursor.done = true;
                break;
            }
            const Cursor::Segment &s = cursor.segments.at(cursor.next++);
            auto q = std::make_unique<TxQuery>(m_db);
            q->prepare(s.sql);
            for (int i = 0; i < s.positional.size(); ++i)
                q->bind(i, s.positional.at(i));
            for (auto it = s.named.cbegin(); it != s.named.cend(); ++it)
                q->bind(it.key(), it.value());
            q->exec();
            m_lastSql = s.sql;
            if (cursor.record.isEmpty())
                cursor.record = q->record();
            cursor.query = std::move(q);
        }
        TxQuery &q = *cursor.query;
        if (!q.next()) {
            // The segment's result set closes; the next one follows it.
            cursor.query.reset();
            continue;
        }
        const int columns = cursor.record.count();
        Row row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = q.value(i);
        rows << row;
    }
    return rows;
}

void TxQueryModel::reset(std::unique_ptr<Cursor> down, std::unique_ptr<Cursor> up, bool fromEnd)
{
    // Read before anything changes: a failure keeps the rows shown.
    QList<Row> rows = fromEnd ? read(*up, kChunk) : read(*down, kChunk);
    if (fromEnd)
        std::reverse(rows.begin(), rows.end());
    const Cursor &first = fromEnd ? *up : *down;
    const QSqlRecord record = first.record.isEmpty() ? m_record : first.record;
    beginResetModel();
    m_record = record;
    m_rows.assign(rows.begin(), rows.end());
    m_down = std::move(down);
    m_up = std::move(up);
    endResetModel();
    resolveOrder(m_record);
}

void TxQueryModel::open()
{
    if (m_select.isEmpty())
        throw EDatabaseError(QStringLiteral("TxQueryModel has no statement."));
    QString sql;
    if (!keyed()) {
        sql = unkeyedStatement();
    } else {
        sql = wrapped() + QStringLiteral(" ORDER BY ") + orderText(currentOrder(), false);
    }
    QVariantList values = statementValues();
    reset(newCursor({{sql, values}}), nullptr, false);
    m_open = true;
}

QSqlQuery TxQueryModel::printQuery(const QVariantList &onlyKeys) const
{
    if (m_select.isEmpty())
        throw EDatabaseError(QStringLiteral("TxQueryModel has no statement."));
    Binder b{!m_named.isEmpty(), statementValues(), m_named};
    QString sql;
    if (!keyed()) {
        sql = unkeyedStatement();
    } else {
        sql = wrapped();
        if (!onlyKeys.isEmpty()) {
            // The server limits one IN list: groups of a thousand joined by OR.
            const QString key = QStringLiteral("q.") + TxSqlFilter::identifier(m_keyField);
            QStringList groups;
            for (qsizetype i = 0; i < onlyKeys.size(); i += 1000) {
                QStringList marks;
                for (qsizetype j = i; j < std::min(onlyKeys.size(), i + 1000); ++j)
                    marks << b.bind(onlyKeys.at(j));
                groups << key + QStringLiteral(" IN (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
            sql += QStringLiteral(" WHERE ") + groups.join(QStringLiteral(" OR "));
        }
        sql += QStringLiteral(" ORDER BY ") + orderText(currentOrder(), false);
    }
    QSqlQuery query(m_db.sql());
    query.setForwardOnly(false);
    if (!query.prepare(sql))
        throw EDatabaseError::fromSqlError(query.lastError(), sql);
    for (int i = 0; i < b.positional.size(); ++i)
        query.bindValue(i, b.positional.at(i));
    for (auto it = b.names.cbegin(); it != b.names.cend(); ++it)
        query.bindValue(it.key(), it.value());
    return query;
}

void TxQueryModel::openAtEnd()
{
    if (!keyed()) {
        while (canFetchMore())
            fetchMore();
        return;
    }
    if (m_select.isEmpty())
        throw EDatabaseError(QStringLiteral("TxQueryModel has no statement."));
    const QString sql = wrapped() + QStringLiteral(" ORDER BY ") + orderText(currentOrder(), true);
    auto down = std::make_unique<Cursor>();
    down->done = true;
    reset(std::move(down), newCursor({{sql, statementValues()}}), true);
    m_open = true;
}

void TxQueryModel::close()
{
    beginResetModel();
    m_rows.clear();
    m_down.reset();
    m_up.reset();
    m_record = QSqlRecord();
    m_open = false;
    endResetModel();
}

void TxQueryModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        column = -1;
    const int oldColumn = m_sortColumn;
    const Qt::SortOrder oldOrder = m_sortOrder;
    m_sortColumn = column;
    m_sortOrder = order;
    if (!m_open)
        return;
    try {
        open();
    } catch (...) {
        m_sortColumn = oldColumn;
        m_sortOrder = oldOrder;
        throw;
    }
}

int TxQueryModel::windowRow(int column, const QVariant &value) const
{
    for (size_t row = 0; row < m_rows.size(); ++row)
        if (sameKey(m_rows[row].value(column), value))
            return int(row);
    return -1;
}

int TxQueryModel::locate(const QString &field, const QVariant &value)
{
    const int column = fieldIndex(field);
    if (!m_open || column < 0 || value.isNull())
        return -1;
    if (const int row = windowRow(column, value); row >= 0)
        return row;
    if (!keyed() || field.compare(m_keyField, Qt::CaseInsensitive) != 0)
        return findRow(*this, column, value);
    resolveOrder(m_record);

    // The row's values of the order, read by its key.
    const QList<OrderItem> order = currentOrder();
    const bool named = !m_named.isEmpty();
    QStringList fields;
    for (const OrderItem &o : order)
        fields << quoted(o.field);
    Binder keyBinder{named, statementValues(), m_named};
    const QString keyField = quoted(m_record.fieldName(column));
    const QString targetSql = QStringLiteral("SELECT %1 FROM (%2) q WHERE %3 = %4")
                                  .arg(fields.join(QStringLiteral(", ")), m_select, keyField, keyBinder.bind(value));
    TxQuery target(m_db);
    target.prepare(targetSql);
    for (int i = 0; i < keyBinder.positional.size(); ++i)
        target.bind(i, keyBinder.positional.at(i));
    for (auto it = keyBinder.names.cbegin(); it != keyBinder.names.cend(); ++it)
        target.bind(it.key(), it.value());
    target.exec();
    m_lastSql = targetSql;
    if (!target.next())
        return -1;
    QVariantList t;
    for (int i = 0; i < order.size(); ++i)
        t << target.value(i);
    target.finish();

    // The rows from it on and those before it, each a segment or two whose
    // first condition bounds the first field of the order, so that the
    // server walks its index from the row; the exact condition on all
    // fields sits in IIF, where no other index is tried for it.
    auto segment = [&](bool up, const QString &bound, const QVariant &boundValue, bool exact) {
        Binder b{named, statementValues(), m_named};
        QStringList where;
        if (!bound.isEmpty())
            where << (boundValue.isValid() ? bound.arg(b.bind(boundValue)) : bound);
        if (exact) {
            QStringList alternatives;
            for (int i = 0; i < order.size(); ++i) {
                // Nothing comes before a NULL going up, nor after one going
                // down: no alternative (and no values bound for it).
                if (t[i].isNull() && order[i].descending != up)
                    continue;
                QStringList terms;
                for (int j = 0; j < i; ++j)
                    terms << equal(quoted(order[j].field), t[j], b);
                terms << (up ? before(quoted(order[i].field), order[i].descending, t[i], b)
                             : after(quoted(order[i].field), order[i].descending, t[i], b));
                alternatives << QLatin1Char('(') + terms.join(QStringLiteral(" AND ")) + QLatin1Char(')');
            }
            if (!up) {
                QStringList terms;
                for (int j = 0; j < order.size(); ++j)
                    terms << equal(quoted(order[j].field), t[j], b);
                alternatives << QLatin1Char('(') + terms.join(QStringLiteral(" AND ")) + QLatin1Char(')');
            }
            where << QStringLiteral("IIF(%1, 1, 0) = 1").arg(alternatives.isEmpty() ? QStringLiteral("1 = 0")
                                                                                   : alternatives.join(QStringLiteral(" OR ")));
        }
        const QString sql = wrapped() + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")))
                          + QStringLiteral(" ORDER BY ") + orderText(order, up);
        QVariantList values = b.positional;
        std::pair<QString, QVariantList> s{sql, values};
        return std::make_pair(s, b.names);
    };
    auto cursor = [&](const QList<std::pair<std::pair<QString, QVariantList>, QHash<QString, QVariant>>> &parts) {
        auto c = std::make_unique<Cursor>();
        for (const auto &[s, names] : parts)
            c->segments << Cursor::Segment{s.first, s.second, names};
        return c;
    };
    const QString f0 = quoted(order[0].field);
    const bool desc0 = order[0].descending;
    const QVariant t0 = t[0];
    QList<std::pair<std::pair<QString, QVariantList>, QHash<QString, QVariant>>> down, up;
    const QString atLeast = f0 + QStringLiteral(" >= %1");
    const QString atMost = f0 + QStringLiteral(" <= %1");
    const QString isNull = f0 + QStringLiteral(" IS NULL");
    if (!desc0) {
        if (t0.isNull()) {
            down << segment(false, {}, {}, true);
            up << segment(true, isNull, {}, true);
        } else {
            down << segment(false, atLeast, t0, true);
            up << segment(true, atMost, t0, true) << segment(true, isNull, {}, false);
        }
    } else {
        if (t0.isNull()) {
            down << segment(false, isNull, {}, true);
            up << segment(true, {}, {}, true);
        } else {
            down << segment(false, atMost, t0, true) << segment(false, isNull, {}, false);
            up << segment(true, atLeast, t0, true);
        }
    }
    reset(cursor(down), cursor(up), false);
    return windowRow(column, value);
}

bool TxQueryModel::canFetchBefore() const
{
    return m_up && !m_up->done;
}

int TxQueryModel::fetchBefore()
{
    if (!canFetchBefore())
        return 0;
    QList<Row> rows = read(*m_up, kChunk);
    if (rows.isEmpty())
        return 0;
    std::reverse(rows.begin(), rows.end());
    beginInsertRows(QModelIndex(), 0, int(rows.size()) - 1);
    m_rows.insert(m_rows.begin(), rows.begin(), rows.end());
    endInsertRows();
    return int(rows.size());
}

bool TxQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_down && !m_down->done;
}

void TxQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const QList<Row> rows = read(*m_down, kChunk);
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), rows.begin(), rows.end());
    endInsertRows();
}

int TxQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TxQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_record.count();
}

QVariant TxQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole) || index.row() >= int(m_rows.size()))
        return {};
    return m_rows[size_t(index.row())].value(index.column());
}

QVariant TxQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_record.count())
        return {};
    if (role == Qt::UserRole)
        return m_record.fieldName(section);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_titles.value(section, m_record.fieldName(section));
    return {};
}

bool TxQueryModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    m_titles.insert(section, value);
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

int TxQueryModel::fieldIndex(const QString &field) const
{
    for (int i = 0; i < m_record.count(); ++i) {
        if (m_record.fieldName(i).trimmed().compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant TxQueryModel::value(int row, const QString &field) const
{
    const int column = fieldIndex(field);
    return column < 0 ? QVariant() : data(index(row, column), Qt::EditRole);
}

int TxQueryModel::findRow(QAbstractItemModel &model, int column, const QVariant &value)
{
    if (column < 0 || value.isNull())
        return -1;
    int row = 0;
    for (;;) {
        for (const int n = model.rowCount(); row < n; ++row) {
            if (sameKey(model.data(model.index(row, column), Qt::EditRole), value))
                return row;
        }
        if (!model.canFetchMore(QModelIndex()))
            return -1;
        model.fetchMore(QModelIndex());
        if (model.rowCount() == row)
            return -1;
    }
}

} // namespace korvex::widgets
