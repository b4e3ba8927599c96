#pragma once

#include <QString>
#include <optional>

namespace store {
class Database;
class Statement;
} // namespace store

// A centre row as the sheets and the holiday plan read it, by one rule: the calendar must be a calendar
// number (decimal digits), each closed-day flag 0 or 1 ("True"/"False" as older files hold them; empty is
// not closed). A row that breaks the rule is not guessed at: the run names it and goes on with the others.
namespace centros {

struct FilaCentro
{
    qint64 id = 0;
    QString codcentro;
    QString codcentro2;
    QString nomcentro;
    std::optional<qint64> idempresa;
    int calendario = 0;
    bool sabados = false;
    bool domingos = false;
    bool festivos = false;
};

// The columns leerFila() expects, in this order.
extern const QString kColumnas;

// Fills `fila` from the current row of a statement that selects kColumnas; returns why the row cannot be
// read, empty when it can.
QString leerFila(const store::Statement& st, FilaCentro& fila);

struct Lectura
{
    bool existe = false;
    FilaCentro fila;
    QString motivo; // why the row cannot be read; empty when it can
};
// Centre `id` as stored now.
Lectura leerCentro(store::Database& db, qint64 id);

// "Centro: <code> - <name>  no impreso: <why>", the log line of a centre a run could not print.
QString lineaNoImpreso(const QString& codcentro, const QString& nomcentro, const QString& motivo);
// Why a centre listed at the start of a run is gone.
extern const QString kMotivoBorrado;

} // namespace centros
