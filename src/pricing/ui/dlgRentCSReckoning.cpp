#include "dlgRentCSReckoning.h"

#include "calc/ui/calcLookups.h"
#include "calc/ui/reckoningWidgets.h"

#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::calc {

using korvex::widgets::guarded;
using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;

TdlgRentCSReckoning::TdlgRentCSReckoning(korvex::shell::TAppContext &context, TContractServiceEdit &row, double rate,
                                         QWidget *parent)
    : QDialog(parent)
    , m_row(row)
    , m_windows(this)
    , m_types(context, &m_windows)
    , m_engine(context)
{
    setObjectName(QStringLiteral("dlgRentCSReckoning"));
    setWindowTitle(tr("Формулы для расчета цен"));
    auto *layout = new QVBoxLayout(this);

    const TPriceSwitch first = newPriceSwitch(tr("Первой рассчитывается"), QStringLiteral("currFirst"),
                                              QStringLiteral("ncuFirst"), this);
    m_currFirst = first.curr;
    m_ncuFirst = first.ncu;
    layout->addWidget(first.box);

    m_type = newReckoningTypeBox(m_types, QStringLiteral("typereckoning"), this);
    auto *form = new QFormLayout;
    form->addRow(tr("Формула для рассчета цены"), m_type);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    m_test = new QPushButton(tr("Проверить"), this);
    m_test->setObjectName(QStringLiteral("test"));
    m_test->setToolTip(tr("Рассчитать цену по формуле"));
    m_ok = new QPushButton(tr("Ок"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    buttons->addWidget(m_test);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    connect(m_test, &QPushButton::clicked, this, &TdlgRentCSReckoning::runTest);
    connect(m_ok, &QPushButton::clicked, this, &TdlgRentCSReckoning::confirm);

    guarded(this, [&] {
        m_engine.LoadEditedContractService(row, rate);
        const int ncuFirst = m_engine.ncuReckoningFor(row);
        m_ncuFirst->setChecked(ncuFirst == 1);
        m_currFirst->setChecked(ncuFirst != 1);
    });
    m_type->setKey(row.typeReckoningKey ? QVariant(*row.typeReckoningKey) : QVariant());
    resize(520, 180);
}

TdlgRentCSReckoning::~TdlgRentCSReckoning() = default;

void TdlgRentCSReckoning::runTest()
{
    m_type->resolveText();
    guarded(this, [&] {
        m_engine.NCUReckoning = m_ncuFirst->isChecked();
        double value = 0;
        const QVariant key = m_type->key();
        if (!key.isNull() && m_engine.RunReckoningType(key.toInt(), value))
            TxMessages::information(this, tr("Ответ: ") + answerText(value), korvex::widgets::TxPrompt::attentionBang());
        else
            TxMessages::warning(this, formulaErrorText(m_engine.failureReason()), korvex::widgets::TxPrompt::attentionBang());
    });
}

void TdlgRentCSReckoning::confirm()
{
    m_type->resolveText();
    m_row.ncuReckoning = m_ncuFirst->isChecked() ? 1 : 0;
    const QVariant key = m_type->key();
    m_row.typeReckoningKey = key.isNull() ? std::nullopt : std::optional<int>(key.toInt());
    m_closing = true;
    accept();
}

void TdlgRentCSReckoning::reject()
{
    // Escape and the window's close button: the dialog stays open.
}

void TdlgRentCSReckoning::closeEvent(QCloseEvent *event)
{
    if (m_closing)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void ShowCSReckoning(QWidget *owner, korvex::shell::TAppContext &context, TContractServiceEdit &row, double rate)
{
    TdlgRentCSReckoning dlg(context, row, rate, owner);
    dlg.exec();
}

} // namespace korvex::calc
