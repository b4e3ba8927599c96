#pragma once

#include "calendars/FestivosOficiales.h"
#include "store/ErrorQuorvel.h"

#include <QString>
#include <stdexcept>
#include <vector>

// Holidays read from a file a town or a clerk provides: an iCalendar file (.ics) of all-day events, or a
// CSV of "fecha;nombre[;tipo]" rows.
namespace ficherofestivos {

class ErrorFichero : public ErrorQuorvel
{
public:
    using ErrorQuorvel::ErrorQuorvel;
};

struct Lectura
{
    std::vector<oficiales::Festivo> dias; // of the year asked for, in date order
    int deOtrosAnios = 0;                 // days the file gives for other years
    int conHora = 0;                      // events with a time of day, which are no holidays
};

// The days of year `anio`; those without a type of their own get `tipo`. Throws ErrorFichero with a
// Spanish text when the file cannot be read, is malformed or holds no day of that year.
Lectura leer(const QString& ruta, int anio, int tipo);
Lectura leerIcs(const QByteArray& datos, int anio, int tipo);
Lectura leerCsv(const QByteArray& datos, int anio, int tipo);

} // namespace ficherofestivos
