#include "ptDebt.h"

#include "billing/AgedDebtReport.h"
#include "documents/xReport.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xSortMenu.h"
#include "widgets/xQueryModel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxQueryModel;

namespace {

QString amountText(double v)
{
    return QLocale().toString(v, 'f', 2);
}

} // namespace

TptDebt::TptDebt(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 190, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptDebt"), tr("Задолженности"), tr("Задолженности"));
    m_bo = new TboRentDebtFilter(context, &m_windows, this);

    addTab(tr("&Задолженности"), buildDebtsTab());
    addTab(tr("По позиции договора"), newHistoryTab(QStringLiteral("PositionHistory"), 0));
    addTab(tr("По клиенту"), newHistoryTab(QStringLiteral("CustomerHistory"), 1));
    addTab(tr("По услуге"), newHistoryTab(QStringLiteral("ServiceHistory"), 2));
    setActions({Action::Refresh});
    buildMenus();

    guarded(this, [&] { loadDebts(); });
    restorePlacement();
}

TptDebt::~TptDebt() = default;

QWidget *TptDebt::buildDebtsTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);

    m_sort = new korvex::widgets::TxSortMenu(this, tab, layout);

    m_debts = new TDebtListModel(context().db, this);
    m_debtGrid = new TxDBGrid(tab);
    m_debtGrid->setObjectName(QStringLiteral("DebtGrid"));
    m_debtGrid->setKeyField(QStringLiteral("contractservicekey"));
    m_debtGrid->setModel(m_debts);
    for (const char *hidden :
         {"debtkey", "currkey", "contractservicekey", "servicekey", "objectkey", "contractkey", "customerkey"})
        m_debtGrid->setFieldVisible(QString::fromLatin1(hidden), false);
    const std::pair<const char *, const char *> titles[] = {
        {"customercal", QT_TR_NOOP("Клиент")},      {"number", QT_TR_NOOP("Договор")},
        {"servicecal", QT_TR_NOOP("Услуга")},       {"objectcal", QT_TR_NOOP("Объект")},
        {"costncu", QT_TR_NOOP("Сумма в рублях")}, {"costcurr", QT_TR_NOOP("Сумма в валюте")},
        {"nds", QT_TR_NOOP("НДС")},                 {"debtdate", QT_TR_NOOP("Дата")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        m_debtGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_debtGrid->setFieldPosition(QString::fromLatin1(field), position++);
    }
    m_debtGrid->setFieldWidth(QStringLiteral("customercal"), 180);
    m_debtGrid->setFieldWidth(QStringLiteral("number"), 70);
    m_debtGrid->setFieldWidth(QStringLiteral("servicecal"), 160);
    m_debtGrid->setFieldWidth(QStringLiteral("objectcal"), 130);
    m_debtGrid->setFieldWidth(QStringLiteral("costncu"), 110);
    m_debtGrid->setFieldWidth(QStringLiteral("costcurr"), 110);
    m_debtGrid->setFieldWidth(QStringLiteral("nds"), 70);
    m_debtGrid->setFieldWidth(QStringLiteral("debtdate"), 100);
    m_debtGrid->setFieldDecimals(QStringLiteral("costncu"), 2);
    m_debtGrid->setFieldDecimals(QStringLiteral("costcurr"), 2);
    m_debtGrid->setFieldDecimals(QStringLiteral("nds"), 0);
    layout->addWidget(m_debtGrid, 1);

    auto *footer = new QHBoxLayout;
    footer->setContentsMargins(4, 2, 4, 2);
    auto total = [&](const QString &caption, QLabel *&value, const QString &name) {
        footer->addWidget(new QLabel(caption, tab));
        value = new QLabel(tab);
        value->setObjectName(name);
        value->setMinimumWidth(110);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        footer->addWidget(value);
        footer->addSpacing(16);
    };
    total(tr("Сумма в рублях"), m_ncuTotal, QStringLiteral("NcuTotal"));
    total(tr("Сумма в валюте"), m_currTotal, QStringLiteral("CurrTotal"));
    total(tr("Количество позиций"), m_countTotal, QStringLiteral("CountTotal"));
    footer->addStretch();
    layout->addLayout(footer);
    return tab;
}

QWidget *TptDebt::newHistoryTab(const QString &name, int index)
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    m_historyHeads[index] = new QLabel(tab);
    m_historyHeads[index]->setObjectName(name + QStringLiteral("Head"));
    m_historyHeads[index]->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_historyHeads[index]);
    m_histories[index] = new TxQueryModel(context().db, this);
    m_historyGrids[index] = newHistoryGrid(name + QStringLiteral("Grid"), m_histories[index]);
    layout->addWidget(m_historyGrids[index], 1);
    return tab;
}

TxDBGrid *TptDebt::newHistoryGrid(const QString &name, TxQueryModel *model)
{
    auto *grid = new TxDBGrid(this);
    grid->setObjectName(name);
    grid->setModel(model);
    const std::pair<const char *, const char *> titles[] = {
        {"historydate", QT_TR_NOOP("Дата")},
        {"startdebtcostncu", QT_TR_NOOP("На начало")},
        {"ccostncu", QT_TR_NOOP("Начислено")},
        {"dcostncu", QT_TR_NOOP("Оплачено")},
        {"adddebtcostncu", QT_TR_NOOP("Прочие изменения")},
        {"enddebtcostncu", QT_TR_NOOP("На конец")},
        {"startdebtcostcurr", QT_TR_NOOP("На начало в валюте")},
        {"ccostcurr", QT_TR_NOOP("Начислено в валюте")},
        {"dcostcurr", QT_TR_NOOP("Оплачено в валюте")},
        {"enddebtcostcurr", QT_TR_NOOP("На конец в валюте")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        grid->setFieldTitle(QString::fromLatin1(field), tr(title));
        grid->setFieldPosition(QString::fromLatin1(field), position++);
        if (position > 1) {
            grid->setFieldDecimals(QString::fromLatin1(field), 2);
            grid->setFieldWidth(QString::fromLatin1(field), position > 6 ? 150 : 120);
        }
    }
    grid->setFieldWidth(QStringLiteral("historydate"), 100);
    // The day's change repeats the charge less the payment.
    grid->setFieldVisible(QStringLiteral("costncu"), false);
    grid->setFieldVisible(QStringLiteral("costcurr"), false);
    return grid;
}

void TptDebt::buildMenus()
{
    QMenu *menu = createPageMenu(tr("Задолженности"));
    for (int order = TDebtFilter::ByCustomer; order <= TDebtFilter::Unsorted; ++order)
        m_sort->addOrder(order, sortCaption(order));
    m_sort->onOrder([this](int order) { setSortOrder(order); });
    m_sort->addFilter([this] { editFilter(); });
    menu->addMenu(m_sort->menu());
    QAction *aged = menu->addAction(TAgedDebtReport::caption());
    aged->setObjectName(QStringLiteral("AgedDebtsAction"));
    connect(aged, &QAction::triggered, this, [this] { guarded(this, [&] { showAgedDebts(); }); });
    QAction *refresh = menu->addAction(tr("&Обновить"));
    connect(refresh, &QAction::triggered, this, [this] { trigger(Action::Refresh); });
    updateSortCaption();

    m_debtGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_debtGrid, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_sort->menu()->exec(m_debtGrid->viewport()->mapToGlobal(at)); });
    connect(m_debtGrid, &TxDBGrid::currentKeyChanged, this, [this] {
        if (currentTab() != DebtsTab)
            guarded(this, [&] { loadHistory(); });
    });
}

QString TptDebt::sortCaption(int order)
{
    switch (order) {
    case TDebtFilter::ByCustomer: return tr("По клиентам");
    case TDebtFilter::ByContract: return tr("По договорам");
    case TDebtFilter::ByService: return tr("По услугам");
    case TDebtFilter::ByObject: return tr("По объектам");
    default: return tr("Не сортировать");
    }
}

QToolButton *TptDebt::sortButton() const
{
    return m_sort->button();
}

QMenu *TptDebt::sortMenu() const
{
    return m_sort->menu();
}

void TptDebt::updateSortCaption()
{
    m_sort->show(m_bo->filter().sortOrder);
}

TxDBGrid *TptDebt::historyGrid(Tab tab) const
{
    return tab >= PositionHistoryTab && tab <= ServiceHistoryTab ? m_historyGrids[tab - 1] : nullptr;
}

TxQueryModel *TptDebt::historyModel(Tab tab) const
{
    return tab >= PositionHistoryTab && tab <= ServiceHistoryTab ? m_histories[tab - 1] : nullptr;
}

void TptDebt::loadDebts()
{
    const TDebtFilter &f = m_bo->filter();
    setSection(tr("Задолженности"), tr("на %1").arg(QLocale().toString(f.debtDate, QLocale::ShortFormat)));
    m_debts->setStatement(m_bo->listStatement(), TboRentDebtFilter::listOrder(f.sortOrder));
    m_debtGrid->requery();
    if (!m_debtGrid->currentIndex().isValid() && m_debts->rowCount() > 0)
        m_debtGrid->setCurrentIndex(m_debts->index(0, m_debtGrid->fieldColumn(QStringLiteral("customercal"))));
    const TboRentDebtFilter::Totals totals = m_bo->totals();
    m_ncuTotal->setText(amountText(totals.ncu));
    m_currTotal->setText(amountText(totals.curr));
    m_countTotal->setText(QString::number(totals.count));
    updateSortCaption();
    loadHistory();
}

void TptDebt::setSortOrder(int order)
{
    m_bo->setSortOrder(order);
    loadDebts();
}

void TptDebt::editFilter()
{
    if (m_bo->EditFilter())
        loadDebts();
}

void TptDebt::showAgedDebts()
{
    const TAgedDebtReport data(context().db, m_bo->filter().debtDate);
    korvex::documents::TxReport report;
    data.prepare(report);
    report.SetDestination(korvex::documents::TxReport::dsScreen);
    report.Execute();
}

void TptDebt::actionRefresh()
{
    loadDebts();
}

void TptDebt::tabChanged(int index)
{
    Q_UNUSED(index);
    guarded(this, [&] { loadHistory(); });
}

void TptDebt::loadHistory()
{
    const int tab = currentTab();
    if (tab < PositionHistoryTab || tab > ServiceHistoryTab || !m_histories[0])
        return;
    TxQueryModel *model = m_histories[tab - 1];
    const bool empty = !m_debtGrid->currentIndex().isValid();
    auto intValue = [&](const char *field) { return m_debtGrid->currentValue(QString::fromLatin1(field)).toInt(); };
    TboRentDebtFilter::History kind = TboRentDebtFilter::History::ContractService;
    if (tab == CustomerHistoryTab)
        kind = TboRentDebtFilter::History::Customer;
    else if (tab == ServiceHistoryTab)
        kind = TboRentDebtFilter::History::Service;
    QLabel *head = m_historyHeads[tab - 1];
    if (empty) {
        // An empty list has no row to show the history of.
        model->close();
        head->clear();
        return;
    }
    auto text = [&](const char *field) { return m_debtGrid->currentValue(QString::fromLatin1(field)).toString().trimmed(); };
    QString heading = tr("Клиент: ") + text("customercal");
    if (tab == PositionHistoryTab)
        heading += tr("   Договор: ") + text("number") + tr("   Услуга: ") + text("servicecal")
                   + (text("objectcal").isEmpty() ? QString() : tr("   Объект: ") + text("objectcal"));
    else if (tab == ServiceHistoryTab)
        heading += tr("   Услуга: ") + text("servicecal");
    head->setText(heading);
    model->setStatement(m_bo->historyStatement(kind, intValue("contractservicekey"), intValue("customerkey"),
                                               intValue("servicekey")),
                        TboRentDebtFilter::historyOrder());
    m_historyGrids[tab - 1]->requery();
}

} // namespace korvex::billing
