#pragma once

#include <QColor>
#include <QDate>
#include <QHash>
#include <QString>
#include <array>
#include <memory>
#include <optional>

namespace store {
class Database;
class Statement;
} // namespace store

// Holiday calendars: number 0 is the base calendar (table calendar), N > 0 the rows of calendar2 with num N.
namespace festivos {

constexpr int kCalendarioBase = 0;
constexpr int kAbierto = 3;

struct TipoDia
{
    int codigo;
    QString nombre;       // main window legend
    QString pista;        // legend hint
    QString nombreEditor; // year editor
    QColor color;
};

// Codes 0 national, 1 regional, 2 local (non-working), 3 "Abierto" (a holiday the centre works).
const std::array<TipoDia, 4>& tiposDia();
// Colour of a day-type code; invalid QColor for a code outside 0..3.
QColor colorCodigo(int codigo);
QColor colorSombreado(); // silver, non-working days on sheets and shaded weekends
QColor colorBlanco();

// The code of one day in calendar `numero`, if the calendar has a row for it.
std::optional<int> buscarDia(store::Database& db, int numero, QDate dia);

// The base calendar kept open for a screen that asks for one day at a time while it lives (the month view).
class CalendarioBaseAbierto
{
public:
    explicit CalendarioBaseAbierto(store::Database& db);
    ~CalendarioBaseAbierto();
    CalendarioBaseAbierto(const CalendarioBaseAbierto&) = delete;
    CalendarioBaseAbierto& operator=(const CalendarioBaseAbierto&) = delete;

    std::optional<int> codigo(QDate dia);

private:
    std::unique_ptr<store::Statement> m_consulta;
};

// The number of the calendar centre `codcentro` names; the base calendar for a centre that is not found.
int calendarioDeCentro(store::Database& db, const QString& codcentro);

// The rows of one calendar for a period, loaded once (a sheet report looks up every day of a month).
class Calendario
{
public:
    Calendario() = default;
    static Calendario cargar(store::Database& db, int numero, QDate desde = {}, QDate hasta = {});
    int numero() const { return m_numero; }
    std::optional<int> codigo(QDate dia) const;
    bool isEmpty() const { return m_dias.isEmpty(); }

private:
    int m_numero = kCalendarioBase;
    QHash<QDate, int> m_dias;
};

struct Sombreado
{
    bool sabados = false;
    bool domingos = false;
    bool festivos = false;
};

// Which calendar and switches a sheet uses: the centre's own when asked for (and not a blank template),
// otherwise the base calendar with the window's switches.
struct CalendarioHoja
{
    int numero = kCalendarioBase;
    Sombreado sombreado;
};
CalendarioHoja calendarioParaHoja(int idcalendario, bool calendarioCentro, bool plantilla, const Sombreado& ventana,
                                  const Sombreado& centro);

// Start unshaded; Saturday and Sunday by their switches; then, with the holiday switch, the calendar's
// code shades (0-2) or unshades (3).
bool diaSombreado(QDate dia, const Sombreado& s, std::optional<int> codigo);
inline bool diaSombreado(QDate dia, const Sombreado& s, const Calendario& c)
{
    return diaSombreado(dia, s, c.codigo(dia));
}

// Holiday plan mark: "X" non-working, "A" open, empty for an ordinary day.
QString marcaPlan(std::optional<int> codigo);

} // namespace festivos
