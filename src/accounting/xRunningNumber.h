#pragma once

#include <QCoreApplication>
#include <QString>
#include <stdexcept>

namespace korvex::accounting {

// The running numbers of the register records sent to the bookkeeping
// system, kept in its working directory in "balnomer.inf": the last number
// issued, 7 characters and a zero byte. The bookkeeping system shares the
// file, so it is changed only while held exclusively.
class TxRunningNumber
{
    Q_DECLARE_TR_FUNCTIONS(TxRunningNumber)

public:
    explicit TxRunningNumber(const QString &workingDir);

    QString fileName() const { return m_path; }
    int TimeoutMs = 10000;  // how long to wait for the file

    // Issues the next number and records it as the last. A new file starts at
    // "@@@@@@@". Raises ERunningNumberBusy when the file stayed held by
    // another program for TimeoutMs, and a std::runtime_error when it cannot
    // be read or written; no number is issued then.
    QString next();

    // The number after this one: characters run from "@" to "z" without
    // "\", the last one counting fastest; all "z" gives all "@". An empty
    // number starts again at "@@@@@@@".
    static QString increment(const QString &number);
    static QString first() { return QStringLiteral("@@@@@@@"); }

private:
    QString m_path;
};

class ERunningNumberBusy : public std::runtime_error
{
public:
    explicit ERunningNumberBusy(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace korvex::accounting
