#include "ptViotation.h"

#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xSortMenu.h"
#include "widgets/xQueryModel.h"

#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxQueryModel;

TptViotation::TptViotation(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 90, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptViotation"), tr("Нарушения"), tr("Нарушения"));
    m_bo = new TboRentViotation(context, &m_windows, this);
    addTab(tr("&Нарушения"), buildListTab());
    setActions({Action::Add, Action::Edit, Action::Delete, Action::Refresh});
    buildMenus();
    guarded(this, [&] { loadViotations(); });
    restorePlacement();
}

TptViotation::~TptViotation() = default;

QWidget *TptViotation::buildListTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);

    m_sort = new korvex::widgets::TxSortMenu(this, tab, layout);

    m_model = new TxQueryModel(context().db, this);
    m_model->setKeyField(TboRentViotation::listKey());
    m_grid = new TxDBGrid(tab);
    m_grid->setObjectName(QStringLiteral("ViotationGrid"));
    m_grid->setKeyField(TboRentViotation::listKey());
    m_grid->setModel(m_model);
    for (const char *hidden : {"id", "customerkey", "contractkey", "currkey"})
        m_grid->setFieldVisible(QString::fromLatin1(hidden), false);
    const std::pair<const char *, const char *> titles[] = {
        {"number", QT_TR_NOOP("Номер")},
        {"viotationdate", QT_TR_NOOP("Дата")},
        {"name", QT_TR_NOOP("Клиент")},
        {"contractnumber", QT_TR_NOOP("Договор")},
        {"costncu", QT_TR_NOOP("Сумма в рублях")},
        {"costcurr", QT_TR_NOOP("Сумма в валюте")},
        {"info", QT_TR_NOOP("Информация")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        m_grid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_grid->setFieldPosition(QString::fromLatin1(field), position++);
    }
    m_grid->setFieldWidth(QStringLiteral("number"), 90);
    m_grid->setFieldWidth(QStringLiteral("viotationdate"), 100);
    m_grid->setFieldWidth(QStringLiteral("name"), 220);
    m_grid->setFieldWidth(QStringLiteral("contractnumber"), 90);
    m_grid->setFieldWidth(QStringLiteral("info"), 260);
    m_grid->setFieldDecimals(QStringLiteral("costncu"), 2);
    m_grid->setFieldDecimals(QStringLiteral("costcurr"), 2);
    layout->addWidget(m_grid, 1);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return tab;
}

void TptViotation::buildMenus()
{
    QMenu *menu = createPageMenu(tr("Нарушения"));
    m_listMenu = new QMenu(this);
    for (int order = TViotationFilter::ByNumber; order <= TViotationFilter::Unsorted; ++order)
        m_sort->addOrder(order, sortCaption(order));
    m_sort->onOrder([this](int order) { setSortOrder(order); });
    m_sort->addFilter([this] { editFilter(); });
    m_sort->show(m_bo->filter().sortOrder);
    menu->addMenu(m_sort->menu());
    m_listMenu->addMenu(m_sort->menu());
    buildPrintMenu(m_listMenu);

    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_listMenu->exec(m_grid->viewport()->mapToGlobal(at)); });
}

void TptViotation::buildPrintMenu(QMenu *menu)
{
    // The print forms of registerName() are added here once the program has
    // them; the register prints the list as model() holds it.
    Q_UNUSED(menu);
}

QString TptViotation::sortCaption(int order)
{
    switch (order) {
    case TViotationFilter::ByNumber: return tr("По номеру");
    case TViotationFilter::ByDate: return tr("По дате");
    case TViotationFilter::ByCustomer: return tr("По клиенту");
    default: return tr("Не сортировать");
    }
}

QToolButton *TptViotation::sortButton() const
{
    return m_sort->button();
}

QMenu *TptViotation::sortMenu() const
{
    return m_sort->menu();
}

std::optional<int> TptViotation::currentViotation() const
{
    const QVariant key = m_grid->currentValue(TboRentViotation::listKey());
    return key.isNull() || !key.isValid() ? std::nullopt : std::optional<int>(key.toInt());
}

void TptViotation::loadViotations(std::optional<int> locate)
{
    m_model->setStatement(m_bo->listStatement(), TboRentViotation::listOrder(m_bo->filter().sortOrder));
    m_grid->requery();
    if (locate)
        m_grid->locateKey(*locate);
    if (!m_grid->currentIndex().isValid() && m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, m_grid->fieldColumn(QStringLiteral("number"))));
    m_sort->show(m_bo->filter().sortOrder);
}

void TptViotation::setSortOrder(int order)
{
    m_bo->setSortOrder(order);
    loadViotations(currentViotation());
}

void TptViotation::editFilter()
{
    if (m_bo->EditFilter())
        loadViotations(currentViotation());
}

void TptViotation::actionAdd()
{
    int key = 0;
    if (m_bo->NewViotation(&key))
        loadViotations(key);
}

void TptViotation::actionEdit()
{
    const std::optional<int> key = currentViotation();
    if (key && m_bo->EditViotation(*key))
        loadViotations(*key);
}

void TptViotation::actionDelete()
{
    const std::optional<int> key = currentViotation();
    if (key && m_bo->DeleteViotation(*key))
        loadViotations();
}

void TptViotation::actionRefresh()
{
    loadViotations(currentViotation());
}

} // namespace korvex::billing
