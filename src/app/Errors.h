#pragma once

#include <QString>
#include <stdexcept>

// An error that a handler raises and the error report shows to the user.
// The message is the exact text the user sees.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// The run-time library's wording for a failed file operation, from errno:
// "File access denied", "Disk full", "I/O error %d" and the like.
QString IoErrorText(int err);
