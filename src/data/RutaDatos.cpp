#include "data/RutaDatos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString rutaDatos(const QString& nombre)
{
    const QDir programa(QCoreApplication::applicationDirPath());
    const QStringList carpetas = {programa.path(), programa.filePath(QStringLiteral("../share/quorvel")),
                                  QString::fromUtf8(QUORVEL_DATOS_INSTALADOS), QString::fromUtf8(QUORVEL_DATOS_FUENTE)};
    for (const QString& carpeta : carpetas) {
        const QString ruta = QDir(carpeta).filePath(nombre);
        if (QFileInfo(ruta).isFile())
            return QDir::cleanPath(ruta);
    }
    return {};
}
