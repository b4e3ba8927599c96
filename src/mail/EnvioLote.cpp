#include "mail/EnvioLote.h"

#include "base/ArgumentosLote.h"
#include "data/Constantes.h"
#include "data/TMD.h"
#include "mail/EnvioPdf.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

const QString kAyudaEnvioLote =
    QStringLiteral("\n"
                   "Envío por correo (con la cuenta comprobada en Constantes):\n"
                   "  --enviar              tras generar los PDF, envía cada uno al correo de su centro\n"
                   "  quorvel-lote --enviar [--base FICHERO] [--carpeta DIR]\n"
                   "                        envía los Quorvel_*.pdf que ya están en la carpeta\n"
                   "  --reenviar            envía también los ficheros que ya se enviaron a las mismas\n"
                   "                        direcciones (sin él se omiten con una línea «Ya enviado el ...»)\n"
                   "  --conexiones N        mensajes que salen a la vez, cada uno por su conexión (de 1 a 8;\n"
                   "                        por defecto, el valor de Constantes; 1 los envía de uno en uno)\n"
                   "Con --enviar el estado de salida es 1 si algún fichero no se pudo enviar.\n");

using namespace lote;

namespace {

// Sends each file (folder and name) and prints its lines; 0 when every one went out.
int enviar(store::Database& db, const QList<QPair<QString, QString>>& ficheros, QTextStream& salida,
           QTextStream& errores, bool reenviar, std::optional<int> conexiones)
{
    const CuentaConstantes cuenta = leerCuenta(db);
    if (!cuenta.ok) {
        errores << kCuentaNoComprobada << Qt::endl;
        return Fallo;
    }
    if (ficheros.isEmpty()) {
        errores << kNingunFicheroSeleccionado << Qt::endl;
        return Fallo;
    }
    EnvioPdf envio(db, cuenta.cuenta);
    int fallidos = 0;
    const auto anotar = [&](int, const ResultadoFichero& r) {
        for (const QString& linea : r.lineas)
            salida << linea << Qt::endl;
        if (!r.enviado && !r.yaEnviado)
            ++fallidos;
    };
    const int n = conexiones.value_or(cuenta.conexiones);
    // Files of one folder go together (a run writes all of its files into one), in the order given.
    for (qsizetype i = 0; i < ficheros.size();) {
        const QString carpeta = ficheros.at(i).first;
        QStringList nombres;
        for (; i < ficheros.size() && ficheros.at(i).first == carpeta; ++i)
            nombres << ficheros.at(i).second;
        envio.enviarFicheros(carpeta, nombres, kAsuntoCorreo, kTextoCorreo, reenviar, n, anotar);
    }
    return fallidos == 0 ? Correcto : Fallo;
}

bool esOpcion(const QString& argumento, const QString& nombre)
{
    return argumento == nombre || argumento.startsWith(nombre + u'=');
}

} // namespace

std::optional<int> sacarConexiones(QStringList& argumentos, QString& error)
{
    std::optional<int> conexiones;
    for (qsizetype i = 0; i < argumentos.size();) {
        const QString a = argumentos.at(i);
        if (!esOpcion(a, QStringLiteral("--conexiones"))) {
            ++i;
            continue;
        }
        QString valor;
        if (a.contains(u'=')) {
            valor = a.section(u'=', 1);
            argumentos.removeAt(i);
        } else {
            argumentos.removeAt(i);
            if (i < argumentos.size())
                valor = argumentos.takeAt(i);
        }
        bool ok = false;
        const int n = valor.toInt(&ok);
        if (!ok || n < 1 || n > kConexionesMaximo) {
            error = QStringLiteral("El valor de --conexiones debe ser un número entero de 1 a %1, no «%2».")
                        .arg(kConexionesMaximo)
                        .arg(valor);
            return std::nullopt;
        }
        conexiones = n;
    }
    return conexiones;
}

bool soloEnvio(const QStringList& argumentosSinEnviar)
{
    for (const QString& a : argumentosSinEnviar) {
        for (const char* run : {"--empresa", "--centro", "--mes", "--hasta", "--help", "--ayuda", "-h"}) {
            if (esOpcion(a, QString::fromLatin1(run)))
                return false;
        }
    }
    return true;
}

int enviarCarpetaLote(const QStringList& argumentosSinEnviar, const QString& baseDefecto, QTextStream& salida,
                      QTextStream& errores, bool reenviar, std::optional<int> conexiones)
{
    QString base = baseDefecto;
    QString carpeta;
    bool conCarpeta = false;
    for (qsizetype i = 0; i < argumentosSinEnviar.size(); ++i) {
        const QString original = argumentosSinEnviar.at(i);
        QString arg = original;
        QString valor;
        const qsizetype igual = arg.indexOf(u'=');
        if (igual >= 0) {
            valor = arg.mid(igual + 1);
            arg.truncate(igual);
        }
        const bool conocida = arg == QStringLiteral("--base") || arg == QStringLiteral("--carpeta");
        if (conocida && igual < 0 && i + 1 < argumentosSinEnviar.size())
            valor = argumentosSinEnviar.at(++i);
        if (!conocida || valor.isEmpty()) {
            errores << QStringLiteral("Con --enviar solo se admiten --base FICHERO y --carpeta DIR, o una generación "
                                      "completa (--empresa o --centro, y --mes); no «%1».")
                           .arg(original)
                    << Qt::endl
                    << QStringLiteral("Use --help para ver las opciones.") << Qt::endl;
            return Argumentos;
        }
        if (arg == QStringLiteral("--base")) {
            base = valor;
        } else {
            carpeta = valor;
            conCarpeta = true;
        }
    }
    const std::unique_ptr<TMD> md = abrirBase(base, errores);
    if (!md)
        return NoDisponible;
    try {
        store::Database& db = md->Quorvel();
        if (!conCarpeta)
            carpeta = rutaPdfResuelta(base, FilaConstantes(db).texto(QStringLiteral("RutaPDF")));
        QList<QPair<QString, QString>> ficheros;
        for (const QString& nombre : ficherosPdf(carpeta))
            ficheros.append({carpeta, nombre});
        return enviar(db, ficheros, salida, errores, reenviar, conexiones);
    } catch (const store::StoreError& e) {
        errores << QStringLiteral("No se puede abrir la base de datos %1: %2").arg(base, e.message()) << Qt::endl;
        return NoDisponible;
    } catch (const store::ConversionError& e) {
        errores << QStringLiteral("La configuración de la base de datos está incompleta o dañada: %1").arg(e.message())
                << Qt::endl;
        return NoDisponible;
    }
}

int enviarFicherosLote(store::Database& db, const QStringList& ficheros, QTextStream& salida, QTextStream& errores,
                       bool reenviar, std::optional<int> conexiones)
{
    QList<QPair<QString, QString>> lista;
    for (const QString& f : ficheros) {
        const QFileInfo info(f);
        lista.append({info.path(), info.fileName()});
    }
    return enviar(db, lista, salida, errores, reenviar, conexiones);
}
