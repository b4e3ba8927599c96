#pragma once

#include <QByteArray>
#include <QString>

namespace store {

// The store's own text for a file of ours in SQLCipher 4's format met by a SQLCipher 3 library.
inline const QString kFormatoSqlcipher4 = QStringLiteral("file is in SQLCipher 4 format");

// True when the file's first page is SQLCipher 4's default format under this key: its HMAC-SHA512 checks.
// SQLCipher 3 cannot read that format, and without this a clerk would be told the password is wrong.
bool esFormatoSqlcipher4(const QString& ruta, const QByteArray& clave);

} // namespace store
