#pragma once

#include <QString>

class QGroupBox;
class QRadioButton;
class QWidget;

namespace korvex::calc {

// What the dialogs that price or name a reckoning type share.

// The switch between the two prices under a title: "Валютная цена" (item 0)
// and "Рублевая цена" (item 1), with the object names given.
struct TPriceSwitch {
    QGroupBox *box;
    QRadioButton *curr;
    QRadioButton *ncu;
};
TPriceSwitch newPriceSwitch(const QString &title, const QString &currName, const QString &ncuName, QWidget *parent);

// A computed value as the answer shows it: every significant digit, decimal comma.
QString answerText(double value);
// "Ошибка в формуле." and, on the next line, why (the engine's failureReason()).
QString formulaErrorText(const QString &reason);
// A price as a price field shows it: the full amount, two decimals at least,
// decimal comma ("1234,50", "0,3012").
QString priceText(double value);

} // namespace korvex::calc
