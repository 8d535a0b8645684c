#pragma once

#include "xRtsValues.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

namespace korvex::calc {
class TxFoCal;
}

namespace korvex::widgets {

// The comparisons of a conditional-formatting rule, in the order the rule
// dialog lists them (the codes are stored).
enum TConditionOp : quint8 {
    coEqual = 0,         // "равно"
    coNotEqual = 1,      // "не равно"
    coBetween = 2,       // "между"
    coOutside = 3,       // "вне"
    coGreater = 4,       // "больше"
    coLess = 5,          // "меньше"
    coGreaterEqual = 6,  // "больше или равно"
    coLessEqual = 7,     // "меньше или равно"
    coContains = 8,      // "содержит"
};
constexpr int ConditionOpCount = 9;

// The names of the comparisons, by code.
QStringList conditionOpNames();
// "между" and "вне" compare with two values.
inline bool usesTwoValues(int op) { return op == coBetween || op == coOutside; }

struct TConditionFont {
    QString name = QStringLiteral("MS Sans Serif");
    int size = 8;
    QString style;  // letters "BIUS"
    int color = rts::clWindowText;
    bool operator==(const TConditionFont &) const = default;
};

// One rule of a grid's conditional formatting: the test field compared with
// one or two values (literals, or formulas of the calculator over the
// record's numeric fields), and the look of the matching cells in the
// columns named.
struct TCondition {
    QString Field;
    quint8 Operation = coEqual;
    QString Value1;
    QString Value2;
    bool Formulas = false;  // "Рассчитывать формулы"
    bool UseColor = false;
    int Color = rts::clWhite;
    bool UseFont = false;
    TConditionFont Font;
    QStringList Columns;  // field names
    // The numbers last calculated from the formulas (by the rule dialog).
    double Value1Num = 0;
    double Value2Num = 0;

    bool appliesToColumn(const QString &field) const;
    bool operator==(const TCondition &o) const
    {
        return Field == o.Field && Operation == o.Operation && Value1 == o.Value1 && Value2 == o.Value2
            && Formulas == o.Formulas && UseColor == o.UseColor && Color == o.Color && UseFont == o.UseFont
            && Font == o.Font && Columns == o.Columns;
    }
};

// What a field of the record is, for the rule test.
enum class TFieldKind { Text, Number, Date, Time, DateTime, Other };

// One field of the record a rule is tested on, in the data set's order.
struct TRecordValue {
    QString name;
    QVariant value;
    TFieldKind kind = TFieldKind::Text;
};
TFieldKind fieldKindOf(QMetaType type);

// The day number of a date or moment: days since 30.12.1899, the time as
// the fraction of the day, as formulas see dates.
double dayNumber(const QVariant &value);

// Tests rules on records. One calculator serves every rule: it keeps the
// compiled form of each formula, so a formula is scanned once and then only
// evaluated per record.
class TConditionTester
{
public:
    TConditionTester();
    ~TConditionTester();
    TConditionTester(const TConditionTester &) = delete;
    TConditionTester &operator=(const TConditionTester &) = delete;

    // Today's date for "dd", "mm", "yy", "yyyy" (tests fix it).
    void setToday(const QDate &today) { m_today = today; }

    // Whether the rule holds for the record. A rule whose test field the
    // record lacks, or one of whose formulas fails, does not hold.
    bool holds(const TCondition &rule, const QList<TRecordValue> &record);

    // The rule's values calculated on the record (the rule dialog's check);
    // false with the calculator's message when one fails.
    bool calculate(TCondition &rule, const QList<TRecordValue> &record, QString *error = nullptr);

    // Formula evaluations so far (each counts once).
    quint64 evaluations() const { return m_evaluations; }

private:
    void setVariables(const QList<TRecordValue> &record);
    std::optional<double> evaluate(const QString &formula, QString *error = nullptr);

    std::unique_ptr<korvex::calc::TxFoCal> m_calc;
    QDate m_today;
    quint64 m_evaluations = 0;
};

// The SETTINGS block of a stored layout: the rules and the line fields.
struct TGridSettings {
    QList<TCondition> Rules;
    QStringList LineFields;
};
QByteArray encodeGridSettings(const TGridSettings &settings);
// None when the block is cut short or malformed.
std::optional<TGridSettings> decodeGridSettings(const QByteArray &block);

// A field's name and the label its column shows.
struct TFieldLabel {
    QString name;
    QString label;
};
// Rule values are stored with field names and shown with labels. Each
// replaces whole words only (a name that is part of a longer word stays),
// ignoring letter case, the longest first; a field whose label equals its
// name is skipped.
QString labelsToNames(const QString &text, const QList<TFieldLabel> &fields);
QString namesToLabels(const QString &text, const QList<TFieldLabel> &fields);

} // namespace korvex::widgets
