#pragma once

#include "widgets/xPrompt.h"

#include <QPointer>
#include <QWidget>

namespace korvex::widgets {

// Message boxes of the program: Yes/No questions ("Да"/"Нет", caption
// "Внимание" or "Внимание!", default "Нет" unless asked otherwise),
// information, warning and error boxes.
//
// As a TxPrompt it is what windows hand to business objects:
//   TxMessages prompt(this);
//   bo.deleteObject(key, prompt);
// While an Intercept is alive every message goes to its TxPrompt instead of a
// window (tests and scripted runs).
class TxMessages : public TxPrompt
{
public:
    explicit TxMessages(QWidget *parent = nullptr);

    bool show(const TxMessage &message) override;
    using TxPrompt::confirm;
    using TxPrompt::error;
    using TxPrompt::information;
    using TxPrompt::warning;

    static bool confirm(QWidget *parent, const QString &text, const QString &caption = attention(),
                        bool defaultYes = false);
    static void information(QWidget *parent, const QString &text, const QString &caption = attention());
    static void warning(QWidget *parent, const QString &text, const QString &caption = attention());
    static void error(QWidget *parent, const QString &text, const QString &caption = errorCaption());

    class Intercept
    {
    public:
        explicit Intercept(TxPrompt &to);
        ~Intercept();
        Intercept(const Intercept &) = delete;
        Intercept &operator=(const Intercept &) = delete;

    private:
        TxPrompt *m_previous;
    };

private:
    QPointer<QWidget> m_parent;
};

} // namespace korvex::widgets
