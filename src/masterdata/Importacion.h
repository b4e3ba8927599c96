#pragma once

#include "masterdata/LectorCsv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace store {
class Database;
}

// Companies, centres and workers from one flat spreadsheet, one row per worker and centre. Nothing is written
// until the preview has been seen: `preparar` reads the file against the database and says, row by row, what
// would be created, changed or refused; `aplicar` writes the accepted rows in one transaction, and stops with
// nothing written when another copy of the program changed the data the preview was made from.
namespace importacion {

enum Columna {
    EmpresaCif,
    EmpresaNombre,
    EmpresaCcc,
    CentroCodigo,
    CentroNombre,
    CentroEmail,
    CentroDomicilio,
    CentroPoblacion,
    CentroCp,
    CentroTelefono,
    TrabajadorNif,
    TrabajadorNombre,
    TrabajadorNss,
    TipoJornada,
    Contrato,
    TrabajadorTelefono,
    TrabajadorEmail,
    TrabajadorAlias,
    kNumColumnas
};

// The header names, in the order the export writes them.
const QStringList& nombresColumnas();
// How a header cell is compared: lower case, without accents, spaces or "_".
QString normalizarCabecera(const QString& cabecera);

enum class Estado {
    Alta,         // creates a company, centre, worker or assignment
    Modificacion, // changes stored values only
    SinCambios,
    Rechazada,
};
QString textoEstado(Estado e);

struct FilaVista
{
    int fila = 0; // the record's number in the file, the header being 1
    Estado estado = Estado::SinCambios;
    QString empresa;    // CIF
    QString centro;     // short code
    QString trabajador; // NIF and name
    QString detalle;    // what happens, or why the row is refused
    QStringList avisos; // identifiers that fail their check
};

struct Totales
{
    int empresasNuevas = 0;
    int empresasModificadas = 0;
    int centrosNuevos = 0;
    int centrosModificados = 0;
    int trabajadoresNuevos = 0;
    int trabajadoresModificados = 0;
    int asignacionesNuevas = 0;
    int filas = 0;
    int filasRechazadas = 0;
    int filasConAviso = 0;
    int filasSinCambios = 0;
    bool sinCambios() const;
};

struct Vista
{
    csv::Codificacion codificacion = csv::Codificacion::Utf8;
    QChar separador;
    QStringList desconocidas; // header cells that name no column, as written
    QString error;            // the file as a whole cannot be imported; nothing else is filled then
    std::vector<FilaVista> filas;
    Totales totales;

    // What `aplicar` needs to check that the data did not change meanwhile.
    QList<QStringList> tabla;
    QList<int> numeros;
    QString firma;
};

Vista preparar(store::Database& db, const QByteArray& contenido);

// Writes the rows the preview accepted, in one transaction, and returns what was written. Throws
// maestros::Rechazo, writing nothing, when rows were refused and `parcial` is false, when the data changed since
// the preview, or when a store rule refuses a record; store::StoreError when the store fails.
Totales aplicar(store::Database& db, const Vista& vista, bool parcial);

QString textoDatosCambiados();
// One line per row and the totals, as the batch prints them.
QStringList lineas(const Vista& vista);
QString resumen(const Totales& t);

// An empty file with the header row, to fill in a spreadsheet.
QByteArray plantilla();

} // namespace importacion
