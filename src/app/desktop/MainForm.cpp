#include "MainForm.h"

#include "PageTable.h"
#include "widgets/ui/Part.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <stdexcept>

namespace korvex::shell {

using korvex::widgets::TPart;

TMainForm::TMainForm(TAppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    // The menu bar keeps its height with or without a page's menu in it, so
    // that every page has the same frame and nothing jumps on switching.
    QMenuBar *bar = menuBar();
    QMenu probe(QStringLiteral("X"));
    QAction *item = bar->addMenu(&probe);
    bar->setMinimumHeight(bar->sizeHint().height());
    bar->removeAction(item);
}

void TMainForm::attachWorkArea()
{
    m_workArea = findChild<QWidget *>(QStringLiteral("WorkArea"));
    if (!m_workArea)
        throw std::logic_error("Component named WorkArea must exist");
    m_workArea->installEventFilter(this);
}

QString TMainForm::titleWithCaption(const QString &title, const QString &caption)
{
    QString t = title;
    const qsizetype cut = t.indexOf(QLatin1String(" -"));
    if (cut >= 0)
        t.truncate(cut);
    if (!caption.isEmpty())
        t += QStringLiteral(" - ") + caption;
    return t;
}

void TMainForm::releaseCurrent()
{
    if (!m_current)
        return;
    if (m_pageMenuAction) {
        menuBar()->removeAction(m_pageMenuAction);
        m_pageMenuAction = nullptr;
    }
    m_previousCode = m_currentCode;
    TPart *old = m_current;
    m_current = nullptr;
    m_currentCode = -1;
    delete old;
}

void TMainForm::closePage()
{
    releaseCurrent();
    setWindowTitle(titleWithCaption(windowTitle(), QString()));
    noPageShown();
    Q_EMIT pageChanged(-1);
}

void TMainForm::showPage(const TPageInfo &info)
{
    if (m_current && m_currentCode == info.code) {
        closePage();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorGuard {
        ~CursorGuard() { QApplication::restoreOverrideCursor(); }
    } cursorGuard;

    TPart *page = info.create(m_context, m_workArea);
    if (page->caption().isEmpty())
        page->setCaption(info.caption);
    releaseCurrent();

    page->setGeometry(m_workArea->rect());
    page->show();
    page->setFocus();
    setWindowTitle(titleWithCaption(windowTitle(), page->caption()));
    if (QMenu *menu = page->pageMenu())
        m_pageMenuAction = menuBar()->addMenu(menu);
    m_current = page;
    m_currentCode = info.code;
    Q_EMIT pageChanged(info.code);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_workArea && event->type() == QEvent::Resize && m_current)
        m_current->setGeometry(m_workArea->rect());
    return QMainWindow::eventFilter(watched, event);
}

} // namespace korvex::shell
