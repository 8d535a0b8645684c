#include "dlgRentContract.h"

#include "billingLookups.h"
#include "rateField.h"
#include "dlgAddContractService.h"
#include "dlgRentSupplement.h"
#include "documentFiles.h"

#include "amount/xAmount.h"
#include "pricing/ui/dlgRentCSReckoning.h"
#include "pricing/ui/dlgRentMakeReckoning.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::guarded;
using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxDBGrid;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;

namespace {

void setDate(TxCheckedEdit *field, const QDate &date)
{
    if (date.isValid())
        field->setDateValue(date);
    else
        field->clear();
}

void setInt(TxCheckedEdit *field, const std::optional<int> &value)
{
    if (value)
        field->setIntValue(*value);
    else
        field->clear();
}

QPushButton *rowButton(QWidget *parent, QHBoxLayout *row, const QString &text, const QString &name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

} // namespace

TdlgRentContract::TdlgRentContract(TboRentContract &bo, const TContractEdit &edit, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_edit(edit)
{
    setObjectName(QStringLiteral("dlgRentContract"));
    setWindowTitle(tr("Договор аренды"));
    korvex::db::TxDatabase &db = bo.context().db;

    auto *grid = new QGridLayout;
    contentLayout()->addLayout(grid);
    auto place = [grid, this](int row, int column, const QString &label, QWidget *field, int span = 1) {
        auto *caption = new QLabel(label, this);
        caption->setBuddy(field);
        grid->addWidget(caption, row, column * 2);
        grid->addWidget(field, row, column * 2 + 1, 1, span);
    };
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setMaxLength(8);
    m_signDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_signDate->setObjectName(QStringLiteral("signdate"));
    m_expireDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_expireDate->setObjectName(QStringLiteral("expriredate"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_customer = newTenantBoxWithCard(bo.context(), QStringLiteral("customer"), this, [this] { m_edit.customerCardSaved = true; });
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("filename"));
    m_file->setMaxLength(255);
    auto *fileButton = new QToolButton(this);
    fileButton->setObjectName(QStringLiteral("chooseFile"));
    fileButton->setText(QStringLiteral("..."));
    auto *fileRow = new QWidget(this);
    auto *fileLayout = new QHBoxLayout(fileRow);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->addWidget(m_file, 1);
    fileLayout->addWidget(fileButton);
    m_currency = korvex::reference::newCurrencyBox(db, QStringLiteral("currency"), this);
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_paymentDay = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, this);
    m_paymentDay->setObjectName(QStringLiteral("paymentday"));
    m_actionDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_actionDate->setObjectName(QStringLiteral("actiondate"));
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    m_closed = new QCheckBox(tr("Закрытый договор"), this);
    m_closed->setObjectName(QStringLiteral("disabled"));

    place(0, 0, tr("Номер"), m_number);
    place(0, 1, tr("Дата заключения"), m_signDate);
    place(1, 0, tr("Наименование"), m_name, 3);
    place(2, 0, tr("Клиент"), m_customer, 3);
    place(3, 0, tr("Файл"), fileRow, 3);
    place(4, 0, tr("Валюта"), m_currency);
    place(4, 1, tr("Курс"), m_rate);
    place(5, 0, tr("Оплата до (число месяца)"), m_paymentDay);
    place(5, 1, tr("Дата окончания"), m_expireDate);
    place(6, 0, tr("Форма оплаты"), m_payment);
    place(6, 1, tr("Дата действия"), m_actionDate);
    grid->addWidget(m_closed, 7, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ContractTabs"));
    m_tabs->addTab(buildPositionsTab(), tr("Позиции договра"));
    m_tabs->addTab(buildSupplementsTab(), tr("Сопутствующие документы"));
    contentLayout()->addWidget(m_tabs, 1);

    m_view = new QPushButton(tr("&Просмотр"), this);
    m_view->setObjectName(QStringLiteral("view"));
    m_view->setAutoDefault(false);
    buttonLayout()->insertWidget(0, m_view);

    connect(fileButton, &QToolButton::clicked, this, [this] { guarded(this, [&] { chooseDocumentFile(this, m_file); }); });
    connect(m_view, &QPushButton::clicked, this, [this] { guarded(this, [&] { viewContractFile(); }); });
    connect(m_currency, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_signDate, &TxCheckedEdit::valueCommitted, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_rate, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });
    // "&Следующий" asks for the action date before the payment day.
    connect(okButton(), &QPushButton::pressed, this, [this] { m_viaNext = false; });
    connect(nextButton(), &QPushButton::pressed, this, [this] { m_viaNext = true; });

    addRequired(m_customer, tr("Выберите клиента"), [this] { return m_customer->intKey().has_value(); });
    addRequired(m_signDate, tr("Введиете дату начала"), [this] { return m_signDate->dateValue().has_value(); });
    addRequired(m_expireDate, tr("Введиете дату окончания"), [this] { return m_expireDate->dateValue().has_value(); });
    setNextEnabled(edit.kind == TContractEdit::Kind::New);
    setRecordKey(edit.kind == TContractEdit::Kind::Edit ? edit.contract.id : 0);

    guarded(this, [&] { display(m_edit); });
    resize(900, 680);
}

TdlgRentContract::~TdlgRentContract() = default;

QWidget *TdlgRentContract::buildPositionsTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    auto *buttons = new QHBoxLayout;
    QPushButton *add = rowButton(tab, buttons, tr("&Добавить"), QStringLiteral("addPosition"));
    QPushButton *remove = rowButton(tab, buttons, tr("&Удалить"), QStringLiteral("deletePosition"));
    QPushButton *formula = rowButton(tab, buttons, tr("Формула расчета цены"), QStringLiteral("chooseFormula"));
    auto *prices = new QToolButton(tab);
    prices->setObjectName(QStringLiteral("prices"));
    prices->setText(tr("Цены"));
    prices->setPopupMode(QToolButton::InstantPopup);
    buttons->addWidget(prices);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_positions = new TContractServiceModel(this);
    m_positionGrid = new TxDBGrid(tab);
    m_positionGrid->setObjectName(QStringLiteral("PositionGrid"));
    m_positionGrid->setSortingByTitle(false);
    m_positionGrid->setModel(m_positions);
    m_positionGrid->setReadOnly(false);
    m_positionGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    const std::pair<const char *, const char *> titles[] = {
        {"SERVICECAL", QT_TR_NOOP("Услуга")},          {"OBJECTCAL", QT_TR_NOOP("Объект")},
        {"COSTNCU", QT_TR_NOOP("Цена в рублях")},      {"COSTCURR", QT_TR_NOOP("Цена в валюте")},
        {"COUNTOBJECT", QT_TR_NOOP("Количество")},     {"TYPERECKONINGCAL", QT_TR_NOOP("Формула расчета")},
        {"NCURECKONING", QT_TR_NOOP("Первой рассчитывается")},        {"DESCRIPTION", QT_TR_NOOP("Описание")},
        {"DESCRIPTION2", QT_TR_NOOP("Описание 2")},
    };
    for (const auto &[field, title] : titles)
        m_positionGrid->setFieldTitle(QString::fromLatin1(field), tr(title));
    for (const char *field : {"COSTNCU", "COSTCURR", "COUNTOBJECT"})
        m_positionGrid->setFieldDecimals(QString::fromLatin1(field), 2);
    m_positionGrid->setFieldWidth(QStringLiteral("SERVICECAL"), 200);
    m_positionGrid->setFieldWidth(QStringLiteral("OBJECTCAL"), 140);
    m_positionGrid->setFieldWidth(QStringLiteral("TYPERECKONINGCAL"), 140);
    layout->addWidget(m_positionGrid, 1);
    connect(m_positions, &TContractServiceModel::cellRefused, this,
            [this](const QString &message) { showMessage(this, messageCaption(), message); });

    // The price actions: for the current row, then for every row.
    m_priceMenu = new QMenu(tab);
    const std::pair<PriceAction, const char *> single[] = {
        {PriceAction::NcuFromRate, QT_TR_NOOP("Пересчет рублевой цены по курсу")},
        {PriceAction::CurrFromRate, QT_TR_NOOP("Пересчет валютной цены по курсу")},
        {PriceAction::PriceList, QT_TR_NOOP("Цена на услугу из прайса")},
        {PriceAction::PriceListType, QT_TR_NOOP("Формула для расчета из прайса")},
        {PriceAction::Reckon, QT_TR_NOOP("Рассчет цены на услугу по формуле")},
    };
    const std::pair<PriceAction, const char *> all[] = {
        {PriceAction::NcuFromRate, QT_TR_NOOP("Пересчет рублевых цен по курсу на все услуги")},
        {PriceAction::CurrFromRate, QT_TR_NOOP("Пересчет валютных цен по курсу на все услуги")},
        {PriceAction::PriceList, QT_TR_NOOP("Цены на все услуги из прайс листа")},
        {PriceAction::PriceListType, QT_TR_NOOP("Формулы для расчета из прайса на все услуги")},
        {PriceAction::Reckon, QT_TR_NOOP("Рассчет цен по формулам на все услуги")},
    };
    auto addPriceAction = [this](PriceAction action, const char *text, bool allRows) {
        QAction *a = m_priceMenu->addAction(tr(text));
        m_priceActions.insert(int(action) * 2 + (allRows ? 1 : 0), a);
        connect(a, &QAction::triggered, this, [this, action, allRows] {
            guarded(this, [&] { runPriceAction(action, allRows); });
        });
    };
    for (const auto &[action, text] : single)
        addPriceAction(action, text, false);
    m_inDialog = m_priceMenu->addAction(tr("Рассчет по формуле"));
    connect(m_inDialog, &QAction::triggered, this, [this] { guarded(this, [&] { reckonInDialog(); }); });
    m_priceMenu->addSeparator();
    for (const auto &[action, text] : all)
        addPriceAction(action, text, true);
    prices->setMenu(m_priceMenu);

    // The grid's menu: the row buttons, then the price actions.
    auto *addAction = new QAction(add->text(), m_positionGrid);
    auto *removeAction = new QAction(remove->text(), m_positionGrid);
    auto *formulaAction = new QAction(formula->text(), m_positionGrid);
    m_positionGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_positionGrid, &QWidget::customContextMenuRequested, this, [this, addAction, removeAction, formulaAction](QPoint at) {
        QMenu menu(this);
        menu.addAction(addAction);
        menu.addAction(removeAction);
        menu.addAction(formulaAction);
        menu.addSeparator();
        menu.addActions(m_priceMenu->actions());
        menu.exec(m_positionGrid->viewport()->mapToGlobal(at));
    });
    auto run = [this](void (TdlgRentContract::*slot)()) {
        return [this, slot] { guarded(this, [&] { (this->*slot)(); }); };
    };
    connect(add, &QPushButton::clicked, this, run(&TdlgRentContract::addPositions));
    connect(remove, &QPushButton::clicked, this, run(&TdlgRentContract::deletePosition));
    connect(formula, &QPushButton::clicked, this, run(&TdlgRentContract::chooseFormula));
    connect(addAction, &QAction::triggered, this, run(&TdlgRentContract::addPositions));
    connect(removeAction, &QAction::triggered, this, run(&TdlgRentContract::deletePosition));
    connect(formulaAction, &QAction::triggered, this, run(&TdlgRentContract::chooseFormula));
    return tab;
}

QWidget *TdlgRentContract::buildSupplementsTab()
{
    auto *tab = new QWidget(this);
    auto *layout = new QVBoxLayout(tab);
    auto *buttons = new QHBoxLayout;
    QPushButton *add = rowButton(tab, buttons, tr("&Добавить"), QStringLiteral("addSupplement"));
    QPushButton *remove = rowButton(tab, buttons, tr("&Удалить"), QStringLiteral("deleteSupplement"));
    QPushButton *edit = rowButton(tab, buttons, tr("Изменить"), QStringLiteral("editSupplement"));
    QPushButton *view = rowButton(tab, buttons, tr("Просмотр в Word-е"), QStringLiteral("viewSupplement"));
    buttons->addStretch();
    layout->addLayout(buttons);

    m_supplements = new TSupplementModel(this);
    m_supplementGrid = new TxDBGrid(tab);
    m_supplementGrid->setObjectName(QStringLiteral("SupplementGrid"));
    m_supplementGrid->setSortingByTitle(false);
    m_supplementGrid->setModel(m_supplements);
    m_supplementGrid->setFieldTitle(QStringLiteral("NUMBER"), tr("Номер"));
    m_supplementGrid->setFieldTitle(QStringLiteral("SUPDATE"), tr("Дата"));
    m_supplementGrid->setFieldTitle(QStringLiteral("NAME"), tr("Наименование"));
    m_supplementGrid->setFieldTitle(QStringLiteral("DESCRIPTION"), tr("Описание"));
    m_supplementGrid->setFieldTitle(QStringLiteral("FILENAME"), tr("Файл"));
    m_supplementGrid->setFieldWidth(QStringLiteral("NAME"), 220);
    m_supplementGrid->setFieldWidth(QStringLiteral("DESCRIPTION"), 220);
    layout->addWidget(m_supplementGrid, 1);

    auto run = [this](void (TdlgRentContract::*slot)()) {
        return [this, slot] { guarded(this, [&] { (this->*slot)(); }); };
    };
    connect(add, &QPushButton::clicked, this, run(&TdlgRentContract::addSupplement));
    connect(remove, &QPushButton::clicked, this, run(&TdlgRentContract::deleteSupplement));
    connect(edit, &QPushButton::clicked, this, run(&TdlgRentContract::editSupplement));
    connect(view, &QPushButton::clicked, this, run(&TdlgRentContract::viewSupplement));
    connect(m_supplementGrid, &QAbstractItemView::doubleClicked, this, run(&TdlgRentContract::editSupplement));
    return tab;
}

QAction *TdlgRentContract::priceAction(PriceAction action, bool allRows) const
{
    return m_priceActions.value(int(action) * 2 + (allRows ? 1 : 0));
}

void TdlgRentContract::display(const TContractEdit &edit)
{
    const TContractRecord &c = edit.contract;
    m_number->setText(c.number);
    setDate(m_signDate, c.signDate);
    setDate(m_expireDate, c.expireDate);
    m_name->setText(c.name);
    m_customer->setIntKey(c.customerKey);
    m_file->setText(c.fileName);
    m_currency->setIntKey(c.currKey);
    setInt(m_paymentDay, c.paymentDay);
    setDate(m_actionDate, c.actionDate);
    m_payment->setIntKey(c.paymentKey);
    m_closed->setChecked(c.disabled);
    m_positions->setTypeNames(m_bo.reckoningTypeNames());
    m_positions->setRecords(edit.services);
    m_supplements->setRecords(edit.supplements);
    showRate();
}

TContractEdit TdlgRentContract::currentEdit() const
{
    TContractEdit e = m_edit;
    TContractRecord &c = e.contract;
    c.number = m_number->text().trimmed();
    c.name = m_name->text().trimmed();
    c.customerKey = m_customer->intKey();
    c.currKey = m_currency->intKey();
    c.signDate = m_signDate->dateValue().value_or(QDate());
    c.expireDate = m_expireDate->dateValue().value_or(QDate());
    c.actionDate = m_actionDate->dateValue().value_or(QDate());
    c.paymentDay = m_paymentDay->intValue();
    c.paymentKey = m_payment->intKey();
    c.disabled = m_closed->isChecked();
    c.fileName = m_file->text().trimmed();
    e.services = m_positions->records();
    e.supplements = m_supplements->records();
    return e;
}

// --- Rate ----------------------------------------------------------------------------------

void TdlgRentContract::showRate()
{
    const double rate = m_bo.rateOn(m_currency->intKey(), m_signDate->dateValue().value_or(QDate()));
    m_rate->setText(rateText(rate));
    m_positions->conversion().setRate(rate);
}

void TdlgRentContract::rateLeft()
{
    const std::optional<double> rate = typedRate(this, m_rate);
    if (!rate)
        return;
    m_positions->conversion().setRate(*rate);
    // Recorded as the currency's rate on the sign date when the contract is saved.
    const std::optional<int> currency = m_currency->intKey();
    const std::optional<QDate> date = m_signDate->dateValue();
    if (currency && date && *rate > 0)
        m_edit.typedRates.append({*currency, *date, *rate});
}

// --- Saving --------------------------------------------------------------------------------

bool TdlgRentContract::validate()
{
    auto paymentDay = [this] {
        if (m_paymentDay->intValue())
            return true;
        fail(m_paymentDay, tr("Введите день месяца"));
        return false;
    };
    auto actionDate = [this] {
        if (m_actionDate->dateValue())
            return true;
        fail(m_actionDate, tr("Введите дату действия"));
        return false;
    };
    return m_viaNext ? actionDate() && paymentDay() : paymentDay() && actionDate();
}

int TdlgRentContract::writeRecord()
{
    TContractEdit edit = currentEdit();
    const int key = m_bo.writeContract(edit);
    m_edit = edit;
    m_positions->setRecords(edit.services);
    m_supplements->setRecords(edit.supplements);
    return key;
}

void TdlgRentContract::afterSave()
{
    m_bo.contractSaved(m_edit);
}

void TdlgRentContract::startNextRecord()
{
    m_edit = m_bo.newContract();
    display(m_edit);
    m_number->setFocus();
}

// --- Positions ------------------------------------------------------------------------------

int TdlgRentContract::currentPosition() const
{
    const QModelIndex current = m_positionGrid->currentIndex();
    return current.isValid() && current.row() < m_positions->rowCount() ? current.row() : -1;
}

void TdlgRentContract::addPositions()
{
    const TContractEdit edit = currentEdit();
    TdlgAddContractService dlg(m_bo, edit, this);
    if (dlg.exec() != QDialog::Accepted || dlg.pairs().isEmpty())
        return;
    const int first = m_positions->rowCount();
    m_bo.addPositions(*m_positions, dlg.pairs());
    m_positionGrid->setCurrentIndex(m_positions->index(first, TContractServiceModel::NcuColumn));
}

void TdlgRentContract::deletePosition()
{
    const int row = currentPosition();
    if (row < 0)
        return;
    // A position the server keeps (billed, paid) stays without a word.
    if (!m_bo.mayDeletePosition(m_positions->records().at(row).id))
        return;
    if (!TxMessages::confirm(this, tr("Удалить позицию в договоре?"), TxPrompt::attentionBang()))
        return;
    m_positions->removeRecord(row);
}

void TdlgRentContract::runPriceAction(PriceAction action, bool allRows)
{
    QList<int> rows;
    if (allRows) {
        for (int r = 0; r < m_positions->rowCount(); ++r)
            rows << r;
    } else if (const int row = currentPosition(); row >= 0) {
        rows << row;
    }
    if (rows.isEmpty())
        return;
    const QList<TContractServiceRecord> &records = m_positions->records();
    switch (action) {
    case PriceAction::NcuFromRate:
        for (int r : rows)
            m_positions->ncuFromRate(r, m_rate->text());
        return;
    case PriceAction::CurrFromRate:
        for (int r : rows)
            m_positions->currFromRate(r, m_rate->text());
        return;
    case PriceAction::PriceList:
    case PriceAction::PriceListType: {
        QList<QPair<int, int>> asked;
        for (int r : rows)
            asked.append({records.at(r).serviceKey, records.at(r).objectKey.value_or(0)});
        const QList<std::optional<TPriceListEntry>> entries = m_bo.pricing().priceLists(asked);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (!entries.at(i))
                continue;
            if (action == PriceAction::PriceList)
                m_positions->takePriceListPrices(rows.at(i), *entries.at(i));
            else
                m_positions->takePriceListFormula(rows.at(i), *entries.at(i));
        }
        return;
    }
    case PriceAction::Reckon: {
        const QList<TReckonResult> results =
            m_bo.reckonPositions(currentEdit(), rows, TContractServiceModel::rateOf(m_rate->text()));
        QStringList failed;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const TReckonResult &r = results.at(i);
            if (r.price) {
                m_positions->takeReckonedPrices(rows.at(i), r.price->costNcu, r.price->costCurr);
                continue;
            }
            const TContractServiceRecord &rec = m_positions->records().at(rows.at(i));
            failed << (rec.objectName.isEmpty() ? rec.serviceName : rec.serviceName + QStringLiteral(", ") + rec.objectName)
                          + QStringLiteral(": ") + r.failure;
        }
        if (!failed.isEmpty())
            TxMessages::warning(this, tr("Цена не рассчитана:\n") + failed.join(QLatin1Char('\n')), TxPrompt::attentionBang());
        return;
    }
    }
}

namespace {

korvex::calc::TContractServiceEdit reckoningRow(const TContractServiceRecord &r, const TContractEdit &edit)
{
    korvex::calc::TContractServiceEdit row;
    row.id = r.id;
    row.contractKey = edit.contract.id;
    row.customerKey = edit.contract.customerKey.value_or(0);
    row.objectKey = r.objectKey.value_or(0);
    row.serviceKey = r.serviceKey;
    row.costNcu = r.costNcu;
    row.costCurr = r.costCurr;
    row.typeReckoningKey = r.typeReckoningKey;
    row.ncuReckoning = r.ncuReckoning;
    row.countObject = r.countObject;
    return row;
}

} // namespace

void TdlgRentContract::reckonInDialog()
{
    const int row = currentPosition();
    if (row < 0)
        return;
    const TContractServiceRecord &r = m_positions->records().at(row);
    double ncu = r.costNcu;
    double curr = r.costCurr;
    const bool confirmed =
        korvex::calc::ShowPriceReckoning(this, m_bo.context(), reckoningRow(r, currentEdit()), ncu, curr);
    // The price dialog may have made or renamed reckoning types.
    m_positions->setTypeNames(m_bo.reckoningTypeNames());
    if (confirmed)
        m_positions->takeBothPrices(row, ncu, curr);
}

void TdlgRentContract::chooseFormula()
{
    const int row = currentPosition();
    if (row < 0)
        return;
    korvex::calc::TContractServiceEdit edited = reckoningRow(m_positions->records().at(row), currentEdit());
    korvex::calc::ShowCSReckoning(this, m_bo.context(), edited, TContractServiceModel::rateOf(m_rate->text()));
    TContractServiceRecord r = m_positions->records().at(row);
    r.typeReckoningKey = edited.typeReckoningKey;
    r.ncuReckoning = edited.ncuReckoning;
    m_positions->setTypeNames(m_bo.reckoningTypeNames());
    m_positions->replaceRecord(row, r);
}

// --- Supplements and files ------------------------------------------------------------------

void TdlgRentContract::addSupplement()
{
    TSupplementRecord record;
    record.supDate = QDate::currentDate();
    TdlgRentSupplement dlg(db(), record, true, [this](const TSupplementRecord &s) { m_supplements->appendRecord(s); },
                           this);
    dlg.exec();
}

void TdlgRentContract::openSupplement(int row)
{
    TdlgRentSupplement dlg(
        db(), m_supplements->records().at(row), false,
        [this, row](const TSupplementRecord &s) { m_supplements->replaceRecord(row, s); }, this);
    dlg.exec();
}

void TdlgRentContract::editSupplement()
{
    const QModelIndex current = m_supplementGrid->currentIndex();
    if (current.isValid())
        openSupplement(current.row());
}

void TdlgRentContract::deleteSupplement()
{
    const QModelIndex current = m_supplementGrid->currentIndex();
    if (current.isValid())
        m_supplements->removeRecord(current.row());
}

void TdlgRentContract::viewSupplement()
{
    const QModelIndex current = m_supplementGrid->currentIndex();
    if (current.isValid())
        openDocumentFile(this, m_supplements->records().at(current.row()).fileName);
}

void TdlgRentContract::viewContractFile()
{
    openDocumentFile(this, m_file->text());
}

} // namespace korvex::billing
