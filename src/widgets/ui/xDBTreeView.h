#pragma once

#include "widgets/xTreeModel.h"

#include <QSet>
#include <QTreeView>
#include <optional>

namespace korvex::widgets {

// The tree of every tree page, over a TxTreeModel.
//
// Every reload of the model (reload(), a move, a reload after an edit) keeps
// the current row and the open branches, found again by id; when the current
// row is gone its former parent becomes current. Number columns of the model
// are edited in place with a plain text editor; a refused value is reported
// ("Внимание!") and the cell keeps its value. Numbers follow the program's
// display rule (xGridDisplay.h).
class TxDBTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit TxDBTreeView(QWidget *parent = nullptr);

    // The model is not owned.
    void setTreeModel(TxTreeModel *model);
    TxTreeModel *treeModel() const { return m_model; }

    std::optional<qint64> currentId() const;
    // Makes the row current, opening the branches above it.
    bool setCurrentId(qint64 id);

    // Reads the rows again; a database error is shown and false returned.
    bool reload();
    // Moves the marked rows under target (nullopt: to the top level) and shows
    // the count message. A database error is shown; rows moved before it
    // stay moved.
    TxTreeModel::MoveResult moveMarked(std::optional<qint64> target);
    // The column's width, never narrower than its title. Columns given no
    // width are as wide as their title and rows when they first show rows.
    void setFieldWidth(const QString &field, int width);

protected:
    void showEvent(QShowEvent *event) override;

Q_SIGNALS:
    // The current row changed (null QVariant: none).
    void currentIdChanged(const QVariant &id);

private:
    void rememberState();
    void restoreState();
    void fitColumns();

    TxTreeModel *m_model = nullptr;
    QList<QMetaObject::Connection> m_connections;
    bool m_shownOnce = false;
    std::optional<qint64> m_keepCurrent;
    std::optional<qint64> m_keepParent;
    QSet<qint64> m_keepExpanded;
    QSet<QString> m_fixedWidths;  // upper-case fields whose width is chosen
    bool m_applying = false;
};

} // namespace korvex::widgets
