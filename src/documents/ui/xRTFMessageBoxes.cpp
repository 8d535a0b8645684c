#include "xRTFMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace korvex::documents {

namespace {
QString caption()
{
    return QApplication::applicationDisplayName();
}
} // namespace

bool TxRTFMessageBoxes::retry(const QString &text)
{
    return QMessageBox::warning(m_parent, caption(), text, QMessageBox::Retry | QMessageBox::Abort)
        == QMessageBox::Retry;
}

void TxRTFMessageBoxes::error(const QString &text)
{
    QMessageBox::critical(m_parent, caption(), text, QMessageBox::Ignore);
}

void TxRTFMessageBoxes::information(const QString &text)
{
    QMessageBox::information(m_parent, caption(), text);
}

} // namespace korvex::documents
