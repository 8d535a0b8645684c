#pragma once

#include "shell/AppContext.h"
#include "xGuard.h"

#include <QHash>
#include <QWidget>
#include <functional>

class QLabel;
class QListWidget;
class QStackedWidget;
class QHBoxLayout;
class QPushButton;
class QMenu;

namespace korvex::widgets {

class TFormPlaceSaver;

// The base of every page of the main window: a header with the page's
// section and chapter, a list of tabs at the left, the tab contents, and a
// bar of buttons at the bottom. The standard actions have the same keys on
// every page: Insert adds, Ctrl+Insert adds a sub-level, Shift+Insert edits,
// Ctrl+Delete deletes, Ctrl+R reloads. A page switches to another page only
// through switchPageRequested(), which the main window handles later, so
// that the page is never destroyed inside its own handler.
class TPart : public QWidget
{
    Q_OBJECT
public:
    enum class Action { Add, AddChild, Edit, Delete, Refresh };

    // parent: the main window's work area; a page needs a window parent.
    TPart(korvex::shell::TAppContext &context, int pageCode, QWidget *parent);
    ~TPart() override;

    int pageCode() const { return m_pageCode; }
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }

    void setSection(const QString &section, const QString &chapter);
    // A page's names at once: its object name (the key of its remembered
    // placement), its caption, and the header "section" over the caption.
    void setTitles(const QString &objectName, const QString &section, const QString &caption);
    QString section() const;
    QString chapter() const;
    // Which row a detail tab shows ("Услуга: Аренда офиса"), in the header
    // beside the chapter while that tab is current.
    void setTabSubject(int tab, const QString &subject);
    QString subject() const;

    // Tabs at the left; returns the tab's index.
    int addTab(const QString &title, QWidget *content);
    int currentTab() const;
    void setCurrentTab(int index);
    QListWidget *tabList() const { return m_tabs; }

    // The standard action buttons, shown for the actions a page supports.
    void setActions(std::initializer_list<Action> actions);
    QPushButton *actionButton(Action a) const;
    // Further buttons of the bottom bar.
    QPushButton *addButton(const QString &text, const std::function<void()> &handler);

    // A menu of the page, merged into the main menu while the page is shown.
    QMenu *pageMenu() const { return m_menu; }
    QMenu *createPageMenu(const QString &title);

    // Runs a standard action as its key or button would.
    void trigger(Action a);

Q_SIGNALS:
    void switchPageRequested(int pageCode);
    void currentTabChanged(int index);

protected:
    korvex::shell::TAppContext &context() const { return m_context; }

    virtual void actionAdd() {}
    virtual void actionAddChild() {}
    virtual void actionEdit() {}
    virtual void actionDelete() {}
    virtual void actionRefresh() {}
    virtual void tabChanged(int index) { Q_UNUSED(index); }
    // The page's focus goes on to the current tab's list or field.
    void focusInEvent(QFocusEvent *event) override;

    TFormPlaceSaver *placeSaver() const { return m_saver; }
    // Restores the stored layout; pages call it once their grids exist.
    void restorePlacement();

private:
    korvex::shell::TAppContext &m_context;
    int m_pageCode;
    QString m_caption;
    QLabel *m_section;
    QLabel *m_chapter;
    QLabel *m_subject;
    QHash<int, QString> m_subjects;
    QListWidget *m_tabs;
    QStackedWidget *m_stack;
    QHBoxLayout *m_buttons;
    QMenu *m_menu = nullptr;
    QPushButton *m_actionButtons[5] = {};
    TFormPlaceSaver *m_saver;
};

} // namespace korvex::widgets
