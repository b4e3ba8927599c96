#include "calendars/PlanFestivos.h"

#include "calendars/Festivos.h"
#include "data/FilaCentro.h"
#include "data/Schema.h"
#include "store/Database.h"

#include <QHash>
#include <QStringList>

namespace plan {

namespace {

QString campoDia(int dia)
{
    return QStringLiteral("D%1").arg(dia, 2, 10, QLatin1Char('0'));
}

QStringList camposDias()
{
    QStringList campos;
    for (int d = 1; d <= 31; ++d)
        campos << campoDia(d);
    return campos;
}

} // namespace

void prepararTabla(store::Database& db)
{
    schema::usarTablaPropia(db, QStringLiteral("PlanFestivos"));
}

QStringList GenerarPlanFestivos(store::Database& db, qint64 idempresa, QDate mes)
{
    const QDate primero(mes.year(), mes.month(), 1);
    const int n = primero.daysInMonth();
    const QDate ultimo = primero.addDays(n - 1);
    prepararTabla(db);

    QStringList marcadores;
    for (int i = 0; i < 3 + 31; ++i)
        marcadores << QStringLiteral("?");
    // Only the connection's own table is written: no write lock on the shared file.
    store::Transaction tx(db, store::Transaction::Alcance::SoloTemporales);
    db.exec(QStringLiteral("DELETE FROM temp.PlanFestivos"));
    store::Statement insertar =
        db.prepare(QStringLiteral("INSERT INTO temp.PlanFestivos (codcentro, nomcentro, calendario, %1) VALUES (%2)")
                       .arg(camposDias().join(QStringLiteral(", ")), marcadores.join(QStringLiteral(", "))));
    store::Statement filas = db.prepare(
        QStringLiteral("SELECT %1 FROM centros WHERE idempresa = ? ORDER BY codcentro, id").arg(centros::kColumnas));
    filas.bind(1, idempresa);
    QStringList noIncluidos;
    // Several centres usually share a calendar: read each one once.
    QHash<int, festivos::Calendario> leidos;
    while (filas.step()) {
        centros::FilaCentro centro;
        const QString motivo = centros::leerFila(filas, centro);
        if (!motivo.isEmpty()) {
            noIncluidos << centros::lineaNoImpreso(centro.codcentro, centro.nomcentro, motivo);
            continue;
        }
        const QString calendarioTexto = QString::number(centro.calendario);
        const int numero = centro.calendario;
        const bool sabados = centro.sabados;
        const bool domingos = centro.domingos;
        if (!leidos.contains(numero))
            leidos.insert(numero, festivos::Calendario::cargar(db, numero, primero, ultimo));
        const festivos::Calendario& calendario = leidos[numero];

        insertar.bind(1, centro.codcentro2);
        insertar.bind(2, centro.nomcentro);
        insertar.bind(3, calendarioTexto);
        for (int d = 1; d <= 31; ++d) {
            QString marca;
            if (d <= n) {
                const QDate dia(primero.year(), primero.month(), d);
                if ((dia.dayOfWeek() == Qt::Saturday && sabados) || (dia.dayOfWeek() == Qt::Sunday && domingos))
                    marca = QStringLiteral("X");
                if (const auto codigo = calendario.codigo(dia))
                    marca = festivos::marcaPlan(codigo);
            }
            insertar.bind(3 + d, marca);
        }
        insertar.run();
    }
    tx.commit();
    return noIncluidos;
}

std::vector<FilaPlan> leerPlan(store::Database& db)
{
    prepararTabla(db);
    store::Statement st = db.prepare(QStringLiteral("SELECT codcentro, nomcentro, calendario, %1 FROM "
                                                    "temp.PlanFestivos ORDER BY codcentro, rowid")
                                         .arg(camposDias().join(QStringLiteral(", "))));
    std::vector<FilaPlan> filas;
    while (st.step()) {
        FilaPlan f;
        f.codcentro = st.text(0);
        f.nomcentro = st.text(1);
        f.calendario = st.text(2);
        for (int d = 0; d < 31; ++d)
            f.dias[std::size_t(d)] = st.text(3 + d);
        filas.push_back(std::move(f));
    }
    return filas;
}

QString nombreFichero(qint64 idempresa, QDate mes)
{
    return QStringLiteral("PlanFestivos_%1_%2.pdf").arg(idempresa).arg(mes.toString(QStringLiteral("yyyyMM")));
}

} // namespace plan
