#pragma once

#include <QString>
#include <stdexcept>

namespace korvex::documents {

// Errors of the document model carry English texts (the reader's undeclared
// font message excepted, which users have always seen in Russian).
class ExRTF : public std::runtime_error
{
public:
    explicit ExRTF(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

class ExRTFFile : public ExRTF
{
public:
    using ExRTF::ExRTF;
};

class ExRTFReader : public ExRTF
{
public:
    using ExRTF::ExRTF;
};

class ExRTFWriter : public ExRTF
{
public:
    using ExRTF::ExRTF;
};

} // namespace korvex::documents
