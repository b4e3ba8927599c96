#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The unattended batch: the PDF run of one centre or of every centre of a company, from the command line.
// Returns the process exit status: 0 done, 1 the run failed or was refused, 2 bad arguments, 3 database,
// company or centre not available.
int ejecutarLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida, QTextStream& errores);

extern const QString kAyudaLote;
