#include "mail/ElegirCarpeta.h"

#include "base/Interaccion.h"

#include <QDir>

bool ElegirCarpeta(QWidget* padre, const QString& titulo, QString& carpeta)
{
    const QString elegida = Interaccion::actual().elegirCarpeta(padre, titulo, QString());
    carpeta = elegida.isEmpty() ? QString() : QDir::toNativeSeparators(QDir(elegida).absolutePath());
    return !carpeta.isEmpty();
}
