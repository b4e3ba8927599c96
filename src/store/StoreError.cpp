#include "store/StoreError.h"

#include "store/Formato4.h"

#include <array>
#include <utility>

namespace store {

QString explicarError(const QString& textoOriginal)
{
    static const QString kOtraClave =
        QStringLiteral("El fichero no es una base de datos de Quorvel o está protegido con otra contraseña. No se ha "
                       "modificado; compruebe que es el fichero correcto");
    // The store's texts are fixed English phrases; a longer text (a path after them) still starts with one.
    static const std::array<std::pair<QString, QString>, 7> explicaciones{{
        {QStringLiteral("database is locked"),
         QStringLiteral("La base de datos está ocupada por otra copia de Quorvel que está guardando datos. Espere "
                        "unos segundos y vuelva a intentarlo")},
        {QStringLiteral("database disk image is malformed"),
         QStringLiteral("El fichero de la base de datos está dañado. No siga trabajando con él: haga una copia del "
                        "fichero tal como está y recupere la última copia de seguridad")},
        {QStringLiteral("file is encrypted or is not a database"), kOtraClave},
        {QStringLiteral("file is not a database"), kOtraClave},
        {QStringLiteral("attempt to write a readonly database"),
         QStringLiteral("No se puede escribir en la base de datos: el fichero o su carpeta son de solo lectura. Pida "
                        "permiso de escritura o copie el fichero a una carpeta en la que pueda escribir")},
        {QStringLiteral("unable to open database file"),
         QStringLiteral("No se puede abrir el fichero de la base de datos. Compruebe que la carpeta existe, que está "
                        "disponible (unidad de red conectada) y que tiene permiso para leerla y escribir en ella")},
        {QStringLiteral("disk I/O error"),
         QStringLiteral("Ha fallado la lectura o la escritura en el disco de la base de datos. Compruebe que queda "
                        "espacio libre y que la unidad sigue disponible, y vuelva a intentarlo")},
    }};
    if (textoOriginal.startsWith(kFormatoSqlcipher4))
        return QStringLiteral("El fichero es de Quorvel, pero está guardado en el formato de SQLCipher 4, que la "
                              "versión de SQLCipher de este equipo no sabe leer. No se ha modificado; ábralo con una "
                              "copia de Quorvel hecha con SQLCipher 4 (por ejemplo, en Debian 13)") +
               QStringLiteral(" (") + textoOriginal + u')';
    if (textoOriginal.startsWith(kNoEsBaseQuorvel))
        return QStringLiteral("El fichero es una base de datos, pero no de Quorvel. No se ha modificado; compruebe "
                              "que es el fichero correcto") +
               QStringLiteral(" (") + textoOriginal + u')';
    for (const auto& [original, explicacion] : explicaciones) {
        if (textoOriginal.startsWith(original))
            return explicacion + QStringLiteral(" (") + textoOriginal + u')';
    }
    return textoOriginal;
}

} // namespace store
