// The worker search over 20,000 workers: the time of one search (the statement, the rows into the grid's
// model and the centres column), for the kinds of text a clerk types.
// Usage: bench_busqueda [ROUNDS] [--trabajadores N]  (5 rounds, 20,000 workers by default)
#include "base/TablaConsulta.h"
#include "data/TMD.h"
#include "masterdata/Consultas.h"
#include "store/Database.h"
#include "store/Espanol.h"
#include "support/Fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

// The search as it was before: the text folded by QString for every field of every row, and the typed
// text folded again on every row; kept here so both are measured in the same run.
void plegarAntes(sqlite3_context* contexto, int, sqlite3_value** argumentos)
{
    if (sqlite3_value_type(argumentos[0]) == SQLITE_NULL) {
        sqlite3_result_null(contexto);
        return;
    }
    const auto* texto = reinterpret_cast<const char*>(sqlite3_value_text(argumentos[0]));
    const QByteArray plegado = store::plegar(QString::fromUtf8(texto, sqlite3_value_bytes(argumentos[0]))).toUtf8();
    sqlite3_result_text(contexto, plegado.constData(), int(plegado.size()), SQLITE_TRANSIENT);
}

void buscarAntes(TablaConsulta& t, const QString& texto)
{
    t.abrir(QStringLiteral(
                "SELECT t1.id AS id, t1.nomtrabajador AS nomtrabajador, t1.nif AS nif, t1.nss AS nss, t1.alias AS "
                "alias, t1.telef AS telef, t1.tipojornada AS tipojornada, t1.email AS email, t1.contrato AS contrato, "
                "t1.observaciones AS observaciones FROM trabajadores t1 WHERE "
                "instr(PLEGAR_ANTES(t1.nomtrabajador), PLEGAR_ANTES(:par1)) > 0 OR "
                "instr(PLEGAR_ANTES(t1.nss), PLEGAR_ANTES(:par1)) > 0 OR "
                "instr(PLEGAR_ANTES(t1.nif), PLEGAR_ANTES(:par1)) > 0 OR "
                "instr(PLEGAR_ANTES(t1.telef), PLEGAR_ANTES(:par1)) > 0 OR "
                "instr(PLEGAR_ANTES(t1.alias), PLEGAR_ANTES(:par1)) > 0 OR "
                "instr(PLEGAR_ANTES(t1.email), PLEGAR_ANTES(:par1)) > 0 "
                "ORDER BY t1.nomtrabajador COLLATE ESPANOL, t1.id"),
            {texto});
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int rondas = 5;
    int trabajadores = 20000;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QStringLiteral("--trabajadores") && i + 1 < args.size())
            trabajadores = qMax(1, args.at(++i).toInt());
        else
            rondas = qMax(1, args.at(i).toInt());
    }
    QTemporaryDir dir;
    TMD md(QDir(dir.path()).filePath(QStringLiteral("Quorvel.abs")));
    store::Database& db = md.Quorvel();
    const QStringList apellidos = {QStringLiteral("GARCÍA"),  QStringLiteral("MARTÍNEZ"), QStringLiteral("LÓPEZ"),
                                   QStringLiteral("SÁNCHEZ"), QStringLiteral("PÉREZ"),    QStringLiteral("GÓMEZ"),
                                   QStringLiteral("MUÑOZ"),   QStringLiteral("RUIZ"),     QStringLiteral("DÍAZ"),
                                   QStringLiteral("IBÁÑEZ"),  QStringLiteral("NÚÑEZ"),    QStringLiteral("TORRES")};
    const QStringList nombres = {QStringLiteral("MARÍA"), QStringLiteral("JOSÉ"),   QStringLiteral("LUCÍA"),
                                 QStringLiteral("ÁNGEL"), QStringLiteral("CARMEN"), QStringLiteral("RAÚL"),
                                 QStringLiteral("INÉS"),  QStringLiteral("IÑAKI"),  QStringLiteral("PILAR")};
    {
        store::Transaction tx(db);
        const qint64 empresa =
            fixture::empresa(db, QStringLiteral("BENCH, S.A."), QStringLiteral("A00000000"), QStringLiteral("28/0"));
        QStringList centros;
        for (int c = 0; c < 50; ++c)
            centros << fixture::centro(db, empresa, QStringLiteral("%1").arg(c + 10), QStringLiteral("C%1").arg(c))
                           .codcentro;
        store::Statement st = db.prepare(
            QStringLiteral("INSERT INTO trabajadores (nomtrabajador, nif, nss, telef, tipojornada, email, alias, "
                           "contrato) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int t = 0; t < trabajadores; ++t) {
            const QString nombre = apellidos[t % 12] + QLatin1Char(' ') + apellidos[(t / 12) % 12] +
                                   QStringLiteral(", ") + nombres[t % 9] + QLatin1Char(' ') + QString::number(t);
            st.bindAll(nombre, QStringLiteral("%1Z").arg(10000000 + t), QStringLiteral("28%1").arg(1000000000 + t),
                       QStringLiteral("6%1").arg(10000000 + t), t % 3 ? QStringLiteral("C") : QStringLiteral("P"),
                       QStringLiteral("persona%1@empresa.example").arg(t), nombres[t % 9] + QString::number(t % 97),
                       QStringLiteral("40 h/semana"));
            st.run();
            const qint64 id = db.lastInsertId();
            fixture::asignar(db, id, centros[t % 50]);
            if (t % 7 == 0)
                fixture::asignar(db, id, centros[(t + 1) % 50]);
        }
        tx.commit();
    }

    sqlite3_create_function_v2(db.handle(), "PLEGAR_ANTES", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, plegarAntes,
                               nullptr, nullptr, nullptr);
    TablaConsulta tabla(db,
                        {{QStringLiteral("nomtrabajador"), QStringLiteral("Nombre")}, {QStringLiteral("Centros"), {}}});
    consultas::calcularCentros(tabla);
    // What a clerk types: nothing (every worker), part of a name without its accent, an accented one, a
    // telephone, part of an address, and a text no worker has.
    const QStringList textos = {QString(),
                                QStringLiteral("GARCIA"),
                                QStringLiteral("NÚÑEZ, IÑAKI"),
                                QStringLiteral("6100"),
                                QStringLiteral("@EMPRESA"),
                                QStringLiteral("ZZZZ")};
    std::printf("%d trabajadores, %d rondas (medianas de tiempo de procesador), antes y ahora alternados\n",
                trabajadores, rondas);
    double peorAntes = 0;
    double peor = 0;
    // The list keeps each row's place from its last full ordering; only the first search orders every name.
    double primera = 0;
    const auto medir = [&](const std::function<void(const QString&)>& buscar, const QString& texto, int& filas) {
        // Processor time of this thread: on a shared machine the wall clock mostly measures the others.
        timespec a{}, b{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
        buscar(texto);
        filas = tabla.rowCount();
        // The grid reads the rows it shows: the first screenful.
        for (int f = 0; f < qMin(filas, 30); ++f)
            tabla.data(tabla.index(f, 1));
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
        return (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6;
    };
    for (const QString& texto : textos) {
        std::vector<double> antes, ahora;
        int filasAntes = 0, filas = 0;
        QStringList idsAntes, ids;
        for (int r = 0; r < rondas; ++r) {
            antes.push_back(medir([&](const QString& x) { buscarAntes(tabla, x); }, texto, filasAntes));
            if (r == 0)
                for (int f = 0; f < filasAntes; ++f)
                    idsAntes << QString::number(tabla.id(f));
            ahora.push_back(medir([&](const QString& x) { consultas::buscarTrabajadores(tabla, x); }, texto, filas));
            if (r == 0)
                for (int f = 0; f < filas; ++f)
                    ids << QString::number(tabla.id(f));
        }
        if (texto == textos.first())
            primera = ahora.front();
        std::sort(antes.begin(), antes.end());
        std::sort(ahora.begin(), ahora.end());
        peorAntes = qMax(peorAntes, antes[antes.size() / 2]);
        peor = qMax(peor, ahora[ahora.size() / 2]);
        std::printf("  %-16s %6d filas  antes %7.1f ms  ahora %7.1f ms%s\n",
                    qPrintable(texto.isEmpty() ? QStringLiteral("(vacío)") : texto), filas, antes[antes.size() / 2],
                    ahora[ahora.size() / 2], ids == idsAntes ? "" : "  ¡RESULTADO DISTINTO!");
        if (ids != idsAntes)
            return 1;
    }
    std::printf("peor búsqueda:             antes %.1f ms, ahora %.1f ms\n", peorAntes, peor);
    std::printf("primera búsqueda (ordena todos los nombres): %.1f ms\n", primera);
    return 0;
}
