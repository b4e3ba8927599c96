// Times the import of a payroll office's spreadsheet: the preview and the one-transaction apply of 200 workers
// in 5 centres (with 6 bad rows), the preview of the same file once imported, and the same for 5,000 workers.
// Usage: bench_importacion [ROUNDS]  (3 by default); prints the best round of each step in milliseconds.
#include "data/TMD.h"
#include "masterdata/Exportacion.h"
#include "masterdata/Importacion.h"
#include "store/Database.h"
#include "support/FicheroImportacion.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

struct Tiempos
{
    double preparar = 1e18, aplicar = 1e18, otraVez = 1e18, exportar = 1e18;
};

void medir(int trabajadores, int rondas)
{
    const QByteArray fichero = fixture::ficheroImportacion(trabajadores);
    Tiempos mejor;
    for (int r = 0; r < rondas; ++r) {
        QTemporaryDir dir;
        TMD md(QDir(dir.path()).filePath(QStringLiteral("Quorvel.abs")));
        store::Database& db = md.Quorvel();
        QElapsedTimer reloj;
        reloj.start();
        const importacion::Vista vista = importacion::preparar(db, fichero);
        mejor.preparar = std::min(mejor.preparar, reloj.nsecsElapsed() / 1e6);
        reloj.restart();
        importacion::aplicar(db, vista, true);
        mejor.aplicar = std::min(mejor.aplicar, reloj.nsecsElapsed() / 1e6);
        reloj.restart();
        const importacion::Vista otra = importacion::preparar(db, fichero);
        mejor.otraVez = std::min(mejor.otraVez, reloj.nsecsElapsed() / 1e6);
        if (!otra.totales.sinCambios())
            std::fprintf(stderr, "the second preview found changes\n");
        reloj.restart();
        const QByteArray exportado = exportacion::exportar(db);
        mejor.exportar = std::min(mejor.exportar, reloj.nsecsElapsed() / 1e6);
    }
    std::printf("%5d trabajadores (%lld bytes): vista previa %.0f ms, importar %.0f ms, "
                "vista previa sin cambios %.0f ms, exportar %.0f ms\n",
                trabajadores, static_cast<long long>(fichero.size()), mejor.preparar, mejor.aplicar, mejor.otraVez,
                mejor.exportar);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rondas = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    medir(200, rondas);
    medir(5000, rondas);
    return 0;
}
