#include "rateField.h"

#include "amount/xAmount.h"
#include "widgets/ui/xMessages.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

namespace korvex::billing {

QString rateText(double rate)
{
    return rate == 0 ? QString() : korvex::amount::typedText(rate);
}

std::optional<double> typedRate(QWidget *dialog, QLineEdit *field)
{
    const QString typed = field->text().trimmed();
    if (typed.isEmpty())
        return 0.0;
    const std::optional<double> rate = korvex::amount::parseNumber(typed);
    if (!rate) {
        korvex::widgets::TxMessages::warning(dialog, QCoreApplication::translate("TRateField", "Ошибка!"),
                                             korvex::widgets::TxPrompt::attentionBang());
        QTimer::singleShot(0, field, [field] {
            field->setFocus();
            field->selectAll();
        });
    }
    return rate;
}

} // namespace korvex::billing
