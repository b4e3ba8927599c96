#pragma once

#include <QString>
#include <stdexcept>

// The base of every failure the program reports to the user, whichever layer raised it: message() is the
// text the user reads, so the general handler, the editors and the batch show one cause one way.
class ErrorQuorvel : public std::runtime_error
{
public:
    explicit ErrorQuorvel(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
