#pragma once

#include "shell/AppContext.h"

#include <QMainWindow>
#include <QPointer>

#include "widgets/ui/Part.h"

class QAction;

namespace korvex::shell {

struct TPageInfo;

// The page host: shows one page at a time in the child named "WorkArea",
// replacing or closing the current page, keeping the window title and the
// page's menu in step.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(TAppContext &context, QWidget *parent = nullptr);

    // Must be called once the subclass has built its "WorkArea" child; fails
    // with "Component named WorkArea must exist" when there is none.
    void attachWorkArea();

    korvex::widgets::TPart *currentPage() const { return m_current; }
    int currentPageCode() const { return m_current ? m_currentCode : -1; }
    int previousPageCode() const { return m_previousCode; }
    QWidget *workArea() const { return m_workArea; }

    // Shows the page; the page shown for the same code is closed instead.
    void showPage(const TPageInfo &info);
    void closePage();

    // The title without a page caption, e.g. "Аренда Корвекса".
    static QString titleWithCaption(const QString &title, const QString &caption);

Q_SIGNALS:
    void pageChanged(int code);

protected:
    TAppContext &context() const { return m_context; }
    virtual void noPageShown() {}
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void releaseCurrent();

    TAppContext &m_context;
    QWidget *m_workArea = nullptr;
    QPointer<korvex::widgets::TPart> m_current;
    int m_currentCode = -1;
    int m_previousCode = -1;
    QAction *m_pageMenuAction = nullptr;
};

} // namespace korvex::shell
