#pragma once

#include <QString>

namespace korvex::documents {

// The progress window shared by the whole program: reading, layout and the
// report engine report their progress here and test its cancelled flag. This
// class keeps the counting rules; the window (or nothing, on the command line)
// is a subclass.
class TRTFProgress
{
public:
    TRTFProgress() = default;
    virtual ~TRTFProgress();
    TRTFProgress(const TRTFProgress &) = delete;
    TRTFProgress &operator=(const TRTFProgress &) = delete;

    // The first begin shows the window; nested begins only count. The stop
    // button is offered only when the cancel question is not blank.
    void begin(const QString &comment, const QString &progressText, qint64 maximum,
               const QString &cancelQuestion);
    void setMaximum(qint64 maximum);
    // Applied only when the position advanced by a twentieth of the maximum
    // since the last applied one; then pending events are processed.
    void setPosition(qint64 position, const QString &progressText = {});
    // The last end hides the window and clears the cancelled flag; an inner
    // end keeps it, so the outer loop still sees the user's stop. ExRTF
    // "wrong command" without a begin.
    void end();

    // A new comment for the running window (a long job moving to its next stage).
    void setComment(const QString &comment);
    // Processes pending events while the window shows, so that its stop
    // button works during long loops.
    void processPending();

    bool cancelled() const { return m_cancelled; }
    void cancel() { m_cancelled = true; }
    int depth() const { return m_depth; }
    bool canCancel() const { return !m_cancelQuestion.trimmed().isEmpty(); }
    QString cancelQuestion() const { return m_cancelQuestion; }

    // The program's one progress window; a silent one until the program sets its own.
    static TRTFProgress &shared();
    static void setShared(TRTFProgress *progress);  // nullptr restores the silent one

protected:
    virtual void showWindow(const QString &comment, bool canCancel) {}
    virtual void showComment(const QString &comment) {}
    virtual void hideWindow() {}
    virtual void showPosition(qint64 position, qint64 maximum, const QString &progressText) {}
    virtual void processEvents() {}

private:
    int m_depth = 0;
    bool m_cancelled = false;
    qint64 m_maximum = 0;
    qint64 m_lastApplied = -1;
    QString m_progressText;
    QString m_cancelQuestion;
};

// Begins on construction and ends on destruction, so an exception cannot
// leave the window counting.
class TRTFProgressScope
{
public:
    TRTFProgressScope(const QString &comment, const QString &progressText, qint64 maximum,
                      const QString &cancelQuestion);
    ~TRTFProgressScope();
    TRTFProgress &progress() const { return m_progress; }

private:
    TRTFProgress &m_progress;
};

} // namespace korvex::documents
