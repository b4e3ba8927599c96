// Writes N rows into a shared database from a process of its own: half of the concurrency test.
#include "data/TMD.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "uso: store_writer BASE ETIQUETA FILAS\n");
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
