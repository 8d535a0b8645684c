#include "dlgFine.h"

#include "db/xBusinessError.h"
#include "reference/ui/referenceLookups.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace korvex::calc {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxMessages;

TdlgFine::TdlgFine(korvex::shell::TAppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("dlgFine"));
    setWindowTitle(tr("Расчет пени"));
    TFineParameters p;
    korvex::widgets::guarded(this, [&] { p.load(context.options); });

    m_coefficient = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_coefficient->setObjectName(QStringLiteral("coefficient"));
    m_coefficient->setEmptyAllowed(false);
    m_coefficient->setFloatValue(p.coefficient);
    m_service = korvex::reference::newServiceBox(context.db, QStringLiteral("service"), this);
    m_service->setIntKey(p.serviceKey > 0 ? std::optional<int>(p.serviceKey) : std::nullopt);
    m_penalty = korvex::reference::newServiceBox(context.db, QStringLiteral("penalty"), this);
    m_penalty->setIntKey(p.penaltyServiceKey > 0 ? std::optional<int>(p.penaltyServiceKey) : std::nullopt);
    m_start = korvex::widgets::newDateEdit(p.startDate, QStringLiteral("startDate"), this);
    m_end = korvex::widgets::newDateEdit(p.endDate, QStringLiteral("endDate"), this);
    m_round = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_round->setObjectName(QStringLiteral("round"));
    m_round->setEmptyAllowed(false);
    m_round->setFloatValue(p.roundStep);
    m_payment = korvex::reference::newPaymentBox(context.db, QStringLiteral("payment"), this);
    m_allPayments = new QCheckBox(tr("По всем формам"), this);
    m_allPayments->setObjectName(QStringLiteral("allPayments"));
    m_allPayments->setChecked(true);
    m_payment->setEnabled(false);
    connect(m_allPayments, &QCheckBox::toggled, m_payment, [this](bool all) { m_payment->setEnabled(!all); });

    auto *period = new QHBoxLayout;
    period->addWidget(m_start);
    period->addWidget(new QLabel(QStringLiteral("-"), this));
    period->addWidget(m_end);
    auto *payment = new QHBoxLayout;
    payment->addWidget(m_payment, 1);
    payment->addWidget(m_allPayments);
    auto *form = new QFormLayout;
    form->addRow(tr("Коэффициент"), m_coefficient);
    form->addRow(tr("Услуга"), m_service);
    form->addRow(tr("Пеня"), m_penalty);
    form->addRow(tr("Период"), period);
    form->addRow(tr("Округлить до"), m_round);
    form->addRow(tr("Форма оплаты"), payment);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(korvex::widgets::confirmRow(this, [this] { return confirm(); }).layout);
}

TFineParameters TdlgFine::parameters() const
{
    TFineParameters p;
    p.coefficient = m_coefficient->floatValue().value_or(0);
    p.serviceKey = m_service->intKey().value_or(0);
    p.penaltyServiceKey = m_penalty->intKey().value_or(0);
    p.startDate = m_start->date();
    p.endDate = m_end->date();
    p.roundStep = m_round->floatValue().value_or(1);
    p.allPayments = m_allPayments->isChecked();
    p.paymentKey = m_payment->intKey().value_or(0);
    return p;
}

bool TdlgFine::confirm()
{
    // A number field still holding bad text (Enter pressed in it) gives its
    // remembered number back and keeps the focus, as leaving it does.
    for (TxCheckedEdit *edit : {m_coefficient, m_round}) {
        if (!edit->floatValue()) {
            edit->clearFocus();
            edit->setFocus();
            return false;
        }
    }
    try {
        TFineValues::check(parameters());
    } catch (const korvex::db::EBusinessError &e) {
        TxMessages::warning(this, e.message());
        QWidget *field = m_end;
        if (parameters().serviceKey <= 0)
            field = m_service;
        else if (!m_allPayments->isChecked() && parameters().paymentKey <= 0)
            field = m_payment;
        field->setFocus();
        return false;
    }
    return true;
}

void TdlgFine::done(int result)
{
    korvex::widgets::guarded(this, [&] { parameters().save(m_context.options); });
    QDialog::done(result);
}

} // namespace korvex::calc
