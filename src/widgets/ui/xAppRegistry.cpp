#include "xAppRegistry.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>


namespace korvex::widgets {

namespace {

QSettings *makeSettings()
{
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarnwell Software"),
                         QCoreApplication::applicationName());
}

QString className(const QObject *o)
{
    QString name = QString::fromLatin1(o->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    if (colons >= 0)
        name = name.mid(colons + 2);
    return name.mid(1);  // "TptContract" -> "ptContract", "QTableView" -> "TableView"
}

} // namespace

TxAppRegistry::TxAppRegistry()
    : m_settings(makeSettings())
{
}

void TxAppRegistry::forgetAll()
{
    std::unique_ptr<QSettings> s(makeSettings());
    s->clear();
    s->sync();
}

bool TxAppRegistry::handleCommandLine(const QStringList &arguments)
{
    for (const QString &a : arguments.mid(1)) {
        if (a.compare(QLatin1String("/E"), Qt::CaseInsensitive) == 0) {
            forgetAll();
            return true;
        }
    }
    return false;
}

QString TxAppRegistry::componentPath(const QObject *object)
{
    QStringList parts;
    for (const QObject *o = object; o; o = o->parent()) {
        QString part = o->objectName();
        if (part.isEmpty()) {
            const int tag = o->property("tag").toInt();
            if (o->isWidgetType() && static_cast<const QWidget *>(o)->isWindow() && tag != 0)
                part = className(o) + QStringLiteral(" #") + QString::number(tag);
            else
                part = className(o);
        }
        parts.prepend(part);
        if (o->isWidgetType() && static_cast<const QWidget *>(o)->isWindow())
            break;
    }
    return parts.join(QLatin1Char('/'));
}

std::optional<int> TxAppRegistry::readInt(const QString &path, const QString &name) const
{
    const QVariant v = m_settings->value(path + QLatin1Char('/') + name);
    bool ok = false;
    const int i = v.toInt(&ok);
    if (!v.isValid() || !ok)
        return std::nullopt;
    return i;
}

std::optional<QString> TxAppRegistry::readString(const QString &path, const QString &name) const
{
    const QVariant v = m_settings->value(path + QLatin1Char('/') + name);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

void TxAppRegistry::writeInt(const QString &path, const QString &name, int value)
{
    m_settings->setValue(path + QLatin1Char('/') + name, value);
}

void TxAppRegistry::writeString(const QString &path, const QString &name, const QString &value)
{
    m_settings->setValue(path + QLatin1Char('/') + name, value);
}

// ---------------------------------------------------------------------------

TFormPlaceSaver::TFormPlaceSaver(QWidget *form, bool formOnly)
    : QObject(form)
    , m_form(form)
    , m_formOnly(formOnly)
{
    setObjectName(QStringLiteral("FormPlaceSaver"));
    form->installEventFilter(this);
}

bool TFormPlaceSaver::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form && event->type() == QEvent::Close)
        save();
    return false;
}

void TFormPlaceSaver::restore()
{
    TxAppRegistry reg;
    restoreForm(reg);
    if (!m_formOnly)
        restoreComponents(reg);
    m_saved = false;
}

void TFormPlaceSaver::save()
{
    TxAppRegistry reg;
    saveForm(reg);
    if (!m_formOnly)
        saveComponents(reg);
    reg.settings().sync();
    m_saved = true;
}

void placeWindow(QWidget *window, QSize size, std::optional<QPoint> stored)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Geometry is the client area; the frame (title bar, borders) is around
    // it. Before the window is shown its frame is not known: a generous guess.
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    const QMargins frame = window->isVisible() && outer != inner
        ? QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom())
        : QMargins(8, 32, 8, 8);
    if (!area.isEmpty())
        size = size.boundedTo(area.size().shrunkBy(frame));
    if (!stored && (window->parentWidget() || area.isEmpty())) {
        // Nothing stored: Qt centres a window over its parent.
        window->resize(size);
        return;
    }
    QRect g(QPoint(), size);
    if (stored)
        g.moveTopLeft(*stored);
    else
        g.moveCenter(area.center());
    if (!area.isEmpty()) {
        // The title bar stays on the screen, whatever was stored.
        const QRect room = area.marginsRemoved(frame);
        g.moveLeft(qBound(room.left(), g.left(), qMax(room.left(), room.right() + 1 - g.width())));
        g.moveTop(qBound(room.top(), g.top(), qMax(room.top(), room.bottom() + 1 - g.height())));
    }
    window->setGeometry(g);
}

void TFormPlaceSaver::restoreForm(TxAppRegistry &reg)
{
    if (!m_form->isWindow())
        return;
    const QString path = TxAppRegistry::componentPath(m_form) + QStringLiteral("/FormData");
    const bool dialog = qobject_cast<QDialog *>(m_form) != nullptr;
    const std::optional<int> left = reg.readInt(path, QStringLiteral("Left"));
    const std::optional<int> top = reg.readInt(path, QStringLiteral("Top"));
    QSize size = m_form->size();
    if (!dialog) {
        if (auto v = reg.readInt(path, QStringLiteral("Width")); v && *v > 0)
            size.setWidth(*v);
        if (auto v = reg.readInt(path, QStringLiteral("Height")); v && *v > 0)
            size.setHeight(*v);
    }
    placeWindow(m_form, size, left && top ? std::optional<QPoint>(QPoint(*left, *top)) : std::nullopt);
    const QString state = reg.readString(path, QStringLiteral("State")).value_or(QString());
    if (state == QLatin1String("MINIMIZED"))
        m_form->setWindowState(Qt::WindowMinimized);
    else if (state == QLatin1String("MAXIMIZED"))
        m_form->setWindowState(Qt::WindowMaximized);
}

void TFormPlaceSaver::saveForm(TxAppRegistry &reg)
{
    if (!m_form->isWindow())
        return;
    const QString path = TxAppRegistry::componentPath(m_form) + QStringLiteral("/FormData");
    const bool dialog = qobject_cast<QDialog *>(m_form) != nullptr;
    const QRect g = m_form->normalGeometry().isValid() ? m_form->normalGeometry() : m_form->geometry();
    reg.writeInt(path, QStringLiteral("Left"), g.left());
    reg.writeInt(path, QStringLiteral("Top"), g.top());
    if (!dialog) {
        reg.writeInt(path, QStringLiteral("Width"), g.width());
        reg.writeInt(path, QStringLiteral("Height"), g.height());
    }
    const Qt::WindowStates s = m_form->windowState();
    reg.writeString(path, QStringLiteral("State"),
                    s & Qt::WindowMinimized   ? QStringLiteral("MINIMIZED")
                    : s & Qt::WindowMaximized ? QStringLiteral("MAXIMIZED")
                                              : QStringLiteral("NORMAL"));
}

void TFormPlaceSaver::restoreComponents(TxAppRegistry &reg)
{
    for (QTabWidget *tabs : m_form->findChildren<QTabWidget *>()) {
        if (auto i = reg.readInt(TxAppRegistry::componentPath(tabs), QStringLiteral("PageIndex")); i && *i >= 0 && *i < tabs->count())
            tabs->setCurrentIndex(*i);
    }
    // A page's tabs are a list beside a stack of pages; the list follows the stack.
    for (QStackedWidget *stack : m_form->findChildren<QStackedWidget *>()) {
        if (qobject_cast<QTabWidget *>(stack->parent()))
            continue;
        if (auto i = reg.readInt(TxAppRegistry::componentPath(stack), QStringLiteral("PageIndex")); i && *i >= 0 && *i < stack->count())
            stack->setCurrentIndex(*i);
    }
    for (QTabBar *bar : m_form->findChildren<QTabBar *>()) {
        if (qobject_cast<QTabWidget *>(bar->parent()))
            continue;
        if (auto i = reg.readInt(TxAppRegistry::componentPath(bar), QStringLiteral("TabIndex")); i && *i >= 0 && *i < bar->count())
            bar->setCurrentIndex(*i);
    }
}

void TFormPlaceSaver::saveComponents(TxAppRegistry &reg)
{
    for (QTabWidget *tabs : m_form->findChildren<QTabWidget *>())
        reg.writeInt(TxAppRegistry::componentPath(tabs), QStringLiteral("PageIndex"), tabs->currentIndex());
    for (QStackedWidget *stack : m_form->findChildren<QStackedWidget *>()) {
        if (!qobject_cast<QTabWidget *>(stack->parent()))
            reg.writeInt(TxAppRegistry::componentPath(stack), QStringLiteral("PageIndex"), stack->currentIndex());
    }
    for (QTabBar *bar : m_form->findChildren<QTabBar *>()) {
        if (qobject_cast<QTabWidget *>(bar->parent()))
            continue;
        reg.writeInt(TxAppRegistry::componentPath(bar), QStringLiteral("TabIndex"), bar->currentIndex());
    }
}

} // namespace korvex::widgets
