#include "xSortMenu.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace korvex::widgets {

TxSortMenu::TxSortMenu(const QStringList &orderCaptions, QWidget *parent)
    : QMenu(parent)
    , m_captions(orderCaptions)
{
    auto *group = new QActionGroup(this);
    for (int order = 0; order < m_captions.size(); ++order) {
        QAction *a = addAction(m_captions.at(order));
        a->setCheckable(true);
        group->addAction(a);
        m_orders << a;
        connect(a, &QAction::triggered, this, [this, order] { Q_EMIT sortChosen(order); });
    }
    addSeparator();
    m_filter = addAction(tr("Фильтр"));
    m_filter->setObjectName(QStringLiteral("FilterAction"));
    connect(m_filter, &QAction::triggered, this, &TxSortMenu::filterChosen);
}

QHBoxLayout *TxSortMenu::newBar(QWidget *parent)
{
    m_button = new QToolButton(parent);
    m_button->setObjectName(QStringLiteral("SortButton"));
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_button->setMenu(this);
    m_button->setText(title());
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(m_button);
    bar->addStretch();
    return bar;
}

void TxSortMenu::setCurrent(int order)
{
    const QString caption = tr("Сортировать: ") + m_captions.value(order);
    setTitle(caption);
    if (m_button)
        m_button->setText(caption);
    for (int i = 0; i < m_orders.size(); ++i)
        m_orders.at(i)->setChecked(i == order);
}

} // namespace korvex::widgets
