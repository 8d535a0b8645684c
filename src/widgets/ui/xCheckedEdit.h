#pragma once

#include <QDate>
#include <QLineEdit>

class QDateEdit;
#include <optional>

namespace korvex::widgets {

// A field for an integer, a number or a date that never keeps bad text: it
// remembers its value when it gets the focus (and any valid value the program puts
// into it), and when the focus moves on with text that is not a valid value
// it brings the remembered value back, says "Ошибка" (caption "Внимание!")
// and takes the focus again. Switching to another window or opening a menu
// is no leaving: the text is checked when the focus moves within the window
// (and the edit dialog checks it on saving).
class TxCheckedEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class Kind { Integer, Float, Date };

    explicit TxCheckedEdit(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    bool isValidText(const QString &text) const;

    std::optional<int> intValue() const;
    std::optional<double> floatValue() const;
    std::optional<QDate> dateValue() const;
    void setIntValue(int v);
    void setFloatValue(double v);
    void setDateValue(const QDate &d);

    // Empty text counts as valid (no value) unless set otherwise.
    void setEmptyAllowed(bool allowed) { m_emptyAllowed = allowed; }

    // The value the field returns to: what it held when it got the focus,
    // or what the program put into it since.
    QString rememberedText() const { return m_remembered; }
    // Says "Ошибка" (what is expected below it) and puts the cursor back
    // into the field, its text selected; for a save that finds text it
    // cannot read.
    void complain();

Q_SIGNALS:
    // The field was left with a valid value different from the remembered one.
    void valueCommitted();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    Kind m_kind;
    QString m_remembered;
    bool m_emptyAllowed = true;
    bool m_reverting = false;
    bool m_typing = false;
};

// A date picker with its calendar, showing dates as the program writes them.
QDateEdit *newDateEdit(const QDate &date, const QString &name, QWidget *parent);

} // namespace korvex::widgets
