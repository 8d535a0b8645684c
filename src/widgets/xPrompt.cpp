#include "xPrompt.h"

namespace korvex::widgets {

TxPrompt::~TxPrompt() = default;

bool TxPrompt::confirm(const QString &text, const QString &caption, bool defaultYes)
{
    return show({TxMessageKind::Question, caption, text, defaultYes, {}});
}

void TxPrompt::information(const QString &text, const QString &caption)
{
    show({TxMessageKind::Information, caption, text, false, {}});
}

void TxPrompt::warning(const QString &text, const QString &caption)
{
    show({TxMessageKind::Warning, caption, text, false, {}});
}

void TxPrompt::error(const QString &text, const QString &caption)
{
    show({TxMessageKind::Error, caption, text, false, {}});
}

} // namespace korvex::widgets
