#pragma once

#include <QString>
#include <optional>

class TablaConsulta;
namespace store {
class Database;
}

// The statements behind the master data grids. User text is always a bound parameter; names are in Spanish
// order.
namespace consultas {

// Companies in stored order.
void empresas(TablaConsulta& t);
// The centres of one company, by code.
void centrosDeEmpresa(TablaConsulta& t, qint64 idempresa);
// The workers of one centre, one row per assignment, by name.
void trabajadoresDeCentro(TablaConsulta& t, const QString& codcentro);
// The same, then the workers assigned to no centre, by name, "(sin centro)" in their code: a worker stored
// before it has a centre stays in sight to be given one. An empty code lists only those.
void trabajadoresDeCentroYSinCentro(TablaConsulta& t, const QString& codcentro);
extern const QString kSinCentro; // "(sin centro)"
// Workers with the text in their name, NSS, NIF, telephone, alias or e-mail, ignoring case and accents. An
// empty text lists every worker with a value in at least one of them.
void buscarTrabajadores(TablaConsulta& t, const QString& texto);
void trabajadoresSinCentro(TablaConsulta& t);
// Fills the computed column "Centros" with the worker's centre codes joined by " / ".
void calcularCentros(TablaConsulta& t);
// The centres of one company, or of all when `idempresa` is empty, ordered by company.
void centrosParaElegir(TablaConsulta& t, std::optional<qint64> idempresa);
// A worker's assignments.
void asignaciones(TablaConsulta& t, qint64 idtrabajador);

} // namespace consultas
