#pragma once

#include <QDate>
#include <QString>

class QBoxLayout;
class QCheckBox;
class QWidget;

namespace korvex::widgets {

class TxCheckedEdit;
class TxLookupBox;

// The rows of a list's filter dialog. The caller connects the check boxes'
// toggled() to what they disable.

// A group with a period "с" ... "по" ... and "Неограниченный период": the
// dates named name + "From" / "To" (today for an invalid date), the box
// name + "Unlimited".
struct TxPeriodRow {
    TxCheckedEdit *from;
    TxCheckedEdit *to;
    QCheckBox *unlimited;
};
TxPeriodRow addPeriodRow(QWidget *dialog, QBoxLayout *layout, const QString &title, const QString &name,
                         const QDate &start, const QDate &end, bool unlimited);

// A group with a pick list (showing key when it is above 0) and the box
// that takes all of them.
QCheckBox *addChoiceRow(QWidget *dialog, QBoxLayout *layout, const QString &title, TxLookupBox *box,
                        const QString &allText, const QString &allName, bool all, int key);

} // namespace korvex::widgets
