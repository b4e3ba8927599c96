#pragma once

#include "store/ErrorQuorvel.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QDate>
#include <QStringList>
#include <optional>
#include <vector>

class TablaConsulta;
namespace store {
class Database;
}

// What the calendar screens do to the calendar tables. Every change is one transaction, so another copy of
// the program sharing the file sees either all of it or nothing.
namespace calendarios {

// Colour of one day in a year view: Sundays silver, other days their code's colour; an "Abierto" row shows
// lime even on a Sunday. Invalid for a day without colour.
QColor colorAnual(QDate dia, std::optional<int> codigo);

// The double click of the year editor with type `tipo` chosen: no row gives a row of that type, a row of
// that type is removed, a row of another type is replaced. Returns the day's code afterwards.
// Throws CalendarioInexistente when a numbered calendar is gone (another copy deleted it).
std::optional<int> cambiarDia(store::Database& db, int numero, QDate dia, int tipo);

// "El calendario N ya no existe: otra copia lo ha borrado".
QString textoCalendarioInexistente(int numero);

class CalendarioInexistente : public ErrorQuorvel
{
public:
    explicit CalendarioInexistente(int numero) : ErrorQuorvel(textoCalendarioInexistente(numero)) {}
};

bool existeCalendario(store::Database& db, int numero);
// The calendar picker's grid: every calendar by number.
void listarCalendarios(TablaConsulta& t);
// The calendar picker's edit of a calendar's name.
void renombrarCalendario(store::Database& db, qint64 numero, const QString& descripcion);
// The rows of one calendar between two days, both included.
std::vector<std::pair<QDate, int>> diasCalendario(store::Database& db, int numero, QDate desde, QDate hasta);

// "codcentro - nomcentro" of the centres that name calendar `numero`, in code order.
QStringList centrosConCalendario(store::Database& db, int numero);
// Deletes the calendar and its days unless a centre uses it; returns those centres (nothing deleted then).
QStringList borrarCalendario(store::Database& db, int numero);

// A year typed by the user: four digits between 1900 and 2999.
std::optional<int> anyoValido(const QString& texto);
// Replaces year `anyo` of every numbered calendar by the base calendar's days of that year.
void copiarAnyoBase(store::Database& db, int anyo);

enum class Relleno { Ninguno = -1, Vacio = 0, Base = 1, Seleccionado = 2 };
// Stores a new calendar and fills it from 1 January of `hoy`'s year on, from the base calendar or from
// calendar `origen`. Returns the new number. Throws CalendarioInexistente, storing nothing, when `origen` is gone.
int crearCalendario(store::Database& db, const QString& descripcion, Relleno relleno, int origen, QDate hoy);

// The numbered calendars in number order, columns "Núm." and "Descripción calendario".
class ModeloListaCalendarios : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModeloListaCalendarios(store::Database& db, QObject* parent = nullptr);

    void recargar();
    int id(int fila) const;
    QString descripcion(int fila) const;
    // Row of calendar `id`, -1 when not listed.
    int fila(int id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The plain field names instead of the captions (the new-calendar window shows them so).
    bool titulosCampos = false;

private:
    store::Database& m_db;
    std::vector<std::pair<int, QString>> m_filas;
};

} // namespace calendarios
