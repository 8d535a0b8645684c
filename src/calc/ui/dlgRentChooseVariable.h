#pragma once

#include <QDialog>

class QListWidget;
class QTabWidget;

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::calc {

// "Выбор переменной": the built-in variables of the reckoning engine, one
// line "NAME: description" each, and the tree of the user variables. "Ок" (or a double click) chooses from the list that had
// the focus last, the built-in one at first: the selected line's name, or
// the selected user variable's name (nothing when the tree is empty).
class TdlgRentChooseVariable : public QDialog
{
    Q_OBJECT
public:
    enum Tab { StandardTab = 0, UserTab = 1 };

    explicit TdlgRentChooseVariable(korvex::db::TxDatabase &db, QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    QListWidget *standardList() const { return m_standard; }
    korvex::widgets::TxDBTreeView *userTree() const { return m_userTree; }
    // The name chosen by "Ок"; empty before.
    QString chosenName() const { return m_chosen; }

    void accept() override;

private:
    QTabWidget *m_tabs;
    QListWidget *m_standard;
    korvex::widgets::TxTreeModel *m_userModel = nullptr;
    korvex::widgets::TxDBTreeView *m_userTree = nullptr;
    QString m_chosen;
};

} // namespace korvex::calc
