#pragma once

#include <QDialog>
#include <QTreeView>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::customers {

class TPlaceTreeModel;

// The tree of places, read as branches open, with the place actions the
// directory page and the address dialog share: a place at the current one's
// level, one below it, and editing the current one. Errors are shown.
class TPlaceTreeView : public QTreeView
{
    Q_OBJECT
public:
    TPlaceTreeView(korvex::db::TxDatabase &db, QWidget *parent = nullptr);

    TPlaceTreeModel *placeModel() const { return m_model; }
    bool isLoaded() const { return m_loaded; }

    std::optional<int> currentKey() const;
    // Makes the place current, opening the branches above it.
    bool setCurrentKey(int placeKey);
    // Reads the tree again keeping the current place.
    bool reload();

    // Opens the place dialog for a new place beside the current one (or below
    // it) and makes the saved place current; the saved key or -1.
    int addPlace(bool below);
    int editCurrent();

Q_SIGNALS:
    void currentKeyChanged();

private:
    korvex::db::TxDatabase &m_db;
    TPlaceTreeModel *m_model;
    bool m_loaded = false;
};

// "Адрес": the place tree for choosing the place of an address.
class TdlgPlaceTree : public QDialog
{
    Q_OBJECT
public:
    TdlgPlaceTree(korvex::db::TxDatabase &db, const QVariant &placeKey, QWidget *parent = nullptr);

    TPlaceTreeView *tree() const { return m_tree; }
    std::optional<int> currentKey() const { return m_tree->currentKey(); }

private:
    TPlaceTreeView *m_tree;
};

} // namespace korvex::customers
