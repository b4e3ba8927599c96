#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace store {
class Database;
}
namespace centros {
struct FilaCentro;
}

// What the sheet builder reads from the main window, made explicit.
struct EntradaListado
{
    QDate mesInicio;          // any day of the start month
    QDate mesFin;             // any day of the end month
    QStringList trabajadores; // worker list entries: "id - name"
    int seleccionado = -1;    // selected entry, -1 for none
    QString textoTrabajador;  // text typed in the worker list, used when it has no entries
    bool todosTrabajadores = false;
    bool todosCentros = false;
    std::function<bool()> interrumpir;           // stop request; may be empty
    std::function<void(const QString&)> mensaje; // message boxes; may be empty
};

// One row of the sheet work table.
struct FilaListado
{
    qint64 idempresa = 0;
    qint64 idcentro = 0;
    qint64 idcalendario = 0;
    QString e_nombre, e_nif, e_ccc, e_nomcentro;
    QString t_nombre, t_nif, t_nss, t_tipojornada, t_contrato;
    QString mes; // yyyymm
};

// "yyyymm" of a date.
QString codigoMes(QDate dia);

// Appends one row per worker and month for the centre; problems are reported through `mensaje` and do not
// stop the build. A worker entry whose first token is not a number throws store::ConversionError.
void GrabarListado(store::Database& db, const QString& codcentro, const EntradaListado& entrada);
// The same for a centre row already read (null: no such centre), so the rows match what the caller read.
void GrabarListado(store::Database& db, const centros::FilaCentro* centro, const EntradaListado& entrada);
// Empties the work table.
void VaciarListado(store::Database& db);
// Appends one row and stores it at once.
void grabarFilaListado(store::Database& db, const FilaListado& fila);
// The rows in print order: by month, then as they were appended.
std::vector<FilaListado> leerListado(store::Database& db);
