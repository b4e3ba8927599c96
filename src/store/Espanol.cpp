#include "store/Espanol.h"

#include <QCollator>
#include <QLocale>

namespace store {

namespace {

QCollator crearColacion()
{
    QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(false);
    return c;
}

} // namespace

int compararEspanol(const QString& a, const QString& b)
{
    // QCollator is not safe to share between threads; each thread keeps its own.
    thread_local const QCollator colacion = crearColacion();
    const int r = colacion.compare(a, b);
    // Names equal but for case or accents still get one fixed order.
    return r != 0 ? r : a.compare(b);
}

QString plegar(const QString& texto)
{
    const QString descompuesto = texto.normalized(QString::NormalizationForm_D);
    QString resultado;
    resultado.reserve(descompuesto.size());
    for (const QChar c : descompuesto) {
        if (c.category() != QChar::Mark_NonSpacing)
            resultado.append(c);
    }
    return resultado.toCaseFolded();
}

} // namespace store
