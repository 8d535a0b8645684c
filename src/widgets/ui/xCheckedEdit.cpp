#include "xCheckedEdit.h"

#include "xMessages.h"
#include "amount/xAmount.h"

#include <QDateEdit>
#include <QFocusEvent>
#include <QLocale>
#include <QTimer>

namespace korvex::widgets {

namespace {

std::optional<QDate> parseDate(const QString &text)
{
    for (const QString &fmt : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("d.M.yyyy"), QStringLiteral("dd.MM.yy")}) {
        QDate d = QDate::fromString(text.trimmed(), fmt);
        if (d.isValid()) {
            if (fmt == QLatin1String("dd.MM.yy") && d.year() < 1950)
                d = d.addYears(100);
            return d;
        }
    }
    return std::nullopt;
}

} // namespace

TxCheckedEdit::TxCheckedEdit(Kind kind, QWidget *parent)
    : QLineEdit(parent)
    , m_kind(kind)
{
    if (kind != Kind::Date)
        setAlignment(Qt::AlignRight);
    // Text the user types is not remembered until the field is left with
    // it; a valid value the program puts in is, so that a revert never
    // brings back a value the program has since replaced (textEdited comes
    // before textChanged).
    connect(this, &QLineEdit::textEdited, this, [this] { m_typing = true; });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!m_typing && !m_reverting && isValidText(text()))
            m_remembered = text();
        m_typing = false;
    });
}

void TxCheckedEdit::complain()
{
    QString expected;
    switch (m_kind) {
    case Kind::Integer: expected = tr("Введите целое число."); break;
    case Kind::Float: expected = tr("Введите число, например 1 234,56."); break;
    case Kind::Date: expected = tr("Введите дату в виде ДД.ММ.ГГГГ."); break;
    }
    TxMessage message{TxMessageKind::Warning, TxPrompt::attentionBang(), tr("Ошибка"), false, expected};
    TxMessages(this).show(message);
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

bool TxCheckedEdit::isValidText(const QString &text) const
{
    if (text.trimmed().isEmpty())
        return m_emptyAllowed;
    switch (m_kind) {
    case Kind::Integer: {
        bool ok = false;
        text.trimmed().toInt(&ok);
        return ok;
    }
    case Kind::Float: return korvex::amount::parseNumber(text).has_value();
    case Kind::Date: return parseDate(text).has_value();
    }
    return false;
}

std::optional<int> TxCheckedEdit::intValue() const
{
    bool ok = false;
    const int v = text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<double> TxCheckedEdit::floatValue() const
{
    return korvex::amount::parseNumber(text());
}

std::optional<QDate> TxCheckedEdit::dateValue() const
{
    return parseDate(text());
}

void TxCheckedEdit::setIntValue(int v)
{
    setText(QString::number(v));
    m_remembered = text();
}

void TxCheckedEdit::setFloatValue(double v)
{
    // Every significant digit is shown: a rate or coefficient must not be
    // cut to two decimals by being displayed.
    setText(korvex::amount::formatNumberField(v));
    m_remembered = text();
}

void TxCheckedEdit::setDateValue(const QDate &d)
{
    setText(d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString());
    m_remembered = text();
}

void TxCheckedEdit::focusInEvent(QFocusEvent *event)
{
    if (!m_reverting)
        m_remembered = text();
    QLineEdit::focusInEvent(event);
}

void TxCheckedEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_reverting || event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (!isValidText(text())) {
        m_reverting = true;
        setText(m_remembered);
        complain();
        m_reverting = false;
        return;
    }
    if (text() != m_remembered) {
        m_remembered = text();
        Q_EMIT valueCommitted();
    }
}

QDateEdit *newDateEdit(const QDate &date, const QString &name, QWidget *parent)
{
    auto *edit = new QDateEdit(date, parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return edit;
}

} // namespace korvex::widgets
