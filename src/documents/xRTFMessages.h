#pragma once

#include <QString>

namespace korvex::documents {

// The questions and notices the document model raises while reading and
// writing. The windows answer them with message boxes; the command line and
// the tests with text on standard error, so the model runs without a display.
class TxRTFMessages
{
public:
    virtual ~TxRTFMessages();
    // A file could not be opened or created: true to try again, false to abort.
    virtual bool retry(const QString &text) = 0;
    // An error the user can only acknowledge ("Ignore").
    virtual void error(const QString &text) = 0;
    virtual void information(const QString &text) = 0;

    static TxRTFMessages &shared();
    static void setShared(TxRTFMessages *messages);  // nullptr restores standard error
};

// Writes every message to standard error and never retries.
class TxRTFConsoleMessages : public TxRTFMessages
{
public:
    bool retry(const QString &text) override;
    void error(const QString &text) override;
    void information(const QString &text) override;
};

} // namespace korvex::documents
