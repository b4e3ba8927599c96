#include "shell/TraduccionQt.h"

#include "data/RutaDatos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool cargarTraduccionQt(QCoreApplication& aplicacion)
{
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    // Qt's own folder first; a copy beside the program serves a machine without Qt's translation package.
    QStringList carpetas = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    // Then a copy in the installed data folder.
    const QString instalada = rutaDatos(QStringLiteral("translations/qtbase_es.qm"));
    if (!instalada.isEmpty())
        carpetas << QFileInfo(instalada).path();
    for (const QString& carpeta : carpetas) {
        auto* traductor = new QTranslator(&aplicacion);
        if (traductor->load(espanol, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta)) {
            QCoreApplication::installTranslator(traductor);
            return true;
        }
        delete traductor;
    }
    return false;
}
