#include "dlgRentPayBill.h"

#include "billingLookups.h"
#include "rateField.h"
#include "dlgChooseContractService.h"
#include "dlgRentChooseDebt.h"

#include "amount/xAmount.h"
#include "billing/boRentContract.h"
#include "billing/boRentDebtFilter.h"
#include "pricing/ui/dlgRentMakeReckoning.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
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

QString amountText(double v)
{
    return QLocale().toString(v, 'f', 2);
}

void setDate(TxCheckedEdit *field, const QDate &date)
{
    if (date.isValid())
        field->setDateValue(date);
    else
        field->clear();
}

} // namespace

TdlgRentPayBill::TdlgRentPayBill(TboRentPayBill &bo, const TPayBillEdit &edit, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_edit(edit)
{
    setObjectName(QStringLiteral("dlgRentPayBill"));
    setWindowTitle(tr("Погашение задолженности"));
    setMessageCaption(TxPrompt::attentionBang());
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
    m_customer = newTenantBoxWithCard(bo.context(), QStringLiteral("customer"), this);
    m_date = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_date->setObjectName(QStringLiteral("paybilldate"));
    m_sum = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_sum->setObjectName(QStringLiteral("sumncu"));
    m_currency = korvex::reference::newCurrencyBox(db, QStringLiteral("currency"), this);
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    m_operationDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_operationDate->setObjectName(QStringLiteral("operationdate"));

    place(0, 0, tr("Номер"), m_number);
    place(0, 1, tr("Дата"), m_date);
    place(1, 0, tr("Клиент"), m_customer, 3);
    place(2, 0, tr("Сумма"), m_sum);
    place(2, 1, tr("Форма оплаты"), m_payment);
    place(3, 0, tr("Валюта"), m_currency);
    place(3, 1, tr("Курс"), m_rate);
    place(4, 0, tr("Дата операции"), m_operationDate);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // The lines with their actions.
    auto *bar = new QHBoxLayout;
    auto *actions = new QToolButton(this);
    actions->setObjectName(QStringLiteral("lineActions"));
    actions->setText(tr("Разбиение платежа"));
    actions->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(actions);
    bar->addStretch();
    contentLayout()->addLayout(bar);
    m_lines = new TPayBillLineModel(this);
    m_grid = new TxDBGrid(this);
    m_grid->setObjectName(QStringLiteral("PayBillRelatGrid"));
    m_grid->setSortingByTitle(false);
    m_grid->setModel(m_lines);
    m_grid->setReadOnly(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setFieldTitle(QStringLiteral("SERVICECAL"), tr("Услуга"));
    m_grid->setFieldTitle(QStringLiteral("OBJECTCAL"), tr("Объект"));
    m_grid->setFieldTitle(QStringLiteral("COSTNCU"), tr("Сумма в рублях"));
    m_grid->setFieldTitle(QStringLiteral("COSTCURR"), tr("Сумма в валюте"));
    m_grid->setFieldDecimals(QStringLiteral("COSTNCU"), 2);
    m_grid->setFieldDecimals(QStringLiteral("COSTCURR"), 2);
    m_grid->setFieldWidth(QStringLiteral("SERVICECAL"), 220);
    m_grid->setFieldWidth(QStringLiteral("OBJECTCAL"), 160);
    contentLayout()->addWidget(m_grid, 1);
    connect(m_lines, &TPayBillLineModel::cellRefused, this,
            [this](const QString &message) { showMessage(this, messageCaption(), message); });

    auto *totals = new QHBoxLayout;
    m_ncuTotal = new QLabel(this);
    m_ncuTotal->setObjectName(QStringLiteral("ncuTotal"));
    m_currTotal = new QLabel(this);
    m_currTotal->setObjectName(QStringLiteral("currTotal"));
    totals->addWidget(new QLabel(tr("Сумма в рублях:"), this));
    totals->addWidget(m_ncuTotal);
    totals->addSpacing(24);
    totals->addWidget(new QLabel(tr("Сумма в валюте:"), this));
    totals->addWidget(m_currTotal);
    totals->addStretch();
    contentLayout()->addLayout(totals);

    m_menu = new QMenu(this);
    const std::pair<LineAction, const char *> entries[] = {
        {LineAction::FromContract, QT_TR_NOOP("Выбор услуг из договора")},
        {LineAction::FromDebts, QT_TR_NOOP("Выбор услуг из задолженностей")},
        {LineAction::Allocate, QT_TR_NOOP("Автоматический выбор услуг по рублевой сумме")},
        {LineAction::Delete, QT_TR_NOOP("Удалить")},
        {LineAction::DeleteAll, QT_TR_NOOP("Удалить все")},
        {LineAction::NcuFromRate, QT_TR_NOOP("Пересчет рублевой цены по курсу для всех позиций")},
        {LineAction::CurrFromRate, QT_TR_NOOP("Пересчет валютной цены по курсу для всех позиций")},
        {LineAction::Formula, QT_TR_NOOP("Рассчет по формуле")},
    };
    for (const auto &[action, text] : entries) {
        if (action == LineAction::Delete || action == LineAction::NcuFromRate || action == LineAction::Formula)
            m_menu->addSeparator();
        QAction *a = m_menu->addAction(tr(text));
        m_actions.insert(int(action), a);
        connect(a, &QAction::triggered, this, [this, action] { guarded(this, [&] { runLineAction(action); }); });
    }
    actions->setMenu(m_menu);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_menu->exec(m_grid->viewport()->mapToGlobal(at)); });

    m_totals = new QPushButton(tr("Сумма позиций"), this);
    m_totals->setObjectName(QStringLiteral("totals"));
    m_totals->setAutoDefault(false);
    buttonLayout()->insertWidget(0, m_totals);
    connect(m_totals, &QPushButton::clicked, this, [this] { guarded(this, [&] { showTotals(); }); });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_lines, signal, this, [this] { showTotals(); });
    connect(m_lines, &QAbstractItemModel::modelReset, this, [this] { showTotals(); });
    connect(m_lines, &QAbstractItemModel::dataChanged, this, [this] { showTotals(); });

    connect(m_currency, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_date, &TxCheckedEdit::valueCommitted, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_rate, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });

    setNextEnabled(true);
    setRecordKey(edit.bill.id);
    guarded(this, [&] { display(m_edit); });
    resize(820, 600);
}

TdlgRentPayBill::~TdlgRentPayBill() = default;

QAction *TdlgRentPayBill::lineAction(LineAction action) const
{
    return m_actions.value(int(action));
}

void TdlgRentPayBill::display(const TPayBillEdit &edit)
{
    const TPayBillRecord &b = edit.bill;
    m_number->setText(b.number);
    m_customer->setIntKey(b.customerKey);
    setDate(m_date, b.payBillDate);
    m_sum->setFloatValue(b.sumNcu);
    m_currency->setIntKey(b.currKey);
    m_payment->setIntKey(b.paymentKey);
    setDate(m_operationDate, b.operationDate);
    m_lines->setRecords(edit.lines);
    showRate();
    showTotals();
}

TPayBillEdit TdlgRentPayBill::currentEdit() const
{
    TPayBillEdit e = m_edit;
    TPayBillRecord &b = e.bill;
    b.number = m_number->text().trimmed();
    b.customerKey = m_customer->intKey();
    b.payBillDate = m_date->dateValue().value_or(QDate());
    b.sumNcu = m_sum->floatValue().value_or(0);
    b.currKey = m_currency->intKey();
    b.paymentKey = m_payment->intKey();
    b.operationDate = m_operationDate->dateValue().value_or(QDate());
    e.lines = m_lines->records();
    return e;
}

void TdlgRentPayBill::showTotals()
{
    m_ncuTotal->setText(amountText(m_lines->sumNcu()));
    m_currTotal->setText(amountText(m_lines->sumCurr()));
}

// --- Rate ----------------------------------------------------------------------------------

void TdlgRentPayBill::showRate()
{
    const double rate = m_bo.rateOn(m_currency->intKey(), m_date->dateValue().value_or(QDate()));
    m_rate->setText(rateText(rate));
    m_lines->setRate(rate);
}

void TdlgRentPayBill::rateLeft()
{
    const std::optional<double> rate = typedRate(this, m_rate);
    if (!rate)
        return;
    m_lines->setRate(*rate);
    // Recorded as the currency's rate on the pay-bill date when the pay bill is saved.
    const std::optional<int> currency = m_currency->intKey();
    const std::optional<QDate> date = m_date->dateValue();
    if (currency && date && *rate > 0)
        m_edit.typedRates.append({*currency, *date, *rate});
}

// --- Line actions --------------------------------------------------------------------------

int TdlgRentPayBill::currentLine() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() && current.row() < m_lines->rowCount() ? current.row() : -1;
}

std::optional<int> TdlgRentPayBill::requireCustomer()
{
    const std::optional<int> customer = m_customer->intKey();
    if (!customer)
        fail(m_customer, tr("Выберите клиента!"));
    return customer;
}

void TdlgRentPayBill::runLineAction(LineAction action)
{
    switch (action) {
    case LineAction::FromContract: addFromContract(); break;
    case LineAction::FromDebts: addFromDebts(); break;
    case LineAction::Allocate: allocate(); break;
    case LineAction::Delete: m_lines->removeRecord(currentLine()); break;
    case LineAction::DeleteAll:
        if (m_lines->rowCount() > 0 && TxMessages::confirm(this, tr("Удалить все позиции"), TxPrompt::attentionBang()))
            m_lines->removeAll();
        break;
    case LineAction::NcuFromRate: m_lines->ncuFromRateAll(); break;
    case LineAction::CurrFromRate: m_lines->currFromRateAll(); break;
    case LineAction::Formula: reckonLine(); break;
    }
    showTotals();
}

void TdlgRentPayBill::addFromContract()
{
    const std::optional<int> customer = requireCustomer();
    if (!customer)
        return;
    if (!m_contracts)
        m_contracts = std::make_unique<TboRentContract>(m_bo.context());
    TContractServiceChoice choice{*customer, false, 0, {}};
    TdlgChooseContractService dlg(*m_contracts, choice, this);
    if (dlg.exec() != QDialog::Accepted || choice.keys.isEmpty())
        return;
    m_lines->addContractLines(m_bo.debtLines(currentEdit(), choice.keys));
}

void TdlgRentPayBill::addFromDebts()
{
    const std::optional<int> customer = requireCustomer();
    if (!customer)
        return;
    if (!m_debts)
        m_debts = std::make_unique<TboRentDebtFilter>(m_bo.context());
    TdlgRentChooseDebt dlg(*m_debts, TDebtChoice{*customer, false, 0, {}}, this);
    if (dlg.exec() != QDialog::Accepted || dlg.choice().keys.isEmpty())
        return;
    m_lines->addUnconverted(m_bo.debtLines(currentEdit(), dlg.choice().keys));
}

void TdlgRentPayBill::allocate()
{
    const double amount = m_sum->floatValue().value_or(0);
    const std::optional<int> customer = m_customer->intKey();
    if (korvex::amount::sameAmount(amount, 0) || !customer)
        return;
    QList<TPayBillLine> lines;
    QString reason;
    if (!m_bo.allocate(m_edit.bill.id, *customer, -1, m_lines->rate(), amount, lines, &reason)) {
        TxMessages::warning(this, reason, TxPrompt::attentionBang());
        return;
    }
    m_lines->addUnconverted(lines);
}

void TdlgRentPayBill::reckonLine()
{
    const int row = currentLine();
    if (row < 0)
        return;
    const TPayBillLine &line = m_lines->records().at(row);
    double ncu = line.ncu;
    double curr = line.curr;
    if (korvex::calc::ShowPriceReckoning(this, m_bo.context(), line.contractServiceKey, ncu, curr))
        m_lines->writeUnconverted(row, ncu, curr);
}

// --- Saving --------------------------------------------------------------------------------

QWidget *TdlgRentPayBill::fieldOf(TPayBillField field) const
{
    switch (field) {
    case TPayBillField::Customer: return m_customer;
    case TPayBillField::Payment: return m_payment;
    case TPayBillField::Date: return m_date;
    case TPayBillField::Sum: return m_sum;
    default: return nullptr;
    }
}

bool TdlgRentPayBill::validate()
{
    showTotals();
    if (const std::optional<TPayBillProblem> problem = TboRentPayBill::checkPayBill(currentEdit())) {
        fail(fieldOf(problem->field), problem->message);
        return false;
    }
    return true;
}

int TdlgRentPayBill::writeRecord()
{
    TPayBillEdit edit = currentEdit();
    const int key = m_bo.writePayBill(edit);
    m_edit = edit;
    m_lines->setRecords(edit.lines);
    return key;
}

void TdlgRentPayBill::startNextRecord()
{
    m_edit = m_bo.newPayBill();
    display(m_edit);
    m_customer->setFocus();
}

} // namespace korvex::billing
