#include "xRtsValues.h"

#include <array>

namespace korvex::widgets::rts {

namespace {

struct NamedColor {
    const char *name;
    quint32 value;
};

// The first name of a value is the one written.
constexpr std::array<NamedColor, 54> kNames = {{
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080},      {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},       {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},        {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},      {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},      {"clMedGray", 0xA4A0A0},    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clScrollBar", 0xFF000000}, {"clBackground", 0xFF000001}, {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003}, {"clMenu", 0xFF000004}, {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006}, {"clMenuText", 0xFF000007}, {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009}, {"clActiveBorder", 0xFF00000A}, {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C}, {"clHighlight", 0xFF00000D}, {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F}, {"clBtnShadow", 0xFF000010}, {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012}, {"clInactiveCaptionText", 0xFF000013}, {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015}, {"cl3DLight", 0xFF000016}, {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018}, {"clHotLight", 0xFF00001A}, {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C}, {"clMenuHighlight", 0xFF00001D}, {"clMenuBar", 0xFF00001E},
    {"clNone", 0x1FFFFFFF},     {"clDefault", 0x20000000},
}};

int normalized(quint32 v)
{
    // Older programs marked system colours with the top bit only.
    if ((v & 0xFF000000u) == 0x80000000u)
        v = 0xFF000000u | (v & 0xFFu);
    return int(v);
}

} // namespace

bool isSystemColor(int color)
{
    return (quint32(color) & 0xFF000000u) == 0xFF000000u;
}

QString colorText(int color)
{
    for (const NamedColor &n : kNames) {
        if (int(n.value) == color)
            return QString::fromLatin1(n.name);
    }
    return QLatin1Char('$') + QStringLiteral("%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

QString colorNumberText(int color)
{
    return QString::number(color);
}

std::optional<int> parseColor(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (t.startsWith(QLatin1String("cl"), Qt::CaseInsensitive)) {
        for (const NamedColor &n : kNames) {
            if (t.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
                return int(n.value);
        }
        return std::nullopt;
    }
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < qint64(INT_MIN) || v > qint64(0xFFFFFFFFll))
        return std::nullopt;
    return normalized(quint32(v));
}

QString styleLetters(bool bold, bool italic, bool underline, bool strikeOut)
{
    QString s;
    if (bold)
        s += QLatin1Char('B');
    if (italic)
        s += QLatin1Char('I');
    if (underline)
        s += QLatin1Char('U');
    if (strikeOut)
        s += QLatin1Char('S');
    return s;
}

bool hasStyle(const QString &letters, QChar letter)
{
    return letters.contains(letter, Qt::CaseInsensitive);
}

QString alignText(TAlign a)
{
    switch (a) {
    case TAlign::Right: return QStringLiteral("R");
    case TAlign::Center: return QStringLiteral("C");
    case TAlign::Left: break;
    }
    return QStringLiteral("L");
}

TAlign parseAlign(const QString &text)
{
    const QString t = text.trimmed().left(1).toUpper();
    if (t == QLatin1String("C"))
        return TAlign::Center;
    if (t == QLatin1String("R"))
        return TAlign::Right;
    return TAlign::Left;
}

} // namespace korvex::widgets::rts

namespace korvex::widgets {

TRtsFont TRtsFont::completedWith(const TRtsFont &current) const
{
    TRtsFont f = *this;
    if (!f.color)
        f.color = current.color;
    if (!f.size || *f.size <= 0)
        f.size = current.size;
    if (!f.style)
        f.style = current.style;
    if (!f.name || f.name->isEmpty())
        f.name = current.name;
    return f;
}

} // namespace korvex::widgets
