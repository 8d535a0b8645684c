#include "ptReport.h"

#include "dlgRentReport.h"
#include "printMenu.h"

#include "db/xQuery.h"
#include "shell/AppContext.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xGuard.h"
#include "widgets/xQueryModel.h"
#include "widgets/xTreeModel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::documents {

using korvex::widgets::guarded;

TptReport::TptReport(korvex::shell::TAppContext &context, QWidget *parent)
    : TTreePart(context, 50, parent)
    , m_windows(context, this)
    , m_printDocument(context, &m_windows)
    , m_report(context, &m_windows)
{
    setTitles(QStringLiteral("ptReport"), tr("Отчеты"), tr("Отчеты"));

    auto reportsTab = new QWidget(this);
    m_reports = new QListWidget(reportsTab);
    m_reports->setObjectName(QStringLiteral("ReportList"));
    m_reports->setViewMode(QListView::IconMode);
    m_reports->setIconSize(QSize(32, 32));
    m_reports->setGridSize(QSize(150, 80));
    m_reports->setResizeMode(QListView::Adjust);
    m_reports->setMovement(QListView::Static);
    m_reports->setWordWrap(true);
    connect(m_reports, &QListWidget::itemActivated, this, [this] { runCurrent(); });
    auto bar = new QHBoxLayout;
    const auto navButton = [this, bar, reportsTab](const QString &text, void (TptReport::*slot)()) {
        auto b = new QPushButton(text, reportsTab);
        connect(b, &QPushButton::clicked, this, [this, slot] { guarded(this, [&] { (this->*slot)(); }); });
        bar->addWidget(b);
    };
    navButton(tr("Выполнить"), &TptReport::runCurrent);
    navButton(tr("Вверх"), &TptReport::levelUp);
    navButton(tr("Начало"), &TptReport::levelTop);
    bar->addStretch();
    auto v = new QVBoxLayout(reportsTab);
    v->addWidget(m_reports, 1);
    v->addLayout(bar);
    addTab(tr("Отчеты"), reportsTab);

    m_forms = new korvex::widgets::TxTreeModel(context.db, this);
    m_forms->setTable(QStringLiteral("rent_printdocument"));
    m_forms->setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    m_forms->setQuery(QStringLiteral("SELECT id, parent, name, path, registername, registertable, typedocument, registerpath"
                                     " FROM rent_printdocument ORDER BY name"));
    m_forms->setDisplayFields({QStringLiteral("path"), QStringLiteral("registername"), QStringLiteral("registertable")});
    m_forms->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_forms->setFieldTitle(QStringLiteral("path"), tr("Файл"));
    m_forms->setFieldTitle(QStringLiteral("registername"), tr("Реестр"));
    m_forms->setFieldTitle(QStringLiteral("registertable"), tr("Таблица"));
    m_tree = newTree(QStringLiteral("PrintDocumentTree"), m_forms,
                     {{QStringLiteral("name"), 280},
                      {QStringLiteral("path"), 220},
                      {QStringLiteral("registername"), 200},
                      {QStringLiteral("registertable"), 140}});
    m_forms->setDecoration([this](const QModelIndex &index) -> QVariant { return formPicture(index); });
    addTreeTab(tr("Печатные формы"), m_tree,
               {[this](int parent, int *key) { return m_printDocument.AddPrintForm(parent, key); },
                [this](int key) { return m_printDocument.EditPrintForm(key); },
                [this](int key) { return m_printDocument.DeletePrintForm(key); }});
    addActionMenu(m_tree);
    m_formList = new korvex::widgets::TxQueryModel(context.db, this);
    m_formList->setStatement(QStringLiteral("SELECT * FROM rent_printdocument"), {}, QStringLiteral("name"));
    m_printMenu = new QMenu(this);
    addPagePrintMenu(m_printMenu, context, TPrintPage::PrintForms, [this] {
        TPrintSelection s;
        s.current = currentKey(m_tree).value_or(-1);
        s.list = m_formList;
        return s;
    });
    m_tree->addActions(m_printMenu->actions());

    setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
    guarded(this, [&] {
        openLevel(0);
        m_tree->reload();
    });
    restorePlacement();
}

TptReport::~TptReport() = default;

int TptReport::currentReport() const
{
    const QListWidgetItem *item = m_reports->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void TptReport::openLevel(int parent, int current)
{
    m_level = parent;
    const auto level = parent > 0 ? m_report.readReport(parent) : std::nullopt;
    setSection(tr("Отчеты"), level ? level->name : QString());
    m_reports->clear();
    korvex::db::TxQuery q(context().db);
    q.exec(QStringLiteral("SELECT id, name, icon FROM rent_printreport WHERE COALESCE(parent, 0) = ? ORDER BY name"),
           {parent});
    while (q.next()) {
        auto item = new QListWidgetItem(reportPicture(q.value(2).toInt()), q.value(1).toString(), m_reports);
        item->setData(Qt::UserRole, q.value(0).toInt());
        if (q.value(0).toInt() == current)
            m_reports->setCurrentItem(item);
    }
    if (!m_reports->currentItem() && m_reports->count() > 0)
        m_reports->setCurrentRow(0);
}

void TptReport::runCurrent()
{
    const int id = currentReport();
    if (id <= 0)
        return;
    if (m_report.hasChildren(id))
        openLevel(id);
    else
        m_report.RunReport(id);
}

void TptReport::levelUp()
{
    if (m_level == 0)
        return;
    const int from = m_level;
    const auto record = m_report.readReport(from);
    openLevel(record ? record->parent : 0, from);
}

void TptReport::levelTop()
{
    openLevel(0);
}

void TptReport::actionAdd()
{
    if (currentTab() != ReportsTab)
        return TTreePart::actionAdd();
    int key = 0;
    if (m_report.AddReport(m_level, &key))
        openLevel(m_level, key);
}

void TptReport::actionAddChild()
{
    if (currentTab() != ReportsTab)
        return TTreePart::actionAddChild();
    const int parent = currentReport();
    if (parent <= 0)
        return;
    int key = 0;
    if (m_report.AddReport(parent, &key))
        openLevel(parent, key);
}

void TptReport::actionEdit()
{
    if (currentTab() != ReportsTab)
        return TTreePart::actionEdit();
    const int id = currentReport();
    if (id > 0 && m_report.EditReport(id))
        openLevel(m_level, id);
}

void TptReport::actionDelete()
{
    if (currentTab() != ReportsTab)
        return TTreePart::actionDelete();
    const int id = currentReport();
    if (id > 0 && m_report.DeleteReport(id))
        openLevel(m_level);
}

void TptReport::actionRefresh()
{
    TTreePart::actionRefresh();
    openLevel(m_level, currentReport());
}

QIcon TptReport::formPicture(const QModelIndex &index) const
{
    const auto id = m_forms->idOf(index);
    if (!id)
        return {};
    const int type = m_forms->value(*id, QStringLiteral("typedocument")).toInt();
    if (type == TboRentPrintDocument::Group || m_forms->rowCount(index.siblingAtColumn(0)) > 0)
        return printFormPicture(m_tree && m_tree->isExpanded(index.siblingAtColumn(0)) ? TPrintFormPicture::OpenFolder
                                                                                         : TPrintFormPicture::Folder);
    const bool document = !m_forms->value(*id, QStringLiteral("path")).toString().trimmed().isEmpty();
    const bool printsDocuments = type >= TboRentPrintDocument::Contract && type <= TboRentPrintDocument::Invoice;
    if (document && printsDocuments)
        return printFormPicture(TPrintFormPicture::Item);
    if (!m_forms->value(*id, QStringLiteral("registerpath")).toString().trimmed().isEmpty())
        return printFormPicture(TPrintFormPicture::Detail);
    return printFormPicture(TPrintFormPicture::Undetermined);
}

} // namespace korvex::documents
