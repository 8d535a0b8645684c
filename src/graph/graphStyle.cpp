#include "graphStyle.h"

#include <cmath>

namespace korvex::graph {

namespace {

struct NamedColor {
    const char *name;
    quint32 bgr;  // 00BBGGRR
};

// The standard colour names, the written name first where two share a value.
const NamedColor StandardColors[] = {
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},   {"clGreen", 0x008000},  {"clOlive", 0x008080},
    {"clNavy", 0x800000},       {"clPurple", 0x800080},   {"clTeal", 0x808000},   {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},     {"clRed", 0x0000FF},      {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF},  {"clAqua", 0xFFFF00},   {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},  {"clCream", 0xF0FBFF},  {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0},     {"clDkGray", 0x808080},
};

// Colours of the workstation's desktop scheme, by their names and by their
// index in the "$800000nn" form; read as the usual default scheme.
struct SystemColor {
    const char *name;
    int index;
    quint32 bgr;
};
const SystemColor SystemColors[] = {
    {"clWindow", 5, 0xFFFFFF},     {"clWindowText", 8, 0x000000},  {"clHighlight", 13, 0xD77800},
    {"clHighlightText", 14, 0xFFFFFF}, {"clBtnFace", 15, 0xF0F0F0}, {"clBtnShadow", 16, 0xA0A0A0},
    {"clGrayText", 17, 0x6D6D6D},  {"clBtnText", 18, 0x000000},    {"clBtnHighlight", 20, 0xFFFFFF},
    {"clInfoText", 23, 0x000000},  {"clInfoBk", 24, 0xE1FFFF},
};

QColor fromBgr(quint32 v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

quint32 toBgr(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

std::optional<QColor> fromValue(quint32 v)
{
    if ((v & 0xFF000000u) == 0)
        return fromBgr(v);
    if ((v & 0xFF000000u) == 0x80000000u) {
        for (const SystemColor &s : SystemColors)
            if (quint32(s.index) == (v & 0xFFu))
                return fromBgr(s.bgr);
    }
    // clNone, clDefault and palette-relative values have no colour of their own.
    return std::nullopt;
}

} // namespace

std::optional<QColor> colorFromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (const NamedColor &n : StandardColors)
        if (t.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return fromBgr(n.bgr);
    for (const SystemColor &s : SystemColors)
        if (t.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return fromBgr(s.bgr);
    bool ok = false;
    quint32 v = 0;
    if (t.startsWith(QLatin1Char('$'))) {
        const QString digits = t.mid(1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        v = digits.toUInt(&ok, 16);
    } else {
        const qint64 n = t.toLongLong(&ok, 10);
        ok = ok && n >= 0 && n <= 0xFFFFFFFFLL;
        v = quint32(n);
    }
    if (!ok)
        return std::nullopt;
    return fromValue(v);
}

QString colorToText(const QColor &color)
{
    const quint32 v = toBgr(color);
    for (const NamedColor &n : StandardColors)
        if (n.bgr == v)
            return QLatin1String(n.name);
    return QStringLiteral("$%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

QColor colorOr(const QString &text, const QColor &fallback)
{
    return colorFromText(text).value_or(fallback);
}

QString fontStyleText(const QFont &font)
{
    QString s;
    if (font.bold())
        s += QLatin1Char('B');
    if (font.italic())
        s += QLatin1Char('I');
    if (font.underline())
        s += QLatin1Char('U');
    if (font.strikeOut())
        s += QLatin1Char('S');
    return s;
}

void applyFontStyle(QFont &font, const QString &letters)
{
    const QString up = letters.toUpper();
    font.setBold(up.contains(QLatin1Char('B')));
    font.setItalic(up.contains(QLatin1Char('I')));
    font.setUnderline(up.contains(QLatin1Char('U')));
    font.setStrikeOut(up.contains(QLatin1Char('S')));
}

int fontPixelSize(int pointSize)
{
    return std::max(1, int(std::lround(std::abs(pointSize) * 96.0 / 72.0)));
}

} // namespace korvex::graph
