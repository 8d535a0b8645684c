#pragma once

#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

namespace korvex::billing {

// "Курс" of a billing document's dialog: the rate as the field shows it
// (empty for none).
QString rateText(double rate);
// The rate the user left in the field: 0 when it is empty; none for text
// that is no number, after "Ошибка!" with the cursor put back into it.
std::optional<double> typedRate(QWidget *dialog, QLineEdit *field);

} // namespace korvex::billing
