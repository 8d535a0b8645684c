#include "dlgRentMakeInvoice.h"

#include "billingLookups.h"
#include "rateField.h"

#include "amount/xAmount.h"
#include "reference/boCurrency.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace korvex::billing {

using korvex::widgets::guarded;
using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;

namespace {

TxCheckedEdit *dateField(const QString &name, const QDate &date, QWidget *parent)
{
    auto *e = new TxCheckedEdit(TxCheckedEdit::Kind::Date, parent);
    e->setObjectName(name);
    if (date.isValid())
        e->setDateValue(date);
    return e;
}


} // namespace

TdlgRentMakeInvoice::TdlgRentMakeInvoice(korvex::shell::TAppContext &context, TInvoiceParams &params,
                                         bool invoiceDateEditable, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_params(params)
{
    setObjectName(QStringLiteral("dlgRentMakeInvoice"));
    setWindowTitle(tr("Формирование счетов"));
    korvex::db::TxDatabase &db = context.db;
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    m_currency = korvex::reference::newCurrencyBox(db, QStringLiteral("currency"), this);
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_payment = newPaymentBox(db, QStringLiteral("payment"), this);
    m_type = newInvoiceTypeBox(db, QStringLiteral("invoicetype"), this);
    m_invoiceDate = dateField(QStringLiteral("invoicedate"), params.invoiceDate, this);
    m_invoiceDate->setEnabled(invoiceDateEditable);
    m_expireDate = dateField(QStringLiteral("expiredate"), params.expireDate, this);
    m_operationDate = dateField(QStringLiteral("operationdate"), params.operationDate, this);
    m_information = new QLineEdit(params.information, this);
    m_information->setObjectName(QStringLiteral("information"));
    m_information->setMaxLength(254);

    form->addRow(tr("Валюта"), m_currency);
    form->addRow(tr("Курс"), m_rate);
    form->addRow(tr("Форма оплаты"), m_payment);
    form->addRow(tr("Тип"), m_type);
    form->addRow(tr("Дата счетов"), m_invoiceDate);
    form->addRow(tr("Заплатить до"), m_expireDate);
    form->addRow(tr("Дата операции"), m_operationDate);
    form->addRow(tr("Информация"), m_information);

    m_currency->setIntKey(params.currKey);
    if (params.paymentKey > 0)
        m_payment->setKey(params.paymentKey);
    if (params.invoiceTypeKey > 0)
        m_type->setKey(params.invoiceTypeKey);
    m_rate->setText(rateText(params.rate));

    connect(m_currency, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_invoiceDate, &TxCheckedEdit::valueCommitted, this, [this] { guarded(this, [&] { showRate(); }); });
    connect(m_rate, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });
    connect(m_information, &QLineEdit::editingFinished, this, [this] { guarded(this, [&] { rateLeft(); }); });

    layout->addLayout(korvex::widgets::confirmRow(this, [this] {
                          bool ok = false;
                          guarded(this, [&] { ok = accepted(); });
                          return ok;
                      }).layout);
    resize(460, sizeHint().height());
}

TdlgRentMakeInvoice::~TdlgRentMakeInvoice() = default;

void TdlgRentMakeInvoice::showRate()
{
    const std::optional<int> currency = m_currency->intKey();
    const std::optional<QDate> date = m_invoiceDate->dateValue();
    double rate = 0;
    if (currency && date) {
        korvex::reference::TboCurrency rates(m_context);
        if (rates.FindRate(*currency, {}, *date))
            rate = rates.Rate;
    }
    m_rate->setText(rateText(rate));
}

bool TdlgRentMakeInvoice::rateLeft()
{
    const std::optional<double> rate = typedRate(this, m_rate);
    if (!rate)
        return false;
    const std::optional<int> currency = m_currency->intKey();
    const std::optional<QDate> date = m_invoiceDate->dateValue();
    if (currency && date && *rate > 0) {
        // The rate shown came from the table; only a changed one is recorded.
        korvex::reference::TboCurrency rates(m_context);
        const bool known = rates.FindRate(*currency, {}, *date) && rates.fordate == *date
                           && korvex::amount::sameAmount(rates.Rate, *rate);
        if (!known)
            noteTypedRate(m_typedRates, {*currency, *date, *rate});
    }
    return true;
}

bool TdlgRentMakeInvoice::require(QWidget *field, bool filled, const QString &message)
{
    if (filled)
        return true;
    TxMessages::warning(this, message, TxPrompt::attentionBang());
    field->setFocus();
    return false;
}

bool TdlgRentMakeInvoice::accepted()
{
    if (!rateLeft())
        return false;
    if (!require(m_payment, m_payment->intKey().has_value(), tr("Выберите форму оплаты"))
        || !require(m_type, m_type->intKey().has_value(), tr("Выберите тип задолженности"))
        || !require(m_invoiceDate, m_invoiceDate->dateValue().has_value(), tr("Введиете дату")))
        return false;
    TInvoiceParams p = m_params;
    p.currKey = m_currency->intKey();
    p.paymentKey = m_payment->intKey().value_or(0);
    p.invoiceTypeKey = m_type->intKey().value_or(0);
    p.invoiceDate = m_invoiceDate->dateValue().value_or(QDate());
    p.expireDate = m_expireDate->dateValue().value_or(QDate());
    p.operationDate = m_operationDate->dateValue().value_or(QDate());
    p.rate = korvex::amount::parseNumber(m_rate->text()).value_or(0);
    p.information = m_information->text().trimmed();
    p.typedRates = m_typedRates;
    m_params = p;
    return true;
}

} // namespace korvex::billing
