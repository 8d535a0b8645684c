#include "ptContract.h"

#include "documentFiles.h"

#include "customers/ui/dlgCustomerList.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xSortMenu.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xCheckedQueryModel.h"
#include "widgets/xQueryModel.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::TxCheckedQueryModel;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;
using korvex::widgets::TxQueryModel;

namespace {

QString amountText(double v)
{
    return QLocale().toString(v, 'f', 2);
}

std::optional<int> intKey(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toInt();
}

} // namespace

TptContract::TptContract(korvex::shell::TAppContext &context, QWidget *parent,
                         korvex::accounting::TCustomerSyncLink *sync)
    : TPart(context, 10, parent)
    , m_windows(this)
{
    setTitles(QStringLiteral("ptContract"), tr("Договора аренды"), tr("Договора"));
    m_bo = new TboRentContract(context, &m_windows, sync, this);

    addTab(tr("&Договора"), buildContractsTab());
    addTab(tr("&Позиции договора"), buildPositionsTab());
    addTab(tr("&Значения по позиции"), buildValuesTab());
    addTab(tr("&Сопутсвующие документы"), buildSupplementsTab());
    addTab(tr("&Информация"), buildInfoTab());
    buildMenus();
    tabChanged(ContractsTab);

    guarded(this, [&] { loadContracts(); });
    restorePlacement();
}

TptContract::~TptContract() = default;

TxDBGrid *TptContract::newListGrid(const QString &name, TxQueryModel *&model)
{
    model = new TxQueryModel(context().db, this);
    auto *grid = new TxDBGrid(this);
    grid->setObjectName(name);
    grid->setModel(model);
    return grid;
}

QWidget *TptContract::buildContractsTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);

    m_sort = new korvex::widgets::TxSortMenu(this, tab, layout);

    m_contracts = new TxCheckedQueryModel(context().db, this);
    m_contracts->setCheckColumn(TboRentContract::listKey(), QStringLiteral("number"));
    m_contracts->setKeyField(TboRentContract::listKey());
    m_contractGrid = new TxDBGrid(tab);
    m_contractGrid->setObjectName(QStringLiteral("ContractGrid"));
    m_contractGrid->setKeyField(TboRentContract::listKey());
    m_contractGrid->setModel(m_contracts);
    for (const char *hidden : {"id", "customerkey", "currkey", "supcontractkey", "paymentkey"})
        m_contractGrid->setFieldVisible(QString::fromLatin1(hidden), false);
    const std::pair<const char *, const char *> titles[] = {
        {"number", QT_TR_NOOP("Номер")},
        {"customercal", QT_TR_NOOP("Клиент")},
        {"name", QT_TR_NOOP("Наименование")},
        {"signdate", QT_TR_NOOP("Дата заключения")},
        {"expriredate", QT_TR_NOOP("Дата окончания")},
        {"actiondate", QT_TR_NOOP("Дата действия")},
        {"paymentday", QT_TR_NOOP("Оплата до")},
        {"sumncu", QT_TR_NOOP("Сумма в рублях")},
        {"sumcurr", QT_TR_NOOP("Сумма в валюте")},
        {"disabled", QT_TR_NOOP("Закрыт")},
        {"filename", QT_TR_NOOP("Файл")},
    };
    int position = 0;
    for (const auto &[field, title] : titles) {
        m_contractGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
        m_contractGrid->setFieldPosition(QString::fromLatin1(field), position++);
    }
    m_contractGrid->setFieldWidth(QStringLiteral("number"), 90);
    for (const char *date : {"signdate", "expriredate", "actiondate"})
        m_contractGrid->setFieldWidth(QString::fromLatin1(date), 120);
    m_contractGrid->setFieldWidth(QStringLiteral("customercal"), 220);
    m_contractGrid->setFieldWidth(QStringLiteral("name"), 260);
    m_contractGrid->setFieldDecimals(QStringLiteral("sumncu"), 2);
    m_contractGrid->setFieldDecimals(QStringLiteral("sumcurr"), 2);
    layout->addWidget(m_contractGrid, 1);
    connect(m_contractGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    connect(m_contractGrid, &TxDBGrid::currentKeyChanged, this, [this] {
        if (currentTab() != ContractsTab)
            guarded(this, [&] { loadDetails(); });
    });
    return tab;
}

QWidget *TptContract::buildPositionsTab()
{
    m_positionGrid = newListGrid(QStringLiteral("PositionGrid"), m_positions);
    m_positionGrid->setKeyField(QStringLiteral("id"));
    m_positionGrid->setFieldVisible(QStringLiteral("id"), false);
    m_positionGrid->setFieldTitle(QStringLiteral("servicecal"), tr("Услуга"));
    m_positionGrid->setFieldTitle(QStringLiteral("objectcal"), tr("Объект"));
    m_positionGrid->setFieldTitle(QStringLiteral("costncu"), tr("Цена в рублях"));
    m_positionGrid->setFieldTitle(QStringLiteral("costcurr"), tr("Цена в валюте"));
    m_positionGrid->setFieldTitle(QStringLiteral("countobject"), tr("Количество"));
    m_positionGrid->setFieldTitle(QStringLiteral("typereckoningcal"), tr("Формула расчета"));
    m_positionGrid->setFieldTitle(QStringLiteral("description"), tr("Описание"));
    m_positionGrid->setFieldTitle(QStringLiteral("description2"), tr("Описание 2"));
    for (const char *field : {"costncu", "costcurr", "countobject"})
        m_positionGrid->setFieldDecimals(QString::fromLatin1(field), 2);
    m_positionGrid->setFieldWidth(QStringLiteral("servicecal"), 220);
    m_positionGrid->setFieldWidth(QStringLiteral("objectcal"), 160);
    m_positionGrid->setFieldWidth(QStringLiteral("typereckoningcal"), 220);
    connect(m_positionGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return m_positionGrid;
}

QWidget *TptContract::buildValuesTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    m_valueOwner = new QLabel(tab);
    m_valueOwner->setObjectName(QStringLiteral("ValueOwner"));
    layout->addWidget(m_valueOwner);

    m_values = new TContractServiceValueModel(*m_bo, this);
    m_valueGrid = new TxDBGrid(tab);
    m_valueGrid->setObjectName(QStringLiteral("ValueGrid"));
    m_valueGrid->setSortingByTitle(false);
    m_valueGrid->setModel(m_values);
    m_valueGrid->setReadOnly(false);
    m_valueGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_valueGrid->setFieldTitle(QStringLiteral("CONTRACTSERVICEDATE"), tr("Дата"));
    m_valueGrid->setFieldTitle(QStringLiteral("CONTRACTSERVICEVALUE"), tr("Значение"));
    m_valueGrid->setFieldWidth(QStringLiteral("CONTRACTSERVICEDATE"), 110);
    m_valueGrid->setFieldWidth(QStringLiteral("CONTRACTSERVICEVALUE"), 140);
    layout->addWidget(m_valueGrid, 1);

    m_total = new QLabel(tab);
    m_total->setObjectName(QStringLiteral("Total"));
    layout->addWidget(m_total);

    connect(m_values, &TContractServiceValueModel::cellRefused, this,
            [this](const QString &text) { TxMessages::warning(this, text, TxPrompt::attentionBang()); });
    connect(m_values, &QAbstractItemModel::modelReset, this,
            [this] { m_total->setText(tr("Итого:") + QLatin1Char(' ') + amountText(m_values->total())); });
    connect(m_values, &TContractServiceValueModel::rowStored, this, [this](int id) {
        const int row = m_values->rowOf(id);
        if (row >= 0)
            m_valueGrid->setCurrentIndex(m_values->index(row, TContractServiceValueModel::ValueColumn));
    });
    auto *sum = new QAction(tr("Сумма"), m_valueGrid);
    m_valueGrid->addAction(sum);
    m_valueGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(sum, &QAction::triggered, this, [this] { guarded(this, [&] { showValueSum(); }); });
    return tab;
}

QWidget *TptContract::buildSupplementsTab()
{
    m_supplementGrid = newListGrid(QStringLiteral("SupplementGrid"), m_supplements);
    m_supplementGrid->setKeyField(QStringLiteral("id"));
    m_supplementGrid->setFieldVisible(QStringLiteral("id"), false);
    m_supplementGrid->setFieldTitle(QStringLiteral("number"), tr("Номер"));
    m_supplementGrid->setFieldTitle(QStringLiteral("supdate"), tr("Дата"));
    m_supplementGrid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_supplementGrid->setFieldTitle(QStringLiteral("description"), tr("Описание"));
    m_supplementGrid->setFieldTitle(QStringLiteral("filename"), tr("Файл"));
    m_supplementGrid->setFieldWidth(QStringLiteral("name"), 260);
    m_supplementGrid->setFieldWidth(QStringLiteral("description"), 300);
    connect(m_supplementGrid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return m_supplementGrid;
}

QWidget *TptContract::buildInfoTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *debts = new QHBoxLayout;
    const char *groups[] = {QT_TR_NOOP("Задолженность по договору"), QT_TR_NOOP("Задолженность клиента")};
    for (int g = 0; g < 2; ++g) {
        auto *box = new QGroupBox(tr(groups[g]), tab);
        auto *form = new QFormLayout(box);
        for (int i = 0; i < 2; ++i) {
            QLabel *&label = m_debts[g * 2 + i];
            label = new QLabel(box);
            label->setObjectName(QStringLiteral("Debt%1").arg(g * 2 + i));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            form->addRow(i == 0 ? tr("в рублях:") : tr("в валюте:"), label);
        }
        debts->addWidget(box);
    }
    layout->addLayout(debts);

    m_infoTabs = new QTabWidget(tab);
    m_infoTabs->setObjectName(QStringLiteral("InfoTabs"));
    m_requisites = new QTableWidget(0, 2, m_infoTabs);
    m_requisites->setObjectName(QStringLiteral("Requisites"));
    m_requisites->setHorizontalHeaderLabels({tr("Реквизит"), tr("Значение")});
    m_requisites->horizontalHeader()->setStretchLastSection(true);
    m_requisites->setColumnWidth(0, 200);
    m_requisites->verticalHeader()->hide();
    m_requisites->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_infoTabs->addTab(m_requisites, tr("Реквизиты"));

    m_bankGrid = newListGrid(QStringLiteral("BankGrid"), m_banks);
    m_bankGrid->setFieldVisible(QStringLiteral("bankaccountkey"), false);
    m_bankGrid->setFieldTitle(QStringLiteral("name"), tr("Наименование"));
    m_bankGrid->setFieldTitle(QStringLiteral("bankname"), tr("Банк"));
    m_bankGrid->setFieldTitle(QStringLiteral("account"), tr("Номер счета"));
    m_bankGrid->setFieldWidth(QStringLiteral("name"), 220);
    m_bankGrid->setFieldWidth(QStringLiteral("bankname"), 220);
    m_infoTabs->addTab(m_bankGrid, tr("Банковские счета"));

    m_objectGrid = newListGrid(QStringLiteral("ObjectGrid"), m_objects);
    m_objectGrid->setFieldVisible(QStringLiteral("id"), false);
    m_objectGrid->setFieldTitle(QStringLiteral("name"), tr("Объект"));
    m_objectGrid->setFieldTitle(QStringLiteral("locationname"), tr("Место расположения"));
    m_objectGrid->setFieldTitle(QStringLiteral("objecttypename"), tr("Тип объекта"));
    m_objectGrid->setFieldWidth(QStringLiteral("name"), 220);
    m_objectGrid->setFieldWidth(QStringLiteral("locationname"), 220);
    m_infoTabs->addTab(m_objectGrid, tr("Используемые объекты"));

    m_historyGrid = newListGrid(QStringLiteral("HistoryGrid"), m_history);
    m_historyGrid->setFieldTitle(QStringLiteral("objectname"), tr("Объект"));
    m_historyGrid->setFieldTitle(QStringLiteral("number"), tr("Номер договора"));
    m_historyGrid->setFieldTitle(QStringLiteral("signdate"), tr("Дата заключения"));
    m_historyGrid->setFieldTitle(QStringLiteral("expriredate"), tr("Дата окончания"));
    m_historyGrid->setFieldTitle(QStringLiteral("objecttypename"), tr("Тип объекта"));
    m_historyGrid->setFieldTitle(QStringLiteral("locationname"), tr("Место расположения"));
    m_historyGrid->setFieldWidth(QStringLiteral("objectname"), 200);
    m_historyGrid->setFieldWidth(QStringLiteral("number"), 120);
    m_historyGrid->setFieldWidth(QStringLiteral("signdate"), 120);
    m_historyGrid->setFieldWidth(QStringLiteral("expriredate"), 120);
    m_historyGrid->setFieldWidth(QStringLiteral("locationname"), 200);
    m_infoTabs->addTab(m_historyGrid, tr("История аренды"));
    layout->addWidget(m_infoTabs, 1);
    return tab;
}

void TptContract::buildMenus()
{
    m_menu = createPageMenu(tr("Договора"));
    auto add = [this](const QString &text, const std::function<void()> &body) {
        QAction *a = m_menu->addAction(text);
        connect(a, &QAction::triggered, this, [this, body] { guarded(this, body); });
        return a;
    };
    add(tr("&Добавить"), [this] { trigger(Action::Add); });
    add(tr("&Изменить"), [this] { trigger(Action::Edit); });
    add(tr("&Удалить"), [this] { trigger(Action::Delete); });
    m_menu->addSeparator();
    add(tr("Копировать"), [this] { renewCurrent(); });
    add(tr("Список договоров"), [this] { showOpenContracts(); });
    add(tr("Клиенты"), [this] { showCustomers(); });
    add(tr("Закрытие договора"), [this] { closeCurrent(); });
    add(tr("Отметить все активные договора"), [this] { markOpenContracts(); });
    add(tr("&Просмотр"), [this] { viewContractFile(); });
    m_menu->addSeparator();

    for (int order = TContractFilter::ByNumber; order <= TContractFilter::Unsorted; ++order)
        m_sort->addOrder(order, sortCaption(order));
    m_sort->onOrder([this](int order) { setSortOrder(order); });
    m_sort->addFilter([this] { editFilter(); });
    m_menu->addMenu(m_sort->menu());
    updateSortCaption();

    m_contractGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_contractGrid, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_menu->exec(m_contractGrid->viewport()->mapToGlobal(at)); });
}

QString TptContract::sortCaption(int order) const
{
    switch (order) {
    case TContractFilter::ByNumber: return tr("По номеру");
    case TContractFilter::BySignDate: return tr("По дате заключения");
    case TContractFilter::ByExpireDate: return tr("По дате окончания");
    case TContractFilter::ByName: return tr("По наименованию");
    case TContractFilter::ByCustomer: return tr("По клиенту");
    default: return tr("Без сортировки");
    }
}

QToolButton *TptContract::sortButton() const
{
    return m_sort->button();
}

void TptContract::updateSortCaption()
{
    m_sort->show(m_bo->filter().sortOrder);
}

std::optional<int> TptContract::currentContract() const
{
    return intKey(m_contractGrid->currentKey());
}

void TptContract::loadContracts(std::optional<int> locate)
{
    m_contracts->setStatement(m_bo->listStatement(), TboRentContract::listOrder(m_bo->filter().sortOrder));
    m_contractGrid->requery();
    if (locate)
        m_contractGrid->locateKey(*locate);
    if (!m_contractGrid->currentIndex().isValid() && m_contracts->rowCount() > 0)
        m_contractGrid->setCurrentIndex(m_contracts->index(0, m_contractGrid->fieldColumn(QStringLiteral("number"))));
    m_positionsOf = 0;
    loadDetails();
}

// --- The tabs of the current contract ------------------------------------------------------

void TptContract::tabChanged(int index)
{
    // On the values tab the actions work on the values, elsewhere on the contracts.
    Q_UNUSED(index);
    setActions({Action::Add, Action::Edit, Action::Delete, Action::Refresh});
    loadDetails();
}

void TptContract::loadDetails()
{
    if (!m_positions)
        return;  // still being built
    switch (currentTab()) {
    case PositionsTab: loadPositions(); break;
    case ValuesTab: loadValues(); break;
    case SupplementsTab:
        m_supplements->setStatement(TboRentContract::supplementsSql(), {currentContract().value_or(0)},
                                    QStringLiteral("supdate, id"));
        m_supplementGrid->requery();
        break;
    case InfoTab: loadInfo(); break;
    default: break;
    }
}

void TptContract::loadPositions()
{
    const int contract = currentContract().value_or(0);
    if (contract == m_positionsOf && m_positions->isOpen())
        return;
    m_positions->setStatement(TboRentContract::positionsSql(), {contract}, QStringLiteral("cs.id"));
    m_positionGrid->requery();
    if (!m_positionGrid->currentIndex().isValid() && m_positions->rowCount() > 0)
        m_positionGrid->setCurrentIndex(m_positions->index(0, m_positionGrid->fieldColumn(QStringLiteral("servicecal"))));
    m_positionsOf = contract;
}

void TptContract::loadValues()
{
    loadPositions();
    const std::optional<int> position = intKey(m_positionGrid->currentKey());
    m_values->load(position.value_or(0));
    if (position) {
        const QString object = m_positionGrid->currentValue(QStringLiteral("objectcal")).toString().trimmed();
        const QString service = m_positionGrid->currentValue(QStringLiteral("servicecal")).toString().trimmed();
        m_valueOwner->setText(tr("Позиция: ") + (object.isEmpty() ? service : service + QStringLiteral(", ") + object));
    } else {
        m_valueOwner->setText(tr("Позиция не выбрана"));
    }
}

void TptContract::loadInfo()
{
    const int contract = currentContract().value_or(0);
    const int customer = intKey(m_contractGrid->currentValue(QStringLiteral("customerkey"))).value_or(0);
    const TContractDebts d = m_bo->debtsOf(contract, customer);
    const double amounts[] = {d.contractNcu, d.contractCurr, d.customerNcu, d.customerCurr};
    for (int i = 0; i < 4; ++i)
        m_debts[i]->setText(amountText(amounts[i]));

    const QList<QPair<QString, QString>> requisites = m_bo->customerRequisites(customer);
    m_requisites->setRowCount(int(requisites.size()));
    for (int row = 0; row < requisites.size(); ++row) {
        m_requisites->setItem(row, 0, new QTableWidgetItem(requisites.at(row).first));
        m_requisites->setItem(row, 1, new QTableWidgetItem(requisites.at(row).second));
    }
    m_banks->setStatement(TboRentContract::bankAccountsSql(), {customer}, QStringLiteral("ba.name, ba.bankaccountkey"));
    m_bankGrid->requery();
    m_objects->setStatement(TboRentContract::usedObjectsSql(), {customer}, QStringLiteral("o.name, o.id"));
    m_objectGrid->requery();
    m_history->setStatement(TboRentContract::rentalHistorySql(), {customer}, QStringLiteral("c.signdate, c.number"));
    m_historyGrid->requery();
}

// --- Actions --------------------------------------------------------------------------------

void TptContract::actionAdd()
{
    if (currentTab() == ValuesTab) {
        const int row = m_values->appendRow();
        if (row < 0)
            return;
        // The new row is stored once its value is typed.
        const QModelIndex value = m_values->index(row, TContractServiceValueModel::ValueColumn);
        m_valueGrid->setCurrentIndex(value);
        m_valueGrid->setFocus();
        m_valueGrid->edit(value);
        return;
    }
    int key = 0;
    if (m_bo->NewContract(&key))
        loadContracts(key);
}

void TptContract::actionEdit()
{
    if (currentTab() == ValuesTab) {
        if (m_valueGrid->currentIndex().isValid()) {
            m_valueGrid->setFocus();
            m_valueGrid->edit(m_valueGrid->currentIndex());
        }
        return;
    }
    const std::optional<int> key = currentContract();
    if (key && m_bo->EditContract(*key))
        loadContracts(*key);
}

void TptContract::actionDelete()
{
    if (currentTab() == ValuesTab) {
        const QModelIndex current = m_valueGrid->currentIndex();
        if (!current.isValid())
            return;
        if (const std::optional<int> id = m_values->idAt(current.row()))
            m_bo->deleteValue(*id);
        m_values->reload();
        return;
    }
    const std::optional<int> key = currentContract();
    if (!key)
        return;
    // The list comes back on the contract before the one deleted.
    const int row = m_contractGrid->currentIndex().row();
    const QVariant before = row > 0 ? m_contracts->data(m_contracts->index(row - 1, m_contracts->fieldIndex(QStringLiteral("id"))))
                                    : QVariant();
    if (m_bo->DeleteContract(*key))
        loadContracts(intKey(before));
}

void TptContract::actionRefresh()
{
    loadContracts();
}

void TptContract::renewCurrent()
{
    const std::optional<int> key = currentContract();
    if (!key)
        return;
    int renewed = 0;
    if (m_bo->RenewContract(*key, &renewed))
        loadContracts(renewed);
}

void TptContract::closeCurrent()
{
    const std::optional<int> key = currentContract();
    if (key && m_bo->CloseContract(*key, true))
        loadContracts(*key);
}

void TptContract::markOpenContracts()
{
    QList<QVariant> keys;
    for (int key : m_bo->openListedKeys())
        keys << key;
    m_contracts->setCheckedKeys(keys);
}

void TptContract::viewContractFile()
{
    if (currentContract())
        openDocumentFile(this, m_contractGrid->currentValue(QStringLiteral("filename")).toString());
}

void TptContract::showOpenContracts()
{
    if (m_bo->ShowOpenContracts())
        loadContracts();
}

void TptContract::showCustomers()
{
    korvex::customers::TdlgCustomerList dlg(context().db, this);
    dlg.exec();
    loadContracts();
}

void TptContract::setSortOrder(int order)
{
    m_bo->SetSortOrder(order);
    updateSortCaption();
    loadContracts();
}

void TptContract::editFilter()
{
    if (m_bo->EditFilter())
        loadContracts();
}

void TptContract::showValueSum()
{
    TxMessages::information(this, tr("Сумма: ") + QString::number(m_values->total(), 'f', 4),
                            TxPrompt::attentionBang());
}

} // namespace korvex::billing
