#pragma once

#include "documents/xRTFMessages.h"

#include <QByteArray>
#include <QStringList>

namespace korvex::test {

// Remembers every message of the document model while it lives, and answers
// retry questions with "Abort".
class RecordingMessages : public korvex::documents::TxRTFMessages
{
public:
    RecordingMessages() { setShared(this); }
    ~RecordingMessages() override { setShared(nullptr); }
    bool retry(const QString &text) override
    {
        retries << text;
        return false;
    }
    void error(const QString &text) override { errors << text; }
    void information(const QString &text) override { infos << text; }
    QStringList retries, errors, infos;
};

// A text form field of a report template; its default text is the expression.
inline QByteArray formField(const QByteArray &expression, const QByteArray &name = "F")
{
    QByteArray data(8, '\0');
    data += char(name.size()) + name + '\0' + char(expression.size()) + expression;
    return "{\\field{\\*\\fldinst {FORMTEXT }{\\*\\datafield " + data.toHex() + "}}{\\fldrslt x}}";
}

} // namespace korvex::test
