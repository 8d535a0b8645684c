#include "xSortMenu.h"

#include "xGuard.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::widgets {

TxSortMenu::TxSortMenu(QWidget *page, QWidget *tab, QVBoxLayout *layout)
    : QObject(page)
    , m_page(page)
    , m_button(new QToolButton(tab))
    , m_menu(new QMenu(page))
    , m_group(new QActionGroup(this))
{
    m_button->setObjectName(QStringLiteral("SortButton"));
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_button->setMenu(m_menu);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(m_button);
    bar->addStretch();
    layout->addLayout(bar);
}

void TxSortMenu::addOrder(int order, const QString &caption)
{
    QAction *a = m_menu->addAction(caption);
    a->setCheckable(true);
    m_group->addAction(a);
    m_actions.insert(order, a);
    m_captions.insert(order, caption);
    connect(a, &QAction::triggered, this, [this, order] {
        if (m_choose)
            guarded(m_page, [&] { m_choose(order); });
    });
}

void TxSortMenu::addFilter(const std::function<void()> &edit)
{
    m_menu->addSeparator();
    QAction *filter = m_menu->addAction(QCoreApplication::translate("TxSortMenu", "Фильтр"));
    filter->setObjectName(QStringLiteral("FilterAction"));
    connect(filter, &QAction::triggered, this, [this, edit] { guarded(m_page, edit); });
}

void TxSortMenu::show(int order)
{
    const QString caption = QCoreApplication::translate("TxSortMenu", "Сортировать: ") + m_captions.value(order);
    m_menu->setTitle(caption);
    m_button->setText(caption);
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setChecked(it.key() == order);
}

} // namespace korvex::widgets
