#pragma once

#include "widgets/xPrompt.h"

#include <QList>

namespace korvex::test {

// The prompt of a business object under test: answers every question with a
// fixed answer and keeps what was shown.
class TxPromptRecorder : public korvex::widgets::TxPrompt
{
public:
    explicit TxPromptRecorder(bool answer = true)
        : answer(answer)
    {
    }
    bool show(const korvex::widgets::TxMessage &message) override
    {
        messages.append(message);
        return message.kind == korvex::widgets::TxMessageKind::Question ? answer : true;
    }

    bool answer;
    QList<korvex::widgets::TxMessage> messages;
};

} // namespace korvex::test
