#include "MAINFORM_UNIT.h"

#include "PageTable.h"
#include "accounting/ui/bookkeepingWindows.h"
#include "shell/mmOptions.h"
#include "widgets/ui/Part.h"
#include "widgets/ui/xAppRegistry.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xMessages.h"
#include "db/xDbError.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace korvex::shell {

using korvex::widgets::TPart;

namespace {

struct Link {
    int code;
    const char *text;
    const char *description;
};

// The links of the top bar and the start screen.
const Link links[] = {
    {10, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Договора"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Оформление договоров аренды и договоров на прочие услуги. По выбранным договорам "
                                       "счета формируются автоматически. Здесь же видны общая задолженность клиента, "
                                       "арендуемые объекты и история.")},
    {20, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Счета"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Работа со счетами-фактурами и требованиями на оплату, ввод начальных остатков "
                                       "задолженности. Счет создает задолженность клиента, договора и его услуг.")},
    {30, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Платежи"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Платежи клиентов. Платеж автоматически гасит задолженность и переплаты клиента; "
                                       "при совместной работе с бухгалтерской программой платежи можно передавать.")},
    {50, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Отчеты"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Все виды отчетов и настройка печатных форм документов.")},
    {100, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Настройки"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Все настройки, переменные пользователя и формулы расчета стоимости любой услуги.")},
    {916, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Справочники"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Справочники клиентов, курсов валют, объектов и услуг; графический редактор планов "
                                       "зданий и стоянок; реестр нарушений клиентов.")},
    {190, QT_TRANSLATE_NOOP("TAPPMAINFORM", "Задолженности"),
     QT_TRANSLATE_NOOP("TAPPMAINFORM", "Задолженности по клиентам, услугам и объектам, история любой задолженности.")},
};

QToolButton *makeLink(const QString &text, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setText(text);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    QFont f = b->font();
    f.setUnderline(true);
    b->setFont(f);
    return b;
}

} // namespace

TAPPMAINFORM::TAPPMAINFORM(TAppContext &context, QWidget *parent)
    : TMainForm(context, parent)
{
    setObjectName(QStringLiteral("APPMAINFORM"));
    setWindowTitle(tr("Аренда Корвекса"));
    m_bookkeeping = std::make_unique<korvex::accounting::TBookkeepingWindows>(context);
    context.customerSync = &m_bookkeeping->customerSync();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());
    auto *workArea = new QWidget(central);
    workArea->setObjectName(QStringLiteral("WorkArea"));
    m_startScreen = buildStartScreen();
    m_startScreen->setParent(workArea);
    layout->addWidget(workArea, 1);
    setCentralWidget(central);
    attachWorkArea();
    workArea->installEventFilter(this);

    resize(1100, 750);
    qApp->installEventFilter(this);

    auto *saver = new korvex::widgets::TFormPlaceSaver(this, true);
    saver->restore();
}

TAPPMAINFORM::~TAPPMAINFORM()
{
    qApp->removeEventFilter(this);
    if (auto *saver = findChild<korvex::widgets::TFormPlaceSaver *>(QString(), Qt::FindDirectChildrenOnly))
        saver->save();
    closePage();
    context().customerSync = nullptr;
}

QWidget *TAPPMAINFORM::buildTopBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("TopBar"));
    auto *row = new QHBoxLayout(bar);
    for (const Link &l : links) {
        QToolButton *b = makeLink(tr(l.text), bar);
        b->setToolTip(tr(l.description));
        const int code = l.code;
        connect(b, &QToolButton::clicked, this, [this, code] { switchToPage(code); });
        m_links.insert(code, b);
        row->addWidget(b);
    }
    row->addStretch();
    auto *heading = new QLabel(tr("Установки"), bar);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    row->addWidget(heading);
    QToolButton *backLink = makeLink(tr("<<Назад"), bar);
    connect(backLink, &QToolButton::clicked, this, &TAPPMAINFORM::back);
    row->addWidget(backLink);
    QToolButton *exitLink = makeLink(tr("Выход"), bar);
    connect(exitLink, &QToolButton::clicked, this, &QWidget::close);
    row->addWidget(exitLink);
    return bar;
}

QWidget *TAPPMAINFORM::buildStartScreen()
{
    auto *screen = new QWidget;
    screen->setObjectName(QStringLiteral("StartScreen"));
    auto *layout = new QVBoxLayout(screen);
    auto *title = new QLabel(tr("Аренда Корвекса"), screen);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 2.2);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addSpacing(20);
    auto *grid = new QGridLayout;
    int row = 0;
    for (const Link &l : links) {
        QToolButton *b = makeLink(tr(l.text), screen);
        const int code = l.code;
        connect(b, &QToolButton::clicked, this, [this, code] { switchToPage(code); });
        auto *text = new QLabel(tr(l.description), screen);
        text->setWordWrap(true);
        grid->addWidget(b, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(text, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch();
    return screen;
}

QToolButton *TAPPMAINFORM::link(int code) const
{
    return m_links.value(code);
}

void TAPPMAINFORM::switchToPage(int code)
{
    if (const TPageInfo *info = pageInfo(code)) {
        korvex::widgets::guarded(this, [&] { showPage(*info); });
        if (TPart *page = currentPage()) {
            m_startScreen->hide();
            connect(page, &TPart::switchPageRequested, this, &TAPPMAINFORM::postSwitchToPage, Qt::UniqueConnection);
        }
    }
    korvex::widgets::guarded(this, [&] { context().options.SetIntegerOption(QStringLiteral("rent_contractpart"), true, code); });
}

void TAPPMAINFORM::postSwitchToPage(int code)
{
    whenNoModalWindow([this, code] { switchToPage(code); });
}

// A queued page switch must not run inside the event loop of a message box
// or dialog that a page opened: the page would be destroyed under it. It
// waits until the modal window has closed.
void TAPPMAINFORM::whenNoModalWindow(const std::function<void()> &action)
{
    QMetaObject::invokeMethod(
        this,
        [this, action] {
            if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
                QTimer::singleShot(50, this, [this, action] { whenNoModalWindow(action); });
                return;
            }
            action();
        },
        Qt::QueuedConnection);
}

void TAPPMAINFORM::back()
{
    if (previousPageCode() >= 0)
        switchToPage(previousPageCode());
}

void TAPPMAINFORM::noPageShown()
{
    m_startScreen->setGeometry(workArea()->rect());
    m_startScreen->show();
}

void TAPPMAINFORM::restoreStoredPage()
{
    if (m_restored)
        return;
    m_restored = true;
    std::optional<int> code;
    try {
        code = context().options.GetIntegerOption(QStringLiteral("rent_contractpart"));
    } catch (const korvex::db::EDatabaseError &) {
        return;
    }
    if (code)
        switchToPage(*code);
}

void TAPPMAINFORM::showEvent(QShowEvent *event)
{
    TMainForm::showEvent(event);
    m_startScreen->setGeometry(workArea()->rect());
    if (!m_restored)
        whenNoModalWindow([this] { restoreStoredPage(); });
}

void TAPPMAINFORM::changeEvent(QEvent *event)
{
    TMainForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (TPart *page = currentPage(); page && page->isVisible() && page->isEnabled())
            page->setFocus();
    }
}

QString TAPPMAINFORM::hintText(const QString &hint)
{
    QString h = hint;
    h.replace(QLatin1String("\\n"), QLatin1String("\n"));
    return h;
}

bool TAPPMAINFORM::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w->toolTip().contains(QLatin1String("\\n"))) {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), hintText(w->toolTip()), w);
            return true;
        }
    }
    if (watched == workArea() && event->type() == QEvent::Resize)
        m_startScreen->setGeometry(workArea()->rect());
    return TMainForm::eventFilter(watched, event);
}

} // namespace korvex::shell
