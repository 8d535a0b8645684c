#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

namespace korvex::widgets {

// The display formats a stored layout gives number and date columns, in the
// notation the other modules of the family write:
// - numbers: "0" a digit always shown, "#" a digit shown when needed, "." the
//   decimal point, "," anywhere before it thousands grouping; other text
//   before and after is kept ("#,##0.00 руб."); only the first of the
//   sections separated by ";" is used;
// - dates and times: "d", "dd", "m", "mm", "mmm", "mmmm", "yy", "yyyy", "h",
//   "hh", "n", "nn" (minutes; "m" after "h" means minutes too), "s", "ss".
// None when the value is neither a number nor a date (or is NULL), or the
// format is empty.
std::optional<QString> formatForDisplay(const QString &format, const QVariant &value, const QLocale &locale);

// The date-time format in Qt's notation.
QString qtDateTimeFormat(const QString &format);

} // namespace korvex::widgets
