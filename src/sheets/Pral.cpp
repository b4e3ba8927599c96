#include "sheets/Pral.h"

#include <QLocale>

namespace pral {

QDate primerDia(QDate dia)
{
    return QDate(dia.year(), dia.month(), 1);
}

QDate mesSiguiente(QDate dia)
{
    return primerDia(dia).addMonths(1);
}

QDate mesAnterior(QDate dia)
{
    return primerDia(dia).addMonths(-1);
}

QString textoMes(QDate dia)
{
    static const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    return espanol.toString(dia, QStringLiteral("MMMM / yyyy"));
}

Colores coloresPorCodigo()
{
    Colores colores;
    for (int codigo = 0; codigo < int(colores.size()); ++codigo)
        colores[std::size_t(codigo)] = festivos::colorCodigo(codigo);
    return colores;
}

QColor colorDia(QDate dia, const festivos::Sombreado& sombreado, std::optional<int> codigo, const Colores& colores)
{
    QColor color = festivos::colorBlanco();
    if ((sombreado.sabados && dia.dayOfWeek() == Qt::Saturday) || (sombreado.domingos && dia.dayOfWeek() == Qt::Sunday))
        color = festivos::colorSombreado();
    // A code outside the table leaves the day as the weekend rules made it.
    if (sombreado.festivos && codigo && *codigo >= 0 && *codigo < int(colores.size()))
        color = colores[std::size_t(*codigo)];
    return color;
}

} // namespace pral
