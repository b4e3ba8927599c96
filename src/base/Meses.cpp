#include "base/Meses.h"

namespace meses {

const QString kTextoFueraDeLimites = QStringLiteral("Los meses deben estar entre enero de 1900 y diciembre de 9999");
const QString kTextoFinAnterior = QStringLiteral("El último mes no puede ser anterior al primero");
const QString kTextoIntervaloLargo = QStringLiteral("El intervalo no puede pasar de %1 meses").arg(kMaximo);

QDate primero()
{
    return QDate(1900, 1, 1);
}

QDate ultimo()
{
    return QDate(9999, 12, 1);
}

bool permitido(QDate mes)
{
    return mes.isValid() && mes >= primero() && mes < ultimo().addMonths(1);
}

int cuantos(QDate inicio, QDate fin)
{
    return (fin.year() - inicio.year()) * 12 + fin.month() - inicio.month() + 1;
}

QString comprobar(QDate inicio, QDate fin)
{
    if (!permitido(inicio) || !permitido(fin))
        return kTextoFueraDeLimites;
    if (cuantos(inicio, fin) < 1)
        return kTextoFinAnterior;
    if (cuantos(inicio, fin) > kMaximo)
        return kTextoIntervaloLargo;
    return {};
}

} // namespace meses
