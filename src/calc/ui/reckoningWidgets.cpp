#include "reckoningWidgets.h"

#include "calc/boRentReckoningType.h"
#include "db/xDbError.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>
#include <charconv>

namespace korvex::calc {

using korvex::widgets::TxLookupBox;
using korvex::widgets::TxMessages;

TPriceSwitch newPriceSwitch(const QString &title, const QString &currName, const QString &ncuName, QWidget *parent)
{
    TPriceSwitch s;
    s.box = new QGroupBox(title, parent);
    auto *layout = new QHBoxLayout(s.box);
    s.curr = new QRadioButton(QObject::tr("Валютная цена"), s.box);
    s.curr->setObjectName(currName);
    s.ncu = new QRadioButton(QObject::tr("Рублевая цена"), s.box);
    s.ncu->setObjectName(ncuName);
    layout->addWidget(s.curr);
    layout->addWidget(s.ncu);
    return s;
}

void connectTypeBox(TxLookupBox *box, TboRentReckoningType &types, QWidget *parent)
{
    QObject::connect(box, &TxLookupBox::textNotFound, parent, [box, &types, parent](const QString &text) {
        guardedCall(parent, [&] {
            int key = 0;
            if (types.NewReckoningType(0, text, &key) && key > 0) {
                box->reload();
                box->setKey(key);
            }
        });
    });
    QToolButton *edit = box->addButton(QObject::tr("Ф"), QObject::tr("Редактирование формулы"));
    edit->setObjectName(QStringLiteral("editType"));
    QObject::connect(edit, &QToolButton::clicked, parent, [box, &types, parent] {
        if (box->key().isNull())
            return;
        guardedCall(parent, [&] {
            if (types.EditReckoningType(box->key().toInt()))
                box->reload();
        });
    });
}

void guardedCall(QWidget *parent, const std::function<void()> &body)
{
    try {
        body();
    } catch (const korvex::db::EDatabaseError &e) {
        TxMessages::error(parent, e.message());
    }
}

QString answerText(double value)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString formulaErrorText(const QString &reason)
{
    const QString text = QObject::tr("Ошибка в формуле.");
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

QString priceText(double value)
{
    // The shortest digits that read back as the same amount, never fewer
    // than two decimals.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buf, r.ptr - buf);
    qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) {
        point = text.size();
        text += QLatin1Char('.');
    }
    while (text.size() - point - 1 < 2)
        text += QLatin1Char('0');
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

} // namespace korvex::calc
