#pragma once

#include "Part.h"

#include <QStyle>
#include <functional>

class QListWidget;
class QListWidgetItem;

namespace korvex::widgets {

// A page that is a list of large icons, each starting something: another
// page, a window, a maintenance action. A double click or Enter on an item
// starts it. An item whose target is not there yet (a page not built) is
// shown disabled, with a hint saying so.
class TLauncherPart : public TPart
{
    Q_OBJECT
public:
    TLauncherPart(korvex::shell::TAppContext &context, int pageCode, QWidget *parent);

    QListWidget *items() const { return m_items; }
    // The item with the text, or null.
    QListWidgetItem *item(const QString &text) const;
    // Starts the item as a double click or Enter would; a disabled item
    // starts nothing.
    void openItem(QListWidgetItem *item);

protected:
    // An item that runs the action; a null action makes it disabled.
    QListWidgetItem *addItem(const QString &text, QStyle::StandardPixmap icon, const std::function<void()> &action);
    // An item that asks for the page; disabled when pageExists is false.
    QListWidgetItem *addPageItem(const QString &text, QStyle::StandardPixmap icon, int pageCode, bool pageExists);
    // Adds the list as the page's one tab; called once the items are there.
    void finishItems(const QString &tabTitle);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *m_items;
    QHash<QListWidgetItem *, std::function<void()>> m_actions;
};

} // namespace korvex::widgets
