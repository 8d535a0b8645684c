#pragma once

#include "documents/xRTFMessages.h"

class QWidget;

namespace korvex::documents {

// The document model's questions and notices as message boxes.
class TxRTFMessageBoxes : public TxRTFMessages
{
public:
    explicit TxRTFMessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}
    bool retry(const QString &text) override;
    void error(const QString &text) override;
    void information(const QString &text) override;

private:
    QWidget *m_parent;
};

} // namespace korvex::documents
