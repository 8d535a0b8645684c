#include "xDisplayFormat.h"

#include "xCondition.h"

#include <QDateTime>
#include <cmath>

namespace korvex::widgets {

namespace {

QString formatNumber(const QString &format, double x, const QLocale &locale)
{
    const QString section = format.section(QLatin1Char(';'), 0, 0);
    // The number pattern is the first run of "0", "#", "." and ",".
    auto inPattern = [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',');
    };
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < section.size(); ++i) {
        if (!inPattern(section.at(i)))
            continue;
        first = i;
        last = i;
        while (last + 1 < section.size() && inPattern(section.at(last + 1)))
            ++last;
        break;
    }
    if (first < 0)
        return section;
    const QString pattern = section.mid(first, last - first + 1);
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? pattern : pattern.left(point);
    const QString fracPart = point < 0 ? QString() : pattern.mid(point + 1);
    const int maxDecimals = int(fracPart.count(QLatin1Char('0')) + fracPart.count(QLatin1Char('#')));
    const int minDecimals = int(fracPart.count(QLatin1Char('0')));
    const int minIntDigits = int(intPart.count(QLatin1Char('0')));

    QLocale l = locale;
    l.setNumberOptions(intPart.contains(QLatin1Char(',')) ? QLocale::NumberOptions() : QLocale::OmitGroupSeparator);
    QString text = l.toString(x, 'f', maxDecimals);
    // Optional decimals drop their trailing zeros.
    if (maxDecimals > minDecimals) {
        const QChar dot = l.decimalPoint().at(0);
        const qsizetype at = text.indexOf(dot);
        if (at >= 0) {
            qsizetype keep = text.size();
            while (keep > at + 1 + minDecimals && text.at(keep - 1) == QLatin1Char('0'))
                --keep;
            if (keep == at + 1)
                --keep;
            text.truncate(keep);
        }
    }
    if (minIntDigits == 0) {
        // "#.##" shows 0.5 as ".5".
        const QString zero = QStringLiteral("0") + l.decimalPoint();
        if (text.startsWith(zero))
            text.remove(0, 1);
        else if (text.startsWith(QLatin1Char('-') + zero))
            text.remove(1, 1);
        else if (text == QLatin1String("0"))
            text.clear();
    }
    return section.left(first) + text + section.mid(last + 1);
}

} // namespace

QString qtDateTimeFormat(const QString &format)
{
    QString out;
    bool afterHour = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i).toLower();
        qsizetype n = 1;
        while (i + n < format.size() && format.at(i + n).toLower() == c)
            ++n;
        const QString run = QString(n, c);
        if (c == QLatin1Char('m')) {
            out += afterHour && n <= 2 ? run : QString(n, QLatin1Char('M'));
            afterHour = false;
        } else if (c == QLatin1Char('n')) {
            out += QString(qMin<qsizetype>(n, 2), QLatin1Char('m'));
        } else if (c == QLatin1Char('h')) {
            out += run;
            afterHour = true;
        } else if (c == QLatin1Char('d') || c == QLatin1Char('y') || c == QLatin1Char('s')) {
            out += run;
        } else if (c.isLetter()) {
            out += QLatin1Char('\'') + format.mid(i, n) + QLatin1Char('\'');
        } else {
            out += format.mid(i, n);
        }
        i += n;
    }
    return out;
}

std::optional<QString> formatForDisplay(const QString &format, const QVariant &value, const QLocale &locale)
{
    if (format.isEmpty() || value.isNull())
        return std::nullopt;
    if (value.metaType().id() != QMetaType::Bool && fieldKindOf(value.metaType()) == TFieldKind::Number) {
        const double x = value.toDouble();
        if (!std::isfinite(x))
            return std::nullopt;
        return formatNumber(format, x, locale);
    }
    switch (value.metaType().id()) {
    case QMetaType::QDate: return value.toDate().toString(qtDateTimeFormat(format));
    case QMetaType::QDateTime: return value.toDateTime().toString(qtDateTimeFormat(format));
    case QMetaType::QTime: return value.toTime().toString(qtDateTimeFormat(format));
    default: return std::nullopt;
    }
}

} // namespace korvex::widgets
