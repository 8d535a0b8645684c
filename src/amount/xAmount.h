#pragma once

#include <QString>
#include <optional>

// Amounts and typed numbers: the one way every screen and business object
// reads a number the user typed, compares two amounts and rounds to a step.
// Amounts are doubles because the shared tables hold them so; they are
// compared at kopeck precision here and rounded only where a rule says so.
namespace korvex::amount {

// A number as a user types it or a stored option holds it: a decimal comma
// or point, spaces (also no-break and narrow no-break ones) between digit
// groups, a leading sign (the minus sign U+2212 too), an exponent ("1e-05").
// None for empty text, for anything else, and for values beyond the doubles
// (infinity, NaN).
std::optional<double> parseNumber(const QString &text);

// How numbers are shown, on every screen alike (grids, trees, dialogs):
// with the separators of the default locale (QLocale(), Russian in the
// program: decimal comma, thousands grouped by a space), so that what is
// shown is read back by parseNumber.
//
// Money in a list: two decimals, thousands grouped ("1 234 567,80"); a
// value with finer digits (a tariff of 0,0125 per unit) shows them, up to
// six decimals, so that no price looks rounded that is not.
QString formatMoney(double amount);
// Numbers in edit fields (and cells typed into) are not grouped, so that
// they are typed over as they are shown; the text read back is the value.
// A number in a field: the digits it has ("1234,5", "0,0108108108108108").
QString formatNumberField(double value);
// Money in a field: the digits it has, never fewer than two decimals
// ("1234,50", "0,0125").
QString formatMoneyField(double amount);
// A rate, coefficient or any other measured number: the digits it has (up
// to 15 significant, so that float noise is not shown), no trailing zeros,
// thousands grouped ("92,5", "0,0108108108108108", "12 345").
QString formatRate(double value);
// A derived figure, such as a cross rate or a reciprocal: a few significant
// digits, never fewer than the whole part ("0,0108108", "92,5", "12 346").
QString formatSignificant(double value, int digits = 6);
// A number with a fixed number of decimals, thousands grouped.
QString formatFixed(double value, int decimals);
// A number as it is typed back into a field: every digit, a decimal comma
// (parseNumber reads it back exactly).
QString typedText(double value);

// The whole number of kopecks an amount shows with two decimals, half a
// kopeck away from zero. Noise below a millionth is dropped first, so that
// sums such as 0.1 + 0.2 count as the 30 kopecks they stand for.
double kopecks(double amount);

// Whether two amounts are the same to the kopeck: they show the same
// kopecks. Never compare amounts with ==.
bool sameAmount(double a, double b);

// The nearest whole number, a tie going to the even one.
double roundHalfEven(double x);

// A value rounded to a multiple of a step: step x the nearest whole number to
// value / step + 0.000001 (a tie to the even one, so a positive half goes up
// and a negative half toward zero). Unchanged when the step is 0 or
// |value / step| exceeds 2,000,000,000. The one place amounts are rounded.
double roundToStep(double value, double step);

} // namespace korvex::amount
