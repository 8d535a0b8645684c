#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <memory>
#include <optional>
#include <vector>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::customers {

// The tree of places (fin_place), read level by level as branches open:
// cst_p_childplacelist gives the places below one place together with their
// own numbers of children, so a row knows whether it can open without
// reading further; cst_p_parentplace gives the path up from a place, so the
// tree can open the way to a stored one. Column 0 shows the name, column 1
// the kind of the place.
class TPlaceTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole + 1 };

    explicit TPlaceTreeModel(korvex::db::TxDatabase &db, QObject *parent = nullptr);
    ~TPlaceTreeModel() override;

    // Forgets every level read and reads the top one again. Throws
    // EDatabaseError and then keeps the rows it had.
    void reload();

    std::optional<int> keyOf(const QModelIndex &index) const;
    // The row of a place, reading the levels above it as needed; invalid
    // when there is no such place.
    QModelIndex indexOf(int placeKey);
    // Parent key as stored (0: top level), name, kind name and kind key.
    int parentKeyOf(const QModelIndex &index) const;
    QString nameOf(const QModelIndex &index) const;
    QString kindNameOf(const QModelIndex &index) const;
    QVariant kindOf(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // A branch could not be read (fetchMore cannot throw into the view).
    void loadFailed(const QString &message);

private:
    struct Node;
    Node *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOfNode(Node *node) const;
    std::vector<std::unique_ptr<Node>> readChildren(Node *parent);
    void loadChildren(Node *node);

    korvex::db::TxDatabase &m_db;
    std::unique_ptr<Node> m_root;
    QHash<int, Node *> m_byKey;
};

} // namespace korvex::customers
