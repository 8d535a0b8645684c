#pragma once

#include <QString>
#include <optional>

namespace korvex::widgets {

// The values of a stored grid layout (fin_rts, fin_rtsfield) in their stored
// form, shared with the other modules of the product family: colours are
// Windows colour values (0x00BBGGRR, system colours 0xFF0000nn), font styles
// the letters "BIUS", alignments "L", "R", "C".
namespace rts {

constexpr int clNone = 0x1FFFFFFF;
constexpr int clDefault = 0x20000000;
constexpr int clBlack = 0x000000;
constexpr int clWhite = 0xFFFFFF;
constexpr int clRed = 0x0000FF;
// A system colour: the colour of a screen element (window, button face ...).
constexpr int clSystemColor = int(0xFF000000u);
constexpr int clWindow = clSystemColor | 5;
constexpr int clWindowText = clSystemColor | 8;
constexpr int clHighlight = clSystemColor | 13;
constexpr int clHighlightText = clSystemColor | 14;
constexpr int clBtnFace = clSystemColor | 15;
constexpr int clBtnText = clSystemColor | 18;

// A colour by its name where it has one ("clBlack"), else "$" and eight
// hexadecimal digits.
QString colorText(int color);
// The grid's font colour is stored as the colour's decimal number.
QString colorNumberText(int color);
// Names (any letter case), "$" hexadecimal and decimal numbers; none for an
// empty or unreadable text. The old system-colour base 0x80000000 reads as
// the current one.
std::optional<int> parseColor(const QString &text);
bool isSystemColor(int color);

// "B", "I", "U", "S" in this order, each when set.
QString styleLetters(bool bold, bool italic, bool underline, bool strikeOut);
bool hasStyle(const QString &letters, QChar letter);

enum class TAlign { Left, Right, Center };
QString alignText(TAlign a);
// The first letter, upper-cased: "C" centre, "R" right, anything else left.
TAlign parseAlign(const QString &text);

} // namespace rts

// A font as the layout keeps it; a missing value keeps the grid's own.
struct TRtsFont {
    std::optional<int> color;
    std::optional<int> size;  // points; only above 0
    std::optional<QString> style;
    std::optional<QString> name;

    // Every missing value taken from the other font.
    TRtsFont completedWith(const TRtsFont &current) const;
    bool operator==(const TRtsFont &o) const = default;
};

// One column of a layout (a fin_rtsfield row, or the grid's column for the
// field).
struct TCachedStore {
    QString FieldName;
    int FieldKey = -1;        // -1 while not stored
    bool Untouched = false;   // made for a data set that had no stored layout
    bool HasColumn = false;   // the grid shows the field

    TRtsFont TitleFont;
    rts::TAlign TitleAlignment = rts::TAlign::Left;
    std::optional<int> TitleColor;
    TRtsFont Font;
    std::optional<int> Color;

    int FieldOrder = 0;
    bool Visible = true;
    QString DisplayLabel;
    int DisplayWidth = 0;  // characters
    QString DisplayFormat;
    rts::TAlign Alignment = rts::TAlign::Left;
    QString EditMask;

    // Set on the table-settings page only; the store reads them.
    bool Resizeable = true;
    int MaxWidth = -1;
    int MinWidth = -1;
};

// The grid-wide values of a layout (a fin_rts row).
struct TRtsGridValues {
    TRtsFont Font;
    TRtsFont TitleFont;
    std::optional<int> Color;
    std::optional<int> TitleColor;
    std::optional<int> ColorSelected;
    bool Striped = true;
    std::optional<int> StripeOne;
    std::optional<int> StripeTwo;
    std::optional<bool> ScaleColumns;  // none: the grid keeps its setting
    bool CondFormat = false;
    bool ShowLines = false;
    std::optional<QByteArray> Settings;  // the rules and line fields; none: as designed
};

} // namespace korvex::widgets
