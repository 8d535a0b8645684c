#include "dlgRentMakeReckoning.h"

#include "calc/ui/calcLookups.h"
#include "calc/ui/reckoningWidgets.h"

#include "calc/boRentVariable.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::calc {

using korvex::widgets::guarded;
using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;

TdlgRentMakeReckoning::TdlgRentMakeReckoning(korvex::shell::TAppContext &context, int contractServiceKey,
                                             double costNcu, double costCurr, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_windows(this)
    , m_types(context, &m_windows)
    , m_engine(context)
{
    build(costNcu, costCurr);
    guarded(this, [&] {
        if (m_engine.LoadContractService(contractServiceKey) && m_engine.TypeReckoningKey != 0)
            m_type->setKey(m_engine.TypeReckoningKey);
    });
}

TdlgRentMakeReckoning::TdlgRentMakeReckoning(korvex::shell::TAppContext &context, const TContractServiceEdit &row,
                                             QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_windows(this)
    , m_types(context, &m_windows)
    , m_engine(context)
{
    build(row.costNcu, row.costCurr);
    guarded(this, [&] { m_engine.LoadEditedContractService(row, 0); });
    if (row.typeReckoningKey)
        m_type->setKey(*row.typeReckoningKey);
}

void TdlgRentMakeReckoning::build(double costNcu, double costCurr)
{
    setObjectName(QStringLiteral("dlgRentMakeReckoning"));
    setWindowTitle(tr("Рассчет цен"));
    auto *layout = new QVBoxLayout(this);

    auto *prices = new QFormLayout;
    m_ncu = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_ncu->setObjectName(QStringLiteral("costncu"));
    m_ncu->setAlignment(Qt::AlignRight);
    m_ncu->setEmptyAllowed(false);
    m_curr = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_curr->setObjectName(QStringLiteral("costcurr"));
    m_curr->setAlignment(Qt::AlignRight);
    m_curr->setEmptyAllowed(false);
    prices->addRow(tr("Цена в рублях"), m_ncu);
    prices->addRow(tr("Цена в валюте"), m_curr);
    layout->addLayout(prices);

    const TPriceSwitch target = newPriceSwitch(tr("Рассчитать"), QStringLiteral("toCurr"), QStringLiteral("toNcu"), this);
    m_toCurr = target.curr;
    m_toNcu = target.ncu;
    m_toCurr->setChecked(true);
    layout->addWidget(target.box);

    auto *byType = new QGroupBox(tr("Выбор формулы"), this);
    auto *byTypeLayout = new QHBoxLayout(byType);
    m_type = newReckoningTypeBox(m_types, QStringLiteral("typereckoning"), byType);
    m_reckonType = m_type->addButton(QStringLiteral("="), tr("Рассчитать"));
    m_reckonType->setObjectName(QStringLiteral("reckonType"));
    connect(m_reckonType, &QToolButton::clicked, this, [this] { reckonByType(); });
    byTypeLayout->addWidget(m_type);
    layout->addWidget(byType);

    auto *byFormula = new QGroupBox(tr("Рассчет по формуле"), this);
    auto *byFormulaLayout = new QHBoxLayout(byFormula);
    m_formula = new QLineEdit(byFormula);
    m_formula->setObjectName(QStringLiteral("formula"));
    m_choose = new QToolButton(byFormula);
    m_choose->setObjectName(QStringLiteral("chooseVariable"));
    m_choose->setText(QStringLiteral("..."));
    m_choose->setToolTip(tr("Выбо переменной"));
    m_reckonFormula = new QToolButton(byFormula);
    m_reckonFormula->setObjectName(QStringLiteral("reckonFormula"));
    m_reckonFormula->setText(QStringLiteral("="));
    m_reckonFormula->setToolTip(tr("Рассчитать"));
    byFormulaLayout->addWidget(m_formula, 1);
    byFormulaLayout->addWidget(m_choose);
    byFormulaLayout->addWidget(m_reckonFormula);
    connect(m_choose, &QToolButton::clicked, this, &TdlgRentMakeReckoning::chooseVariable);
    connect(m_reckonFormula, &QToolButton::clicked, this, [this] { reckonByFormula(); });
    layout->addWidget(byFormula);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("Ок"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_ncu->setText(priceText(costNcu));
    m_curr->setText(priceText(costCurr));
    resize(480, 300);
}

TdlgRentMakeReckoning::~TdlgRentMakeReckoning() = default;

double TdlgRentMakeReckoning::costNcu() const
{
    return m_ncu->floatValue().value_or(0);
}

double TdlgRentMakeReckoning::costCurr() const
{
    return m_curr->floatValue().value_or(0);
}

void TdlgRentMakeReckoning::takePrices()
{
    m_engine.CostNCU = costNcu();
    m_engine.CostCurr = costCurr();
}

void TdlgRentMakeReckoning::showResult(bool ok, double value)
{
    if (!ok) {
        // The fields keep their prices; the user learns why.
        TxMessages::warning(this, formulaErrorText(m_engine.failureReason()), korvex::widgets::TxPrompt::attentionBang());
        return;
    }
    (m_toNcu->isChecked() ? m_ncu : m_curr)->setText(priceText(value));
}

bool TdlgRentMakeReckoning::reckonByType()
{
    m_type->resolveText();
    bool ok = false;
    guarded(this, [&] {
        takePrices();
        double value = 0;
        const QVariant key = m_type->key();
        ok = !key.isNull() && m_engine.RunReckoningType(key.toInt(), value);
        showResult(ok, value);
    });
    return ok;
}

bool TdlgRentMakeReckoning::reckonByFormula()
{
    bool ok = false;
    guarded(this, [&] {
        takePrices();
        double value = 0;
        ok = m_engine.EvaluateFormula(m_formula->text(), value);
        showResult(ok, value);
    });
    return ok;
}

void TdlgRentMakeReckoning::chooseVariable()
{
    // The built-in variables and the user variables of the dictionary.
    TboRentVariable dictionary(m_context, &m_windows);
    const QString name = dictionary.ChooseVariable().trimmed();
    if (name.isEmpty())
        return;
    m_formula->setText(m_formula->text() + QLatin1Char(' ') + name + QLatin1Char(' '));
    m_formula->setFocus();
}

bool ShowPriceReckoning(QWidget *owner, korvex::shell::TAppContext &context, int contractServiceKey, double &costNcu,
                        double &costCurr)
{
    TdlgRentMakeReckoning dlg(context, contractServiceKey, costNcu, costCurr, owner);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    costNcu = dlg.costNcu();
    costCurr = dlg.costCurr();
    return true;
}

bool ShowPriceReckoning(QWidget *owner, korvex::shell::TAppContext &context, const TContractServiceEdit &row,
                        double &costNcu, double &costCurr)
{
    TdlgRentMakeReckoning dlg(context, row, owner);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    costNcu = dlg.costNcu();
    costCurr = dlg.costCurr();
    return true;
}

} // namespace korvex::calc
