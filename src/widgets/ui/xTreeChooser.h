#pragma once

#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

class TxDBTreeView;
class TxTreeModel;

// THE chooser of rows from a tree: the tree of a model that its business
// object sets up, optionally with marks and the buttons "Выделить все" and
// "Снять выделение", room for further fields below the tree, then "Ок" and
// "Отмена". "Ок" needs a current row unless marks alone may answer. The
// choice is read from currentKey() and markedKeys() after exec().
//   TdlgTreeChooser dlg(db, [&](TxTreeModel &m) { bo.setUpTree(m, true); }, parent);
//   dlg.setWindowTitle(tr("Выбор услуг"));
//   dlg.load(std::nullopt, marked);
class TdlgTreeChooser : public QDialog
{
    Q_OBJECT
public:
    TdlgTreeChooser(korvex::db::TxDatabase &db, const std::function<void(TxTreeModel &)> &setUpModel,
                    QWidget *parent = nullptr);
    ~TdlgTreeChooser() override;

    // "Выделить все" (the top level) and "Снять выделение" below the tree.
    void addMarkButtons();
    // False: "Ок" answers the marks and needs no current row.
    void setCurrentRequired(bool required) { m_currentRequired = required; }
    // Where further fields go: above the tree, or between the tree and the
    // buttons.
    QVBoxLayout *topLayout() const { return m_top; }
    QVBoxLayout *extraLayout() const { return m_extra; }

    // Reads the tree, marks the rows given and makes current the row given
    // (or the first one); expandAll opens every branch. False when the tree
    // could not be read (the error was shown).
    bool load(std::optional<int> current = std::nullopt, const QList<int> &marked = {}, bool expandAll = false);

    std::optional<int> currentKey() const;
    QList<int> markedKeys() const;

    TxDBTreeView *tree() const { return m_tree; }
    TxTreeModel *model() const { return m_model; }
    // "Ок" (named "ok"), "Отмена", and their row, where further buttons go
    // in front.
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QHBoxLayout *buttonRow() const { return m_buttons; }

    void accept() override;

private:
    TxTreeModel *m_model;
    TxDBTreeView *m_tree;
    QVBoxLayout *m_layout;
    QVBoxLayout *m_top;
    QVBoxLayout *m_extra;
    QHBoxLayout *m_buttons;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    bool m_currentRequired = true;
};

} // namespace korvex::widgets
