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

namespace {

// Shortest text in fixed notation, no exponent; "-0" is "0".
QString fixedShortest(double value)
{
    if (value == 0)
        value = 0;  // drops the sign of -0
    return QLocale().toString(value, 'f', QLocale::FloatingPointShortest);
}

// The value rounded to so many significant digits (through its decimal text,
// so that 0.1 stays 0.1).
double significant(double value, int digits)
{
    return QString::number(value, 'g', digits).toDouble();
}

} // namespace

QString formatMoney(double amount)
{
    if (!std::isfinite(amount))
        return QString();
    // The fewest decimals (two at least) that lose nothing but float noise.
    const double tolerance = 1e-9 * qMax(1.0, std::fabs(amount));
    int decimals = 2;
    while (decimals < 6) {
        const double scale = std::pow(10.0, decimals);
        if (std::fabs(std::round(amount * scale) / scale - amount) <= tolerance)
            break;
        ++decimals;
    }
    return formatFixed(amount, decimals);
}

QString formatNumberField(double value)
{
    if (!std::isfinite(value))
        return QString();
    QLocale plain;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    if (value == 0)
        value = 0;  // drops the sign of -0
    return plain.toString(significant(value, 15), 'f', QLocale::FloatingPointShortest);
}

QString formatMoneyField(double amount)
{
    QString text = formatNumberField(amount);
    if (text.isEmpty())
        return text;
    const QString point = QLocale().decimalPoint();
    qsizetype at = text.indexOf(point);
    if (at < 0) {
        at = text.size();
        text += point;
    }
    while (text.size() - at - point.size() < 2)
        text += QLocale().zeroDigit();
    return text;
}

QString formatRate(double value)
{
    if (!std::isfinite(value))
        return QString();
    return fixedShortest(significant(value, 15));
}

QString formatSignificant(double value, int digits)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return fixedShortest(0);
    // The whole part is never cut: 12345.67 with 3 digits is 12346.
    const int whole = int(std::floor(std::log10(std::fabs(value)))) + 1;
    return fixedShortest(significant(value, qMax(digits, whole)));
}

QString formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    QString text = QLocale().toString(value, 'f', decimals);
    // -0,00 is 0,00.
    if (text.startsWith(QLocale().negativeSign()) && parseNumber(text).value_or(1) == 0)
        text.remove(0, QLocale().negativeSign().size());
    return text;
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
