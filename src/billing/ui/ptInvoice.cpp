#include "ptInvoice.h"

#include "printing/ui/printMenu.h"

#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xSortMenu.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xProgress.h"
#include "widgets/xQueryModel.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedQueryModel;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxQueryModel;

namespace {

std::optional<int> intKey(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toInt();
}

// The sort entries in the order of the menu.
const int SortOrders[] = {TInvoiceFilter::ByNumber,   TInvoiceFilter::ByInvoiceDate, TInvoiceFilter::ByExpireDate,
                          TInvoiceFilter::ByCustomer, TInvoiceFilter::ByContract,    TInvoiceFilter::Unsorted};

} // namespace

TptInvoice::TptInvoice(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 20, parent)
    , m_windows(this)
    , m_paymentWindows(this)
{
    setTitles(QStringLiteral("ptInvoice"), tr("Формирование задолженностей"), tr("Счета фактуры"));
    m_bo = new TboRentInvoice(context, &m_windows, this);
    m_types = new TboRentInvoiceType(context, &m_windows, this);
    m_paymentForms = std::make_unique<TboRentPayment>(context, &m_paymentWindows);

    addTab(tr("&Счета"), buildInvoicesTab());

    m_lineGrid = newListGrid(QStringLiteral("LineGrid"), m_lines);
    m_lines->setKeyField(QStringLiteral("id"));
    m_lineGrid->setKeyField(QStringLiteral("id"));
    m_lineGrid->setFieldVisible(QStringLiteral("id"), false);
    m_lineGrid->setFieldTitle(QStringLiteral("servicecal"), tr("Услуга"));
    m_lineGrid->setFieldTitle(QStringLiteral("objectcal"), tr("Объект"));
    m_lineGrid->setFieldTitle(QStringLiteral("costncu"), tr("Сумма в рублях"));
    m_lineGrid->setFieldTitle(QStringLiteral("costcurr"), tr("Сумма в валюте"));
    m_lineGrid->setFieldTitle(QStringLiteral("description"), tr("Описание"));
    m_lineGrid->setFieldTitle(QStringLiteral("contractcal"), tr("Договор"));
    m_lineGrid->setFieldDecimals(QStringLiteral("costncu"), 2);
    m_lineGrid->setFieldDecimals(QStringLiteral("costcurr"), 2);
    m_lineGrid->setFieldWidth(QStringLiteral("servicecal"), 240);
    m_lineGrid->setFieldWidth(QStringLiteral("objectcal"), 180);
    addTab(tr("&Позиции счета"), m_lineGrid);

    m_paymentGrid = newListGrid(QStringLiteral("PaymentGrid"), m_payments);
    m_payments->setKeyField(QStringLiteral("id"));
    m_paymentGrid->setKeyField(QStringLiteral("id"));
    m_paymentGrid->setFieldVisible(QStringLiteral("id"), false);
    m_paymentGrid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_paymentGrid->setFieldTitle(QStringLiteral("shortname"), tr("Краткое наименование"));
    m_paymentGrid->setFieldWidth(QStringLiteral("name"), 280);
    addTab(tr("Справочник &форм оплаты"), m_paymentGrid);

    m_typeGrid = newListGrid(QStringLiteral("TypeGrid"), m_typesModel);
    m_typesModel->setKeyField(QStringLiteral("id"));
    m_typeGrid->setKeyField(QStringLiteral("id"));
    m_typeGrid->setFieldVisible(QStringLiteral("id"), false);
    m_typeGrid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_typeGrid->setFieldWidth(QStringLiteral("name"), 360);
    connect(m_typeGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    addTab(tr("&Типы задолженностей"), m_typeGrid);

    buildMenus();
    tabChanged(InvoicesTab);
    guarded(this, [&] { loadInvoices(); });
    restorePlacement();
}

TptInvoice::~TptInvoice() = default;

TxDBGrid *TptInvoice::newListGrid(const QString &name, TxQueryModel *&model)
{
    model = new TxQueryModel(context().db, this);
    auto *grid = new TxDBGrid(this);
    grid->setObjectName(name);
    grid->setModel(model);
    return grid;
}

QWidget *TptInvoice::buildInvoicesTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);

    m_sort = new korvex::widgets::TxSortMenu(this, tab, layout);

    m_invoices = new TxCheckedQueryModel(context().db, this);
    m_invoices->setCheckColumn(TboRentInvoice::listKey(), QStringLiteral("number"));
    m_invoices->setKeyField(TboRentInvoice::listKey());
    m_invoiceGrid = new TxDBGrid(tab);
    m_invoiceGrid->setObjectName(QStringLiteral("InvoiceGrid"));
    m_invoiceGrid->setKeyField(TboRentInvoice::listKey());
    m_invoiceGrid->setModel(m_invoices);
    for (const char *hidden : {"id", "customerkey", "contractkey", "currkey", "paymentkey", "invoicetypekey"})
        m_invoiceGrid->setFieldVisible(QString::fromLatin1(hidden), false);
    const std::pair<const char *, const char *> titles[] = {
        {"number", QT_TR_NOOP("Номер")},
        {"invoicedate", QT_TR_NOOP("Дата")},
        {"customercal", QT_TR_NOOP("Клиент")},
        {"contractcal", QT_TR_NOOP("Договор")},
        {"sumncu", QT_TR_NOOP("Сумма в рублях")},
        {"expiredate", QT_TR_NOOP("Заплатить до")},
        {"operationdate", QT_TR_NOOP("Дата операции")},
        {"paymentcal", QT_TR_NOOP("Форма оплаты")},
        {"invoicetypecal", QT_TR_NOOP("Тип")},
        {"information", QT_TR_NOOP("Информация")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        m_invoiceGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_invoiceGrid->setFieldPosition(QString::fromLatin1(field), position++);
    }
    m_invoiceGrid->setFieldWidth(QStringLiteral("number"), 90);
    for (const char *date : {"invoicedate", "expiredate", "operationdate"})
        m_invoiceGrid->setFieldWidth(QString::fromLatin1(date), 110);
    m_invoiceGrid->setFieldWidth(QStringLiteral("customercal"), 220);
    m_invoiceGrid->setFieldWidth(QStringLiteral("paymentcal"), 160);
    m_invoiceGrid->setFieldWidth(QStringLiteral("invoicetypecal"), 200);
    m_invoiceGrid->setFieldDecimals(QStringLiteral("sumncu"), 2);
    layout->addWidget(m_invoiceGrid, 1);
    connect(m_invoiceGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return tab;
}

void TptInvoice::buildMenus()
{
    m_menu = createPageMenu(tr("Счета"));
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
    add(tr("Снять все выделения"), [this] { clearChecks(); });
    m_attributes = add(tr("Аттрибуты счетов"), [this] { setAttributes(); });
    add(tr("Формирование операции"), [this] { postOperations(); });
    add(tr("Поиск счетов с ошибками"), [this] { findInvoicesWithErrors(); });
    m_menu->addSeparator();

    for (int order : SortOrders)
        m_sort->addOrder(order, sortCaption(order));
    m_sort->onOrder([this](int order) { setSortOrder(order); });
    m_sort->addFilter([this] { editFilter(); });
    m_menu->addMenu(m_sort->menu());
    updateSortCaption();

    m_printMenu = m_menu->addMenu(tr("Печать"));
    m_printMenu->setObjectName(QStringLiteral("PrintMenu"));
    buildPrintMenu(m_printMenu);

    // Only ticked invoices get attributes.
    m_attributes->setEnabled(false);
    connect(m_invoices, &TxCheckedQueryModel::checksChanged, this,
            [this] { m_attributes->setEnabled(m_invoices->checkedCount() > 0); });

    m_invoiceGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_invoiceGrid, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_menu->exec(m_invoiceGrid->viewport()->mapToGlobal(at)); });
}

void TptInvoice::buildPrintMenu(QMenu *menu)
{
    // The invoices (the marked ones when some are marked, else the current
    // one) and the registers of the list and of the other tabs' grids.
    using korvex::documents::TPrintPage;
    using korvex::documents::TPrintSelection;
    korvex::documents::addPagePrintMenu(menu, context(), TPrintPage::Invoices, [this] {
        return TPrintSelection{currentInvoice().value_or(-1), m_invoices->checkedIntKeys(), m_invoices};
    });
    korvex::documents::addPagePrintMenu(menu, context(), TPrintPage::InvoiceLines,
                                        [this] { return TPrintSelection{-1, {}, m_lines}; });
    korvex::documents::addPagePrintMenu(menu, context(), TPrintPage::Payments,
                                        [this] { return TPrintSelection{-1, {}, m_payments}; });
    korvex::documents::addPagePrintMenu(menu, context(), TPrintPage::InvoiceTypes,
                                        [this] { return TPrintSelection{-1, {}, m_typesModel}; });
    menu->setEnabled(!menu->isEmpty());
}

QToolButton *TptInvoice::sortButton() const
{
    return m_sort->button();
}

QString TptInvoice::sortCaption(int order) const
{
    switch (order) {
    case TInvoiceFilter::ByNumber: return tr("По номеру");
    case TInvoiceFilter::ByInvoiceDate: return tr("По дате счета");
    case TInvoiceFilter::ByExpireDate: return tr("По дате ") + QLatin1Char('"') + tr("Заплатить до") + QLatin1Char('"');
    case TInvoiceFilter::ByCustomer: return tr("По клиенту");
    case TInvoiceFilter::ByContract: return tr("По номеру договора");
    default: return tr("Не сортировать");
    }
}

void TptInvoice::updateSortCaption()
{
    m_sort->show(m_bo->filter().sortOrder);
}

std::optional<int> TptInvoice::currentInvoice() const
{
    return intKey(m_invoiceGrid->currentKey());
}

void TptInvoice::loadInvoices(std::optional<int> locate)
{
    m_invoices->setStatement(m_bo->listStatement(), TboRentInvoice::listOrder(m_bo->filter().sortOrder));
    m_invoiceGrid->requery();
    if (locate)
        m_invoiceGrid->locateKey(*locate);
    if (!m_invoiceGrid->currentIndex().isValid() && m_invoices->rowCount() > 0)
        m_invoiceGrid->setCurrentIndex(m_invoices->index(0, m_invoiceGrid->fieldColumn(QStringLiteral("number"))));
    loadDetails();
}

void TptInvoice::loadDetails()
{
    if (!m_typesModel)
        return;  // still being built
    switch (currentTab()) {
    case LinesTab:
        m_lines->setStatement(TboRentInvoice::linesSql(), {currentInvoice().value_or(0)}, QStringLiteral("id"));
        m_lineGrid->requery();
        break;
    case PaymentsTab: loadPayments(); break;
    case TypesTab: loadTypes(); break;
    default: break;
    }
}

void TptInvoice::loadPayments(std::optional<int> locate)
{
    m_payments->setStatement(TboRentInvoice::paymentListSql(), {}, QStringLiteral("name"));
    m_paymentGrid->requery();
    if (locate)
        m_paymentGrid->locateKey(*locate);
}

void TptInvoice::loadTypes(std::optional<int> locate)
{
    m_typesModel->setStatement(TboRentInvoiceType::listSql(), {}, QStringLiteral("name"));
    m_typeGrid->requery();
    if (locate)
        m_typeGrid->locateKey(*locate);
}

void TptInvoice::tabChanged(int index)
{
    // On the lines tab the buttons act on the invoices, whose dialog edits
    // the lines.
    Q_UNUSED(index);
    setActions({Action::Add, Action::Edit, Action::Delete, Action::Refresh});
    loadDetails();
}

// --- Actions --------------------------------------------------------------------------------

void TptInvoice::actionAdd()
{
    if (currentTab() == PaymentsTab) {
        int key = 0;
        if (m_paymentForms->NewPayment(&key))
            loadPayments(key);
        return;
    }
    if (currentTab() == TypesTab) {
        int key = 0;
        if (m_types->NewInvoiceType(&key))
            loadTypes(key);
        return;
    }
    int key = 0;
    if (m_bo->NewInvoice(&key))
        loadInvoices(key);
}

void TptInvoice::actionEdit()
{
    if (currentTab() == PaymentsTab) {
        const std::optional<int> key = intKey(m_paymentGrid->currentKey());
        if (key && m_paymentForms->EditPayment(*key))
            loadPayments(*key);
        return;
    }
    if (currentTab() == TypesTab) {
        const std::optional<int> key = intKey(m_typeGrid->currentKey());
        if (key && m_types->EditInvoiceType(*key))
            loadTypes(*key);
        return;
    }
    const std::optional<int> key = currentInvoice();
    if (key && m_bo->EditInvoice(*key))
        loadInvoices(*key);
}

void TptInvoice::actionDelete()
{
    if (currentTab() == PaymentsTab) {
        const std::optional<int> key = intKey(m_paymentGrid->currentKey());
        if (key && m_paymentForms->DeletePayment(*key))
            loadPayments();
        return;
    }
    if (currentTab() == TypesTab) {
        const std::optional<int> key = intKey(m_typeGrid->currentKey());
        if (key && m_types->DeleteInvoiceType(*key))
            loadTypes();
        return;
    }
    const std::optional<int> key = currentInvoice();
    const QList<int> ticked = m_invoices->checkedIntKeys();
    if (!key && ticked.isEmpty())
        return;
    // The list comes back on the invoice before the current one.
    const int row = m_invoiceGrid->currentIndex().row();
    const QVariant before =
        row > 0 ? m_invoices->data(m_invoices->index(row - 1, m_invoices->fieldIndex(TboRentInvoice::listKey())))
                : QVariant();
    std::unique_ptr<korvex::widgets::TxProgress> progress;
    if (!ticked.isEmpty())
        progress = m_windows.openProgress(tr("Удаление счетов"));
    if (m_bo->DeleteInvoices(key.value_or(0), ticked, progress.get())) {
        if (!ticked.isEmpty())
            m_invoices->clearChecks();
        loadInvoices(intKey(before));
    }
}

void TptInvoice::actionRefresh()
{
    if (currentTab() == TypesTab)
        loadTypes();
    else
        loadInvoices();
}

void TptInvoice::checkAll()
{
    // Every invoice the filter lists, not only the rows read so far.
    QList<QVariant> keys;
    for (int key : m_bo->listedKeys())
        keys << key;
    m_invoices->setCheckedKeys(keys);
}

void TptInvoice::clearChecks()
{
    m_invoices->clearChecks();
}

void TptInvoice::setAttributes()
{
    if (m_bo->SetAttributes(m_invoices->checkedIntKeys())) {
        m_invoices->clearChecks();
        loadInvoices();
    }
}

void TptInvoice::postOperations()
{
    const QList<int> ticked = m_invoices->checkedIntKeys();
    if (ticked.isEmpty())
        return;
    std::unique_ptr<korvex::widgets::TxProgress> progress = m_windows.openProgress(tr("Формирование операций"));
    const TInvoicePosting posted = m_bo->PostInvoices(ticked, progress.get());
    progress.reset();
    m_invoices->clearChecks();
    QString text = tr("Проведено счетов: %1, сформировано операций: %2").arg(posted.invoices).arg(posted.operations);
    if (posted.refused > 0) {
        text += QLatin1Char('\n') + tr("Не принято бухгалтерией операций: %1").arg(posted.refused);
        const QStringList shown = posted.refusals.mid(0, 20);
        text += QLatin1Char('\n') + shown.join(QLatin1Char('\n'));
        if (posted.refusals.size() > shown.size())
            text += QLatin1Char('\n') + tr("и еще %1").arg(posted.refusals.size() - shown.size());
        TxMessages::warning(this, text, TxPrompt::attentionBang());
    } else {
        TxMessages::information(this, text, TxPrompt::attentionBang());
    }
}

void TptInvoice::findInvoicesWithErrors()
{
    QList<QVariant> keys;
    for (int key : m_bo->FindInvoicesWithErrors())
        keys << key;
    m_invoices->setCheckedKeys(keys);
    if (keys.isEmpty())
        TxMessages::information(this, tr("Счетов с ошибками нет"), TxPrompt::attentionBang());
}

void TptInvoice::setSortOrder(int order)
{
    m_bo->SetSortOrder(order);
    updateSortCaption();
    loadInvoices();
}

void TptInvoice::editFilter()
{
    if (m_bo->EditFilter())
        loadInvoices();
}

} // namespace korvex::billing
