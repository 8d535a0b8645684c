#include "reckoningWidgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QWidget>
#include <charconv>

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
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString formulaErrorText(const QString &reason)
{
    const QString text = QObject::tr("Ошибка в формуле.");
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

QString priceText(double value)
{
    // The shortest digits that read back as the same amount, never fewer
    // than two decimals.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buf, r.ptr - buf);
    qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) {
        point = text.size();
        text += QLatin1Char('.');
    }
    while (text.size() - point - 1 < 2)
        text += QLatin1Char('0');
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

} // namespace korvex::calc
