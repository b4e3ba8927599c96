#pragma once

#include <QColor>

// The calendar's colours as a person names them, written out here rather than taken from the program so a
// changed colour fails the tests.
inline const QColor kBlanco(0xFF, 0xFF, 0xFF);
inline const QColor kPlata(0xC0, 0xC0, 0xC0);
inline const QColor kRojo(0xFF, 0x00, 0x00);
inline const QColor kAmarillo(0xFF, 0xFF, 0x00);
inline const QColor kAgua(0x00, 0xFF, 0xFF);
inline const QColor kLima(0x00, 0xFF, 0x00);
