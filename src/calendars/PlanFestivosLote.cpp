#include "calendars/PlanFestivosLote.h"

#include "base/ArgumentosLote.h"
#include "calendars/PlanFestivos.h"
#include "calendars/TFormLisPlanFestivos.h"
#include "data/Constantes.h"
#include "data/TMD.h"
#include "reports/PdfExport.h"
#include "reports/Report.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

const QString kAyudaPlanFestivos =
    QStringLiteral("Uso: quorvel-lote --plan-festivos --empresa ID --mes AAAAMM [--base FICHERO] [--carpeta DIR]\n"
                   "\n"
                   "Escribe el plan de festivos del mes (una línea por centro de la empresa) en el fichero\n"
                   "PlanFestivos_<ID>_<AAAAMM>.pdf de la carpeta. No borra ningún otro fichero.\n"
                   "\n"
                   "  --empresa ID          número de la empresa\n"
                   "  --mes AAAAMM          mes del plan (por ejemplo 201905)\n"
                   "  --base FICHERO        base de datos (por defecto Quorvel.abs junto al programa)\n"
                   "  --carpeta DIR         carpeta del PDF (por defecto la de la configuración)\n"
                   "\n"
                   "Estado de salida: 0 correcto, 1 el proceso no se pudo completar, 2 argumentos\n"
                   "incorrectos, 3 base de datos o empresa no disponibles.\n");

using namespace lote;

namespace {

const QStringList kConValor = {QStringLiteral("empresa"), QStringLiteral("mes"), QStringLiteral("base"),
                               QStringLiteral("carpeta")};

} // namespace

int ejecutarPlanFestivosLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida,
                             QTextStream& errores)
{
    QHash<QString, QString> opciones;
    qint64 idempresa = 0;
    QDate mes;
    try {
        opciones = leerArgumentos(argumentos, kConValor, {QStringLiteral("--plan-festivos")},
                                  QStringLiteral("Opción desconocida con --plan-festivos: --%1."));
        if (opciones.contains(QStringLiteral("help"))) {
            salida << kAyudaPlanFestivos;
            return Correcto;
        }
        if (!opciones.contains(QStringLiteral("empresa")))
            throw ErrorArgumentos{QStringLiteral("Indique la empresa con --empresa ID.")};
        if (!opciones.contains(QStringLiteral("mes")))
            throw ErrorArgumentos{QStringLiteral("Indique el mes con --mes AAAAMM.")};
        idempresa = idEmpresa(opciones);
        mes = lote::mes(opciones.value(QStringLiteral("mes")), QStringLiteral("mes"));
    } catch (const ErrorArgumentos& e) {
        errores << e.texto << Qt::endl
                << QStringLiteral("Use --plan-festivos --help para ver las opciones.") << Qt::endl;
        return Argumentos;
    }

    const QString base = opciones.value(QStringLiteral("base"), baseDefecto);
    const std::unique_ptr<TMD> md = abrirBase(base, errores);
    if (!md)
        return NoDisponible;
    try {
        store::Database& db = md->Quorvel();
        if (!existeEmpresa(db, idempresa, errores))
            return NoDisponible;
        QString carpeta = opciones.value(QStringLiteral("carpeta"));
        if (carpeta.isEmpty())
            carpeta = rutaPdfResuelta(base, leerConstantes(db).RutaPDF);
        if (carpeta.trimmed().isEmpty()) {
            errores << QStringLiteral("La configuración no indica la carpeta de los PDF; use --carpeta DIR.")
                    << Qt::endl;
            return Fallo;
        }
        if (!QDir().mkpath(carpeta)) {
            errores << QStringLiteral("No se puede crear la carpeta %1.").arg(carpeta) << Qt::endl;
            return Fallo;
        }

        const QStringList noIncluidos = plan::GenerarPlanFestivos(db, idempresa, mes);
        TFormLisPlanFestivos listado(db, mes, mes.daysInMonth());
        const QString fichero = QDir(carpeta).filePath(plan::nombreFichero(idempresa, mes));
        reports::exportPdf(listado.QRLisPlanFestivos(), fichero);
        salida << QStringLiteral("PDF: ") << QDir::toNativeSeparators(fichero) << Qt::endl;
        // The plan went out without these centres: not a success.
        for (const QString& linea : noIncluidos)
            errores << linea << Qt::endl;
        return noIncluidos.isEmpty() ? Correcto : Fallo;
    } catch (const store::StoreError& e) {
        errores << QStringLiteral("Error de la base de datos: %1").arg(e.message()) << Qt::endl;
        return Fallo;
    } catch (const store::ConversionError& e) {
        errores << e.message() << Qt::endl;
        return Fallo;
    } catch (const reports::ReportError& e) {
        errores << e.message() << Qt::endl;
        return Fallo;
    }
}
