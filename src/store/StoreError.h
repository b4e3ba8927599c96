#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// The store's own English text for a file that opens but holds no database of ours.
inline const QString kNoEsBaseQuorvel = QStringLiteral("file is not a Quorvel database");

// What the user reads for a failure of the store: for the failures a clerk can do something about, a
// Spanish explanation followed by the store's own text in parentheses (for support); any other text as it is.
QString explicarError(const QString& textoOriginal);

// The one error the store raises; message() carries the explained text, original() the store's own.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(explicarError(message).toStdString()), m_message(explicarError(message)),
          m_original(message)
    {
    }
    const QString& message() const { return m_message; }
    const QString& original() const { return m_original; }

private:
    QString m_message;
    QString m_original;
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
