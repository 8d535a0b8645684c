#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace korvex::widgets {

// The sort order of a list page: a button above the list and a menu, both
// titled "Сортировать: " and the order shown, with a checkable entry per
// order and "Фильтр" after them. An entry chosen runs the page's handler
// (through guarded()); the page then shows the order it keeps.
class TxSortMenu : public QObject
{
    Q_OBJECT
public:
    // The button goes into a bar at the end of layout (the list's tab).
    TxSortMenu(QWidget *page, QWidget *tab, QVBoxLayout *layout);

    void addOrder(int order, const QString &caption);
    // A separator and "Фильтр" (object name "FilterAction").
    void addFilter(const std::function<void()> &edit);
    void onOrder(const std::function<void(int)> &choose) { m_choose = choose; }
    // The caption and the check of the order.
    void show(int order);

    QToolButton *button() const { return m_button; }
    QMenu *menu() const { return m_menu; }
    QAction *orderAction(int order) const { return m_actions.value(order); }

private:
    QWidget *m_page;
    QToolButton *m_button;
    QMenu *m_menu;
    QActionGroup *m_group;
    QHash<int, QAction *> m_actions;
    QHash<int, QString> m_captions;
    std::function<void(int)> m_choose;
};

} // namespace korvex::widgets
