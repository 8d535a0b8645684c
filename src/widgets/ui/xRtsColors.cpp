#include "xRtsColors.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>

namespace korvex::widgets {

namespace {

QColor systemColor(int index)
{
    const QPalette p = QApplication::palette();
    switch (index) {
    case 0: return p.color(QPalette::Button);            // scroll bar
    case 1: return p.color(QPalette::Dark);              // desktop
    case 2: case 27: return p.color(QPalette::Highlight);  // active caption
    case 3: case 28: return p.color(QPalette::Mid);      // inactive caption
    case 4: case 30: return p.color(QPalette::Window);   // menu
    case 5: return p.color(QPalette::Base);              // window
    case 6: case 21: return p.color(QPalette::Shadow);   // frame, 3D dark shadow
    case 7: case 8: case 18: return p.color(QPalette::Text);
    case 9: case 14: return p.color(QPalette::HighlightedText);
    case 10: case 11: case 15: return p.color(QPalette::Button);
    case 12: return p.color(QPalette::Dark);
    case 13: case 29: return p.color(QPalette::Highlight);
    case 16: return p.color(QPalette::Mid);
    case 17: case 19: return p.color(QPalette::Disabled, QPalette::Text);
    case 20: return p.color(QPalette::Light);
    case 22: return p.color(QPalette::Midlight);
    case 23: return p.color(QPalette::ToolTipText);
    case 24: return p.color(QPalette::ToolTipBase);
    case 26: return p.color(QPalette::Link);
    default: return p.color(QPalette::Window);
    }
}

} // namespace

QColor toQColor(int color)
{
    if (color == rts::clNone || color == rts::clDefault)
        return {};
    if (rts::isSystemColor(color))
        return systemColor(color & 0xFF);
    const quint32 c = quint32(color);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

int toStoredColor(const QColor &color)
{
    if (!color.isValid())
        return rts::clNone;
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QFont toQFont(const QString &name, int size, const QString &style, const QFont &base)
{
    QFont f = base;
    if (!name.isEmpty() && QFontDatabase::hasFamily(name))
        f.setFamily(name);
    if (size > 0)
        f.setPointSize(size);
    f.setBold(rts::hasStyle(style, QLatin1Char('B')));
    f.setItalic(rts::hasStyle(style, QLatin1Char('I')));
    f.setUnderline(rts::hasStyle(style, QLatin1Char('U')));
    f.setStrikeOut(rts::hasStyle(style, QLatin1Char('S')));
    return f;
}

QString styleLetters(const QFont &font)
{
    return rts::styleLetters(font.bold(), font.italic(), font.underline(), font.strikeOut());
}

QFont toQFont(const TConditionFont &font, const QFont &base)
{
    return toQFont(font.name, font.size, font.style, base);
}

TConditionFont toConditionFont(const QFont &font, const QColor &color)
{
    TConditionFont f;
    f.name = font.family();
    f.size = font.pointSize() > 0 ? font.pointSize() : 8;
    f.style = styleLetters(font);
    f.color = toStoredColor(color);
    return f;
}

} // namespace korvex::widgets
