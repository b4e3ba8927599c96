#pragma once

#include <QDate>
#include <QString>
#include <vector>

namespace store {
class Database;
}

// Builds test databases: single rows on demand, or a realistic sample of two companies.
namespace fixture {

qint64 empresa(store::Database& db, const QString& nombre, const QString& cif, const QString& ccc);
// The code is the company id in two digits followed by the short code, as the centre editor builds it.
struct Centro
{
    qint64 id;
    QString codcentro;
};
Centro centro(store::Database& db, qint64 idempresa, const QString& codcentro2, const QString& nombre,
              int calendario = 0, bool sabados = true, bool domingos = true, bool festivos = true,
              const QString& email = {});
qint64 trabajador(store::Database& db, const QString& nombre, const QString& nif, const QString& nss,
                  const QString& tipojornada, const QString& contrato);
void asignar(store::Database& db, qint64 idtrabajador, const QString& codcentro);
qint64 calendario(store::Database& db, const QString& descripcion);
// Calendar 0 is the base calendar.
void festivo(store::Database& db, int calendario, QDate dia, int codigo);
void festivosNacionales(store::Database& db, int anyo);

// What the sample database holds, for tests that need its ids.
struct Ejemplo
{
    qint64 empresa1 = 0;      // TRANSPORTES ÁLAMO, S.L.
    qint64 empresa2 = 0;      // PANADERÍA LA ESPIGA, S.A.
    Centro almacen;           // company 1, base calendar, closed Sat/Sun/holidays
    Centro oficinas;          // company 1, numbered calendar, open on Saturdays
    Centro tiendaVacia;       // company 1, no workers
    Centro obrador;           // company 2, base calendar
    Centro despacho;          // company 2, closed on Saturdays only
    int calendarioMadrid = 0; // numbered calendar with regional/local holidays and an open Sunday
    qint64 trabajadorDosCentros = 0;
    qint64 trabajadorSinCentro = 0;
    std::vector<qint64> trabajadores; // every worker, in creation order
};
Ejemplo crearEjemplo(store::Database& db);

} // namespace fixture
