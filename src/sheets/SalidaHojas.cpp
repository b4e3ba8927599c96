#include "sheets/SalidaHojas.h"

#include "base/Meses.h"
#include "data/FilaCentro.h"
#include "data/RegistroFicheros.h"
#include "reports/PdfExport.h"
#include "sheets/Listado.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/TFormImpHojaDef.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

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
const QString kCierreLog = QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»");

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

QString textoResumenPdf(int ficheros, int hojas, const QString& carpeta)
{
    const QString donde = QDir::toNativeSeparators(QDir(carpeta).absolutePath());
    if (ficheros == 0)
        return QStringLiteral("Ningún fichero PDF en %1").arg(donde);
    const QString cuantos =
        ficheros == 1 ? QStringLiteral("1 fichero PDF") : QStringLiteral("%1 ficheros PDF").arg(ficheros);
    const QString paginas = hojas == 1 ? QStringLiteral("1 hoja") : QStringLiteral("%1 hojas").arg(hojas);
    return QStringLiteral("%1 (%2) en %3").arg(cuantos, paginas, donde);
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

int hilosPorDefecto()
{
    return qBound(1, QThread::idealThreadCount(), 4);
}

namespace {

std::unique_ptr<TFormImpHojaDef> crearHoja(store::Database& db, const QString& codigo, const PeticionSalida& peticion,
                                           std::function<void(const QString&)> mensaje)
{
    auto hoja = std::make_unique<TFormImpHojaDef>(db, peticion.opciones.verHoras, std::move(mensaje));
    hoja->DiaSemana = peticion.opciones.diaSemana;
    if (codigo != kBlanco && peticion.opciones.autocentros) {
        hoja->CalendarioCentro = true;
    } else {
        hoja->SombSabados = peticion.opciones.sabados;
        hoja->SombDomingos = peticion.opciones.domingos;
        hoja->SombFestivos = peticion.opciones.festivos;
    }
    return hoja;
}

// Writes the PDF of a prepared report, or hands it to the printer or the preview; returns the PDF written and
// adds its pages to `hojas`.
QString sacarHoja(TFormImpHojaDef& hoja, const QString& codigo, const PeticionSalida& peticion,
                  InteraccionSalida* interaccion, reports::PrintResult* impresion, int* hojas)
{
    const QString nombre = nombrePdf(codigo, peticion.mesInicio, peticion.mesFin);
    if (peticion.modo != ModoSalida::Pdf) {
        // The clerk finds or cancels one centre's job in the queue by this name.
        hoja.QRImpHojaDef().title = nombre.chopped(4);
        const reports::PrintResult r = interaccion->imprimir(hoja, peticion.modo);
        if (impresion)
            *impresion = r;
        return {};
    }
    const QString fichero = QDir(peticion.rutaPdf).filePath(nombre);
    const int paginas = reports::exportPdf(hoja.QRImpHojaDef(), fichero);
    if (hojas)
        *hojas += paginas;
    return fichero;
}

// A centre of a run as listed when the run starts.
struct CentroLista
{
    qint64 id = 0;
    QString codcentro;
    QString nomcentro;
};

std::vector<CentroLista> centrosDeLaEjecucion(store::Database& db, const PeticionSalida& peticion)
{
    std::vector<CentroLista> lista;
    if (peticion.todosCentros) {
        store::Statement st = db.prepare(
            QStringLiteral("SELECT id, codcentro, nomcentro FROM centros WHERE idempresa = ? ORDER BY codcentro, id"));
        st.bind(1, peticion.idempresa);
        while (st.step())
            lista.push_back({st.integer(0), st.text(1), st.text(2)});
        return lista;
    }
    const QString codigo = codigoCentro(peticion, peticion.centroSeleccionado);
    qint64 id = peticion.idsCentros.value(peticion.centroSeleccionado, 0);
    QString nombre = peticion.centros.value(peticion.centroSeleccionado).section(QStringLiteral(" - "), 1);
    if (id == 0) {
        store::Statement st =
            db.prepare(QStringLiteral("SELECT id, nomcentro FROM centros WHERE codcentro = ? ORDER BY id"));
        st.bind(1, codigo);
        if (st.step()) {
            id = st.integer(0);
            nombre = st.text(1);
            st.reset();
        }
    }
    lista.push_back({id, codigo, nombre});
    return lista;
}

// One centre, read in one state of the file (its row, its workers, its company and calendar) and laid ready
// to print. What it has to say waits until the read is over: no message box holds the file.
struct CentroPreparado
{
    QString codigo;      // as read now: the file is named by it
    qint64 idcentro = 0; // 0 when no centre row was read
    QStringList mensajes;
    QStringList log;
    bool noImpreso = false;
    std::unique_ptr<TFormImpHojaDef> hoja; // null when there is nothing to print
    QString fichero;
    int hojas = 0;
    std::exception_ptr error;
};

std::unique_ptr<CentroPreparado> prepararCentro(store::Database& db, const PeticionSalida& peticion,
                                                const CentroLista& centro, const EntradaListado& base)
{
    auto c = std::make_unique<CentroPreparado>();
    c->codigo = centro.codcentro;
    CentroPreparado* destino = c.get();
    const auto anotar = [destino](const QString& texto) { destino->mensajes << texto; };
    store::Lectura lectura(db);
    const centros::Lectura fila = centro.id != 0 ? centros::leerCentro(db, centro.id) : centros::Lectura{};
    const centros::FilaCentro* leida = fila.existe ? &fila.fila : nullptr;
    c->idcentro = leida ? leida->id : 0;
    if (fila.existe && !fila.motivo.isEmpty()) {
        c->codigo = fila.fila.codcentro;
        c->log << centros::lineaNoImpreso(fila.fila.codcentro, fila.fila.nomcentro, fila.motivo);
        c->noImpreso = true;
        return c;
    }
    EntradaListado entrada = base;
    entrada.mensaje = anotar;
    if (peticion.todosCentros) {
        if (!leida) {
            c->log << centros::lineaNoImpreso(centro.codcentro, centro.nomcentro, centros::kMotivoBorrado);
            c->noImpreso = true;
            return c;
        }
        c->codigo = leida->codcentro;
        entrada.trabajadores = entradasTrabajadores(db, c->codigo);
        entrada.seleccionado = entrada.trabajadores.isEmpty() ? -1 : 0;
        if (entrada.trabajadores.isEmpty()) {
            c->log << QStringLiteral("Centro: ") + c->codigo + QStringLiteral("  no tiene trabajadores");
            return c;
        }
    } else if (leida) {
        c->codigo = leida->codcentro;
    }
    VaciarListado(db);
    GrabarListado(db, leida, entrada);
    c->hoja = crearHoja(db, c->codigo, peticion, anotar);
    c->hoja->AbrirFicheros();
    if (c->hoja->vacio())
        c->hoja.reset();
    lectura.terminar();
    return c;
}

// The centres of a PDF run written by several connections at once. Each worker takes the next centre in list
// order, so the centres started are always the first ones; the caller hands the results on in that order.
class Taller
{
public:
    Taller(const QString& base, const PeticionSalida& peticion, const std::vector<CentroLista>& lista,
           const EntradaListado& entrada, int hilos)
        : m_base(base), m_peticion(peticion), m_lista(lista), m_entrada(entrada), m_hechos(lista.size())
    {
        m_entrada.interrumpir = nullptr; // a centre that has started is written whole
        for (int i = 0; i < hilos; ++i)
            m_hilos.emplace_back([this] { trabajar(); });
    }
    ~Taller()
    {
        parar();
        for (std::thread& h : m_hilos)
            h.join();
    }

    // No centre starts after this; those started finish.
    void parar() { m_parar = true; }

    // The result of centre `i`, once done; null if it is not done after `espera`, or will never start.
    std::unique_ptr<CentroPreparado> recoger(std::size_t i, std::chrono::milliseconds espera, bool& nunca)
    {
        std::unique_lock bloqueo(m_mutex);
        m_listo.wait_for(bloqueo, espera, [&] { return m_hechos[i] != nullptr || (m_parar && i >= m_siguiente); });
        nunca = !m_hechos[i] && m_parar && i >= m_siguiente;
        return std::move(m_hechos[i]);
    }

private:
    void trabajar()
    {
        // One connection for the whole run: opening one costs the key derivation.
        store::Database db(m_base);
        for (;;) {
            std::size_t i = 0;
            {
                std::lock_guard bloqueo(m_mutex);
                if (m_parar || m_siguiente >= m_lista.size())
                    return;
                i = m_siguiente++;
            }
            std::unique_ptr<CentroPreparado> c;
            try {
                db.open();
                c = prepararCentro(db, m_peticion, m_lista[i], m_entrada);
                if (c->hoja) {
                    c->fichero = sacarHoja(*c->hoja, c->codigo, m_peticion, nullptr, nullptr, &c->hojas);
                    c->hoja.reset(); // its pages go with it
                }
            } catch (...) {
                if (!c)
                    c = std::make_unique<CentroPreparado>();
                c->hoja.reset();
                c->error = std::current_exception();
                m_parar = true; // the run ends at the first failure, as it does one centre at a time
            }
            {
                std::lock_guard bloqueo(m_mutex);
                m_hechos[i] = std::move(c);
            }
            m_listo.notify_all();
        }
    }

    const QString m_base;
    const PeticionSalida& m_peticion;
    const std::vector<CentroLista>& m_lista;
    EntradaListado m_entrada;
    std::mutex m_mutex;
    std::condition_variable m_listo;
    std::vector<std::unique_ptr<CentroPreparado>> m_hechos;
    std::size_t m_siguiente = 0;
    std::atomic<bool> m_parar = false;
    std::vector<std::thread> m_hilos;
};

// So that the mail finds the file's centre by id even after another copy recodes it. Without the note the
// file is still good: the mail then goes by the code in its name.
void anotarFichero(store::Database& db, const QString& fichero, qint64 idcentro)
{
    if (fichero.isEmpty() || idcentro == 0)
        return;
    try {
        ficheros::anotar(db, fichero, idcentro);
    } catch (const store::StoreError&) {
    }
}

} // namespace

QString ImprimirListado(store::Database& db, const QString& codigo, const PeticionSalida& peticion,
                        InteraccionSalida& interaccion, reports::PrintResult* impresion, int* hojas)
{
    const auto hoja =
        crearHoja(db, codigo, peticion, [&interaccion](const QString& texto) { interaccion.mensaje(texto); });
    hoja->AbrirFicheros();
    if (hoja->vacio())
        return {};
    return sacarHoja(*hoja, codigo, peticion, &interaccion, impresion, hojas);
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
    if (!peticion.todosCentros) {
        entrada.trabajadores = peticion.trabajadores;
        entrada.seleccionado = peticion.trabajadorSeleccionado;
        entrada.textoTrabajador = peticion.textoTrabajador;
    }
    AvisosImpresora avisos(interaccion);
    bool algunoSinImprimir = false;
    // What a centre had to say, in the order of the centres.
    const auto entregar = [&](CentroPreparado& c) {
        for (const QString& texto : c.mensajes)
            interaccion.mensaje(texto);
        resultado.log << c.log;
        algunoSinImprimir = algunoSinImprimir || c.noImpreso;
        if (!c.fichero.isEmpty()) {
            resultado.ficheros << c.fichero;
            anotarFichero(db, c.fichero, c.idcentro);
        }
        resultado.hojas += c.hojas;
    };

    const std::vector<CentroLista> lista = centrosDeLaEjecucion(db, peticion);
    const int total = int(lista.size());
    const int hilos = qMin(peticion.hilos, total);
    if (peticion.todosCentros && peticion.modo == ModoSalida::Pdf && hilos > 1) {
        Taller taller(db.path(), peticion, lista, entrada, hilos);
        for (int i = 0; i < total; ++i) {
            interaccion.progreso(i, total, lista[std::size_t(i)].codcentro);
            std::unique_ptr<CentroPreparado> c;
            bool nunca = false;
            while (!c && !nunca) {
                // Escape is seen here, between two results, and stops the centres not yet started.
                if (interaccion.interrumpir())
                    taller.parar();
                c = taller.recoger(std::size_t(i), std::chrono::milliseconds(50), nunca);
            }
            if (!c)
                break;
            if (c->error)
                std::rethrow_exception(c->error);
            interaccion.centroEnCurso(lista[std::size_t(i)].id, c->codigo);
            entregar(*c);
        }
        interaccion.progreso(total, total, QString());
    } else {
        for (int i = 0; i < total && !(peticion.todosCentros && interaccion.interrumpir()); ++i) {
            const CentroLista& centro = lista[std::size_t(i)];
            interaccion.progreso(i, total, centro.codcentro);
            if (peticion.todosCentros)
                interaccion.centroEnCurso(centro.id, centro.codcentro);
            const std::unique_ptr<CentroPreparado> c = prepararCentro(db, peticion, centro, entrada);
            entregar(*c);
            if (!c->hoja)
                continue;
            if (avisos.abandonada()) {
                avisos.noIntentado(c->codigo, resultado.log);
                continue;
            }
            reports::PrintResult impresion;
            const QString fichero =
                sacarHoja(*c->hoja, c->codigo, peticion, &interaccion, &impresion, &resultado.hojas);
            if (!fichero.isEmpty()) {
                resultado.ficheros << fichero;
                anotarFichero(db, fichero, c->idcentro);
            }
            if (peticion.modo == ModoSalida::Impresora)
                avisos.anotar(impresion, c->codigo, resultado.log);
        }
        interaccion.progreso(total, total, QString());
    }

    if (interaccion.interrumpir()) {
        interaccion.mensaje(kTextoInterrumpido);
        resultado.estado = ResultadoSalida::Estado::Interrumpida;
    } else {
        resultado.estado = avisos.algunoSinImprimir() || algunoSinImprimir ? ResultadoSalida::Estado::Incompleta
                                                                           : ResultadoSalida::Estado::Terminada;
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
    const QString fichero = ImprimirListado(db, kBlanco, peticion, interaccion, &impresion, &resultado.hojas);
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
