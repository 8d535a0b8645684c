#include "reckoningWidgets.h"

#include "amount/xAmount.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QWidget>

namespace korvex::calc {

TPriceSwitch newPriceSwitch(const QString &title, const QString &currName, const QString &ncuName, QWidget *parent)
{
    TPriceSwitch s;
    s.box = new QGroupBox(title, parent);
    auto *layout = new QHBoxLayout(s.box);
    s.curr = new QRadioButton(QObject::tr("Валютная цена"), s.box);
    s.curr->setObjectName(currName);
    s.ncu = new QRadioButton(QObject::tr("Рублевая цена"), s.box);
    s.ncu->setObjectName(ncuName);
    layout->addWidget(s.curr);
    layout->addWidget(s.ncu);
    return s;
}

QString answerText(double value)
{
    return korvex::amount::formatRate(value);
}

QString formulaErrorText(const QString &reason)
{
    const QString text = QObject::tr("Ошибка в формуле.");
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

QString priceText(double value)
{
    return korvex::amount::formatMoneyField(value);
}

} // namespace korvex::calc
