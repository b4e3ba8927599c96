#include "store/StoreError.h"

#include "store/Formato4.h"

#include <sqlite3.h>

#include <array>

namespace store {

namespace {

struct Explicacion
{
    int codigo;            // primary result code
    const char* textos[2]; // the store's texts for it, in this and in later releases
    const char* explicacion;
};

// One row per cause; the editors, the general handler and the batch all read this table.
const std::array<Explicacion, 10> kExplicaciones{{
    {SQLITE_FULL,
     {"database or disk is full", nullptr},
     "El disco de la base de datos está lleno. No se ha guardado nada de esta operación: libere espacio en esa "
     "unidad y vuelva a intentarlo"},
    {SQLITE_BUSY,
     {"database is locked", nullptr},
     "La base de datos está ocupada por otra copia de Quorvel que está guardando datos. Espere unos segundos y "
     "vuelva a intentarlo"},
    {SQLITE_LOCKED,
     {"database table is locked", nullptr},
     "La base de datos está ocupada por otra copia de Quorvel que está guardando datos. Espere unos segundos y "
     "vuelva a intentarlo"},
    {SQLITE_READONLY,
     {"attempt to write a readonly database", nullptr},
     "No se puede escribir en la base de datos: el fichero o su carpeta son de solo lectura. Pida permiso de "
     "escritura o copie el fichero a una carpeta en la que pueda escribir"},
    {SQLITE_CORRUPT,
     {"database disk image is malformed", nullptr},
     "El fichero de la base de datos está dañado. No siga trabajando con él: haga una copia del fichero tal como "
     "está y recupere la última copia de seguridad"},
    {SQLITE_NOTADB,
     {"file is encrypted or is not a database", "file is not a database"},
     "El fichero no es una base de datos de Quorvel o está protegido con otra contraseña. No se ha modificado; "
     "compruebe que es el fichero correcto"},
    {SQLITE_IOERR,
     {"disk I/O error", nullptr},
     "Ha fallado la lectura o la escritura en el disco de la base de datos. Compruebe que queda espacio libre y "
     "que la unidad sigue disponible, y vuelva a intentarlo"},
    {SQLITE_TOOBIG,
     {"string or blob too big", nullptr},
     "El dato es demasiado grande para guardarlo en la base de datos. Acorte el texto y vuelva a intentarlo"},
    {SQLITE_CANTOPEN,
     {"unable to open database file", nullptr},
     "No se puede abrir el fichero de la base de datos. Compruebe que la carpeta existe, que está disponible "
     "(unidad de red conectada) y que tiene permiso para leerla y escribir en ella"},
    {SQLITE_NOMEM,
     {"out of memory", nullptr},
     "No queda memoria libre para la base de datos. Cierre otros programas y vuelva a intentarlo"},
}};

const Explicacion* buscar(const QString& texto, int codigo)
{
    for (const Explicacion& e : kExplicaciones) {
        if (codigo != 0) {
            if ((codigo & 0xff) == e.codigo)
                return &e;
            continue;
        }
        // Failures raised without a code carry the store's text; a longer text (a path after it) still
        // starts with it.
        for (const char* t : e.textos) {
            if (t && texto.startsWith(QString::fromUtf8(t)))
                return &e;
        }
    }
    return nullptr;
}

QString conOriginal(const QString& explicacion, const QString& original)
{
    return explicacion + QStringLiteral(" (") + original + u')';
}

} // namespace

QString explicarError(const QString& textoOriginal, int codigo)
{
    if (codigo == 0 && textoOriginal.startsWith(kFormatoSqlcipher4))
        return conOriginal(QStringLiteral("El fichero es de Quorvel, pero está guardado en el formato de SQLCipher 4, "
                                          "que la versión de SQLCipher de este equipo no sabe leer. No se ha "
                                          "modificado; ábralo con una copia de Quorvel hecha con SQLCipher 4 (por "
                                          "ejemplo, en Debian 13)"),
                           textoOriginal);
    if (codigo == 0 && textoOriginal.startsWith(kNoEsBaseQuorvel))
        return conOriginal(QStringLiteral("El fichero es una base de datos, pero no de Quorvel. No se ha "
                                          "modificado; compruebe que es el fichero correcto"),
                           textoOriginal);
    if (const Explicacion* e = buscar(textoOriginal, codigo))
        return conOriginal(QString::fromUtf8(e->explicacion), textoOriginal);
    return textoOriginal;
}

} // namespace store
