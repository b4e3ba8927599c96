#pragma once

#include "store/ErrorQuorvel.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace store {
class Database;
} // namespace store

// Companies, centres, workers and their assignments: reading, storing and deleting one record at a time.
// Every change of more than one row runs in one transaction, so a failure half-way leaves everything as it was.
namespace maestros {

struct Empresa
{
    qint64 id = 0; // 0 until stored
    QString nomempresa;
    QString cif;
    QString ccc;
};

struct Centro
{
    qint64 id = 0;
    QString codcentro;
    QString codcentro2;
    QString nomcentro;
    std::optional<qint64> idempresa;
    QString email;
    QString domicilio;
    QString poblacion;
    QString cp;
    QString telefono;
    QString calendario;
    bool sabados = false;
    bool domingos = false;
    bool festivos = false;
};

struct Trabajador
{
    qint64 id = 0;
    QString nomtrabajador;
    QString nif;
    QString nss;
    QString telef;
    QString tipojornada;
    QString email;
    QString alias;
    QString contrato;
    QString falta;
    QString fbaja;
    QString observaciones;
};

// A refusal the user can mend; `campo` names the field to correct, when there is one.
class Rechazo : public ErrorQuorvel
{
public:
    Rechazo(const QString& texto, const QString& campo = {}) : ErrorQuorvel(texto), m_campo(campo) {}
    const QString& campo() const { return m_campo; }

private:
    QString m_campo;
};

// Typed letters become full capitals, accented ones and ñ included.
QString mayusculas(const QString& texto);

std::optional<Empresa> leerEmpresa(store::Database& db, qint64 id);
// Inserts when `e.id` is 0 and sets it. Refuses a company without a name.
void grabarEmpresa(store::Database& db, Empresa& e);
int contarCentros(store::Database& db, qint64 idempresa);
// Why a company with centres is not deleted, with how many it has.
QString textoEmpresaConCentros(int centros);
void borrarEmpresa(store::Database& db, qint64 id);

// The defaults of a new centre: closed on Saturdays, Sundays and holidays, on the base calendar.
Centro centroNuevo(std::optional<qint64> idempresa);
// The company id in two digits (CerosIzquierda) followed by the short code; empty when the company text is
// not a number.
QString codigoCentro(const QString& textoEmpresa, const QString& codcentro2);
// The first of codcentro, codcentro2, nomcentro, idempresa, calendario without a value; empty when all have one.
QString campoVacio(const Centro& c);
// "nomempresa" for a company without a name, "nomtrabajador" for a worker without one; empty otherwise. A record
// without a name would be a blank line in every list and on every sheet.
QString campoVacio(const Empresa& e);
QString campoVacio(const Trabajador& t);
// A required field left empty, named by its caption: "Falta el nombre de la empresa".
QString textoFalta(const QString& campo);
// The postal code holds something other than digits: "El código postal debe ser un número: «29abc»"; empty
// when it is empty or a number.
QString textoCpNoNumero(const QString& cp);
std::optional<Centro> leerCentro(store::Database& db, qint64 id);
std::optional<Centro> leerCentroPorCodigo(store::Database& db, const QString& codcentro);
// The id of the first centre with code `codcentro`, and the code of centre `id`; nothing for a centre not found.
std::optional<qint64> idCentro(store::Database& db, const QString& codcentro);
std::optional<QString> codigoDeCentro(store::Database& db, qint64 id);
// Refuses an empty required field, a postal code that is not a number, a code another centre has, and a
// company or calendar that no longer exists; a changed code takes the centre's assignments with it.
void grabarCentro(store::Database& db, Centro& c);
int contarAsignacionesCentro(store::Database& db, const QString& codcentro);
// The centre and every assignment to it; its workers stay.
void borrarCentro(store::Database& db, qint64 id, const QString& codcentro);

std::optional<Trabajador> leerTrabajador(store::Database& db, qint64 id);
// Refuses a worker without a name.
void grabarTrabajador(store::Database& db, Trabajador& t);
// The worker's centre codes in the order they were assigned.
QStringList centrosDeTrabajador(store::Database& db, qint64 idtrabajador);
// False, adding nothing, when the worker already has that centre. Refuses (maestros::Rechazo) a worker or a
// centre code that no longer exists.
bool asignar(store::Database& db, qint64 idtrabajador, const QString& codcentro);
void quitarAsignacion(store::Database& db, qint64 idtrabajador, const QString& codcentro);
// The worker and all its assignments.
void borrarTrabajador(store::Database& db, qint64 id);

} // namespace maestros
