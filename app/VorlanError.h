#pragma once

#include <QString>
#include <stdexcept>

// A failure that a handler does not catch itself. It travels up to the
// general error report, which shows its text and lets the program go on.
class VorlanError : public std::runtime_error
{
public:
    explicit VorlanError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }

    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};
