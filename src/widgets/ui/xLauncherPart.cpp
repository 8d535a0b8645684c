#include "xLauncherPart.h"

#include <QKeyEvent>
#include <QListWidget>

namespace korvex::widgets {

TLauncherPart::TLauncherPart(korvex::shell::TAppContext &context, int pageCode, QWidget *parent)
    : TPart(context, pageCode, parent)
{
    m_items = new QListWidget(this);
    m_items->setViewMode(QListView::IconMode);
    m_items->setIconSize(QSize(48, 48));
    m_items->setGridSize(QSize(180, 100));
    m_items->setResizeMode(QListView::Adjust);
    m_items->setMovement(QListView::Static);
    m_items->setWordWrap(true);
    connect(m_items, &QListWidget::itemDoubleClicked, this, &TLauncherPart::openItem);
    m_items->installEventFilter(this);
}

QListWidgetItem *TLauncherPart::item(const QString &text) const
{
    for (int i = 0; i < m_items->count(); ++i) {
        if (m_items->item(i)->text() == text)
            return m_items->item(i);
    }
    return nullptr;
}

QListWidgetItem *TLauncherPart::addItem(const QString &text, QStyle::StandardPixmap icon, const std::function<void()> &action)
{
    // Every icon at the list's size: the style has some only in small sizes,
    // which would set their texts apart from the others'.
    const QSize size = m_items->iconSize();
    QPixmap picture = style()->standardIcon(icon).pixmap(size);
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    auto *item = new QListWidgetItem(QIcon(picture), text, m_items);
    if (action) {
        m_actions.insert(item, action);
    } else {
        item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        item->setToolTip(tr("Еще не доступно в этой версии программы"));
    }
    return item;
}

QListWidgetItem *TLauncherPart::addPageItem(const QString &text, QStyle::StandardPixmap icon, int pageCode, bool pageExists)
{
    std::function<void()> open;
    if (pageExists)
        open = [this, pageCode] { Q_EMIT switchPageRequested(pageCode); };
    return addItem(text, icon, open);
}

void TLauncherPart::finishItems(const QString &tabTitle)
{
    for (int i = 0; i < m_items->count(); ++i) {
        if (m_items->item(i)->flags() & Qt::ItemIsEnabled) {
            m_items->setCurrentRow(i);
            break;
        }
    }
    addTab(tabTitle, m_items);
}

bool TLauncherPart::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_items && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openItem(m_items->currentItem());
            return true;
        }
    }
    return TPart::eventFilter(watched, event);
}

void TLauncherPart::openItem(QListWidgetItem *item)
{
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    if (const auto action = m_actions.value(item))
        guarded(this, action);
}

} // namespace korvex::widgets
