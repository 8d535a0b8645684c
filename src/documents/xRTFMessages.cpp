#include "xRTFMessages.h"

#include <cstdio>

namespace korvex::documents {

namespace {
TxRTFMessages *g_shared = nullptr;

void toStderr(const QString &text)
{
    const QByteArray b = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}
} // namespace

TxRTFMessages::~TxRTFMessages()
{
    if (g_shared == this)
        g_shared = nullptr;
}

TxRTFMessages &TxRTFMessages::shared()
{
    static TxRTFConsoleMessages console;
    return g_shared ? *g_shared : console;
}

void TxRTFMessages::setShared(TxRTFMessages *messages)
{
    g_shared = messages;
}

bool TxRTFConsoleMessages::retry(const QString &text)
{
    toStderr(text);
    return false;
}

void TxRTFConsoleMessages::error(const QString &text)
{
    toStderr(text);
}

void TxRTFConsoleMessages::information(const QString &text)
{
    toStderr(text);
}

} // namespace korvex::documents
