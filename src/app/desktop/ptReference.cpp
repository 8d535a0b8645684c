#include "ptReference.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "widgets/ui/xMessages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSqlError>
#include <QSqlTableModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace korvex::shell {

namespace {

enum Target { PageTarget = 1, ToolTarget, DenominationTarget };

} // namespace

TptReference::TptReference(TAppContext &context, QWidget *parent)
    : TPart(context, 916, parent)
{
    setObjectName(QStringLiteral("ptReference"));
    setCaption(tr("Справочники"));
    setSection(tr("Справочники"), tr("Справочники"));

    m_items = new QListWidget(this);
    m_items->setObjectName(QStringLiteral("ReferenceItems"));
    m_items->setViewMode(QListView::IconMode);
    m_items->setIconSize(QSize(48, 48));
    m_items->setGridSize(QSize(180, 100));
    m_items->setResizeMode(QListView::Adjust);
    m_items->setMovement(QListView::Static);
    m_items->setWordWrap(true);

    struct Item {
        QString text;
        QStyle::StandardPixmap icon;
        int target;
        QVariant value;
    };
    const Item list[] = {
        {tr("Клиенты"), QStyle::SP_DirHomeIcon, PageTarget, 918},
        {tr("Курсы валют"), QStyle::SP_FileDialogDetailedView, PageTarget, 300},
        {tr("Объекты"), QStyle::SP_DirIcon, PageTarget, 60},
        {tr("Визуальное отображение объектов"), QStyle::SP_DesktopIcon, ToolTarget, QStringLiteral("objectgraph")},
        {tr("Услуги"), QStyle::SP_FileDialogListView, PageTarget, 725},
        {tr("Прайс листы"), QStyle::SP_FileDialogContentsView, PageTarget, 832},
        {tr("Нарушения клиентов"), QStyle::SP_MessageBoxWarning, PageTarget, 90},
        {tr("Деноминация"), QStyle::SP_BrowserReload, DenominationTarget, {}},
    };
    for (const Item &i : list) {
        auto *item = new QListWidgetItem(style()->standardIcon(i.icon), i.text, m_items);
        item->setData(Qt::UserRole, i.target);
        item->setData(Qt::UserRole + 1, i.value);
    }
    m_items->setCurrentRow(0);
    addTab(tr("Справочники"), m_items);

    connect(m_items, &QListWidget::itemDoubleClicked, this, &TptReference::openItem);
    m_items->installEventFilter(this);
}

bool TptReference::eventFilter(QObject *watched, QEvent *event)
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

void TptReference::openItem(QListWidgetItem *item)
{
    if (!item)
        return;
    switch (item->data(Qt::UserRole).toInt()) {
    case PageTarget:
        Q_EMIT switchPageRequested(item->data(Qt::UserRole + 1).toInt());
        break;
    case ToolTarget:
        Q_EMIT toolRequested(item->data(Qt::UserRole + 1).toString());
        break;
    case DenominationTarget:
        guarded([this] {
            TptDenominasion dialog(context(), this);
            dialog.exec();
        });
        break;
    }
}

// ---------------------------------------------------------------------------

TptDenominasion::TptDenominasion(TAppContext &context, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Деноминация"));
    setObjectName(QStringLiteral("ptDenominasion"));
    auto *layout = new QVBoxLayout(this);

    auto *model = new QSqlTableModel(this, context.db.sql());
    model->setObjectName(QStringLiteral("tblDenomination"));
    // The driver finds tables by their stored (upper-case) names.
    model->setTable(QStringLiteral("RENT_DENOMINATION"));
    model->setEditStrategy(QSqlTableModel::OnRowChange);
    if (!model->select())
        throw korvex::db::EDatabaseError::fromSqlError(model->lastError());

    auto *view = new QTableView(this);
    view->setObjectName(QStringLiteral("grDenomination"));
    view->setModel(model);
    view->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(view, 1);

    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(tr("&Добавить"), this);
    auto *remove = new QPushButton(tr("&Удалить"), this);
    auto *close = new QPushButton(tr("Закрыть"), this);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);

    auto report = [this, model] {
        if (model->lastError().isValid())
            korvex::widgets::TxMessages::error(this, model->lastError().text());
    };
    connect(add, &QPushButton::clicked, this, [model, view] {
        const int row = model->rowCount();
        model->insertRow(row);
        view->setCurrentIndex(model->index(row, 0));
        view->edit(view->currentIndex());
    });
    connect(remove, &QPushButton::clicked, this, [model, view, report] {
        const QModelIndex i = view->currentIndex();
        if (!i.isValid())
            return;
        if (!model->removeRow(i.row()))
            report();
        model->select();
    });
    connect(model, &QSqlTableModel::dataChanged, this, report);
    connect(close, &QPushButton::clicked, this, [this, model, report] {
        if (!model->submitAll()) {
            report();
            return;
        }
        accept();
    });
    resize(640, 400);
}

} // namespace korvex::shell
