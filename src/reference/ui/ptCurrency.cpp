#include "ptCurrency.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xQueryModel.h"
#include "widgets/xSqlFilter.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::reference {

using korvex::db::EDatabaseError;
using korvex::db::TxQuery;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;
using korvex::widgets::TxQueryModel;
using korvex::widgets::TxSqlFilter;

namespace {

QWidget *barWith(QWidget *parent, QLabel *label, QToolButton *button)
{
    auto *bar = new QWidget(parent);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 4, 2);
    if (label)
        layout->addWidget(label);
    layout->addWidget(button);
    layout->addStretch();
    return bar;
}

QToolButton *menuButton(QWidget *parent, const QString &name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

TptCurrency::TptCurrency(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 300, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptCurrency"), tr("Справочники"), tr("Курсы валют"));
    m_bo = new TboCurrency(context, &m_windows, this);

    addTab(tr("&Курсы"), buildRatesTab());
    addTab(tr("&Валюты"), buildCurrenciesTab());
    setActions({Action::Add, Action::Edit, Action::Delete});

    guarded(this, [&] {
        rebuildBaseMenu();
        setBaseCurrency(m_bo->NCUKey);
        loadCurrencies();
    });
    restorePlacement();
}

TptCurrency::~TptCurrency() = default;

QWidget *TptCurrency::buildRatesTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);

    m_baseButton = menuButton(tab, QStringLiteral("BaseCurrency"));
    m_baseMenu = new QMenu(m_baseButton);
    m_baseButton->setMenu(m_baseMenu);
    m_baseGroup = new QActionGroup(this);
    m_baseGroup->setExclusive(true);
    layout->addWidget(barWith(tab, new QLabel(tr("Валюта: "), tab), m_baseButton));

    m_matrix = new TRateMatrix(*m_bo, this);
    m_matrixGrid = new TxDBGrid(tab);
    m_matrixGrid->setObjectName(QStringLiteral("RateMatrix"));
    m_matrixGrid->setSortingByTitle(false);
    m_matrixGrid->setModel(m_matrix);
    m_matrixGrid->setReadOnly(false);
    m_matrixGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_matrixGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_matrixGrid, 1);

    connect(m_matrix, &TRateMatrix::cellRefused, this,
            [this](const QString &text) { TxMessages::warning(this, text, korvex::widgets::TxPrompt::attentionBang()); });
    connect(m_matrix, &TRateMatrix::loadFailed, this, [this](const QString &text) { TxMessages::error(this, text); });
    // A reload keeps the cell the user was on.
    connect(m_matrix, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex cur = m_matrixGrid->currentIndex();
        m_keepDate = m_matrix->dateAt(cur.row());
        m_keepCurrency = m_matrix->currencyAt(cur.column());
    });
    connect(m_matrix, &QAbstractItemModel::modelReset, this, [this] {
        // Without a cell to return to, the latest rates are what the user looks for.
        int row = m_keepDate.isValid() ? 0 : m_matrix->rowCount() - 1;
        int column = m_matrix->columnCount() > 1 ? 1 : 0;
        for (int r = 0; r < m_matrix->rowCount(); ++r)
            if (m_matrix->dateAt(r) == m_keepDate)
                row = r;
        for (int c = 1; c < m_matrix->columnCount(); ++c)
            if (m_matrix->currencyAt(c) == m_keepCurrency)
                column = c;
        if (m_matrix->rowCount() > 0)
            m_matrixGrid->setCurrentIndex(m_matrix->index(row, column));
    });
    return tab;
}

QWidget *TptCurrency::buildCurrenciesTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);

    m_filterButton = menuButton(tab, QStringLiteral("CurrencyFilter"));
    auto *menu = new QMenu(m_filterButton);
    auto *group = new QActionGroup(this);
    const std::pair<Filter, QString> filters[] = {
        {Filter::All, tr("Все валюты")},
        {Filter::Active, tr("Активные валюты")},
        {Filter::Inactive, tr("Неактивные валюты")},
    };
    for (const auto &[filter, text] : filters) {
        QAction *a = menu->addAction(text);
        a->setCheckable(true);
        a->setChecked(filter == m_filter);
        a->setData(int(filter));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, filter] { guarded(this, [&] { setFilter(filter); }); });
    }
    m_filterButton->setMenu(menu);
    layout->addWidget(barWith(tab, nullptr, m_filterButton));

    m_currencies = new TxQueryModel(context().db, this);
    m_currencyGrid = new TxDBGrid(tab);
    m_currencyGrid->setObjectName(QStringLiteral("CurrencyGrid"));
    m_currencyGrid->setKeyField(QStringLiteral("id"));
    m_currencyGrid->setModel(m_currencies);
    m_currencyGrid->setFieldVisible(QStringLiteral("id"), false);
    m_currencyGrid->setFieldTitle(QStringLiteral("name"), tr("Полное наименование"));
    m_currencyGrid->setFieldTitle(QStringLiteral("shortname"), tr("Краткое наименование"));
    m_currencyGrid->setFieldTitle(QStringLiteral("code"), tr("Код"));
    m_currencyGrid->setFieldTitle(QStringLiteral("sign"), tr("Знак"));
    m_currencyGrid->setFieldWidth(QStringLiteral("name"), 240);
    layout->addWidget(m_currencyGrid, 1);
    connect(m_currencyGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return tab;
}

void TptCurrency::rebuildBaseMenu()
{
    for (QAction *a : m_baseGroup->actions())
        m_baseGroup->removeAction(a);
    m_baseMenu->clear();
    TxQuery q(context().db);
    q.exec(QStringLiteral("SELECT id, shortname FROM fin_curr WHERE COALESCE(disabled, 0) = 0 ORDER BY shortname, id"));
    while (q.next()) {
        const int key = q.value(0).toInt();
        QAction *a = m_baseMenu->addAction(q.value(1).toString().trimmed());
        a->setCheckable(true);
        a->setData(key);
        a->setChecked(key == m_matrix->baseCurrency());
        m_baseGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, key] { guarded(this, [&] { setBaseCurrency(key); }); });
    }
    m_baseMenu->addSeparator();
    m_baseMenu->addAction(tr("&Период просмотра"));
}

void TptCurrency::setBaseCurrency(int key)
{
    m_matrix->setBaseCurrency(key);
    for (QAction *a : m_baseGroup->actions())
        a->setChecked(a->data().toInt() == key);
    m_baseButton->setText(key > 0 ? m_bo->shortName(key) : QString());
    loadMatrix();
}

void TptCurrency::loadMatrix()
{
    m_matrix->load();
}

void TptCurrency::setFilter(Filter filter)
{
    m_filter = filter;
    loadCurrencies();
}

void TptCurrency::loadCurrencies()
{
    TxSqlFilter select(QStringLiteral("SELECT id, name, shortname, code, sign FROM fin_curr"));
    select.addIf(m_filter != Filter::All, QStringLiteral("WHERE COALESCE(disabled, 0) = ?"),
                 m_filter == Filter::Inactive ? 1 : 0);
    for (QAction *a : m_filterButton->menu()->actions()) {
        if (a->data().toInt() == int(m_filter)) {
            a->setChecked(true);
            m_filterButton->setText(a->text());
        }
    }
    m_currencies->setStatement(select, QStringLiteral("shortname, id"));
    m_currencyGrid->requery();
}

std::optional<TRateRecord> TptCurrency::currentDirectRate() const
{
    const QModelIndex cur = m_matrixGrid->currentIndex();
    if (!cur.isValid())
        return std::nullopt;
    const std::optional<TRateMatrix::Cell> cell = m_matrix->cell(cur.row(), cur.column());
    if (!cell || !cell->direct)
        return std::nullopt;
    return TRateRecord{m_matrix->baseCurrency(), m_matrix->currencyAt(cur.column()), m_matrix->dateAt(cur.row()),
                       cell->value};
}

void TptCurrency::actionAdd()
{
    if (currentTab() == RatesTab) {
        if (m_bo->NewRate(m_matrix->baseCurrency(), 0))
            loadMatrix();
        return;
    }
    if (m_bo->NewCurrency()) {
        loadCurrencies();
        m_bo->refreshNCUKey();
        rebuildBaseMenu();
        setBaseCurrency(m_bo->NCUKey);
    }
}

void TptCurrency::changeCurrent(bool (TboCurrency::*onRate)(int, int, const QDate &), bool (TboCurrency::*onCurrency)(int))
{
    if (currentTab() == RatesTab) {
        const std::optional<TRateRecord> rate = currentDirectRate();
        if (rate && (m_bo->*onRate)(rate->fromCurr, rate->toCurr, rate->forDate))
            loadMatrix();
        return;
    }
    const QVariant key = m_currencyGrid->currentKey();
    if (key.isNull() || !key.isValid() || !(m_bo->*onCurrency)(key.toInt()))
        return;
    const int base = m_matrix->baseCurrency();
    loadCurrencies();
    rebuildBaseMenu();
    // A deleted base currency gives way to the national one.
    setBaseCurrency(m_bo->currencyExists(base) ? base : m_bo->NCUKey);
}

void TptCurrency::actionEdit()
{
    changeCurrent(&TboCurrency::EditRate, &TboCurrency::EditCurrency);
}

void TptCurrency::actionDelete()
{
    changeCurrent(&TboCurrency::DeleteRate, &TboCurrency::DeleteCurrency);
}

} // namespace korvex::reference
