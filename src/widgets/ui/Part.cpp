#include "Part.h"

#include "mmRunTimeStore.h"
#include "xAppRegistry.h"
#include "xGuard.h"
#include "xMessages.h"
#include "db/xDbError.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <stdexcept>

namespace korvex::widgets {

namespace {

struct ActionInfo {
    const char *text;
    QKeySequence key;
};

ActionInfo actionInfo(TPart::Action a)
{
    switch (a) {
    case TPart::Action::Add: return {QT_TRANSLATE_NOOP("TPart", "&Добавить"), QKeySequence(Qt::Key_Insert)};
    case TPart::Action::AddChild: return {QT_TRANSLATE_NOOP("TPart", "&Подуровень"), QKeySequence(Qt::CTRL | Qt::Key_Insert)};
    case TPart::Action::Edit: return {QT_TRANSLATE_NOOP("TPart", "&Изменить"), QKeySequence(Qt::SHIFT | Qt::Key_Insert)};
    case TPart::Action::Delete: return {QT_TRANSLATE_NOOP("TPart", "&Удалить"), QKeySequence(Qt::CTRL | Qt::Key_Delete)};
    case TPart::Action::Refresh: return {QT_TRANSLATE_NOOP("TPart", "&Обновить"), QKeySequence(Qt::CTRL | Qt::Key_R)};
    }
    return {"", QKeySequence()};
}

QWidget *checkedParent(QWidget *parent)
{
    if (!parent)
        throw std::logic_error("Parent must be TWinControl");
    return parent;
}

} // namespace

TPart::TPart(korvex::shell::TAppContext &context, int pageCode, QWidget *parent)
    : QWidget(checkedParent(parent))
    , m_context(context)
    , m_pageCode(pageCode)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("PartHeader"));
    header->setAutoFillBackground(true);
    QPalette pal = header->palette();
    pal.setColor(QPalette::Window, QColor(0x2f, 0x4f, 0x7f));
    pal.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(pal);
    auto *headerLayout = new QHBoxLayout(header);
    m_section = new QLabel(header);
    m_chapter = new QLabel(header);
    QFont f = m_section->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    m_section->setFont(f);
    m_subject = new QLabel(header);
    m_subject->setObjectName(QStringLiteral("PartSubject"));
    QFont bold = m_subject->font();
    bold.setBold(true);
    m_subject->setFont(bold);
    headerLayout->addWidget(m_section);
    headerLayout->addSpacing(20);
    headerLayout->addWidget(m_chapter);
    headerLayout->addSpacing(20);
    headerLayout->addWidget(m_subject, 1);
    outer->addWidget(header);

    auto *body = new QHBoxLayout;
    m_tabs = new QListWidget(this);
    m_tabs->setObjectName(QStringLiteral("PartTabs"));
    m_tabs->setMaximumWidth(200);
    m_tabs->hide();
    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("PartPages"));
    body->addWidget(m_tabs);
    body->addWidget(m_stack, 1);
    outer->addLayout(body, 1);

    auto *bar = new QWidget(this);
    m_buttons = new QHBoxLayout(bar);
    m_buttons->addStretch();
    outer->addWidget(bar);

    // The stack may be switched from outside (the remembered tab): the list follows.
    connect(m_stack, &QStackedWidget::currentChanged, this, [this](int index) {
        if (m_tabs->currentRow() != index)
            m_tabs->setCurrentRow(index);
    });
    connect(m_tabs, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        m_stack->setCurrentIndex(row);
        m_subject->setText(m_subjects.value(row));
        guarded(this, [&] { tabChanged(row); });
        Q_EMIT currentTabChanged(row);
    });

    for (Action a : {Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh}) {
        const ActionInfo info = actionInfo(a);
        auto *button = new QPushButton(tr(info.text), bar);
        button->setToolTip(info.key.toString(QKeySequence::NativeText));
        button->hide();
        m_buttons->insertWidget(m_buttons->count() - 1, button);
        m_actionButtons[int(a)] = button;
        connect(button, &QPushButton::clicked, this, [this, a] { trigger(a); });
        auto *shortcut = new QShortcut(info.key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, a, button] {
            if (button->isVisible() && button->isEnabled())
                trigger(a);
        });
    }

    m_saver = new TFormPlaceSaver(this);
    // The contract list keeps its grid layouts apart from other lists of
    // contracts, as the customer list does.
    setProperty(TmmRunTimeStore::ContextProperty, pageCode == 10 ? 10 : -1);
}

TPart::~TPart()
{
    m_saver->save();
    if (TmmRunTimeStore *store = TmmRunTimeStore::of(this, false))
        store->saveShowingErrors();
}

void TPart::restorePlacement()
{
    m_saver->restore();
}

void TPart::setSection(const QString &section, const QString &chapter)
{
    m_section->setText(section);
    m_chapter->setText(chapter);
}

void TPart::setTitles(const QString &objectName, const QString &section, const QString &caption)
{
    setObjectName(objectName);
    setCaption(caption);
    setSection(section, caption);
}

QString TPart::section() const
{
    return m_section->text();
}

QString TPart::chapter() const
{
    return m_chapter->text();
}

void TPart::setTabSubject(int tab, const QString &subject)
{
    m_subjects.insert(tab, subject);
    if (tab == currentTab())
        m_subject->setText(subject);
}

QString TPart::subject() const
{
    return m_subject->text();
}

void TPart::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    QWidget *content = m_stack->currentWidget();
    if (!content)
        return;
    // The tab's list first (the arrow keys then move in it), else its first field.
    if (content->focusPolicy() & Qt::TabFocus) {
        content->setFocus(event->reason());
        return;
    }
    for (QAbstractItemView *view : content->findChildren<QAbstractItemView *>()) {
        if (view->isVisible() && view->isEnabled()) {
            view->setFocus(event->reason());
            return;
        }
    }
    for (QWidget *w : content->findChildren<QWidget *>()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
            w->setFocus(event->reason());
            return;
        }
    }
}

int TPart::addTab(const QString &title, QWidget *content)
{
    // A list shows no mnemonics, and the buttons' Alt letters would clash
    // with the tabs' ("&Изменить", "&История"): "&" is dropped, "&&" is "&".
    QString text;
    for (qsizetype i = 0; i < title.size(); ++i) {
        if (title.at(i) == QLatin1Char('&') && i + 1 < title.size())
            ++i;
        text += title.at(i);
    }
    m_tabs->addItem(text);
    const int index = m_stack->addWidget(content);
    m_tabs->setVisible(m_tabs->count() > 1);
    if (m_tabs->currentRow() < 0)
        m_tabs->setCurrentRow(0);
    return index;
}

int TPart::currentTab() const
{
    return m_tabs->currentRow();
}

void TPart::setCurrentTab(int index)
{
    m_tabs->setCurrentRow(index);
}

void TPart::setActions(std::initializer_list<Action> actions)
{
    for (QPushButton *b : m_actionButtons)
        b->hide();
    for (Action a : actions)
        m_actionButtons[int(a)]->show();
}

QPushButton *TPart::actionButton(Action a) const
{
    return m_actionButtons[int(a)];
}

QPushButton *TPart::addButton(const QString &text, const std::function<void()> &handler)
{
    auto *button = new QPushButton(text, this);
    m_buttons->insertWidget(m_buttons->count() - 1, button);
    connect(button, &QPushButton::clicked, this, [this, handler] { guarded(this, handler); });
    return button;
}

QMenu *TPart::createPageMenu(const QString &title)
{
    if (!m_menu)
        m_menu = new QMenu(title, this);
    return m_menu;
}

void TPart::trigger(Action a)
{
    guarded(this, [&] {
        switch (a) {
        case Action::Add: actionAdd(); break;
        case Action::AddChild: actionAddChild(); break;
        case Action::Edit: actionEdit(); break;
        case Action::Delete: actionDelete(); break;
        case Action::Refresh: actionRefresh(); break;
        }
    });
}

} // namespace korvex::widgets
