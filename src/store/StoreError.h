#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// The one error the store raises; what() carries the data store's own message.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A field read as integer or boolean that holds no value (or no number).
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace store
