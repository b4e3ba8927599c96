#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// quorvel-lote --importar FICHERO [--base FICHERO] [--comprobar] [--parcial] and
// quorvel-lote --exportar FICHERO [--empresa ID] [--base FICHERO]. Exit status as the other modes: 0 done,
// 1 refused rows or a failed step, 2 bad arguments, 3 database, company or file not available.
bool esImportacionLote(const QStringList& argumentos);
int ejecutarImportacionLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida,
                            QTextStream& errores);

extern const QString kAyudaImportacion;
