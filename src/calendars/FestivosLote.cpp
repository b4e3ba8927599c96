#include "calendars/FestivosLote.h"

#include "base/ArgumentosLote.h"
#include "calendars/FestivosOficiales.h"
#include "calendars/FicheroFestivos.h"
#include "calendars/GestionCalendarios.h"
#include "data/TMD.h"
#include "store/Database.h"

#include <QHash>
#include <QTextStream>

const QString kAyudaFestivos = QStringLiteral(
    "Festivos oficiales de una comunidad en un calendario:\n"
    "  quorvel-lote --festivos-oficiales --comunidad XX --anio AAAA [--calendario N] [--comprobar]\n"
    "Festivos de un fichero .ics o CSV (fecha;nombre[;tipo]) en un calendario:\n"
    "  quorvel-lote --importar-festivos FICHERO --anio AAAA [--calendario N] [--tipo 0..3]\n"
    "               [--reemplazar] [--comprobar]\n"
    "\n"
    "  --comunidad XX        código de la comunidad (MD, CT, AN...); si falta, la que recuerda el calendario\n"
    "  --anio AAAA           año de los festivos\n"
    "  --calendario N        número del calendario (0 o sin indicar: el calendario base)\n"
    "  --tipo 0..3           tipo de los días que el fichero no lo dice (por defecto 2, local)\n"
    "  --reemplazar          los días ya marcados con otro tipo toman el del fichero\n"
    "  --comprobar           muestra los días sin escribir nada\n"
    "  --base FICHERO        base de datos (por defecto Quorvel.abs junto al programa)\n"
    "\n"
    "Los festivos oficiales marcan los nacionales con \"0\" y los autonómicos con \"1\"; los días locales (\"2\")\n"
    "y \"Abierto\" (\"3\") ya marcados no se tocan. Estado de salida: 0 correcto, 1 el proceso no se pudo\n"
    "completar, 2 argumentos incorrectos (comunidad o año desconocidos), 3 base de datos o calendario no\n"
    "disponibles.\n");

using namespace lote;

namespace {

const QString kOficiales = QStringLiteral("--festivos-oficiales");
const QString kImportar = QStringLiteral("importar-festivos");
const QString kComprobar = QStringLiteral("--comprobar");
const QString kReemplazar = QStringLiteral("--reemplazar");

int entero(const QHash<QString, QString>& opciones, const QString& nombre, int defecto, int minimo, int maximo)
{
    if (!opciones.contains(nombre))
        return defecto;
    bool ok = false;
    const int valor = opciones.value(nombre).trimmed().toInt(&ok);
    if (!ok || valor < minimo || valor > maximo)
        throw ErrorArgumentos{QStringLiteral("El valor de --%1 debe ser un número entre %2 y %3, no «%4».")
                                  .arg(nombre)
                                  .arg(minimo)
                                  .arg(maximo)
                                  .arg(opciones.value(nombre))};
    return valor;
}

QString nombreCalendario(int numero)
{
    return numero == 0 ? QStringLiteral("calendario base") : QStringLiteral("calendario %1").arg(numero);
}

void listar(const std::vector<oficiales::DiaPrevisto>& dias, QTextStream& salida)
{
    for (const oficiales::DiaPrevisto& d : dias)
        salida << d.fecha.toString(QStringLiteral("dd/MM/yyyy")) << QStringLiteral("  ") << d.tipo
               << QStringLiteral(" ") << oficiales::nombreTipo(d.tipo).leftJustified(8) << QStringLiteral(" ")
               << d.nombre << QStringLiteral("  (") << oficiales::textoEfecto(d) << QStringLiteral(")") << Qt::endl;
}

} // namespace

bool esFestivosLote(const QStringList& argumentos)
{
    for (const QString& a : argumentos) {
        if (a == kOficiales || a == QStringLiteral("--") + kImportar ||
            a.startsWith(QStringLiteral("--") + kImportar + u'='))
            return true;
    }
    return false;
}

int ejecutarFestivosLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida,
                         QTextStream& errores)
{
    const bool oficial = argumentos.contains(kOficiales);
    const bool comprobar = argumentos.contains(kComprobar);
    const bool reemplazar = argumentos.contains(kReemplazar);
    QHash<QString, QString> opciones;
    int anio = 0;
    int numero = 0;
    int tipo = 2;
    try {
        const QStringList conValor = oficial
                                         ? QStringList{QStringLiteral("comunidad"), QStringLiteral("anio"),
                                                       QStringLiteral("calendario"), QStringLiteral("base")}
                                         : QStringList{kImportar, QStringLiteral("anio"), QStringLiteral("calendario"),
                                                       QStringLiteral("tipo"), QStringLiteral("base")};
        QStringList saltar{kComprobar};
        if (oficial)
            saltar << kOficiales;
        else
            saltar << kReemplazar;
        opciones = leerArgumentos(argumentos, conValor, saltar, QStringLiteral("Opción desconocida: --%1."));
        if (opciones.contains(QStringLiteral("help"))) {
            salida << kAyudaFestivos;
            return Correcto;
        }
        if (oficial && argumentos.contains(QStringLiteral("--") + kImportar))
            throw ErrorArgumentos{QStringLiteral("Use --festivos-oficiales o --importar-festivos, no los dos.")};
        if (!opciones.contains(QStringLiteral("anio")))
            throw ErrorArgumentos{QStringLiteral("Indique el año con --anio AAAA.")};
        anio = entero(opciones, QStringLiteral("anio"), 0, 1900, 2999);
        numero = entero(opciones, QStringLiteral("calendario"), 0, 0, 999999999);
        tipo = entero(opciones, QStringLiteral("tipo"), 2, 0, 3);
        if (oficial && opciones.contains(QStringLiteral("comunidad")) &&
            !oficiales::comunidad(opciones.value(QStringLiteral("comunidad"))))
            throw ErrorArgumentos{QStringLiteral("«%1» no es el código de una comunidad autónoma. Códigos: %2.")
                                      .arg(opciones.value(QStringLiteral("comunidad")), [] {
                                          QStringList c;
                                          for (const auto& com : oficiales::comunidades())
                                              c << com.codigo;
                                          c.sort();
                                          return c.join(QStringLiteral(", "));
                                      }())};
        if (!oficial && opciones.value(kImportar).trimmed().isEmpty())
            throw ErrorArgumentos{QStringLiteral("Indique el fichero con --importar-festivos FICHERO.")};
    } catch (const ErrorArgumentos& e) {
        errores << e.texto << Qt::endl << QStringLiteral("Use --help para ver las opciones.") << Qt::endl;
        return Argumentos;
    }

    const QString base = opciones.value(QStringLiteral("base"), baseDefecto);
    const std::unique_ptr<TMD> md = abrirBase(base, errores);
    if (!md)
        return NoDisponible;
    try {
        store::Database& db = md->Quorvel();
        if (!calendarios::existeCalendario(db, numero)) {
            errores << QStringLiteral("No existe el calendario %1.").arg(numero) << Qt::endl;
            return NoDisponible;
        }
        std::vector<oficiales::Festivo> dias;
        oficiales::Regla regla = oficiales::Regla::Oficial;
        QString comunidad;
        if (oficial) {
            comunidad = opciones.contains(QStringLiteral("comunidad"))
                            ? opciones.value(QStringLiteral("comunidad")).trimmed().toUpper()
                            : oficiales::comunidadCalendario(db, numero);
            if (comunidad.isEmpty()) {
                errores << QStringLiteral("Indique la comunidad con --comunidad XX: el %1 no recuerda ninguna.")
                               .arg(nombreCalendario(numero))
                        << Qt::endl;
                return Argumentos;
            }
            const oficiales::Tabla tabla = oficiales::Tabla::cargarPara(base);
            const QString falta = tabla.falta(comunidad, anio);
            if (!falta.isEmpty()) {
                errores << falta << QStringLiteral(" (--importar-festivos).") << Qt::endl;
                return Argumentos;
            }
            const QString aviso = tabla.aviso(comunidad, anio);
            if (!aviso.isEmpty())
                salida << QStringLiteral("Aviso: ") << aviso << Qt::endl;
            dias = tabla.festivos(comunidad, anio);
            salida << QStringLiteral("Festivos oficiales de %1 de %2, %3:")
                          .arg(anio)
                          .arg(oficiales::comunidad(comunidad)->nombre, nombreCalendario(numero))
                   << Qt::endl;
        } else {
            const ficherofestivos::Lectura l = ficherofestivos::leer(opciones.value(kImportar), anio, tipo);
            dias = l.dias;
            regla = reemplazar ? oficiales::Regla::Reemplazar : oficiales::Regla::Conservar;
            salida << QStringLiteral("Festivos de %1 en el fichero, %2:").arg(anio).arg(nombreCalendario(numero))
                   << Qt::endl;
        }
        listar(oficiales::prever(db, numero, dias, regla), salida);
        if (comprobar) {
            salida << QStringLiteral("No se ha escrito nada (--comprobar).") << Qt::endl;
            return Correcto;
        }
        const int escritos = oficiales::aplicar(db, numero, dias, regla);
        if (oficial && numero != 0)
            oficiales::guardarComunidad(db, numero, comunidad);
        salida << QStringLiteral("Días escritos: %1.").arg(escritos) << Qt::endl;
        return Correcto;
    } catch (const oficiales::ErrorTabla& e) {
        errores << e.message() << Qt::endl;
        return Fallo;
    } catch (const ficherofestivos::ErrorFichero& e) {
        errores << e.message() << Qt::endl << QStringLiteral("No se ha escrito nada.") << Qt::endl;
        return Fallo;
    } catch (const calendarios::CalendarioInexistente&) {
        errores << QStringLiteral("No existe el calendario %1.").arg(numero) << Qt::endl;
        return NoDisponible;
    } catch (const store::StoreError& e) {
        errores << QStringLiteral("Error de la base de datos: %1").arg(e.message()) << Qt::endl;
        return Fallo;
    }
}
