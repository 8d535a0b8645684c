#pragma once

#include <functional>

#include "MainForm.h"

#include <memory>

class QStackedLayout;
class QToolButton;

namespace korvex::accounting {
class TBookkeepingWindows;
}

namespace korvex::shell {

// The main window "Аренда Корвекса": the links across the top, the start
// screen while no page is shown, page switching by code with "Back", and the
// last page remembered per user in the option rent_contractpart.
class TAPPMAINFORM : public TMainForm
{
    Q_OBJECT
public:
    static constexpr int PageSwitchMessage = 0x411;  // WM_USER + 17, kept for the record

    explicit TAPPMAINFORM(TAppContext &context, QWidget *parent = nullptr);
    ~TAPPMAINFORM() override;

    // The one entry point for changing pages.
    void switchToPage(int code);
    // The page-switch message: handled later by the event loop, so that the
    // page asking for it is not destroyed inside its own handler.
    void postSwitchToPage(int code);
    void back();

    // Opens the page stored in rent_contractpart; done once, on the first
    // activation of the window.
    void restoreStoredPage();
    bool storedPageRestored() const { return m_restored; }

    QWidget *startScreen() const { return m_startScreen; }
    QToolButton *link(int code) const;
    // The link with the bookkeeping system: its one customer synchronisation
    // and the exchange the option pages start.
    korvex::accounting::TBookkeepingWindows &bookkeeping() const { return *m_bookkeeping; }

    // Replaces every literal "\n" pair of a hint by a line break.
    static QString hintText(const QString &hint);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void noPageShown() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void whenNoModalWindow(const std::function<void()> &action);
    QWidget *buildTopBar();
    QWidget *buildStartScreen();

    QWidget *m_startScreen = nullptr;
    QHash<int, QToolButton *> m_links;
    std::unique_ptr<korvex::accounting::TBookkeepingWindows> m_bookkeeping;
    bool m_restored = false;
};

} // namespace korvex::shell
