#include "ptReference.h"

#include "db/xDatabase.h"
#include "graph/ui/frmRentEditorObjectGraph.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
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
    setTitles(QStringLiteral("ptReference"), tr("Справочники"), tr("Справочники"));

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
    connect(this, &TptReference::toolRequested, this, [this](const QString &tool) { guarded(this, [&] { openTool(tool); }); });
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
        guarded(this, [this] {
            TptDenominasion dialog(context(), this);
            dialog.exec();
        });
        break;
    }
}

void TptReference::openTool(const QString &tool)
{
    if (tool == QLatin1String("objectgraph")) {
        korvex::graph::TfrmRentEditorObjectGraph editor(context(), this);
        editor.exec();
    }
}

// ---------------------------------------------------------------------------

TptDenominasion::TptDenominasion(TAppContext &context, QWidget *parent)
    : TxEditDialog(context.db, parent)
    , m_bo(context)
{
    setWindowTitle(tr("Деноминация"));
    setObjectName(QStringLiteral("ptDenominasion"));
    m_rows = new korvex::reference::TDenominationModel(this);
    m_rows->setRecords(m_bo.readAll());

    auto *view = new korvex::widgets::TxDBGrid(this);
    view->setObjectName(QStringLiteral("grDenomination"));
    view->setSortingByTitle(false);
    view->setModel(m_rows);
    view->setReadOnly(false);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->horizontalHeader()->setStretchLastSection(true);
    contentLayout()->addWidget(view, 1);
    connect(m_rows, &korvex::reference::TDenominationModel::cellRefused, this,
            [this](const QString &message) { showMessage(this, messageCaption(), message); });

    auto *add = new QPushButton(tr("&Добавить"), this);
    auto *remove = new QPushButton(tr("&Удалить"), this);
    buttonLayout()->insertWidget(0, add);
    buttonLayout()->insertWidget(1, remove);
    okButton()->setText(tr("Закрыть"));
    connect(add, &QPushButton::clicked, this, [this, view] {
        const QModelIndex cell = m_rows->index(m_rows->appendRecord({}), 0);
        view->setCurrentIndex(cell);
        view->setFocus();
        view->edit(cell);
    });
    connect(remove, &QPushButton::clicked, this, [this, view] {
        if (view->currentIndex().isValid())
            m_rows->removeRecord(view->currentIndex().row());
    });
    resize(640, 400);
}

TptDenominasion::~TptDenominasion() = default;

int TptDenominasion::writeRecord()
{
    QList<korvex::reference::TDenominationRecord> rows = m_rows->records();
    m_bo.writeAll(rows);
    m_rows->setRecords(rows);
    return 0;
}

} // namespace korvex::shell
