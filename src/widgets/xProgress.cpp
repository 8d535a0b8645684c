#include "xProgress.h"

namespace korvex::widgets {

TxProgress::~TxProgress() = default;

TxProgressGuard::TxProgressGuard(TxProgress *progress, const QString &text, qint64 total)
    : m_progress(progress)
{
    if (m_progress)
        m_progress->begin(text, total);
}

TxProgressGuard::~TxProgressGuard()
{
    if (m_progress)
        m_progress->end();
}

void TxProgressGuard::advance(qint64 done)
{
    if (m_progress)
        m_progress->setPosition(done);
}

bool TxProgressGuard::stopped() const
{
    return m_progress && m_progress->wasStopped();
}

} // namespace korvex::widgets
