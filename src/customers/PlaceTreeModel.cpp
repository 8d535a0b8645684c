#include "PlaceTreeModel.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"

namespace korvex::customers {

using namespace korvex::db;

struct TPlaceTreeModel::Node {
    int key = 0;
    int parentKey = 0;
    QString name;
    QString kindName;
    QVariant kind;
    int childCount = 0;
    bool loaded = false;
    Node *parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    int row() const
    {
        if (!parent)
            return 0;
        for (size_t i = 0; i < parent->children.size(); ++i) {
            if (parent->children[i].get() == this)
                return int(i);
        }
        return 0;
    }
};

TPlaceTreeModel::TPlaceTreeModel(TxDatabase &db, QObject *parent)
    : QAbstractItemModel(parent)
    , m_db(db)
    , m_root(std::make_unique<Node>())
{
}

TPlaceTreeModel::~TPlaceTreeModel() = default;

std::vector<std::unique_ptr<TPlaceTreeModel::Node>> TPlaceTreeModel::readChildren(Node *parent)
{
    std::vector<std::unique_ptr<Node>> out;
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT placekey, parent, TRIM(name), TRIM(kindname), placekind, childcount "
                          "FROM cst_p_childplacelist(?)"),
           {parent == m_root.get() ? QVariant() : QVariant(parent->key)});
    while (q.next()) {
        auto n = std::make_unique<Node>();
        n->key = q.value(0).toInt();
        n->parentKey = q.value(1).toInt();
        n->name = q.value(2).toString();
        n->kindName = q.value(3).toString();
        n->kind = q.value(4);
        n->childCount = q.value(5).toInt();
        n->parent = parent;
        out.push_back(std::move(n));
    }
    return out;
}

void TPlaceTreeModel::reload()
{
    auto root = std::make_unique<Node>();
    auto top = readChildren(root.get());
    beginResetModel();
    m_root = std::move(root);
    m_root->children = std::move(top);
    m_root->childCount = int(m_root->children.size());
    m_root->loaded = true;
    m_byKey.clear();
    for (const auto &n : m_root->children)
        m_byKey.insert(n->key, n.get());
    endResetModel();
}

void TPlaceTreeModel::loadChildren(Node *node)
{
    if (node->loaded)
        return;
    auto children = readChildren(node);
    node->loaded = true;
    const QModelIndex parentIndex = indexOfNode(node);
    if (!children.empty()) {
        beginInsertRows(parentIndex, 0, int(children.size()) - 1);
        node->children = std::move(children);
        for (const auto &c : node->children)
            m_byKey.insert(c->key, c.get());
        node->childCount = int(node->children.size());
        endInsertRows();
    } else if (node->childCount != 0) {
        node->childCount = 0;
        Q_EMIT dataChanged(parentIndex, parentIndex);
    }
}

TPlaceTreeModel::Node *TPlaceTreeModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex TPlaceTreeModel::indexOfNode(Node *node) const
{
    if (!node || node == m_root.get())
        return {};
    return createIndex(node->row(), 0, node);
}

std::optional<int> TPlaceTreeModel::keyOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return std::nullopt;
    return nodeOf(index)->key;
}

QModelIndex TPlaceTreeModel::indexOf(int placeKey)
{
    if (Node *n = m_byKey.value(placeKey))
        return indexOfNode(n);
    // The path from the top down to the place's parent, then each level read.
    QList<int> path;
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT placekey FROM cst_p_parentplace(?) ORDER BY placelevel DESC"), {placeKey});
    while (q.next())
        path << q.value(0).toInt();
    for (int key : std::as_const(path)) {
        Node *n = m_byKey.value(key);
        if (!n)
            return {};
        loadChildren(n);
    }
    if (Node *n = m_byKey.value(placeKey))
        return indexOfNode(n);
    return {};
}

int TPlaceTreeModel::parentKeyOf(const QModelIndex &index) const
{
    return index.isValid() ? nodeOf(index)->parentKey : 0;
}

QString TPlaceTreeModel::nameOf(const QModelIndex &index) const
{
    return index.isValid() ? nodeOf(index)->name : QString();
}

QString TPlaceTreeModel::kindNameOf(const QModelIndex &index) const
{
    return index.isValid() ? nodeOf(index)->kindName : QString();
}

QVariant TPlaceTreeModel::kindOf(const QModelIndex &index) const
{
    return index.isValid() ? nodeOf(index)->kind : QVariant();
}

QModelIndex TPlaceTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    Node *p = nodeOf(parent);
    if (row < 0 || column < 0 || column >= 2 || row >= int(p->children.size()))
        return {};
    return createIndex(row, column, p->children[size_t(row)].get());
}

QModelIndex TPlaceTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return indexOfNode(nodeOf(child)->parent);
}

int TPlaceTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int TPlaceTreeModel::columnCount(const QModelIndex &) const
{
    return 2;
}

bool TPlaceTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return false;
    const Node *n = nodeOf(parent);
    return n->loaded ? !n->children.empty() : n->childCount > 0;
}

bool TPlaceTreeModel::canFetchMore(const QModelIndex &parent) const
{
    const Node *n = nodeOf(parent);
    return !n->loaded && n->childCount > 0;
}

void TPlaceTreeModel::fetchMore(const QModelIndex &parent)
{
    try {
        loadChildren(nodeOf(parent));
    } catch (const EDatabaseError &e) {
        Q_EMIT loadFailed(e.message());
    }
}

QVariant TPlaceTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node *n = nodeOf(index);
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? n->name : n->kindName;
    if (role == KeyRole)
        return n->key;
    return {};
}

QVariant TPlaceTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? tr("Наименование") : tr("Тип места");
}

} // namespace korvex::customers
