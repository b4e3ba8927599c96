#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads a spreadsheet saved as text the way offices save it: separator ";", "," or tab, UTF-8 with or without
// BOM, else Windows-1252 (what Excel writes as "CSV"), quoted fields with separators, quotes and line breaks
// inside them (RFC 4180).
namespace csv {

enum class Codificacion {
    Utf8ConBom,
    Utf8,
    Windows1252,
};

struct Tabla
{
    QList<QStringList> filas; // the header row first; blank lines are left out
    QList<int> numeros;       // each row's record number in the file, from 1, for the messages
    QChar separador;
    Codificacion codificacion = Codificacion::Utf8;
};

// Never fails: any bytes give rows (a file that is not a table gives rows of one field).
Tabla leer(const QByteArray& contenido);

QString nombreCodificacion(Codificacion c);
QString nombreSeparador(QChar separador);

// The text of Windows-1252 bytes.
QString desdeWindows1252(QByteArrayView bytes);

} // namespace csv
