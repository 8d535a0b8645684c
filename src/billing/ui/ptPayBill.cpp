#include "ptPayBill.h"

#include "printing/ui/printMenu.h"

#include "accounting/xBookkeepingLink.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xSortMenu.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xProgressDialog.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xQueryModel.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedQueryModel;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;
using korvex::widgets::TxProgressDialog;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxQueryModel;

TptPayBill::TptPayBill(korvex::shell::TAppContext &context, QWidget *parent, ImportFactory import)
    : TPart(context, 30, parent)
    , m_windows(this)
    , m_bo(std::make_unique<TboRentPayBill>(context, &m_windows))
    , m_import(std::move(import))
{
    setTitles(QStringLiteral("ptPayBill"), tr("Погашение задолженностей"), tr("Платежи"));
    addTab(tr("&Платежи"), buildPayBillsTab());
    addTab(tr("П&озиции платежа"), buildLinesTab());
    buildMenus();
    tabChanged(PayBillsTab);
    guarded(this, [&] { loadPayBills(); });
    restorePlacement();
}

TptPayBill::~TptPayBill() = default;

QWidget *TptPayBill::buildPayBillsTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sort = new korvex::widgets::TxSortMenu(this, tab, layout);

    m_payBills = new TxCheckedQueryModel(context().db, this);
    m_payBills->setCheckColumn(TboRentPayBill::listKey(), QStringLiteral("number"));
    m_payBills->setKeyField(TboRentPayBill::listKey());
    m_payBillGrid = new TxDBGrid(tab);
    m_payBillGrid->setObjectName(QStringLiteral("PayBillGrid"));
    m_payBillGrid->setKeyField(TboRentPayBill::listKey());
    m_payBillGrid->setModel(m_payBills);
    for (const char *hidden : {"id", "customerkey", "currkey", "paymentkey", "operationkey"})
        m_payBillGrid->setFieldVisible(QString::fromLatin1(hidden), false);
    const std::pair<const char *, const char *> titles[] = {
        {"number", QT_TR_NOOP("Номер")},
        {"paybilldate", QT_TR_NOOP("Дата")},
        {"customercal", QT_TR_NOOP("Клиент")},
        {"unn", QT_TR_NOOP("УНН")},
        {"sumncu", QT_TR_NOOP("Сумма в рублях")},
        {"sumcurr", QT_TR_NOOP("Сумма в валюте")},
        {"paymentcal", QT_TR_NOOP("Форма оплаты")},
        {"operationdate", QT_TR_NOOP("Дата операции")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        m_payBillGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_payBillGrid->setFieldPosition(QString::fromLatin1(field), position++);
    }
    m_payBillGrid->setFieldWidth(QStringLiteral("customercal"), 240);
    m_payBillGrid->setFieldWidth(QStringLiteral("paymentcal"), 160);
    m_payBillGrid->setFieldDecimals(QStringLiteral("sumncu"), 2);
    m_payBillGrid->setFieldDecimals(QStringLiteral("sumcurr"), 2);
    layout->addWidget(m_payBillGrid, 1);
    connect(m_payBillGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    connect(m_payBillGrid, &TxDBGrid::currentKeyChanged, this, [this] {
        if (currentTab() == LinesTab)
            guarded(this, [&] { loadLines(); });
    });
    return tab;
}

QWidget *TptPayBill::buildLinesTab()
{
    m_lines = new TxQueryModel(context().db, this);
    m_lineGrid = new TxDBGrid(this);
    m_lineGrid->setObjectName(QStringLiteral("PayBillRelatGrid"));
    m_lineGrid->setModel(m_lines);
    m_lineGrid->setKeyField(QStringLiteral("id"));
    for (const char *hidden : {"id", "paybillkey", "contractservicekey"})
        m_lineGrid->setFieldVisible(QString::fromLatin1(hidden), false);
    m_lineGrid->setFieldTitle(QStringLiteral("servicecal"), tr("Услуга"));
    m_lineGrid->setFieldTitle(QStringLiteral("objectcal"), tr("Объект"));
    m_lineGrid->setFieldTitle(QStringLiteral("costncu"), tr("Сумма в рублях"));
    m_lineGrid->setFieldTitle(QStringLiteral("costcurr"), tr("Сумма в валюте"));
    m_lineGrid->setFieldDecimals(QStringLiteral("costncu"), 2);
    m_lineGrid->setFieldDecimals(QStringLiteral("costcurr"), 2);
    m_lineGrid->setFieldWidth(QStringLiteral("servicecal"), 240);
    m_lineGrid->setFieldWidth(QStringLiteral("objectcal"), 180);
    return m_lineGrid;
}

void TptPayBill::buildMenus()
{
    m_menu = createPageMenu(tr("Платежи"));
    auto add = [this](const QString &text, const std::function<void()> &body) {
        QAction *a = m_menu->addAction(text);
        connect(a, &QAction::triggered, this, [this, body] { guarded(this, body); });
        return a;
    };
    add(tr("&Добавить"), [this] { trigger(Action::Add); });
    add(tr("&Изменить"), [this] { trigger(Action::Edit); });
    add(tr("&Удалить"), [this] { trigger(Action::Delete); });
    m_menu->addSeparator();
    add(tr("Выделить все"), [this] { checkAll(); });
    add(tr("Снять выделение"), [this] { clearChecks(); });
    add(tr("Формирование операций"), [this] { postTicked(); });
    add(tr("Аттрибуты платежей"), [this] { setAttributes(); });
    add(tr("Поиск платежей с ошибками"), [this] { tickWithErrors(); });
    m_menu->addSeparator();
    add(tr("Импорт платежей"), [this] { importPayments(); });
    m_menu->addSeparator();

    // The menu's order; the stored orders are number, date, none, customer.
    for (int order : {int(TPayBillFilter::ByNumber), int(TPayBillFilter::ByDate), int(TPayBillFilter::ByCustomer),
                      int(TPayBillFilter::Unsorted)})
        m_sort->addOrder(order, sortCaption(order));
    m_sort->onOrder([this](int order) { setSortOrder(order); });
    m_sort->addFilter([this] { editFilter(); });
    m_menu->addMenu(m_sort->menu());
    updateSortCaption();

    m_printMenu = m_menu->addMenu(tr("Печать"));
    m_printMenu->setObjectName(QStringLiteral("PrintMenu"));
    buildPrintMenu(m_printMenu);

    m_payBillGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_payBillGrid, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_menu->exec(m_payBillGrid->viewport()->mapToGlobal(at)); });
}

void TptPayBill::buildPrintMenu(QMenu *menu)
{
    // The registers of the list (its marked rows when some are marked) and of
    // the current pay bill's lines.
    using korvex::documents::TPrintPage;
    using korvex::documents::TPrintSelection;
    korvex::documents::addPagePrintMenu(menu, context(), TPrintPage::PayBills, [this] {
        return TPrintSelection{currentPayBill().value_or(-1), m_payBills->checkedIntKeys(), m_payBills};
    });
    korvex::documents::addPagePrintMenu(menu, context(), TPrintPage::PayBillLines,
                                        [this] { return TPrintSelection{-1, {}, m_lines}; });
    menu->setEnabled(!menu->isEmpty());
}

QString TptPayBill::sortCaption(int order) const
{
    switch (order) {
    case TPayBillFilter::ByNumber: return tr("По номеру");
    case TPayBillFilter::ByDate: return tr("По дате");
    case TPayBillFilter::ByCustomer: return tr("По клиенту");
    default: return tr("Не сортировать");
    }
}

QToolButton *TptPayBill::sortButton() const
{
    return m_sort->button();
}

void TptPayBill::updateSortCaption()
{
    m_sort->show(m_bo->filter().sortOrder);
}

std::optional<int> TptPayBill::currentPayBill() const
{
    const QVariant key = m_payBillGrid->currentKey();
    if (!key.isValid() || key.isNull())
        return std::nullopt;
    return key.toInt();
}

QList<int> TptPayBill::tickedKeys() const
{
    QList<int> keys;
    for (const QVariant &k : m_payBills->checkedKeys())
        keys << k.toInt();
    return keys;
}

void TptPayBill::loadPayBills(std::optional<int> locate)
{
    m_payBills->setStatement(m_bo->listStatement(), TboRentPayBill::listOrder(m_bo->filter().sortOrder));
    m_payBillGrid->requery();
    if (locate)
        m_payBillGrid->locateKey(*locate);
    if (!m_payBillGrid->currentIndex().isValid() && m_payBills->rowCount() > 0)
        m_payBillGrid->setCurrentIndex(m_payBills->index(0, m_payBillGrid->fieldColumn(QStringLiteral("number"))));
    if (currentTab() == LinesTab)
        loadLines();
}

void TptPayBill::loadLines()
{
    m_lines->setStatement(TboRentPayBill::linesSql(), {currentPayBill().value_or(0)}, QStringLiteral("r.id"));
    m_lineGrid->requery();
}

void TptPayBill::tabChanged(int index)
{
    setActions({Action::Add, Action::Edit, Action::Delete, Action::Refresh});
    if (index == LinesTab && m_lines)
        loadLines();
}

void TptPayBill::actionAdd()
{
    int key = 0;
    if (m_bo->NewPayBill(&key))
        loadPayBills(key);
}

void TptPayBill::actionEdit()
{
    const std::optional<int> key = currentPayBill();
    if (key && m_bo->EditPayBill(*key))
        loadPayBills(*key);
}

void TptPayBill::actionDelete()
{
    const QList<int> ticked = tickedKeys();
    const std::optional<int> key = currentPayBill();
    // The list comes back on the pay bill before the one deleted.
    const int row = m_payBillGrid->currentIndex().row();
    const QVariant before =
        row > 0 ? m_payBills->data(m_payBills->index(row - 1, m_payBills->fieldIndex(QStringLiteral("id")))) : QVariant();
    TxProgressDialog progress(this);
    progress.setWindowTitle(tr("Удаление платежей"));
    const bool deleted = m_bo->DeletePayBills(key.value_or(0), ticked, &progress);
    progress.end();
    if (!deleted)
        return;
    m_payBills->clearChecks();
    loadPayBills(before.isValid() && !before.isNull() ? std::optional<int>(before.toInt()) : std::nullopt);
}

void TptPayBill::actionRefresh()
{
    loadPayBills(currentPayBill());
}

void TptPayBill::checkAll()
{
    QList<QVariant> keys;
    for (int k : m_bo->listedKeys())
        keys << k;
    m_payBills->setCheckedKeys(keys);
}

void TptPayBill::clearChecks()
{
    m_payBills->clearChecks();
}

void TptPayBill::postTicked()
{
    const QList<int> keys = tickedKeys();
    if (keys.isEmpty())
        return;
    TxProgressDialog progress(this);
    progress.setWindowTitle(tr("Формирование операций"));
    m_bo->PostPayBills(keys, &progress);
    progress.end();
    m_payBills->clearChecks();
    loadPayBills(currentPayBill());
}

void TptPayBill::setAttributes()
{
    const QList<int> keys = tickedKeys();
    if (keys.isEmpty())
        return;
    TPayBillImport params = m_bo->importDefaults();
    if (!m_windows.makePayBillDialog(*m_bo, params))
        return;
    m_bo->setAttributes(keys, params);
    m_payBills->clearChecks();
    loadPayBills(currentPayBill());
}

void TptPayBill::tickWithErrors()
{
    QList<QVariant> keys;
    for (int k : m_bo->payBillsWithErrors())
        keys << k;
    m_payBills->setCheckedKeys(keys);
}

void TptPayBill::importPayments()
{
    std::unique_ptr<korvex::accounting::TPaymentImportLink> link =
        m_import ? m_import(this) : std::make_unique<korvex::accounting::TPaymentImportLink>();
    TxProgressDialog progress(this);
    progress.setWindowTitle(tr("Перенос платежей"));
    const std::optional<TPayBillImportCounts> counts = m_bo->ImportPayments(*link, &progress);
    progress.end();
    if (!counts)
        return;
    loadPayBills(currentPayBill());
    TxMessages::information(this, TboRentPayBill::importReport(*counts), TxPrompt::attentionBang());
}

void TptPayBill::setSortOrder(int order)
{
    m_bo->SetSortOrder(order);
    updateSortCaption();
    loadPayBills(currentPayBill());
}

void TptPayBill::editFilter()
{
    if (m_bo->EditFilter())
        loadPayBills();
}

} // namespace korvex::billing
