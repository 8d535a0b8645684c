#pragma once

#include "widgets/xCondition.h"
#include "widgets/xRtsValues.h"

#include <QColor>
#include <QFont>

namespace korvex::widgets {

// Stored colours and fonts and Qt's. A system colour becomes the colour of
// the application's palette for that screen element; "no colour" an invalid
// QColor.
QColor toQColor(int color);
// An invalid colour is "no colour".
int toStoredColor(const QColor &color);

// A font with the stored name, size and style letters; what is missing (or
// a family this system lacks) is taken from base.
QFont toQFont(const QString &name, int size, const QString &style, const QFont &base);
QString styleLetters(const QFont &font);

QFont toQFont(const TConditionFont &font, const QFont &base);
TConditionFont toConditionFont(const QFont &font, const QColor &color);

} // namespace korvex::widgets
