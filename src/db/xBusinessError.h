#pragma once

#include <QString>
#include <stdexcept>

namespace korvex::db {

// A business rule refused an operation: the message is the Russian text the
// user is shown, and nothing was written. Business objects throw it; the
// window layer's guard (korvex::widgets::guarded) and the edit dialog's save
// catch it and show the text. Failures of the database itself are
// EDatabaseError.
class EBusinessError : public std::runtime_error
{
public:
    explicit EBusinessError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace korvex::db
