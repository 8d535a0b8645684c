#pragma once

#include <QCoreApplication>
#include <QString>

namespace korvex::widgets {

enum class TxMessageKind { Question, Information, Warning, Error };

struct TxMessage {
    TxMessageKind kind = TxMessageKind::Information;
    QString caption;
    QString text;
    bool defaultYes = false;  // questions only
    QString detail;           // a second, smaller line: what to do about it
};

// The questions and messages a business object puts to the user, without
// knowing how they are shown. The window layer passes TxMessages (message
// boxes); tests pass a recorder (tests/common/testPrompt.h).
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

} // namespace korvex::widgets
