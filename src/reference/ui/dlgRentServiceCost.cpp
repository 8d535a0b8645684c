#include "dlgRentServiceCost.h"

#include "dlgCurr.h"
#include "referenceLookups.h"

#include "amount/xAmount.h"
#include "calc/boRentReckoningType.h"
#include "calc/ui/calcLookups.h"
#include "calc/ui/reckoningWidgets.h"
#include "db/xDbError.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xLookupSource.h"
#include "widgets/xPrompt.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <stdexcept>

namespace korvex::reference {

using korvex::widgets::guarded;
using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;
using korvex::widgets::TxTableLookup;

namespace {

void setPrice(TxCheckedEdit *field, const std::optional<double> &value)
{
    if (value)
        field->setText(korvex::amount::formatMoneyField(*value));
    else
        field->clear();
}

} // namespace

TdlgRentServiceCost::TdlgRentServiceCost(TboRentServiceCost &bo, const TServiceCostRecord &record, bool isNew,
                                         QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
    , m_calcWindows(this)
    , m_objects(new TboRentObject(bo.context(), bo.dialogs(), this))
    , m_services(new TboRentService(bo.context(), bo.dialogs(), this))
    , m_currencies(new TboCurrency(bo.context(), bo.dialogs(), this))
    , m_reckoning(new korvex::calc::TboRentReckoningType(bo.context(), &m_calcWindows, this))
{
    setObjectName(QStringLiteral("dlgRentServiceCost"));
    setRecordKey(record.id);
    setWindowTitle(tr("Услуга (прайс)"));
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    korvex::db::TxDatabase &db = bo.context().db;

    m_object = newObjectChooserBox(*m_objects, QStringLiteral("object"), this);
    QToolButton *editObject = m_object->addButton(tr("О"), tr("Объект"));
    connect(editObject, &QToolButton::clicked, this, [this] {
        if (const std::optional<int> key = m_object->intKey())
            guarded(this, [&] {
                if (m_objects->EditObject(*key))
                    m_object->reload();
            });
    });

    m_service = newServiceBox(db, QStringLiteral("service"), this);
    QToolButton *editService = m_service->addButton(tr("У"), tr("Услуга"));
    connect(editService, &QToolButton::clicked, this, [this] {
        if (const std::optional<int> key = m_service->intKey())
            guarded(this, [&] {
                if (m_services->EditService(*key))
                    m_service->reload();
            });
    });

    m_currency = newCurrencyBox(db, QStringLiteral("currency"), this);
    connect(m_currency, &TxLookupBox::keyChanged, this, [this] { guarded(this, [&] { showRate(); }); });
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_rate->setAlignment(Qt::AlignRight);

    auto priceRow = [this](TxCheckedEdit *&field, QPushButton *&button, const QString &name, const QString &text) {
        auto *row = new QWidget(this);
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        field = new TxCheckedEdit(TxCheckedEdit::Kind::Float, row);
        field->setObjectName(name);
        button = new QPushButton(text, row);
        button->setObjectName(name + QStringLiteral("Button"));
        layout->addWidget(field, 1);
        layout->addWidget(button);
        return row;
    };
    QWidget *ncuRow = priceRow(m_costNcu, m_toNcu, QStringLiteral("costncu"), tr("Цена в валюте × курс"));
    QWidget *currRow = priceRow(m_costCurr, m_toCurr, QStringLiteral("costcurr"), tr("Цена в рублях / курс"));
    connect(m_toNcu, &QPushButton::clicked, this, &TdlgRentServiceCost::convertToNcu);
    connect(m_toCurr, &QPushButton::clicked, this, &TdlgRentServiceCost::convertToCurr);

    m_type = korvex::calc::newReckoningTypeBox(*m_reckoning, QStringLiteral("typereckoning"), this);

    const korvex::calc::TPriceSwitch reckon = korvex::calc::newPriceSwitch(
        tr("Рассчитывать"), QStringLiteral("reckoncurr"), QStringLiteral("reckonncu"), this);
    m_reckonCurr = reckon.curr;
    m_reckonNcu = reckon.ncu;

    form->addRow(tr("Объект"), m_object);
    form->addRow(tr("Услуга"), m_service);
    form->addRow(tr("Валюта"), m_currency);
    form->addRow(tr("Курс валюты"), m_rate);
    form->addRow(tr("Цена в рублях"), ncuRow);
    form->addRow(tr("Цена в валюте"), currRow);
    form->addRow(tr("Формула для рассчета цены"), m_type);
    form->addRow(reckon.box);

    setNextEnabled(isNew);
    addRequired(m_service, tr("Выберите услугу"), [this] { return !m_service->key().isNull(); });
    // The same message has a caption of its own for each of the two buttons.
    connect(okButton(), &QPushButton::pressed, this,
            [this] { setMessageCaption(korvex::widgets::TxPrompt::attentionBang()); });
    connect(nextButton(), &QPushButton::pressed, this, [this] { setMessageCaption(tr("Внимание!!!")); });
    display(m_record);
    resize(560, 380);
}

TdlgRentServiceCost::~TdlgRentServiceCost() = default;

void TdlgRentServiceCost::display(const TServiceCostRecord &r)
{
    m_object->setIntKey(r.objectKey);
    m_service->setIntKey(r.serviceKey);
    m_currency->setIntKey(r.currKey);  // shows its rate
    setPrice(m_costNcu, r.costNcu);
    setPrice(m_costCurr, r.costCurr);
    m_type->setIntKey(r.typeReckoningKey);
    m_reckonNcu->setChecked(r.ncuReckoning == 1);
    m_reckonCurr->setChecked(r.ncuReckoning != 1);
    guarded(this, [&] { showRate(); });
}

void TdlgRentServiceCost::showRate()
{
    m_shownRate.clear();
    const std::optional<int> currency = m_currency->intKey();
    if (currency && m_currencies->FindRate(*currency))
        m_shownRate = numberFieldText(m_currencies->Rate);
    m_rate->setText(m_shownRate);
}

bool TdlgRentServiceCost::rateTyped() const
{
    const QString text = m_rate->text().trimmed();
    return !text.isEmpty() && text != m_shownRate;
}

bool TdlgRentServiceCost::event(QEvent *e)
{
    // Rates may have changed in another window; a rate being typed is kept.
    if (e->type() == QEvent::WindowActivate && !rateTyped()) {
        try {
            showRate();
        } catch (const korvex::db::EDatabaseError &) {
            // Shown when the currency is chosen; activation only refreshes.
            m_rate->clear();
        }
    }
    return TxEditDialog::event(e);
}

void TdlgRentServiceCost::convert(TxCheckedEdit *from, TxCheckedEdit *to, bool toNcu)
{
    const std::optional<double> rate = TboRentServiceCost::rateFromText(m_rate->text());
    if (!rate) {
        // Without a rate there is nothing to convert by; the price stays.
        TxMessages::warning(this, tr("Не указан курс валюты"), korvex::widgets::TxPrompt::attentionBang());
        m_rate->setFocus();
        return;
    }
    const double price = from->floatValue().value_or(0);
    to->setText(korvex::amount::formatMoneyField(toNcu ? TboRentServiceCost::ncuFromCurr(price, *rate)
                                                       : TboRentServiceCost::currFromNcu(price, *rate)));
}

void TdlgRentServiceCost::convertToNcu()
{
    convert(m_costCurr, m_costNcu, true);
}

void TdlgRentServiceCost::convertToCurr()
{
    convert(m_costNcu, m_costCurr, false);
}

bool TdlgRentServiceCost::validate()
{
    if (!rateTyped())
        return true;
    if (m_currency->key().isNull()) {
        fail(m_currency, tr("Выберите валюту"));
        return false;
    }
    if (!TboRentServiceCost::rateFromText(m_rate->text())) {
        fail(m_rate, tr("Курс должен быть больше нуля"));
        return false;
    }
    return true;
}

int TdlgRentServiceCost::writeRecord()
{
    TServiceCostRecord r = m_record;
    r.id = recordKey();
    r.objectKey = m_object->intKey();
    r.serviceKey = m_service->intKey();
    r.currKey = m_currency->intKey();
    r.costNcu = m_costNcu->floatValue();
    r.costCurr = m_costCurr->floatValue();
    r.typeReckoningKey = m_type->intKey();
    r.ncuReckoning = m_reckonNcu->isChecked() ? 1 : 0;
    m_bo.writeServiceCost(r);
    if (rateTyped()) {
        // Recorded with the row, in its transaction.
        m_currencies->SetRate(*r.currKey, *TboRentServiceCost::rateFromText(m_rate->text()));
    }
    return r.id;
}

void TdlgRentServiceCost::afterSave()
{
    if (rateTyped())
        m_shownRate = m_rate->text().trimmed();
}

void TdlgRentServiceCost::startNextRecord()
{
    TServiceCostRecord next = m_bo.newRecord(m_record.parent);
    // The switch stays as chosen for the next row.
    next.ncuReckoning = m_reckonNcu->isChecked() ? 1 : 0;
    m_record = next;
    display(m_record);
    m_object->setFocus();
}

} // namespace korvex::reference
