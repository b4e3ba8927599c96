#pragma once

#include "store/ErrorQuorvel.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

namespace store {
class Database;
}

// The national and regional holidays of each year and community, from the table shipped with the program
// and the user's own file beside the database, and how a list of holidays is written into a calendar.
namespace oficiales {

struct Comunidad
{
    QString codigo; // ISO 3166-2:ES without "ES-"
    QString nombre;
};
// The 19 communities and autonomous cities, in the order of their names.
const std::vector<Comunidad>& comunidades();
std::optional<Comunidad> comunidad(const QString& codigo);

struct Festivo
{
    QDate fecha;
    int tipo = 0; // day-type code 0..3
    QString nombre;
};

inline const QString kFicheroTabla = QStringLiteral("festivos-oficiales.csv");
inline const QString kFicheroUsuario = QStringLiteral("festivos-usuario.csv");
// Later years of the shipped table follow the usual rules but were not yet checked against their resolution.
constexpr int kUltimoAnioContrastado = 2026;

// The user's corrections and additions: the same columns as the shipped table, beside the database.
QString rutaFicheroUsuario(const QString& rutaBaseDatos);

// "01/05/2027", "1/5/2027" or "2027-05-01"; invalid otherwise.
QDate fechaDeTexto(const QString& texto);

class ErrorTabla : public ErrorQuorvel
{
public:
    using ErrorQuorvel::ErrorQuorvel;
};

class Tabla
{
public:
    // The shipped table, then the user's file (if it exists), whose years replace the shipped ones of the
    // same community. Throws ErrorTabla, naming the file and row, for a row that cannot be read.
    static Tabla cargar(const QString& rutaOficial, const QString& rutaUsuario);
    // The shipped table found with rutaDatos and the user's file beside `rutaBaseDatos`.
    static Tabla cargarPara(const QString& rutaBaseDatos);

    bool tiene(const QString& comunidad, int anio) const;
    bool tieneAnio(int anio) const;
    // From the shipped table and later than the last year checked.
    bool provisional(const QString& comunidad, int anio) const;
    bool delUsuario(const QString& comunidad, int anio) const;
    // In date order; empty when the table does not hold that year.
    std::vector<Festivo> festivos(const QString& comunidad, int anio) const;

    // What to tell the user before applying: empty when there is nothing to say.
    QString aviso(const QString& comunidad, int anio) const;
    // Why nothing can be applied; empty when the year is there.
    QString falta(const QString& comunidad, int anio) const;

private:
    void leer(const QString& ruta, bool usuario);

    QHash<QString, std::vector<Festivo>> m_dias; // key: community + year
    QSet<QString> m_usuario;
    QSet<int> m_anios;
};

// How a day already marked with another code is treated.
enum class Regla {
    Oficial,    // national and regional marks take the table's code; local and "Abierto" marks stay
    Conservar,  // every existing mark stays
    Reemplazar, // every existing mark takes the new code
};

enum class Efecto {
    Nuevo,     // no mark yet
    Igual,     // already marked with the same code: left as it is
    Cambia,    // marked with another code, which is replaced
    Respetado, // marked with another code, which stays
};

struct DiaPrevisto
{
    QDate fecha;
    QString nombre;
    int tipo = 0;
    std::optional<int> antes;
    Efecto efecto = Efecto::Nuevo;
};

// What applying `dias` to calendar `numero` would do, day by day (a date given twice counts once).
std::vector<DiaPrevisto> prever(store::Database& db, int numero, const std::vector<Festivo>& dias, Regla regla);
// Applies them in one transaction and returns the days written. Throws calendarios::CalendarioInexistente
// when the numbered calendar is gone.
int aplicar(store::Database& db, int numero, const std::vector<Festivo>& dias, Regla regla);

struct Destino
{
    int numero = 0;    // calendar
    QString comunidad; // whose official holidays it takes
};
// The official holidays of `anio` in several calendars, each with its community, all in one transaction; every
// numbered calendar then remembers its community. Returns the days written. Throws ErrorTabla when the table
// lacks a community's year, calendarios::CalendarioInexistente when a calendar is gone; nothing is written then.
int aplicarVarios(store::Database& db, const std::vector<Destino>& destinos, int anio, const Tabla& tabla);

// "Nacional", "CC.AA.", "Local", "Abierto".
QString nombreTipo(int codigo);
// "nuevo", "ya marcado", "cambia: Local → Nacional", "se queda: Local".
QString textoEfecto(const DiaPrevisto& dia);

// The community a numbered calendar remembers; empty for the base calendar or when it has none.
QString comunidadCalendario(store::Database& db, int numero);
void guardarComunidad(store::Database& db, int numero, const QString& codigo);

} // namespace oficiales
