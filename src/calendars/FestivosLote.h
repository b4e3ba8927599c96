#pragma once

#include <QStringList>

class QTextStream;

// quorvel-lote --festivos-oficiales --comunidad XX --anio AAAA [--calendario N] [--comprobar] and
// quorvel-lote --importar-festivos FICHERO --anio AAAA [--calendario N] [--tipo 0..3] [--reemplazar]
// [--comprobar]: the days are printed, then written in one transaction unless --comprobar is given.
// Exit status: 0 done, 1 failed, 2 bad arguments (unknown community or year included), 3 database or
// calendar not available.
bool esFestivosLote(const QStringList& argumentos);
int ejecutarFestivosLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida,
                         QTextStream& errores);

extern const QString kAyudaFestivos;
