#pragma once

#include <QList>
#include <QMenu>
#include <QStringList>

class QHBoxLayout;
class QToolButton;

namespace korvex::widgets {

// THE sort menu of a list page: one checkable entry per sort order (the
// order is the entry's index), a separator and "Фильтр". Its title, and the
// text of the tool button above the list that opens it, are "Сортировать: "
// and the order chosen. The page answers sortChosen and filterChosen and
// shows the order it keeps with setCurrent().
class TxSortMenu : public QMenu
{
    Q_OBJECT
public:
    TxSortMenu(const QStringList &orderCaptions, QWidget *parent);

    // A bar with the menu's button at the left, for the top of the list.
    QHBoxLayout *newBar(QWidget *parent);
    QToolButton *button() const { return m_button; }
    QAction *filterAction() const { return m_filter; }

    void setCurrent(int order);

Q_SIGNALS:
    void sortChosen(int order);
    void filterChosen();

private:
    QStringList m_captions;
    QList<QAction *> m_orders;
    QAction *m_filter;
    QToolButton *m_button = nullptr;
};

} // namespace korvex::widgets
