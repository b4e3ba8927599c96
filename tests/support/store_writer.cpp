// A second process on a shared database: writes N rows for the concurrency test; changes a centre's code and
// stops half-way through it, waiting to be killed; or, with --recodificar, is another copy's clerk changing a
// centre's short code back and forth through the centre editor's own store operation, for the given time.
#include "data/TMD.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Called by a trigger the test puts inside the code change: tells the test where this process is, then
// waits there for the kill.
[[noreturn]] void esperarMuerte(sqlite3_context*, int, sqlite3_value**)
{
    std::fputs("dentro\n", stdout);
    std::fflush(stdout);
    for (;;)
        pause();
}

int escribirFilas(store::Database& db, const QString& etiqueta, int filas)
{
    store::Statement st = db.prepare(QStringLiteral("INSERT INTO Listado (e_nombre, mes) VALUES (?, ?)"));
    for (int i = 0; i < filas; ++i) {
        store::Transaction tx(db);
        st.bindAll(etiqueta + QString::number(i), QStringLiteral("201905"));
        st.run();
        tx.commit();
    }
    return 0;
}

int recodificar(store::Database& db, qint64 idcentro, const QString& codcentro2)
{
    sqlite3_create_function(db.handle(), "esperar_muerte", 0, SQLITE_UTF8, nullptr, esperarMuerte, nullptr, nullptr);
    auto centro = maestros::leerCentro(db, idcentro);
    if (!centro) {
        std::fputs("no existe el centro\n", stderr);
        return 1;
    }
    centro->codcentro2 = codcentro2;
    centro->codcentro = maestros::codigoCentro(QString::number(*centro->idempresa), codcentro2);
    maestros::grabarCentro(db, *centro);
    return 0;
}

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
    if (argc != 4 && !(argc == 5 && QByteArray(argv[2]) == "recodificar")) {
        std::fprintf(stderr, "uso: store_writer BASE ETIQUETA FILAS | BASE recodificar ID CODIGO2 | BASE --recodificar "
                             "IDCENTRO COD2A COD2B MS\n");
        return 2;
    }
    TMD md(QString::fromLocal8Bit(argv[1]));
    try {
        store::Database& db = md.Quorvel();
        if (argc == 5)
            return recodificar(db, QByteArray(argv[3]).toLongLong(), QString::fromLocal8Bit(argv[4]));
        return escribirFilas(db, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
