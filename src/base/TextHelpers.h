#pragma once

#include <QString>

// Text helpers shared by the windows and the sheet builder. "Space" means character 32 only.

QString QuitarEspacios(const QString& text);
QString QuitarEspaciosDcha(const QString& text);
// QuitarEspacios, then every run of spaces inside the text becomes one.
QString CompactarEspacios(const QString& text);
// Tokens number first .. first + count - 1 (from 1), joined by the separator.
QString ExtraerTokens(const QString& text, const QString& separator, int first, int count);
// Lenient integer: "X" becomes "Z", points are removed; anything but a whole integer gives 0.
int ValorEntero(const QString& text);
// Right-aligned in width characters, filling spaces turned into "0", cut to width characters.
QString CerosIzquierda(qint64 number, int width);
QString Reemplazar(const QString& text, const QString& search, const QString& replacement);
// Capitals for a-z only; accented letters and ñ stay as they are.
QString MayusculasAscii(const QString& text);
