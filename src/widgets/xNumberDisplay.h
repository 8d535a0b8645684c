#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class QAbstractItemModel;

namespace korvex::widgets {

// How the numbers of a grid or tree column are shown: the one display rule
// of the program's lists (the texts themselves come from korvex::amount).
enum class TNumberKind {
    Auto,         // by the field name and the value (numberKindOfField)
    Money,        // two decimals, thousands grouped, right-aligned
    Rate,         // the digits it has, right-aligned
    Significant,  // a few significant digits (cross rates, reciprocals)
    Integer,      // whole numbers as they are (keys, counts, codes)
};

// The header role through which a model may say how a column's numbers are
// shown: headerData(column, Qt::Horizontal, NumberKindRole) answers an int
// of TNumberKind. Grids and trees ask it before the field-name rule.
inline constexpr int NumberKindRole = Qt::UserRole + 0x4E4B;

// A value of a whole-number type (keys, codes, counts).
bool isWholeNumber(const QVariant &v);

// The rule by field name: amounts are held as pairs whose columns end in
// "ncu" (roubles) and "curr" (currency) - money; every other number is shown
// with the digits it has.
TNumberKind numberKindOfField(const QString &field);

// The kind of a model's column: what the model says through NumberKindRole,
// else the rule by field name.
TNumberKind numberKindOfColumn(const QAbstractItemModel &model, int column, const QString &field);

// The text of a cell value shown as a number of the kind, or none for a
// value that is no number (text, dates, null). Whole numbers (keys, codes,
// counts) are shown as they are; floating ones by the kind (Auto: Rate).
std::optional<QString> numberText(const QVariant &value, TNumberKind kind);

} // namespace korvex::widgets
