#pragma once

#include "calendars/Festivos.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// What the main window decides without a display: list codes, months and the colours of its month view.
namespace pral {

QDate primerDia(QDate dia);
QDate mesSiguiente(QDate dia);
QDate mesAnterior(QDate dia);
// "mayo / 2019"
QString textoMes(QDate dia);

// Colour per day-type code 0-3, as the month view paints them.
using Colores = std::array<QColor, 4>;
Colores coloresPorCodigo();

// The month view's colour of a day: white; silver for a Saturday or Sunday whose switch is on; with the
// holiday switch, the colour of the base calendar's code, over the silver.
QColor colorDia(QDate dia, const festivos::Sombreado& sombreado, std::optional<int> codigo, const Colores& colores);

} // namespace pral
