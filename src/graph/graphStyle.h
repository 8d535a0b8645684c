#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

namespace korvex::graph {

// Colours are kept in the database as colour texts: a standard name
// ("clBlack", "clRed", ...) or "$" and the hexadecimal 00BBGGRR value, as
// every workstation of the product family writes them.

// The colour of a text; nullopt for an empty or unknown text. Names are
// matched without regard to case; "$" takes up to eight hexadecimal digits,
// and a plain decimal number is read as the 00BBGGRR value too.
std::optional<QColor> colorFromText(const QString &text);
// The colour's text: the standard name when there is one, else "$00BBGGRR".
QString colorToText(const QColor &color);
// colorFromText with a fallback for texts that name no colour.
QColor colorOr(const QString &text, const QColor &fallback);

// Font styles are kept as the letters of their attributes in the order B
// (bold), I (italic), U (underline), S (strike-out); "" for none. Reading
// takes the letters anywhere in the text.
QString fontStyleText(const QFont &font);
void applyFontStyle(QFont &font, const QString &letters);

// Plan units are the pixels of a 96 dpi screen: a font of n points is
// n * 96 / 72 plan pixels high on every device the plan is drawn on.
int fontPixelSize(int pointSize);

} // namespace korvex::graph
