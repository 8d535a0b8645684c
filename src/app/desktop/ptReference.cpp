#include "ptReference.h"

#include "PageTable.h"

#include "db/xDatabase.h"
#include "graph/ui/frmRentEditorObjectGraph.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace korvex::shell {

TptReference::TptReference(TAppContext &context, QWidget *parent)
    : TLauncherPart(context, 916, parent)
{
    setTitles(QStringLiteral("ptReference"), tr("Справочники"), tr("Справочники"));
    items()->setObjectName(QStringLiteral("ReferenceItems"));
    addPageItem(tr("Клиенты"), QStyle::SP_DirHomeIcon, 918, pageBuilt(918));
    addPageItem(tr("Курсы валют"), QStyle::SP_FileDialogDetailedView, 300, pageBuilt(300));
    addPageItem(tr("Объекты"), QStyle::SP_DirIcon, 60, pageBuilt(60));
    addItem(tr("Визуальное отображение объектов"), QStyle::SP_DesktopIcon, [this] {
        korvex::graph::TfrmRentEditorObjectGraph editor(this->context(), this);
        editor.exec();
    });
    addPageItem(tr("Услуги"), QStyle::SP_FileDialogListView, 725, pageBuilt(725));
    addPageItem(tr("Прайс листы"), QStyle::SP_FileDialogContentsView, 832, pageBuilt(832));
    addPageItem(tr("Нарушения клиентов"), QStyle::SP_MessageBoxWarning, 90, pageBuilt(90));
    addItem(tr("Деноминация"), QStyle::SP_BrowserReload, [this] {
        TptDenominasion dialog(this->context(), this);
        dialog.exec();
    });
    finishItems(tr("Справочники"));
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
