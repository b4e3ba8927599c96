#pragma once

#include "store/ErrorQuorvel.h"

#include <QString>

namespace store {

// The store's own English text for a file that opens but holds no database of ours.
inline const QString kNoEsBaseQuorvel = QStringLiteral("file is not a Quorvel database");

// The one table of the store's messages. For the failures a clerk can do something about (full disk, busy
// file, read-only file or folder, damaged file, not a database or another key, I/O error, a value too big,
// a file that cannot be opened) a Spanish explanation of what to do, followed once by the store's own text in
// parentheses (for support); any other text as it is. `codigo` is the store's result code when known (0
// when not), which decides over the text: the texts change between releases of the store.
QString explicarError(const QString& textoOriginal, int codigo = 0);

// The one error the store raises; message() carries the explained text, original() the store's own.
class StoreError : public ErrorQuorvel
{
public:
    explicit StoreError(const QString& original, int codigo = 0)
        : ErrorQuorvel(explicarError(original, codigo)), m_original(original), m_codigo(codigo)
    {
    }
    const QString& original() const { return m_original; }
    // The store's extended result code; 0 for failures found by the program itself.
    int codigo() const { return m_codigo; }

private:
    QString m_original;
    int m_codigo;
};

// A field read as integer or boolean that holds no value (or no number).
class ConversionError : public ErrorQuorvel
{
public:
    using ErrorQuorvel::ErrorQuorvel;
};

} // namespace store
