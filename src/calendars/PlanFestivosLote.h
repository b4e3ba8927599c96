#pragma once

#include <QStringList>

class QTextStream;

// quorvel-lote --plan-festivos --empresa ID --mes AAAAMM [--base FICHERO] [--carpeta DIR]: the holiday
// plan of a company's centres as one PDF file. Deletes nothing. Exit status as the sheet batch:
// 0 done, 1 failed, 2 bad arguments, 3 database or company not available.
int ejecutarPlanFestivosLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida,
                             QTextStream& errores);

extern const QString kAyudaPlanFestivos;
