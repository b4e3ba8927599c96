#include "sheets/Lote.h"

#include "base/ArgumentosLote.h"
#include "base/Meses.h"
#include "calendars/FestivosLote.h"
#include "calendars/PlanFestivosLote.h"
#include "data/Constantes.h"
#include "data/TMD.h"
#include "mail/EnvioLote.h"
#include "mail/EnvioPdf.h"
#include "masterdata/ImportacionLote.h"
#include "reports/Report.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/SalidaHojas.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <optional>

const QString kAyudaLote =
    QStringLiteral("Uso: quorvel-lote (--empresa ID | --centro CÓDIGO) --mes AAAAMM [opciones]\n"
                   "\n"
                   "Genera las hojas de registro horario en PDF, un fichero por centro, igual que la opción\n"
                   "\"Generar PDF\" de Quorvel: borra antes los ficheros Quorvel_*.pdf de la carpeta.\n"
                   "\n"
                   "  --empresa ID          todos los centros de la empresa con ese número\n"
                   "  --centro CÓDIGO       un solo centro (código de centro, por ejemplo 0102)\n"
                   "  --mes AAAAMM          mes de las hojas (por ejemplo 201905)\n"
                   "  --hasta AAAAMM        último mes, si son varios (no anterior a --mes)\n"
                   "                        los meses van de 190001 a 999912, y como mucho 120 en total\n"
                   "  --base FICHERO        base de datos (por defecto Quorvel.abs junto al programa)\n"
                   "  --carpeta DIR         carpeta de los PDF (por defecto la de la configuración)\n"
                   "  --sabados si|no       sombrear los sábados\n"
                   "  --domingos si|no      sombrear los domingos\n"
                   "  --festivos si|no      sombrear los festivos del calendario\n"
                   "  --autocentros si|no   aplicar el calendario y los cierres de cada centro\n"
                   "  --diasemana si|no     imprimir la letra del día de la semana\n"
                   "  --hilos N             centros que se escriben a la vez (por defecto, uno por núcleo)\n"
                   "  --help                muestra esta ayuda\n"
                   "\n"
                   "Las opciones de sombreado toman por defecto los valores de la configuración.\n"
                   "Estado de salida: 0 correcto, 1 el proceso no se pudo completar, 2 argumentos\n"
                   "incorrectos, 3 base de datos, empresa o centro no disponibles.\n");

using namespace lote;

namespace {

const QStringList kConValor = {QStringLiteral("empresa"),     QStringLiteral("centro"),    QStringLiteral("mes"),
                               QStringLiteral("hasta"),       QStringLiteral("base"),      QStringLiteral("carpeta"),
                               QStringLiteral("sabados"),     QStringLiteral("domingos"),  QStringLiteral("festivos"),
                               QStringLiteral("autocentros"), QStringLiteral("diasemana"), QStringLiteral("hilos")};

std::optional<bool> siNo(const QHash<QString, QString>& opciones, const QString& nombre)
{
    if (!opciones.contains(nombre))
        return std::nullopt;
    const QString valor = opciones.value(nombre).toLower();
    if (valor == QStringLiteral("si") || valor == QStringLiteral("sí"))
        return true;
    if (valor == QStringLiteral("no"))
        return false;
    throw ErrorArgumentos{QStringLiteral("El valor de --%1 debe ser «si» o «no», no «%2».").arg(nombre, valor)};
}

// What is wrong with the folder given with --carpeta, before anything is touched; empty when nothing is.
QString carpetaDada(const QString& ruta)
{
    if (ruta.trimmed().isEmpty())
        return QStringLiteral("La carpeta de --carpeta está vacía: indique la carpeta en la que se guardarán los "
                              "PDF.");
    const QFileInfo info(ruta);
    if (info.exists() && !info.isDir())
        return QStringLiteral("La carpeta de --carpeta, «%1», es un fichero y no una carpeta.")
            .arg(info.absoluteFilePath());
    return {};
}

// Whoever runs the batch reads the messages on the terminal; the run never waits for an answer.
// A message means a sheet went out without part of its data (centre, company or worker not found), or the
// run was refused: the batch then does not report success.
class InteraccionLote : public InteraccionSalida
{
public:
    explicit InteraccionLote(QTextStream& errores) : m_errores(errores) {}
    void mensaje(const QString& texto) override
    {
        m_errores << texto << Qt::endl;
        m_avisos = true;
    }
    reports::PrintResult imprimir(TFormImpHojaDef&, ModoSalida) override { return {}; }
    bool avisos() const { return m_avisos; }

private:
    QTextStream& m_errores;
    bool m_avisos = false;
};

} // namespace

int ejecutarLote(const QStringList& argumentos, const QString& baseDefecto, QTextStream& salida, QTextStream& errores)
{
    if (argumentos.contains(QStringLiteral("--plan-festivos")))
        return ejecutarPlanFestivosLote(argumentos, baseDefecto, salida, errores);
    if (esImportacionLote(argumentos))
        return ejecutarImportacionLote(argumentos, baseDefecto, salida, errores);
    if (esFestivosLote(argumentos))
        return ejecutarFestivosLote(argumentos, baseDefecto, salida, errores);
    // Mailing the PDFs is a step of its own after the run, or the whole job when no run is named.
    QStringList argumentosHojas = argumentos;
    const bool reenviar = argumentosHojas.removeAll(QStringLiteral("--reenviar")) > 0;
    const bool enviar = argumentosHojas.removeAll(QStringLiteral("--enviar")) > 0 || reenviar;
    QString errorConexiones;
    const std::optional<int> conexiones = sacarConexiones(argumentosHojas, errorConexiones);
    if (!errorConexiones.isEmpty()) {
        errores << errorConexiones << Qt::endl;
        return Argumentos;
    }
    if (enviar && soloEnvio(argumentosHojas))
        return enviarCarpetaLote(argumentosHojas, baseDefecto, salida, errores, reenviar, conexiones);
    QHash<QString, QString> opciones;
    PeticionSalida peticion;
    std::optional<bool> sabados, domingos, festivos, autocentros, diasemana;
    qint64 idempresa = 0;
    try {
        opciones = leerArgumentos(argumentosHojas, kConValor);
        if (opciones.contains(QStringLiteral("help"))) {
            salida << kAyudaLote << kAyudaEnvioLote << Qt::endl
                   << QStringLiteral("Plan de festivos de una empresa (más en --plan-festivos --help):\n"
                                     "  quorvel-lote --plan-festivos --empresa ID --mes AAAAMM [--base FICHERO] "
                                     "[--carpeta DIR]\n")
                   << QStringLiteral(
                          "Importar o exportar empresas, centros y trabajadores (más en --importar --help):\n"
                          "  quorvel-lote --importar FICHERO [--comprobar] [--parcial] [--base FICHERO]\n"
                          "  quorvel-lote --exportar FICHERO [--empresa ID] [--base FICHERO]\n")
                   << Qt::endl
                   << kAyudaFestivos;
            return Correcto;
        }
        const bool porEmpresa = opciones.contains(QStringLiteral("empresa"));
        const bool porCentro = opciones.contains(QStringLiteral("centro"));
        if (porEmpresa == porCentro)
            throw ErrorArgumentos{QStringLiteral("Indique --empresa o --centro (uno de los dos).")};
        if (!opciones.contains(QStringLiteral("mes")))
            throw ErrorArgumentos{QStringLiteral("Indique el mes con --mes AAAAMM.")};
        peticion.mesInicio = mes(opciones.value(QStringLiteral("mes")), QStringLiteral("mes"));
        peticion.mesFin = opciones.contains(QStringLiteral("hasta"))
                              ? mes(opciones.value(QStringLiteral("hasta")), QStringLiteral("hasta"))
                              : peticion.mesInicio;
        if (peticion.mesFin < peticion.mesInicio)
            throw ErrorArgumentos{QStringLiteral("El mes de --hasta no puede ser anterior al de --mes.")};
        const QString intervalo = meses::comprobar(peticion.mesInicio, peticion.mesFin);
        if (!intervalo.isEmpty())
            throw ErrorArgumentos{intervalo};
        if (opciones.contains(QStringLiteral("carpeta"))) {
            const QString carpeta = carpetaDada(opciones.value(QStringLiteral("carpeta")));
            if (!carpeta.isEmpty())
                throw ErrorArgumentos{carpeta};
        }
        sabados = siNo(opciones, QStringLiteral("sabados"));
        domingos = siNo(opciones, QStringLiteral("domingos"));
        festivos = siNo(opciones, QStringLiteral("festivos"));
        autocentros = siNo(opciones, QStringLiteral("autocentros"));
        diasemana = siNo(opciones, QStringLiteral("diasemana"));
        if (porEmpresa)
            idempresa = idEmpresa(opciones);
        peticion.hilos = hilosPorDefecto();
        if (opciones.contains(QStringLiteral("hilos"))) {
            bool ok = false;
            peticion.hilos = opciones.value(QStringLiteral("hilos")).toInt(&ok);
            if (!ok || peticion.hilos < 1 || peticion.hilos > 64)
                throw ErrorArgumentos{
                    QStringLiteral("El valor de --hilos debe ser un número entero de 1 a 64, no «%1».")
                        .arg(opciones.value(QStringLiteral("hilos")))};
        }
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
        Constantes c;
        // A missing row and a row with empty fields are the same fault for whoever runs the batch.
        try {
            c = leerConstantes(db);
        } catch (const store::ConversionError& e) {
            errores
                << QStringLiteral("La configuración de la base de datos está incompleta o dañada: %1").arg(e.message())
                << Qt::endl;
            return NoDisponible;
        } catch (const store::StoreError& e) {
            errores << QStringLiteral("No se puede leer la configuración de la base de datos: %1").arg(e.message())
                    << Qt::endl;
            return NoDisponible;
        }
        if (enviar && !c.eOK) {
            errores << kCuentaNoComprobada << Qt::endl;
            return Fallo;
        }

        QString codcentro;
        if (opciones.contains(QStringLiteral("empresa"))) {
            if (!existeEmpresa(db, idempresa, errores))
                return NoDisponible;
        } else {
            store::Statement st =
                db.prepare(QStringLiteral("SELECT idempresa FROM centros WHERE codcentro = ? ORDER BY id"));
            // The code as given first: a short code may end in a space, so trimming is only the fallback.
            const QString dado = opciones.value(QStringLiteral("centro"));
            bool encontrado = false;
            for (const QString& codigo : {dado, dado.trimmed()}) {
                st.bind(1, codigo);
                if (st.step()) {
                    codcentro = codigo;
                    idempresa = st.isNull(0) ? 0 : st.integer(0);
                    st.reset();
                    encontrado = true;
                    break;
                }
            }
            if (!encontrado) {
                errores << QStringLiteral("No existe el centro %1.").arg(dado.trimmed()) << Qt::endl;
                return NoDisponible;
            }
        }

        peticion.centros = entradasCentros(db, idempresa, &peticion.codigosCentros, &peticion.idsCentros);
        peticion.idempresa = idempresa;
        peticion.todosCentros = opciones.contains(QStringLiteral("empresa"));
        if (!peticion.todosCentros) {
            peticion.centroSeleccionado = -1;
            for (int i = 0; i < peticion.codigosCentros.size(); ++i) {
                if (peticion.codigosCentros.at(i) == codcentro)
                    peticion.centroSeleccionado = i;
            }
            peticion.trabajadores = entradasTrabajadores(db, codcentro);
            peticion.trabajadorSeleccionado = peticion.trabajadores.isEmpty() ? -1 : 0;
        }
        peticion.todosTrabajadores = true;
        peticion.opciones.sabados = sabados.value_or(c.sabados);
        peticion.opciones.domingos = domingos.value_or(c.domingos);
        peticion.opciones.festivos = festivos.value_or(c.festivos);
        peticion.opciones.autocentros = autocentros.value_or(c.autocentros);
        peticion.opciones.diaSemana = diasemana.value_or(c.diasemana);
        peticion.opciones.verHoras = c.VerHoras;
        peticion.modo = ModoSalida::Pdf;
        // A folder given on the command line is the user's, from where the user stands; the settings' one
        // belongs to the database file.
        peticion.rutaPdf = opciones.contains(QStringLiteral("carpeta"))
                               ? QFileInfo(opciones.value(QStringLiteral("carpeta"))).absoluteFilePath()
                               : rutaPdfResuelta(base, c.RutaPDF);
        if (!peticion.rutaPdf.trimmed().isEmpty())
            salida << QStringLiteral("Carpeta de los PDF: ") << QDir::toNativeSeparators(peticion.rutaPdf) << Qt::endl;

        InteraccionLote interaccion(errores);
        const ResultadoSalida r = GenerarFicheroImprimir(db, peticion, interaccion);
        // The closing hint is for the window's log panel; the terminal gets the lines themselves.
        for (const QString& linea : r.log) {
            if (linea != kCierreLog)
                salida << linea << Qt::endl;
        }
        for (const QString& fichero : r.ficheros)
            salida << QStringLiteral("PDF: ") << fichero << Qt::endl;
        const bool terminada = r.estado == ResultadoSalida::Estado::Terminada;
        if (enviar && terminada) {
            const int envio = enviarFicherosLote(db, r.ficheros, salida, errores, reenviar, conexiones);
            return interaccion.avisos() ? int(Fallo) : envio;
        }
        return terminada && !interaccion.avisos() ? Correcto : Fallo;
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
