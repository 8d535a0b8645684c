#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace korvex::widgets {

enum class TxMessageKind { Question, Information, Warning, Error };

struct TxMessage {
    TxMessageKind kind = TxMessageKind::Information;
    QString caption;
    QString text;
    bool defaultYes = false;  // questions only
};

// The questions and messages a business object puts to the user, without
// knowing how they are shown. The window layer passes TxMessages (message
// boxes); the command-line tool and tests pass a TxPromptRecorder.
class TxPrompt
{
    Q_DECLARE_TR_FUNCTIONS(TxPrompt)
public:
    virtual ~TxPrompt();

    // Shows the message; for a question returns true for "Да".
    virtual bool show(const TxMessage &message) = 0;

    // Yes/No question. Destructive questions keep the default "Нет".
    bool confirm(const QString &text, const QString &caption = attention(), bool defaultYes = false);
    void information(const QString &text, const QString &caption = attention());
    void warning(const QString &text, const QString &caption = attention());
    void error(const QString &text, const QString &caption = errorCaption());

    static QString attention() { return tr("Внимание"); }
    static QString attentionBang() { return tr("Внимание!"); }
    static QString errorCaption() { return tr("Ошибка"); }
};

// Answers every question with a fixed answer and keeps what was shown.
class TxPromptRecorder : public TxPrompt
{
public:
    explicit TxPromptRecorder(bool answer = true)
        : answer(answer)
    {
    }
    bool show(const TxMessage &message) override;

    bool answer;
    QList<TxMessage> messages;
};

} // namespace korvex::widgets
