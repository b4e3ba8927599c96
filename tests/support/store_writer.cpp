// Writes N rows into a shared database from a process of its own: half of the concurrency test.
// With --recodificar it is another copy's clerk changing a centre's short code back and forth, through the
// centre editor's own store operation, for the given time.
#include "data/TMD.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

namespace {

int recodificar(store::Database& db, qint64 idcentro, const QStringList& codigos, int milisegundos)
{
    QElapsedTimer reloj;
    reloj.start();
    int cambios = 0;
    while (reloj.elapsed() < milisegundos) {
        auto centro = maestros::leerCentro(db, idcentro);
        if (!centro)
            return 1;
        centro->codcentro2 = codigos.at(cambios % 2);
        centro->codcentro = maestros::codigoCentro(QString::number(*centro->idempresa), centro->codcentro2);
        maestros::grabarCentro(db, *centro);
        ++cambios;
        QThread::msleep(5);
    }
    std::printf("%d\n", cambios);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 7 && QByteArray(argv[2]) == "--recodificar") {
        TMD md(QString::fromLocal8Bit(argv[1]));
        try {
            return recodificar(md.Quorvel(), QByteArray(argv[3]).toLongLong(),
                               {QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[5])},
                               QByteArray(argv[6]).toInt());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    if (argc != 4) {
        std::fprintf(stderr, "uso: store_writer BASE ETIQUETA FILAS | BASE --recodificar IDCENTRO COD2A COD2B MS\n");
        return 2;
    }
    TMD md(QString::fromLocal8Bit(argv[1]));
    const QString etiqueta = QString::fromLocal8Bit(argv[2]);
    const int filas = QString::fromLocal8Bit(argv[3]).toInt();
    try {
        store::Database& db = md.Quorvel();
        store::Statement st = db.prepare(QStringLiteral("INSERT INTO Listado (e_nombre, mes) VALUES (?, ?)"));
        for (int i = 0; i < filas; ++i) {
            store::Transaction tx(db);
            st.bindAll(etiqueta + QString::number(i), QStringLiteral("201905"));
            st.run();
            tx.commit();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
