#include "dlgRentInvoice.h"

#include "billingLookups.h"
#include "rateField.h"

#include "amount/xAmount.h"
#include "pricing/ui/dlgRentMakeReckoning.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
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

QPushButton *rowButton(QWidget *parent, QHBoxLayout *row, const QString &text, const QString &name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

QString lineName(const TInvoiceLineRecord &l)
{
    return l.objectName.isEmpty() ? l.serviceName : l.serviceName + QStringLiteral(", ") + l.objectName;
}

} // namespace

TdlgRentInvoice::TdlgRentInvoice(TboRentInvoice &bo, const TInvoiceEdit &edit, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_edit(edit)
{
    setObjectName(QStringLiteral("dlgRentInvoice"));
    setWindowTitle(tr("Формирование задолженности"));
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
    m_number->setMaxLength(20);
    m_customer = newTenantBoxWithCard(bo.context(), QStringLiteral("customer"), this);
    m_invoiceDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_invoiceDate->setObjectName(QStringLiteral("invoicedate"));
    m_expireDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_expireDate->setObjectName(QStringLiteral("expiredate"));
    m_contract = newContractBox(db, 0, false, QStringLiteral("contract"), this);
    m_currency = korvex::reference::newCurrencyBox(db, QStringLiteral("currency"), this);
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    m_type = newInvoiceTypeBox(db, QStringLiteral("invoicetype"), this);
    m_operationDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_operationDate->setObjectName(QStringLiteral("operationdate"));
    m_information = new QLineEdit(this);
    m_information->setObjectName(QStringLiteral("information"));
    m_information->setMaxLength(254);

    place(0, 0, tr("Номер"), m_number);
    place(0, 1, tr("Дата"), m_invoiceDate);
    place(1, 0, tr("Клиент"), m_customer, 3);
    place(2, 0, tr("Договор"), m_contract);
    place(2, 1, tr("Заплатить до"), m_expireDate);
    place(3, 0, tr("Валюта"), m_currency);
    place(3, 1, tr("Курс"), m_rate);
    place(4, 0, tr("Форма оплаты"), m_payment);
    place(4, 1, tr("Тип"), m_type);
    place(5, 0, tr("Дата операции"), m_operationDate);
    place(6, 0, tr("Информация"), m_information, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    contentLayout()->addWidget(buildLines(), 1);

    connect(m_customer, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { customerChanged(); }); });
    connect(m_currency, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_invoiceDate, &TxCheckedEdit::valueCommitted, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_rate, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });
    connect(m_information, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });
    connect(okButton(), &QPushButton::pressed, this, [this] { m_viaNext = false; });
    connect(nextButton(), &QPushButton::pressed, this, [this] { m_viaNext = true; });
    watchFocus(m_customer);
    watchFocus(m_contract);

    addRequired(m_customer, tr("Выберите клиента"), [this] { return m_customer->intKey().has_value(); });
    addRequired(m_contract, tr("Выберите договор"), [this] { return m_contract->intKey().has_value(); });
    addRequired(m_payment, tr("Выберите форму оплаты"), [this] { return m_payment->intKey().has_value(); });
    addRequired(m_type, tr("Выберите тип задолженности"), [this] { return m_type->intKey().has_value(); });
    addRequired(m_invoiceDate, tr("Введиете дату"), [this] { return m_invoiceDate->dateValue().has_value(); });
    setNextEnabled(edit.isNew());
    setRecordKey(edit.isNew() ? 0 : edit.invoice.id);

    guarded(this, [&] { display(m_edit); });
    resize(860, 640);
}

TdlgRentInvoice::~TdlgRentInvoice() = default;

QWidget *TdlgRentInvoice::buildLines()
{
    auto *box = new QGroupBox(tr("Позиции задолженности"), this);
    auto *layout = new QVBoxLayout(box);
    auto *buttons = new QHBoxLayout;
    QPushButton *add = rowButton(box, buttons, tr("Добавить"), QStringLiteral("addLines"));
    QPushButton *all = rowButton(box, buttons, tr("Выбрать все позиции договора"), QStringLiteral("addContractPositions"));
    QPushButton *remove = rowButton(box, buttons, tr("Удалить"), QStringLiteral("deleteLine"));
    QPushButton *removeAll = rowButton(box, buttons, tr("Удалить все"), QStringLiteral("deleteAllLines"));
    auto *prices = new QToolButton(box);
    prices->setObjectName(QStringLiteral("prices"));
    prices->setText(tr("Цены"));
    prices->setPopupMode(QToolButton::InstantPopup);
    buttons->addWidget(prices);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_lines = new TInvoiceLineModel(this);
    m_lineGrid = new TxDBGrid(box);
    m_lineGrid->setObjectName(QStringLiteral("LineGrid"));
    m_lineGrid->setSortingByTitle(false);
    m_lineGrid->setModel(m_lines);
    m_lineGrid->setReadOnly(false);
    m_lineGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_lineGrid->setFieldTitle(QStringLiteral("SERVICECAL"), tr("Услуга"));
    m_lineGrid->setFieldTitle(QStringLiteral("OBJECTCAL"), tr("Объект"));
    m_lineGrid->setFieldTitle(QStringLiteral("COSTNCU"), tr("Сумма в рублях"));
    m_lineGrid->setFieldTitle(QStringLiteral("COSTCURR"), tr("Сумма в валюте"));
    m_lineGrid->setFieldTitle(QStringLiteral("DESCRIPTION"), tr("Описание"));
    m_lineGrid->setFieldDecimals(QStringLiteral("COSTNCU"), 2);
    m_lineGrid->setFieldDecimals(QStringLiteral("COSTCURR"), 2);
    m_lineGrid->setFieldWidth(QStringLiteral("SERVICECAL"), 220);
    m_lineGrid->setFieldWidth(QStringLiteral("OBJECTCAL"), 160);
    m_lineGrid->setFieldWidth(QStringLiteral("COSTNCU"), 120);
    m_lineGrid->setFieldWidth(QStringLiteral("COSTCURR"), 120);
    layout->addWidget(m_lineGrid, 1);
    connect(m_lines, &TInvoiceLineModel::cellRefused, this,
            [this](const QString &message) { showMessage(this, messageCaption(), message); });

    // The line actions: for the current line, then for every line.
    m_lineMenu = new QMenu(box);
    const std::pair<LineAction, const char *> single[] = {
        {LineAction::NcuFromRate, QT_TR_NOOP("Пересчет рублевой цены по курсу")},
        {LineAction::CurrFromRate, QT_TR_NOOP("Пересчет валютной цены по курсу")},
        {LineAction::Reckon, QT_TR_NOOP("Пересчет цен по формулам")},
        {LineAction::PriceList, QT_TR_NOOP("Цены из прайса")},
    };
    const std::pair<LineAction, const char *> every[] = {
        {LineAction::NcuFromRate, QT_TR_NOOP("Пересчет рублевых цен по курсу по всем позициям")},
        {LineAction::CurrFromRate, QT_TR_NOOP("Пересчет валютных цен по курсу по всем позициям")},
        {LineAction::Reckon, QT_TR_NOOP("Пересчет цен по формулам по всем позициям")},
        {LineAction::PriceList, QT_TR_NOOP("Перенос цен из прайс листа по всем позициям")},
    };
    auto addLineAction = [this](LineAction action, const char *text, bool allLines) {
        QAction *a = m_lineMenu->addAction(tr(text));
        m_lineActions.insert(int(action) * 2 + (allLines ? 1 : 0), a);
        connect(a, &QAction::triggered, this,
                [this, action, allLines] { guarded(this, [&] { runLineAction(action, allLines); }); });
    };
    for (const auto &[action, text] : single)
        addLineAction(action, text, false);
    m_inDialog = m_lineMenu->addAction(tr("Рассчет по формуле"));
    connect(m_inDialog, &QAction::triggered, this, [this] { guarded(this, [&] { reckonInDialog(); }); });
    m_lineMenu->addSeparator();
    for (const auto &[action, text] : every)
        addLineAction(action, text, true);
    prices->setMenu(m_lineMenu);

    auto run = [this](void (TdlgRentInvoice::*slot)()) {
        return [this, slot] { guarded(this, [&] { (this->*slot)(); }); };
    };
    const std::pair<QPushButton *, void (TdlgRentInvoice::*)()> handlers[] = {
        {add, &TdlgRentInvoice::addLines},
        {all, &TdlgRentInvoice::addContractPositions},
        {remove, &TdlgRentInvoice::deleteLine},
        {removeAll, &TdlgRentInvoice::deleteAllLines},
    };
    QList<QAction *> buttonActions;
    for (const auto &[button, slot] : handlers) {
        connect(button, &QPushButton::clicked, this, run(slot));
        auto *a = new QAction(button->text(), m_lineGrid);
        connect(a, &QAction::triggered, this, run(slot));
        buttonActions << a;
    }
    m_lineGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lineGrid, &QWidget::customContextMenuRequested, this, [this, buttonActions](QPoint at) {
        QMenu menu(this);
        menu.addActions(buttonActions);
        menu.addSeparator();
        menu.addActions(m_lineMenu->actions());
        menu.exec(m_lineGrid->viewport()->mapToGlobal(at));
    });
    return box;
}

QAction *TdlgRentInvoice::lineAction(LineAction action, bool allLines) const
{
    return m_lineActions.value(int(action) * 2 + (allLines ? 1 : 0));
}

void TdlgRentInvoice::watchFocus(QWidget *field)
{
    field->installEventFilter(this);
    for (QWidget *child : field->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool TdlgRentInvoice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        auto *w = qobject_cast<QWidget *>(watched);
        const bool customer = w && (w == m_customer || m_customer->isAncestorOf(w));
        const bool contract = w && (w == m_contract || m_contract->isAncestorOf(w));
        if ((customer || contract) && m_lines->rowCount() > 0) {
            // The lines belong to the customer's contracts: both stay as they are.
            QTimer::singleShot(0, m_lineGrid, [grid = m_lineGrid] { grid->setFocus(); });
        } else if (contract && !m_customer->intKey()) {
            QTimer::singleShot(0, this, [this] {
                TxMessages::warning(this, tr("Выберите клиента"), TxPrompt::attentionBang());
                m_customer->setFocus();
            });
        }
    }
    return TxEditDialog::eventFilter(watched, event);
}

void TdlgRentInvoice::display(const TInvoiceEdit &edit)
{
    const TInvoiceRecord &r = edit.invoice;
    m_number->setText(r.number);
    setDate(m_invoiceDate, r.invoiceDate);
    setDate(m_expireDate, r.expireDate);
    setDate(m_operationDate, r.operationDate);
    {
        const QSignalBlocker blocker(m_customer);
        m_customer->setIntKey(r.customerKey);
    }
    setContractsOf(m_contract, db(), r.customerKey.value_or(0), false);
    m_contract->setIntKey(r.contractKey);
    m_currency->setIntKey(r.currKey);
    m_payment->setIntKey(r.paymentKey);
    m_type->setIntKey(r.invoiceTypeKey);
    m_information->setText(r.information);
    m_lines->setRecords(edit.lines);
    showRate();
}

TInvoiceEdit TdlgRentInvoice::currentEdit() const
{
    TInvoiceEdit e = m_edit;
    TInvoiceRecord &r = e.invoice;
    r.number = m_number->text().trimmed();
    r.invoiceDate = m_invoiceDate->dateValue().value_or(QDate());
    r.expireDate = m_expireDate->dateValue().value_or(QDate());
    r.operationDate = m_operationDate->dateValue().value_or(QDate());
    r.customerKey = m_customer->intKey();
    r.contractKey = m_contract->intKey();
    r.currKey = m_currency->intKey();
    r.paymentKey = m_payment->intKey();
    r.invoiceTypeKey = m_type->intKey();
    r.information = m_information->text().trimmed();
    e.lines = m_lines->records();
    return e;
}

void TdlgRentInvoice::customerChanged()
{
    // Another customer: the contracts offered are its own.
    setContractsOf(m_contract, db(), m_customer->intKey().value_or(0), false);
    m_contract->clear();
}

// --- Rate ----------------------------------------------------------------------------------

double TdlgRentInvoice::rate() const
{
    return m_lines->conversion().rate();
}

void TdlgRentInvoice::showRate()
{
    const double rate = m_bo.rateOn(m_currency->intKey(), m_invoiceDate->dateValue().value_or(QDate()));
    m_rate->setText(rateText(rate));
    m_lines->conversion().setRate(rate);
}

bool TdlgRentInvoice::rateLeft()
{
    const std::optional<double> typedRate = korvex::billing::typedRate(this, m_rate);
    if (!typedRate)
        return false;
    // Passing through the field changes nothing.
    if (*typedRate == rate())
        return true;
    m_lines->conversion().setRate(*typedRate);
    // Recorded as the currency's rate on the invoice date when the invoice is saved.
    const std::optional<int> currency = m_currency->intKey();
    const std::optional<QDate> date = m_invoiceDate->dateValue();
    if (currency && date && *typedRate > 0)
        noteTypedRate(m_edit.typedRates, {*currency, *date, *typedRate});
    return true;
}

// --- Saving --------------------------------------------------------------------------------

bool TdlgRentInvoice::validate()
{
    if (!rateLeft())
        return false;
    if (m_viaNext)
        return true;
    // "Ок" converts every line's currency amount at the rate: at rate 0 the
    // currency amounts of currency lines would be lost.
    if (rate() == 0 && m_lines->hasCurrencyAmounts()) {
        fail(m_rate, tr("Укажите курс: при курсе 0 валютные суммы позиций пересчитываются в 0"));
        return false;
    }
    for (int row = 0; row < m_lines->rowCount(); ++row)
        m_lines->currFromRate(row);
    return true;
}

int TdlgRentInvoice::writeRecord()
{
    TInvoiceEdit edit = currentEdit();
    const int key = m_bo.writeInvoice(edit);
    m_edit = edit;
    m_lines->setRecords(edit.lines);
    return key;
}

void TdlgRentInvoice::startNextRecord()
{
    m_edit = m_bo.newInvoice();
    display(m_edit);
    m_number->setFocus();
}

// --- Lines ----------------------------------------------------------------------------------

int TdlgRentInvoice::currentLine() const
{
    const QModelIndex current = m_lineGrid->currentIndex();
    return current.isValid() && current.row() < m_lines->rowCount() ? current.row() : -1;
}

void TdlgRentInvoice::takeReckoned(const QList<int> &rows, const QList<TReckonResult> &results)
{
    QStringList failed;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const TReckonResult &r = results.at(i);
        if (r.price)
            m_lines->takeNonZero(rows.at(i), r.price->costNcu, r.price->costCurr);
        else
            failed << lineName(m_lines->records().at(rows.at(i))) + QStringLiteral(": ") + r.failure;
    }
    if (!failed.isEmpty())
        TxMessages::warning(this, tr("Цена не рассчитана:\n") + failed.join(QLatin1Char('\n')), TxPrompt::attentionBang());
}

void TdlgRentInvoice::addLines()
{
    const std::optional<int> customer = m_customer->intKey();
    if (!customer) {
        TxMessages::warning(this, tr("Выберите клиента"), TxPrompt::attentionBang());
        m_customer->setFocus();
        return;
    }
    const std::optional<int> contract = m_contract->intKey();
    if (!contract) {
        TxMessages::warning(this, tr("Выберите договор"), TxPrompt::attentionBang());
        m_contract->setFocus();
        return;
    }
    QStringList chosen;
    if (!m_bo.contracts().ChooseContractServices(*customer, false, chosen, *contract) || chosen.isEmpty())
        return;
    QList<int> keys;
    for (const QString &k : std::as_const(chosen))
        keys << k.toInt();
    const QList<TInvoiceLineRecord> lines = m_bo.linesFor(keys);
    QList<int> lineKeys;
    for (const TInvoiceLineRecord &l : lines)
        lineKeys << l.contractServiceKey;
    const QList<TReckonResult> results = m_bo.reckonLines(currentEdit(), lineKeys, rate());
    QList<int> rows;
    for (const TInvoiceLineRecord &l : lines)
        rows << m_lines->appendRecord(l);
    takeReckoned(rows, results);
    if (!rows.isEmpty())
        m_lineGrid->setCurrentIndex(m_lines->index(rows.first(), TInvoiceLineModel::NcuColumn));
}

void TdlgRentInvoice::addContractPositions()
{
    const std::optional<int> contract = m_contract->intKey();
    if (!contract) {
        TxMessages::warning(this, tr("Выберите договор"), TxPrompt::attentionBang());
        m_contract->setFocus();
        return;
    }
    const QList<TInvoiceLineRecord> lines = m_bo.linesFor(m_bo.contractPositions(*contract));
    QList<int> keys;
    for (const TInvoiceLineRecord &l : lines)
        keys << l.contractServiceKey;
    const QList<TReckonResult> results = m_bo.reckonLines(currentEdit(), keys, rate());
    QStringList failed;
    const int first = m_lines->rowCount();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TReckonResult &r = results.at(i);
        if (!r.price) {
            failed << lineName(lines.at(i)) + QStringLiteral(": ") + r.failure;
            continue;
        }
        if (korvex::amount::sameAmount(r.price->costNcu, 0) && korvex::amount::sameAmount(r.price->costCurr, 0))
            continue;
        m_lines->takeNonZero(m_lines->appendRecord(lines.at(i)), r.price->costNcu, r.price->costCurr);
    }
    if (m_lines->rowCount() > first)
        m_lineGrid->setCurrentIndex(m_lines->index(first, TInvoiceLineModel::NcuColumn));
    if (!failed.isEmpty())
        TxMessages::warning(this, tr("Цена не рассчитана:\n") + failed.join(QLatin1Char('\n')), TxPrompt::attentionBang());
}

void TdlgRentInvoice::deleteLine()
{
    const int row = currentLine();
    if (row >= 0)
        m_lines->removeRecord(row);
}

void TdlgRentInvoice::deleteAllLines()
{
    if (m_lines->rowCount() == 0)
        return;
    if (!TxMessages::confirm(this, tr("Удалить все позиции"), TxPrompt::attentionBang()))
        return;
    m_lines->setRecords({});
}

void TdlgRentInvoice::runLineAction(LineAction action, bool allLines)
{
    QList<int> rows;
    if (allLines) {
        for (int r = 0; r < m_lines->rowCount(); ++r)
            rows << r;
    } else if (const int row = currentLine(); row >= 0) {
        rows << row;
    }
    if (rows.isEmpty())
        return;
    switch (action) {
    case LineAction::NcuFromRate:
        for (int r : rows)
            m_lines->ncuFromRate(r);
        return;
    case LineAction::CurrFromRate:
        for (int r : rows)
            m_lines->currFromRate(r);
        return;
    case LineAction::Reckon: {
        QList<int> keys;
        for (int r : rows)
            keys << m_lines->records().at(r).contractServiceKey;
        takeReckoned(rows, m_bo.reckonLines(currentEdit(), keys, rate()));
        return;
    }
    case LineAction::PriceList: {
        QList<TInvoiceLineRecord> asked;
        for (int r : rows)
            asked << m_lines->records().at(r);
        const QList<std::optional<TPriceListEntry>> entries = m_bo.priceListOf(asked);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (entries.at(i))
                m_lines->takeNonZero(rows.at(i), entries.at(i)->costNcu, entries.at(i)->costCurr);
        }
        return;
    }
    }
}

void TdlgRentInvoice::reckonInDialog()
{
    const int row = currentLine();
    if (row < 0)
        return;
    const TInvoiceLineRecord &line = m_lines->records().at(row);
    double ncu = line.costNcu;
    double curr = line.costCurr;
    if (korvex::calc::ShowPriceReckoning(this, m_bo.context(), line.contractServiceKey, ncu, curr))
        m_lines->takeBoth(row, ncu, curr);
}

} // namespace korvex::billing
