#pragma once

// What the commands that fill templates share: the document model's notices
// kept rather than printed, and every failure told in one line.

#include "db/xDbError.h"
#include "documents/xRTFMessages.h"
#include "documents/xReport.h"

#include <QLocale>
#include <QString>
#include <functional>
#include <stdexcept>

namespace korvex::cli {

// The document model's notices are kept, not printed: a failure ends in one
// line of its own.
class QuietMessages : public korvex::documents::TxRTFMessages
{
public:
    QuietMessages() { setShared(this); }
    ~QuietMessages() override { setShared(nullptr); }
    bool retry(const QString &text) override
    {
        last = text;
        return false;
    }
    void error(const QString &text) override { last = text; }
    void information(const QString &text) override { last = text; }
    QString last;
};

// One line, whatever the server or the engine said.
[[noreturn]] inline void oneLine(const QString &message)
{
    throw std::runtime_error(message.simplified().toStdString());
}

// Runs the command; a usage error passes as it is, any other failure becomes
// one line. Documents are filled in Russian whatever the machine's locale, as
// the desktop program fills them: dates as 10.11.2026, amounts as 2 977,88.
inline int runWithOneLineErrors(const std::function<int()> &body)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    try {
        return body();
    } catch (const std::invalid_argument &) {
        throw;
    } catch (const korvex::db::EDatabaseError &e) {
        oneLine(e.message());
    } catch (const korvex::documents::ExReport &e) {
        oneLine(e.message());
    } catch (const korvex::documents::ExRTF &e) {
        oneLine(e.message());
    } catch (const std::exception &e) {
        oneLine(QString::fromUtf8(e.what()));
    }
}

} // namespace korvex::cli
