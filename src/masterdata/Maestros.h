#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace store {
class Database;
class StoreError;
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
class Rechazo : public std::runtime_error
{
public:
    Rechazo(const QString& texto, const QString& campo = {})
        : std::runtime_error(texto.toStdString()), m_texto(texto), m_campo(campo)
    {
    }
    const QString& texto() const { return m_texto; }
    const QString& campo() const { return m_campo; }

private:
    QString m_texto;
    QString m_campo;
};

// Typed letters become full capitals, accented ones and ñ included.
QString mayusculas(const QString& texto);
// The text a user reads when storing or deleting failed in the data store (locked file, full disk).
// `accion` is the verb of the failed step: "grabar", "borrar".
QString textoErrorAlmacen(const store::StoreError& error, const QString& accion = QStringLiteral("grabar"));

std::optional<Empresa> leerEmpresa(store::Database& db, qint64 id);
// Inserts when `e.id` is 0 and sets it.
void grabarEmpresa(store::Database& db, Empresa& e);
int contarCentros(store::Database& db, qint64 idempresa);
void borrarEmpresa(store::Database& db, qint64 id);

// The defaults of a new centre: closed on Saturdays, Sundays and holidays, on the base calendar.
Centro centroNuevo(std::optional<qint64> idempresa);
// The company id in two digits (CerosIzquierda) followed by the short code; empty when the company text is
// not a number.
QString codigoCentro(const QString& textoEmpresa, const QString& codcentro2);
// "Es necesario que el campo '%s' contenga algún valor" with the first required field that is empty.
QString textoCampoNecesario(const QString& campo);
// The first of codcentro, codcentro2, nomcentro, idempresa, calendario without a value; empty when all have one.
QString campoVacio(const Centro& c);
std::optional<Centro> leerCentro(store::Database& db, qint64 id);
std::optional<Centro> leerCentroPorCodigo(store::Database& db, const QString& codcentro);
// The id of the first centre with code `codcentro`, and the code of centre `id`; nothing for a centre not found.
std::optional<qint64> idCentro(store::Database& db, const QString& codcentro);
std::optional<QString> codigoDeCentro(store::Database& db, qint64 id);
// Refuses an empty required field and a code another centre has; a changed code takes the centre's
// assignments with it.
void grabarCentro(store::Database& db, Centro& c);
int contarAsignacionesCentro(store::Database& db, const QString& codcentro);
// The centre and every assignment to it; its workers stay.
void borrarCentro(store::Database& db, qint64 id, const QString& codcentro);

std::optional<Trabajador> leerTrabajador(store::Database& db, qint64 id);
void grabarTrabajador(store::Database& db, Trabajador& t);
// The worker's centre codes in the order they were assigned.
QStringList centrosDeTrabajador(store::Database& db, qint64 idtrabajador);
// False, adding nothing, when the worker already has that centre.
bool asignar(store::Database& db, qint64 idtrabajador, const QString& codcentro);
void quitarAsignacion(store::Database& db, qint64 idtrabajador, const QString& codcentro);
// The worker and all its assignments.
void borrarTrabajador(store::Database& db, qint64 id);

} // namespace maestros
