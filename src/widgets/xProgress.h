#pragma once

#include <QString>

namespace korvex::widgets {

// How a long loop reports its progress, without knowing which window (if
// any) shows it: the wait window TfrmRunningBoy, the progress window
// TxProgressDialog, or nothing (TxNullProgress) in the command-line tool and
// in tests. Business objects take a TxProgress* (null: no report).
class TxProgress
{
public:
    virtual ~TxProgress();

    // Shows the text and starts at 0 of total records.
    virtual void begin(const QString &text, qint64 total) = 0;
    virtual void setText(const QString &text) = 0;
    // Records processed so far. A window processes pending window events
    // here, so that its stop button works.
    virtual void setPosition(qint64 done) = 0;
    // The user asked to stop; the loop ends at the next record.
    virtual bool wasStopped() const = 0;
    virtual void end() = 0;
};

class TxNullProgress final : public TxProgress
{
public:
    void begin(const QString &, qint64) override {}
    void setText(const QString &) override {}
    void setPosition(qint64) override {}
    bool wasStopped() const override { return false; }
    void end() override {}
};

// begin() at construction and end() however the scope is left:
//
//   TxProgressGuard progress(p, tr("Удаление переменных"), ids.size());
//   for (int i = 0; i < ids.size() && !progress.stopped(); ++i) {
//       ...
//       progress.advance(i + 1);
//   }
class TxProgressGuard
{
public:
    TxProgressGuard(TxProgress *progress, const QString &text, qint64 total);
    ~TxProgressGuard();
    TxProgressGuard(const TxProgressGuard &) = delete;
    TxProgressGuard &operator=(const TxProgressGuard &) = delete;

    void advance(qint64 done);
    bool stopped() const;

private:
    TxProgress *m_progress;
};

} // namespace korvex::widgets
