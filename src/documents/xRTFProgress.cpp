#include "xRTFProgress.h"

#include "xRTFErrors.h"

#include <QCoreApplication>

namespace korvex::documents {

namespace {
TRTFProgress *g_shared = nullptr;
}

TRTFProgress::~TRTFProgress()
{
    if (g_shared == this)
        g_shared = nullptr;
}

TRTFProgress &TRTFProgress::shared()
{
    static TRTFProgress silent;
    return g_shared ? *g_shared : silent;
}

void TRTFProgress::setShared(TRTFProgress *progress)
{
    g_shared = progress;
}

void TRTFProgress::begin(const QString &comment, const QString &progressText, qint64 maximum,
                         const QString &cancelQuestion)
{
    if (m_depth++ > 0)
        return;
    m_cancelled = false;
    m_maximum = maximum;
    m_lastApplied = -1;
    m_progressText = progressText;
    m_cancelQuestion = cancelQuestion;
    showWindow(comment, canCancel());
    showPosition(0, m_maximum, m_progressText);
}

void TRTFProgress::setMaximum(qint64 maximum)
{
    m_maximum = maximum;
    m_lastApplied = -1;
}

void TRTFProgress::setPosition(qint64 position, const QString &progressText)
{
    if (m_depth == 0)
        return;
    const qint64 step = m_maximum / 20;
    if (m_lastApplied >= 0 && position - m_lastApplied < step)
        return;
    m_lastApplied = position;
    if (!progressText.isEmpty())
        m_progressText = progressText;
    showPosition(position, m_maximum, m_progressText);
    processEvents();
}

void TRTFProgress::setComment(const QString &comment)
{
    if (m_depth > 0)
        showComment(comment);
}

void TRTFProgress::processPending()
{
    if (m_depth > 0)
        processEvents();
}

void TRTFProgress::end()
{
    if (m_depth == 0)
        throw ExRTF(QStringLiteral("wrong command"));
    if (--m_depth > 0)
        return;
    m_cancelled = false;
    hideWindow();
}

TRTFProgressScope::TRTFProgressScope(const QString &comment, const QString &progressText, qint64 maximum,
                                     const QString &cancelQuestion)
    : m_progress(TRTFProgress::shared())
{
    m_progress.begin(comment, progressText, maximum, cancelQuestion);
}

TRTFProgressScope::~TRTFProgressScope()
{
    m_progress.end();
}

} // namespace korvex::documents
