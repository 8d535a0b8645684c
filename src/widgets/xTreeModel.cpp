#include "xTreeModel.h"

#include "xSqlFilter.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

#include <QLocale>
#include <QSqlRecord>
#include <cmath>
#include <stdexcept>

namespace korvex::widgets {

using db::EDatabaseError;
using db::TxQuery;
using db::TxStoredProc;
using db::TxWriteScope;

struct TxTreeModel::Node {
    qint64 id = 0;
    std::optional<qint64> parentId;
    QVariantList values;
    Node *parent = nullptr;
    std::vector<Node *> children;
    int row = 0;
};

namespace {

int indexOfField(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant nullInteger()
{
    return QVariant(QMetaType::fromType<int>());
}

} // namespace

TxTreeModel::TxTreeModel(db::TxDatabase &db, QObject *parent)
    : QAbstractItemModel(parent)
    , m_db(db)
{
}

TxTreeModel::~TxTreeModel() = default;

void TxTreeModel::setTable(const QString &table)
{
    m_table = TxSqlFilter::identifier(table);
}

void TxTreeModel::setQuery(const QString &select, const QVariantList &values)
{
    m_select = select;
    m_values = values;
}

void TxTreeModel::setKeyFields(const QString &id, const QString &parent, const QString &text)
{
    m_idField = TxSqlFilter::identifier(id);
    m_parentField = TxSqlFilter::identifier(parent);
    m_textField = TxSqlFilter::identifier(text);
}

void TxTreeModel::setDisplayFields(const QStringList &fields)
{
    m_displayFields = fields;
}

void TxTreeModel::setFieldTitle(const QString &field, const QString &title)
{
    m_titles.insert(field.toUpper(), title);
    const int column = m_columns.indexOf(fieldIndex(field));
    if (column >= 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void TxTreeModel::load()
{
    QString sql = m_select;
    if (sql.isEmpty()) {
        if (m_table.isEmpty())
            throw std::logic_error("TxTreeModel: neither a table nor a query was given");
        sql = QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(m_table, m_textField);
    }
    TxQuery q(m_db);
    q.exec(sql, m_values);

    const QSqlRecord rec = q.record();
    QStringList fields;
    for (int i = 0; i < rec.count(); ++i)
        fields << rec.fieldName(i).trimmed();
    const int idIndex = indexOfField(fields, m_idField);
    const int parentIndex = indexOfField(fields, m_parentField);
    const int textIndex = indexOfField(fields, m_textField);
    if (idIndex < 0 || parentIndex < 0 || textIndex < 0)
        throw EDatabaseError(QStringLiteral("The tree's rows lack one of the columns %1, %2, %3.")
                                 .arg(m_idField, m_parentField, m_textField),
                             0, sql);
    QList<int> columns{textIndex};
    if (m_displayFields.isEmpty()) {
        for (int i = 0; i < fields.size(); ++i) {
            if (i != idIndex && i != parentIndex && i != textIndex)
                columns << i;
        }
    } else {
        for (const QString &f : m_displayFields) {
            const int i = indexOfField(fields, f);
            if (i < 0)
                throw EDatabaseError(QStringLiteral("The tree's rows have no column %1.").arg(f), 0, sql);
            columns << i;
        }
    }

    std::vector<std::unique_ptr<Node>> nodes;
    QHash<qint64, Node *> byId;
    while (q.next()) {
        auto node = std::make_unique<Node>();
        node->values.reserve(fields.size());
        for (int i = 0; i < fields.size(); ++i)
            node->values << q.value(i);
        node->id = node->values.at(idIndex).toLongLong();
        const QVariant parent = node->values.at(parentIndex);
        if (!parent.isNull())
            node->parentId = parent.toLongLong();
        if (!byId.contains(node->id))
            byId.insert(node->id, node.get());
        nodes.push_back(std::move(node));
    }

    // Parents: missing, NULL or the row itself put the row at the top.
    std::vector<Node *> roots;
    for (const auto &node : nodes) {
        Node *parent = nullptr;
        if (node->parentId && *node->parentId != node->id)
            parent = byId.value(*node->parentId, nullptr);
        node->parent = parent;
        if (parent)
            parent->children.push_back(node.get());
        else
            roots.push_back(node.get());
    }
    // Rows not reachable from the top sit in a cycle of parents: lift the
    // first of each cycle (in result order) to the top.
    QSet<Node *> reached;
    auto reach = [&reached](Node *from) {
        std::vector<Node *> stack{from};
        while (!stack.empty()) {
            Node *n = stack.back();
            stack.pop_back();
            if (reached.contains(n))
                continue;
            reached.insert(n);
            for (Node *c : n->children)
                stack.push_back(c);
        }
    };
    for (Node *r : roots)
        reach(r);
    for (const auto &node : nodes) {
        if (reached.contains(node.get()))
            continue;
        auto &siblings = node->parent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), node.get()));
        node->parent = nullptr;
        roots.push_back(node.get());
        reach(node.get());
    }
    for (int i = 0; i < int(roots.size()); ++i)
        roots[i]->row = i;
    for (const auto &node : nodes) {
        for (int i = 0; i < int(node->children.size()); ++i)
            node->children[i]->row = i;
    }

    beginResetModel();
    m_fields = fields;
    m_columns = columns;
    m_idIndex = idIndex;
    m_parentIndex = parentIndex;
    m_nodes = std::move(nodes);
    m_roots = std::move(roots);
    m_byId = std::move(byId);
    endResetModel();

    const qsizetype before = m_marked.size();
    for (auto it = m_marked.begin(); it != m_marked.end();) {
        if (m_byId.contains(*it))
            ++it;
        else
            it = m_marked.erase(it);
    }
    if (m_marked.size() != before)
        Q_EMIT marksChanged();
}

// --- Rows ---------------------------------------------------------------------

TxTreeModel::Node *TxTreeModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : nullptr;
}

int TxTreeModel::fieldIndex(const QString &field) const
{
    return indexOfField(m_fields, field);
}

int TxTreeModel::columnField(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column) : -1;
}

int TxTreeModel::columnOf(const QString &field) const
{
    const int f = fieldIndex(field);
    return f < 0 ? -1 : int(m_columns.indexOf(f));
}

QModelIndex TxTreeModel::indexOf(qint64 id, int column) const
{
    Node *node = m_byId.value(id, nullptr);
    return node ? createIndex(node->row, column, node) : QModelIndex();
}

std::optional<qint64> TxTreeModel::idOf(const QModelIndex &index) const
{
    if (Node *node = nodeOf(index))
        return node->id;
    return std::nullopt;
}

std::optional<qint64> TxTreeModel::parentOf(qint64 id) const
{
    Node *node = m_byId.value(id, nullptr);
    if (node && node->parent)
        return node->parent->id;
    return std::nullopt;
}

QList<qint64> TxTreeModel::childrenOf(std::optional<qint64> id) const
{
    QList<qint64> ids;
    const std::vector<Node *> *list = &m_roots;
    if (id) {
        Node *node = m_byId.value(*id, nullptr);
        if (!node)
            return ids;
        list = &node->children;
    }
    for (Node *n : *list)
        ids << n->id;
    return ids;
}

QList<int> TxTreeModel::markedKeys() const
{
    QList<int> keys;
    for (qint64 id : markedIds())
        keys << int(id);
    return keys;
}

QVariant TxTreeModel::value(qint64 id, const QString &field) const
{
    Node *node = m_byId.value(id, nullptr);
    const int i = fieldIndex(field);
    return node && i >= 0 ? node->values.at(i) : QVariant();
}

bool TxTreeModel::isBelow(qint64 id, qint64 ancestor) const
{
    for (Node *n = m_byId.value(id, nullptr); n; n = n->parent) {
        if (n->id == ancestor)
            return true;
    }
    return false;
}

// --- Marks --------------------------------------------------------------------

void TxTreeModel::setMarkable(bool on)
{
    if (m_markable == on)
        return;
    m_markable = on;
    if (!m_roots.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_roots.size()) - 1, 0), {Qt::CheckStateRole});
}

void TxTreeModel::markNode(Node *node, bool on)
{
    if (on == m_marked.contains(node->id))
        return;
    if (on)
        m_marked.insert(node->id);
    else
        m_marked.remove(node->id);
    const QModelIndex i = createIndex(node->row, 0, node);
    Q_EMIT dataChanged(i, i, {Qt::CheckStateRole});
}

void TxTreeModel::setMarkedRecursive(Node *node, bool on)
{
    std::vector<Node *> stack{node};
    while (!stack.empty()) {
        Node *n = stack.back();
        stack.pop_back();
        markNode(n, on);
        stack.insert(stack.end(), n->children.begin(), n->children.end());
    }
}

void TxTreeModel::setMarked(qint64 id, bool on, bool withChildren)
{
    Node *node = m_byId.value(id, nullptr);
    if (!node)
        return;
    if (withChildren)
        setMarkedRecursive(node, on);
    else
        markNode(node, on);
    Q_EMIT marksChanged();
}

void TxTreeModel::setMarked(const QList<qint64> &ids, bool on)
{
    for (qint64 id : ids) {
        if (Node *node = m_byId.value(id, nullptr))
            markNode(node, on);
    }
    Q_EMIT marksChanged();
}

void TxTreeModel::markChildren(qint64 id, bool recursive)
{
    Node *node = m_byId.value(id, nullptr);
    if (!node)
        return;
    for (Node *c : node->children) {
        if (recursive)
            setMarkedRecursive(c, true);
        else
            markNode(c, true);
    }
    Q_EMIT marksChanged();
}

void TxTreeModel::markTopLevel()
{
    QList<qint64> ids;
    for (Node *n : m_roots)
        ids << n->id;
    setMarked(ids, true);
}

void TxTreeModel::clearMarks()
{
    setMarked(QList<qint64>(m_marked.cbegin(), m_marked.cend()), false);
}

QList<qint64> TxTreeModel::markedIds() const
{
    QList<qint64> ids;
    std::vector<Node *> stack(m_roots.rbegin(), m_roots.rend());
    while (!stack.empty()) {
        Node *n = stack.back();
        stack.pop_back();
        if (m_marked.contains(n->id))
            ids << n->id;
        stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
    }
    return ids;
}

// --- Numbers ------------------------------------------------------------------

void TxTreeModel::setNumberField(const QString &field, const QString &updateSql, bool allowEmpty)
{
    NumberField nf;
    nf.allowEmpty = allowEmpty;
    nf.updateSql = updateSql;
    if (nf.updateSql.isEmpty()) {
        if (m_table.isEmpty())
            throw std::logic_error("TxTreeModel::setNumberField: setTable() first or give the statement");
        nf.updateSql = QStringLiteral("UPDATE %1 SET %2 = :value WHERE %3 = :id")
                           .arg(m_table, TxSqlFilter::identifier(field), m_idField);
    }
    m_numberFields.insert(field.toUpper(), nf);
}

void TxTreeModel::setNumberField(const QString &field, CellWriter writer, bool allowEmpty)
{
    NumberField nf;
    nf.allowEmpty = allowEmpty;
    nf.writer = std::move(writer);
    m_numberFields.insert(field.toUpper(), nf);
}

bool TxTreeModel::isNumberColumn(int column) const
{
    const int f = columnField(column);
    return f >= 0 && m_numberFields.contains(m_fields.at(f).toUpper());
}

bool TxTreeModel::writeNumber(const QModelIndex &index, const QVariant &value)
{
    Node *node = nodeOf(index);
    const int f = columnField(index.column());
    const QString field = m_fields.at(f);
    const NumberField nf = m_numberFields.value(field.toUpper());

    QVariant number;
    const bool text = value.metaType().id() == QMetaType::QString;
    if (value.isNull() || (text && value.toString().trimmed().isEmpty())) {
        if (!nf.allowEmpty) {
            Q_EMIT cellRefused(index, tr("Введите число"));
            return false;
        }
        number = QVariant(QMetaType::fromType<double>());
    } else {
        std::optional<double> parsed;
        if (text) {
            parsed = korvex::amount::parseNumber(value.toString());
        } else {
            bool ok = false;
            const double d = value.toDouble(&ok);
            if (ok && std::isfinite(d))
                parsed = d;
        }
        if (!parsed) {
            Q_EMIT cellRefused(index, tr("Введите число"));
            return false;
        }
        number = *parsed;
    }
    const QVariant old = node->values.at(f);
    if (old.isNull() == number.isNull() && (old.isNull() || old.toDouble() == number.toDouble()))
        return true;  // nothing changed: no write, no reload

    try {
        TxWriteScope t(m_db);
        if (nf.writer) {
            nf.writer(node->id, field, number);
        } else {
            TxQuery q(m_db, nf.updateSql);
            q.bind(QStringLiteral(":value"), number);
            q.bind(QStringLiteral(":id"), node->id);
            q.exec();
        }
        t.commit();
    } catch (const EDatabaseError &e) {
        Q_EMIT cellRefused(index, e.message());
        return false;
    }

    node->values[f] = number;
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    Q_EMIT cellWritten(node->id, field);
    if (m_reloadAfterEdit) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                try {
                    load();
                } catch (const EDatabaseError &e) {
                    Q_EMIT loadFailed(e.message());
                }
            },
            Qt::QueuedConnection);
    }
    return true;
}

// --- Moves --------------------------------------------------------------------

void TxTreeModel::moveOne(qint64 id, std::optional<qint64> target, MoveResult &result)
{
    if (target && *target == id) {
        ++result.moved;
        m_marked.remove(id);
        return;
    }
    if (target && isBelow(*target, id)) {
        ++result.refused;
        return;
    }
    if (m_mover) {
        TxWriteScope t(m_db);
        const bool moved = m_mover(id, target);
        t.commit();
        if (!moved) {
            ++result.refused;
            return;
        }
        ++result.moved;
        m_marked.remove(id);
        return;
    }
    QString sql = m_moveSql;
    if (sql.isEmpty()) {
        if (m_table.isEmpty())
            throw std::logic_error("TxTreeModel::moveMarked: no table and no move statement");
        sql = QStringLiteral("UPDATE %1 SET %2 = :parent WHERE %3 = :id").arg(m_table, m_parentField, m_idField);
    }

    TxWriteScope t(m_db);
    if (target && !m_moveTest.procedure.isEmpty()) {
        TxStoredProc test(m_db, m_moveTest.procedure);
        test.setParam(m_moveTest.idParam, id);
        test.setParam(m_moveTest.targetParam, *target);
        test.execute();
        if (test.output(m_moveTest.resultParam).toInt() != 1) {
            ++result.refused;
            return;
        }
    }
    TxQuery q(m_db, sql);
    q.bind(QStringLiteral(":parent"), target ? QVariant(*target) : nullInteger());
    q.bind(QStringLiteral(":id"), id);
    q.exec();
    t.commit();
    ++result.moved;
    m_marked.remove(id);
}

TxTreeModel::MoveResult TxTreeModel::moveMarked(std::optional<qint64> target)
{
    MoveResult result;
    const QList<qint64> ids = markedIds();
    try {
        for (qint64 id : ids)
            moveOne(id, target, result);
    } catch (...) {
        // Rows moved before the failure stay moved: show them where they are.
        try {
            load();
        } catch (...) {
        }
        Q_EMIT marksChanged();
        throw;
    }
    load();
    Q_EMIT marksChanged();
    return result;
}

QString TxTreeModel::moveMessage(const MoveResult &result)
{
    QString text = tr("Количество перенесенных объектов:") + QLatin1Char(' ') + QString::number(result.moved);
    if (result.refused > 0)
        text += QLatin1Char('\n') + tr("Количество не перенесенных объектов:") + QLatin1Char(' ')
              + QString::number(result.refused);
    return text;
}

// --- QAbstractItemModel -------------------------------------------------------

QModelIndex TxTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= columnCount() || row < 0)
        return {};
    const std::vector<Node *> &list = parent.isValid() ? nodeOf(parent)->children : m_roots;
    if (row >= int(list.size()))
        return {};
    return createIndex(row, column, list[row]);
}

QModelIndex TxTreeModel::parent(const QModelIndex &child) const
{
    Node *node = nodeOf(child);
    if (!node || !node->parent)
        return {};
    return createIndex(node->parent->row, 0, node->parent);
}

int TxTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_roots.size());
    if (parent.column() != 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int TxTreeModel::columnCount(const QModelIndex &) const
{
    return int(m_columns.size());
}

QVariant TxTreeModel::data(const QModelIndex &index, int role) const
{
    Node *node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const int f = columnField(index.column());
        return f >= 0 ? node->values.at(f) : QVariant();
    }
    case Qt::CheckStateRole:
        if (m_markable && index.column() == 0)
            return m_marked.contains(node->id) ? Qt::Checked : Qt::Unchecked;
        return {};
    case IdRole:
        return node->id;
    case Qt::DecorationRole:
        return m_decoration && index.column() == 0 ? m_decoration(index) : QVariant();
    default:
        return {};
    }
}

bool TxTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Node *node = nodeOf(index);
    if (!node)
        return false;
    if (role == Qt::CheckStateRole && m_markable && index.column() == 0) {
        const bool on = value.toInt() == Qt::Checked;
        setMarked(node->id, on, m_cascade);
        return true;
    }
    if (role == Qt::EditRole && isNumberColumn(index.column()))
        return writeNumber(index, value);
    return false;
}

Qt::ItemFlags TxTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_markable && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    if (isNumberColumn(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TxTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The edit role names the column's field, as the field tables do.
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QAbstractItemModel::headerData(section, orientation, role);
    const int f = columnField(section);
    if (f < 0)
        return {};
    if (role == Qt::EditRole)
        return m_fields.at(f);
    return m_titles.value(m_fields.at(f).toUpper(), m_fields.at(f));
}

} // namespace korvex::widgets
