#include "xAmount.h"

#include <QLocale>
#include <cmath>

namespace korvex::amount {

QString typedText(double value)
{
    return QString::number(value, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

std::optional<double> parseNumber(const QString &text)
{
    QString t;
    t.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u' ':
        case u'\t':
        case 0x00A0:  // no-break space
        case 0x202F:  // narrow no-break space, the group separator of the Russian locale
        case 0x2009:  // thin space
            break;
        case u',': t.append(QLatin1Char('.')); break;
        case 0x2212: t.append(QLatin1Char('-')); break;
        default: t.append(c);
        }
    }
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double kopecks(double amount)
{
    return std::round(std::round(amount * 1e6) / 1e4);
}

bool sameAmount(double a, double b)
{
    return kopecks(a) == kopecks(b);
}

double roundHalfEven(double x)
{
    const double r = std::round(x);  // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5)
        return 2.0 * std::round(x / 2.0);
    return r;
}

double roundToStep(double value, double step)
{
    if (step == 0)
        return value;
    const double q = value / step;
    if (!(std::fabs(q) <= 2000000000.0))
        return value;
    return step * roundHalfEven(q + 0.000001);
}

} // namespace korvex::amount
