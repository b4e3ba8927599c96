#include "masterdata/ImportacionLote.h"

#include "base/ArgumentosLote.h"
#include "data/TMD.h"
#include "masterdata/Exportacion.h"
#include "masterdata/Importacion.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

const QString kAyudaImportacion = QStringLiteral(
    "Uso: quorvel-lote --importar FICHERO [--base FICHERO] [--comprobar] [--parcial]\n"
    "     quorvel-lote --exportar FICHERO [--empresa ID] [--base FICHERO]\n"
    "\n"
    "--importar lee empresas, centros y trabajadores de una hoja de cálculo guardada como texto (CSV con\n"
    "separador «;», «,» o tabulador; UTF-8 o Windows-1252), una fila por trabajador y centro, y muestra\n"
    "fila a fila lo que se crea, se modifica o se rechaza. Lo importa todo en una sola operación.\n"
    "  --comprobar           solo muestra la vista previa; no escribe nada\n"
    "  --parcial             importa las filas aceptadas aunque haya filas rechazadas\n"
    "--exportar escribe los datos en el mismo formato (UTF-8 con BOM, «;»).\n"
    "  --empresa ID          solo esa empresa\n"
    "  --base FICHERO        base de datos (por defecto Quorvel.abs junto al programa)\n"
    "\n"
    "Estado de salida: 0 correcto, 1 hay filas rechazadas o el proceso no se pudo completar, 2 argumentos\n"
    "incorrectos, 3 base de datos, empresa o fichero no disponibles.\n");

using namespace lote;

namespace {

int importar(const QHash<QString, QString>& opciones, store::Database& db, QTextStream& salida, QTextStream& errores)
{
    const QString fichero = opciones.value(QStringLiteral("importar"));
    QFile f(fichero);
    if (!f.open(QIODevice::ReadOnly)) {
        errores << QStringLiteral("No se puede leer el fichero %1: %2").arg(fichero, f.errorString()) << Qt::endl;
        return NoDisponible;
    }
    const importacion::Vista vista = importacion::preparar(db, f.readAll());
    for (const QString& linea : importacion::lineas(vista))
        salida << linea << Qt::endl;
    if (!vista.error.isEmpty())
        return Fallo;
    const bool parcial = opciones.contains(QStringLiteral("parcial"));
    const bool rechazadas = vista.totales.filasRechazadas > 0;
    if (opciones.contains(QStringLiteral("comprobar"))) {
        salida << QStringLiteral("Comprobación: no se ha escrito nada.") << Qt::endl;
        return rechazadas && !parcial ? Fallo : Correcto;
    }
    if (rechazadas && !parcial) {
        errores << QStringLiteral("Hay %1 filas rechazadas: no se ha importado nada. Corrija el fichero o use "
                                  "--parcial para importar solo las filas aceptadas.")
                       .arg(vista.totales.filasRechazadas)
                << Qt::endl;
        return Fallo;
    }
    if (vista.totales.sinCambios()) {
        salida << QStringLiteral("Nada que importar.") << Qt::endl;
        return Correcto;
    }
    const importacion::Totales hecho = importacion::aplicar(db, vista, parcial);
    salida << QStringLiteral("Importado. ") << importacion::resumen(hecho) << Qt::endl;
    return Correcto;
}

int exportar(const QHash<QString, QString>& opciones, store::Database& db, QTextStream& salida, QTextStream& errores)
{
    std::optional<qint64> idempresa;
    if (opciones.contains(QStringLiteral("empresa"))) {
        idempresa = idEmpresa(opciones);
        if (!existeEmpresa(db, *idempresa, errores))
            return NoDisponible;
    }
    const QString fichero = opciones.value(QStringLiteral("exportar"));
    QSaveFile f(fichero);
    if (!f.open(QIODevice::WriteOnly) || f.write(exportacion::exportar(db, idempresa)) < 0 || !f.commit()) {
        errores << QStringLiteral("No se puede escribir el fichero %1: %2").arg(fichero, f.errorString()) << Qt::endl;
        return Fallo;
    }
    salida << QStringLiteral("Exportado: %1").arg(fichero) << Qt::endl;
    return Correcto;
}

} // namespace

bool esImportacionLote(const QStringList& argumentos)
{
    for (const QString& a : argumentos)
        if (a == QStringLiteral("--importar") || a == QStringLiteral("--exportar") ||
            a.startsWith(QStringLiteral("--importar=")) || a.startsWith(QStringLiteral("--exportar=")))
            return true;
    return false;
}

int ejecutarImportacionLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida,
                            QTextStream& errores)
{
    for (const QString& a : argumentos)
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h") || a == QStringLiteral("--ayuda")) {
            salida << kAyudaImportacion;
            return Correcto;
        }
    QHash<QString, QString> opciones;
    QStringList resto = argumentos;
    QStringList banderas;
    for (const QString& b : {QStringLiteral("--comprobar"), QStringLiteral("--parcial")})
        if (resto.removeAll(b) > 0)
            banderas << b.mid(2);
    try {
        opciones = leerArgumentos(
            resto,
            {QStringLiteral("importar"), QStringLiteral("exportar"), QStringLiteral("base"), QStringLiteral("empresa")},
            {}, QStringLiteral("Opción desconocida con --importar o --exportar: --%1."));
        const bool importa = opciones.contains(QStringLiteral("importar"));
        if (importa == opciones.contains(QStringLiteral("exportar")))
            throw ErrorArgumentos{QStringLiteral("Indique --importar o --exportar (uno de los dos).")};
        if (importa && opciones.contains(QStringLiteral("empresa")))
            throw ErrorArgumentos{QStringLiteral("--empresa es solo para --exportar.")};
        if (!importa && !banderas.isEmpty())
            throw ErrorArgumentos{QStringLiteral("--%1 es solo para --importar.").arg(banderas.first())};
        if (opciones.value(importa ? QStringLiteral("importar") : QStringLiteral("exportar")).isEmpty())
            throw ErrorArgumentos{QStringLiteral("Indique el fichero.")};
        if (opciones.contains(QStringLiteral("empresa")))
            idEmpresa(opciones);
    } catch (const ErrorArgumentos& e) {
        errores << e.texto << Qt::endl << QStringLiteral("Use --importar --help para ver las opciones.") << Qt::endl;
        return Argumentos;
    }
    for (const QString& b : banderas)
        opciones.insert(b, QString());

    const QString base = opciones.value(QStringLiteral("base"), baseDefecto);
    const std::unique_ptr<TMD> md = abrirBase(base, errores);
    if (!md)
        return NoDisponible;
    try {
        store::Database& db = md->Quorvel();
        if (opciones.contains(QStringLiteral("importar")))
            return importar(opciones, db, salida, errores);
        return exportar(opciones, db, salida, errores);
    } catch (const maestros::Rechazo& r) {
        errores << r.message() << Qt::endl;
        return Fallo;
    } catch (const store::StoreError& e) {
        errores << e.message() << Qt::endl;
        return Fallo;
    } catch (const store::ConversionError& e) {
        errores << e.message() << Qt::endl;
        return Fallo;
    }
}
