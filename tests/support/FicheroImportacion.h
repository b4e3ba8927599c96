#pragma once

#include <QByteArray>
#include <QString>

// Spreadsheets for the import tests and the import benchmark, as Excel saves them: Windows-1252, ";", CRLF,
// quoted fields with separators, quotes and line breaks inside.
namespace fixture {

// A NIF with its right letter.
QString nif(int numero);

// `trabajadores` workers spread over 5 centres of 2 companies (centres 01-03 of A28015865, 01-02 of B65410011),
// every 50th with a social security number whose control digits are wrong, followed by the 6 bad rows of
// `kFilasMalas` when `conMalas`.
QByteArray ficheroImportacion(int trabajadores, bool conMalas = true);

// The bad rows: no NIF; one NIF given two names (two rows); a short code that is not letters or digits; a
// centre name of 21 characters; a centre without the company's CIF.
constexpr int kFilasMalas = 6;

// The Windows-1252 bytes of a text (the characters Spanish needs, the en dash and the euro sign).
QByteArray windows1252(const QString& texto);

} // namespace fixture
