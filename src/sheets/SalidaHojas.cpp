#include "sheets/SalidaHojas.h"

#include "reports/PdfExport.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/Listado.h"
#include "sheets/Meses.h"
#include "sheets/TFormImpHojaDef.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

const QString kTextoSinTrabajadores = QStringLiteral("No hay trabajadores en este centro");
const QString kTextoInterrumpido = QStringLiteral("Se ha interrumpido el proceso de impresión");
const QString kTextoSinCarpeta =
    QStringLiteral("No se ha indicado la carpeta de los ficheros PDF en la configuración (Ruta ficheros PDF). "
                   "Indíquela antes de generar los PDF.");
const QString kTextoNoEsCarpeta =
    QStringLiteral("«%1» es un fichero, no una carpeta. Indique la carpeta en la que se guardarán los PDF.");
const QString kTextoCarpetaNoCreada =
    QStringLiteral("No se puede crear la carpeta de los PDF «%1». Compruebe que existe la carpeta que la contiene "
                   "y que tiene permiso para escribir en ella.");
const QString kTextoCarpetaSinEscritura =
    QStringLiteral("No se puede escribir en la carpeta de los PDF «%1». Compruebe que tiene permiso de escritura "
                   "y que el disco no está lleno.");
const QString kSeparadorLog = QString(34, u'-');
const QString kCierreLog = QStringLiteral("Para cerrar doble-click o (Intro)");

namespace {

const QString kBlanco = QStringLiteral("blanco");

bool sinCarpetaPdf(const PeticionSalida& p)
{
    return p.modo == ModoSalida::Pdf && p.rutaPdf.trimmed().isEmpty();
}

// An empty folder setting would otherwise point at the current folder: its files are not ours to delete.
void prepararCarpeta(const PeticionSalida& p)
{
    if (!p.rutaPdf.trimmed().isEmpty())
        CreaCarpetayBorraArchivos(p.rutaPdf);
}

// Reads through every table a run reads, so that a damaged one shows before the last run's PDFs are gone.
void comprobarLectura(store::Database& db)
{
    for (const char* tabla : {"empresas", "centros", "trabajadores", "ubicatrabajador", "calendar", "calendar2"})
        db.exec(QStringLiteral("SELECT count(*) FROM %1").arg(QString::fromLatin1(tabla)));
}

// Everything a run can find out before it touches the folder. Returns false after saying why not.
bool puedeEmpezar(store::Database& db, const PeticionSalida& p, InteraccionSalida& interaccion)
{
    const QString motivo = meses::comprobar(p.mesInicio, p.mesFin);
    if (!motivo.isEmpty()) {
        interaccion.mensaje(motivo);
        return false;
    }
    if (sinCarpetaPdf(p)) {
        interaccion.mensaje(kTextoSinCarpeta);
        return false;
    }
    if (p.modo == ModoSalida::Pdf) {
        const QString carpeta = comprobarCarpetaPdf(p.rutaPdf);
        if (!carpeta.isEmpty()) {
            interaccion.mensaje(carpeta);
            return false;
        }
    }
    // A store failure here throws before anything is deleted; the work table is this connection's own.
    comprobarLectura(db);
    VaciarListado(db);
    return true;
}

QString motivo(const reports::PrintResult& impresion)
{
    return impresion.why();
}

QString lineaNoImpreso(const reports::PrintResult& impresion, const QString& codigo)
{
    return QStringLiteral("Centro: ") + codigo + QStringLiteral("  no impreso: ") + motivo(impresion);
}

// What the printer answered over one run: each kind of trouble is told once, and every centre whose sheets
// it did not take goes to the log, so the clerk knows what to print again.
class AvisosImpresora
{
public:
    explicit AvisosImpresora(InteraccionSalida& interaccion) : m_interaccion(interaccion) {}

    void anotar(const reports::PrintResult& impresion, const QString& codigo, QStringList& log)
    {
        if (impresion.printed()) {
            if (impresion.paused && !m_pausaAvisada) {
                m_interaccion.mensaje(textoImpresoraEnPausa(impresion.printer));
                m_pausaAvisada = true;
            }
            return;
        }
        if (!m_fallo) {
            m_interaccion.mensaje(textoNoImpreso(impresion, codigo));
            m_fallo = impresion;
        }
        log << lineaNoImpreso(impresion, codigo);
    }

    // A queue may refuse one job and take the next; a service that does not answer, or a printer that is gone,
    // would give every further centre the same answer after the same wait.
    bool abandonada() const { return m_fallo && m_fallo->outcome != reports::PrintResult::Outcome::Refused; }
    void noIntentado(const QString& codigo, QStringList& log) const { log << lineaNoImpreso(*m_fallo, codigo); }
    bool algunoSinImprimir() const { return m_fallo.has_value(); }

private:
    InteraccionSalida& m_interaccion;
    bool m_pausaAvisada = false;
    std::optional<reports::PrintResult> m_fallo;
};

} // namespace

QString textoImpresoraEnPausa(const QString& impresora)
{
    return QStringLiteral("La impresora \"%1\" está en pausa: las hojas quedan en su cola y no saldrán hasta "
                          "que se reanude.")
        .arg(impresora);
}

QString textoNoImpreso(const reports::PrintResult& impresion, const QString& codigo)
{
    if (codigo == kBlanco)
        return QStringLiteral("No se ha impreso la hoja en blanco: %1.").arg(motivo(impresion));
    return QStringLiteral("No se han impreso las hojas del centro %1: %2. Los centros que no se han impreso "
                          "quedan anotados en la lista.")
        .arg(codigo, motivo(impresion));
}

QString nombrePdf(const QString& codcentro, QDate mesInicio, QDate mesFin)
{
    QString nombre = QStringLiteral("Quorvel_") + codcentro + QLatin1Char('_') + codigoMes(mesInicio);
    if (codcentro != kBlanco && codigoMes(mesFin) != codigoMes(mesInicio))
        nombre += QLatin1Char('-') + codigoMes(mesFin);
    return nombre + QStringLiteral(".pdf");
}

void CreaCarpetayBorraArchivos(const QString& ruta)
{
    QDir carpeta(ruta);
    if (!carpeta.exists())
        QDir().mkdir(ruta);
    // Only our own names: QUORVEL_x.PDF or quorvel_x.pdf were written by someone else.
    const QStringList nuestros = carpeta.entryList({QStringLiteral("Quorvel_*.pdf")},
                                                   QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive);
    for (const QString& nombre : nuestros)
        QFile::remove(carpeta.filePath(nombre));
}

QString comprobarCarpetaPdf(const QString& ruta)
{
    const QFileInfo info(ruta);
    if (info.exists() && !info.isDir())
        return kTextoNoEsCarpeta.arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    if (!info.exists() && !QDir().mkdir(ruta))
        return kTextoCarpetaNoCreada.arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    // Permission bits do not tell the whole story (read-only mounts, ACLs): try a file.
    QTemporaryFile prueba(QDir(ruta).filePath(QStringLiteral(".quorvel-prueba-XXXXXX")));
    if (!prueba.open() || prueba.write("x", 1) != 1 || !prueba.flush())
        return kTextoCarpetaSinEscritura.arg(QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath()));
    return {};
}

QString codigoCentro(const PeticionSalida& peticion, int posicion)
{
    if (posicion >= 0 && posicion < peticion.codigosCentros.size())
        return peticion.codigosCentros.at(posicion);
    return codigoEntrada(peticion.centros.value(posicion));
}

QString ImprimirListado(store::Database& db, const QString& codigo, const PeticionSalida& peticion,
                        InteraccionSalida& interaccion, reports::PrintResult* impresion)
{
    TFormImpHojaDef hoja(db, peticion.opciones.verHoras,
                         [&interaccion](const QString& texto) { interaccion.mensaje(texto); });
    hoja.DiaSemana = peticion.opciones.diaSemana;
    if (codigo != kBlanco && peticion.opciones.autocentros) {
        hoja.CalendarioCentro = true;
    } else {
        hoja.SombSabados = peticion.opciones.sabados;
        hoja.SombDomingos = peticion.opciones.domingos;
        hoja.SombFestivos = peticion.opciones.festivos;
    }
    hoja.AbrirFicheros();
    if (hoja.vacio())
        return {};
    const QString nombre = nombrePdf(codigo, peticion.mesInicio, peticion.mesFin);
    if (peticion.modo != ModoSalida::Pdf) {
        // The clerk finds or cancels one centre's job in the queue by this name.
        hoja.QRImpHojaDef().title = nombre.chopped(4);
        const reports::PrintResult r = interaccion.imprimir(hoja, peticion.modo);
        if (impresion)
            *impresion = r;
        return {};
    }
    const QString fichero = QDir(peticion.rutaPdf).filePath(nombre);
    reports::exportPdf(hoja.QRImpHojaDef(), fichero);
    return fichero;
}

ResultadoSalida GenerarFicheroImprimir(store::Database& db, const PeticionSalida& peticion,
                                       InteraccionSalida& interaccion)
{
    ResultadoSalida resultado;
    if (peticion.trabajadores.isEmpty() && !peticion.todosCentros) {
        interaccion.mensaje(kTextoSinTrabajadores);
        return resultado;
    }
    if (!puedeEmpezar(db, peticion, interaccion))
        return resultado;
    prepararCarpeta(peticion);

    EntradaListado entrada;
    entrada.mesInicio = peticion.mesInicio;
    entrada.mesFin = peticion.mesFin;
    entrada.todosCentros = peticion.todosCentros;
    entrada.todosTrabajadores = peticion.todosTrabajadores;
    entrada.interrumpir = [&interaccion] { return interaccion.interrumpir(); };
    entrada.mensaje = [&interaccion](const QString& texto) { interaccion.mensaje(texto); };
    AvisosImpresora avisos(interaccion);
    const auto imprimirCentro = [&](const QString& codigo) {
        if (avisos.abandonada()) {
            avisos.noIntentado(codigo, resultado.log);
            return;
        }
        GrabarListado(db, codigo, entrada);
        reports::PrintResult impresion;
        const QString fichero = ImprimirListado(db, codigo, peticion, interaccion, &impresion);
        if (!fichero.isEmpty())
            resultado.ficheros << fichero;
        if (peticion.modo == ModoSalida::Impresora)
            avisos.anotar(impresion, codigo, resultado.log);
    };

    if (peticion.todosCentros) {
        const int total = int(peticion.centros.size());
        for (int i = 0; i < total && !interaccion.interrumpir(); ++i) {
            VaciarListado(db);
            const QString codigo = codigoCentro(peticion, i);
            interaccion.progreso(i, total, codigo);
            entrada.trabajadores = interaccion.seleccionarCentro(i);
            entrada.seleccionado = entrada.trabajadores.isEmpty() ? -1 : 0;
            if (entrada.trabajadores.isEmpty())
                resultado.log << QStringLiteral("Centro: ") + codigo + QStringLiteral("  no tiene trabajadores");
            else
                imprimirCentro(codigo);
        }
        interaccion.progreso(total, total, QString());
    } else {
        VaciarListado(db);
        const QString codigo = codigoCentro(peticion, peticion.centroSeleccionado);
        entrada.trabajadores = peticion.trabajadores;
        entrada.seleccionado = peticion.trabajadorSeleccionado;
        entrada.textoTrabajador = peticion.textoTrabajador;
        interaccion.progreso(0, 1, codigo);
        imprimirCentro(codigo);
        interaccion.progreso(1, 1, QString());
    }

    if (interaccion.interrumpir()) {
        interaccion.mensaje(kTextoInterrumpido);
        resultado.estado = ResultadoSalida::Estado::Interrumpida;
    } else {
        resultado.estado =
            avisos.algunoSinImprimir() ? ResultadoSalida::Estado::Incompleta : ResultadoSalida::Estado::Terminada;
        resultado.correoHabilitado = peticion.modo == ModoSalida::Pdf;
    }
    if (!resultado.log.isEmpty())
        resultado.log << kSeparadorLog << kCierreLog;
    resultado.abrirCarpeta = peticion.modo == ModoSalida::Pdf;
    return resultado;
}

ResultadoSalida HojaBlanco(store::Database& db, const PeticionSalida& peticion, InteraccionSalida& interaccion)
{
    ResultadoSalida resultado;
    PeticionSalida unMes = peticion;
    unMes.mesFin = peticion.mesInicio; // the template never covers a range
    if (!puedeEmpezar(db, unMes, interaccion))
        return resultado;
    prepararCarpeta(peticion);
    VaciarListado(db);
    FilaListado plantilla;
    plantilla.mes = codigoMes(peticion.mesInicio);
    grabarFilaListado(db, plantilla);
    reports::PrintResult impresion;
    const QString fichero = ImprimirListado(db, kBlanco, peticion, interaccion, &impresion);
    if (!fichero.isEmpty())
        resultado.ficheros << fichero;
    resultado.estado = ResultadoSalida::Estado::Terminada;
    if (peticion.modo == ModoSalida::Impresora) {
        AvisosImpresora avisos(interaccion);
        QStringList sinLog; // the template shows no log; its message says it all
        avisos.anotar(impresion, kBlanco, sinLog);
        if (avisos.algunoSinImprimir())
            resultado.estado = ResultadoSalida::Estado::Incompleta;
    }
    resultado.abrirCarpeta = peticion.modo == ModoSalida::Pdf;
    return resultado;
}
