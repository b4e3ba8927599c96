#include "mail/EnvioPdf.h"

#include "data/Constantes.h"
#include "data/RegistroFicheros.h"
#include "data/Secretos.h"
#include "mail/RegistroEnvios.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

const QString kAsuntoCorreo = QStringLiteral("Envío hojas de control horario mensual");
const QString kTextoCorreo = QStringLiteral("Adjunto se envía el pdf con el control de horario mensual.\n\nUn saludo.");
const QString kCuentaNoComprobada =
    QStringLiteral("La cuenta de correo de envío no está comprobada\n    configúrela y compruébela en Constantes");
const QString kCuentaSinComprobar = QStringLiteral(
    "No está comprobada la cuenta de envío de correo\nConfigúrela en Mantenimiento de Constantes, y pruébela");
const QString kNingunFicheroSeleccionado = QStringLiteral("No hay ningún fichero seleccionado");

CuentaConstantes leerCuenta(store::Database& db)
{
    const FilaConstantes fila(db);
    CuentaConstantes c;
    c.cuenta.nombreEnvio = fila.texto(QStringLiteral("e-nombreenvio"));
    c.cuenta.direccionEnvio = fila.texto(QStringLiteral("e-direccionenvio"));
    c.cuenta.host = fila.texto(QStringLiteral("e-host"));
    c.cuenta.puerto = fila.texto(QStringLiteral("e-puerto"));
    c.cuenta.usuario = fila.texto(QStringLiteral("e-usuario"));
    c.cuenta.password = fila.texto(QStringLiteral("e-password"));
    c.cuenta.certificado = fila.texto(QStringLiteral("e-certificado"));
    c.ok = fila.logico(QStringLiteral("e-ok"));
    c.conexiones = conexionesCorreo(fila.texto(QStringLiteral("e-conexiones")));
    return c;
}

QStringList ficherosPdf(const QString& carpeta)
{
    if (carpeta.trimmed().isEmpty())
        return {};
    const QDir dir(carpeta);
    // The pattern alone would also take "quorvel_x.PDF" on a case-blind match; the names are ours, exact.
    QStringList nombres;
    for (const QString& n :
         dir.entryList({QStringLiteral("Quorvel_*.pdf")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (n.startsWith(QStringLiteral("Quorvel_")) && n.endsWith(QStringLiteral(".pdf")))
            nombres << n;
    }
    return nombres;
}

QString codigoDeFichero(const QString& nombre)
{
    return nombre.mid(8, 4);
}

QString asuntoDeFichero(const QString& asunto, const QString& nombre, const QString& codigo)
{
    QString salida = asunto + QStringLiteral(" — ") + (codigo.isEmpty() ? codigoDeFichero(nombre) : codigo);
    // "Quorvel_0101_202612.pdf" or "Quorvel_0101_202605-202607.pdf"
    const QString periodo = nombre.mid(13).section(u'.', 0, 0);
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    QStringList meses;
    for (const QString& p : periodo.split(u'-')) {
        const QDate d = QDate::fromString(p + QStringLiteral("01"), QStringLiteral("yyyyMMdd"));
        if (p.size() != 6 || !d.isValid())
            return salida;
        meses << es.standaloneMonthName(d.month()).toLower() + u' ' + QString::number(d.year());
    }
    if (meses.size() > 2)
        return salida;
    return salida + QStringLiteral(" — ") + meses.join(QStringLiteral(" a "));
}

QString EnvioPdf::textoYaEnviado(const QDateTime& cuando)
{
    return QStringLiteral("Ya enviado el ") + cuando.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
}

EnvioPdf::EnvioPdf(store::Database& db, CuentaCorreo cuenta, OpcionesCorreo opciones)
    : m_db(db), m_centros(std::make_unique<store::Statement>(
                    db, QStringLiteral("SELECT id, email FROM centros WHERE codcentro = :par1 ORDER BY id LIMIT 1"))),
      m_porId(
          std::make_unique<store::Statement>(db, QStringLiteral("SELECT codcentro, email FROM centros WHERE id = ?"))),
      m_registro(std::make_unique<RegistroEnvios>(db)), m_cuenta(std::move(cuenta)), m_opciones(std::move(opciones))
{
}

EnvioPdf::~EnvioPdf()
{
    borrarSecreto(m_cuenta.password);
}

ResultadoCorreo EnvioPdf::Enviar_correo(const QString& destinatarios, const QString& ruta, const QString& asunto,
                                        const QString& texto)
{
    return enviarCorreo(m_cuenta, MensajeCorreo{destinatarios, asunto, texto, ruta, std::nullopt}, m_opciones);
}

namespace {

std::optional<QByteArray> leer(const QString& ruta)
{
    QFile f(ruta);
    if (!QFileInfo(ruta).isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

QString rutaDe(const QString& carpeta, const QString& nombre)
{
    return carpeta.isEmpty() ? nombre : QDir(carpeta).filePath(nombre);
}

} // namespace

EnvioPdf::Centro EnvioPdf::centroDeFichero(const QString& nombre, const std::optional<QString>& huella)
{
    const QString codigo = codigoDeFichero(nombre);
    Centro c;
    std::optional<qint64> id;
    if (huella) {
        id = ficheros::centroDe(m_db, nombre, *huella);
        if (!id)
            id = m_registro->centroDeFichero(nombre, *huella);
    }
    if (id) {
        m_porId->bind(1, *id);
        c.encontrado = m_porId->step();
        if (c.encontrado) {
            c.id = *id;
            c.codigo = m_porId->text(0);
            c.email = m_porId->text(1);
            if (c.codigo != codigo)
                c.nota = QStringLiteral("fichero con su código anterior %1: otra copia del programa se lo cambió")
                             .arg(textoVisible(codigo));
        } else {
            c.nota = QStringLiteral("ese centro ya no existe: otra copia del programa lo ha borrado");
        }
        m_porId->reset();
        return c;
    }
    m_centros->bind(QStringLiteral(":par1"), codigo);
    c.encontrado = m_centros->step();
    if (c.encontrado) {
        c.id = m_centros->integer(0);
        c.codigo = codigo;
        c.email = m_centros->text(1);
    }
    m_centros->reset();
    if (c.encontrado || nombre.startsWith(QStringLiteral("Quorvel_blanco_")))
        return c;
    // A centre recoded since its sheets were made may still be known by the register of earlier sendings.
    const QString ahora = m_registro->codigoActual(codigo);
    c.nota =
        ahora.isEmpty()
            ? QStringLiteral("ningún centro tiene ese código: otra copia del programa lo ha "
                             "cambiado o borrado; genere de nuevo las hojas")
            : QStringLiteral("ese centro tiene ahora el código %1: genere de nuevo sus hojas").arg(textoVisible(ahora));
    return c;
}

EstadoFichero EnvioPdf::estado(const QString& carpeta, const QString& nombre)
{
    EstadoFichero e;
    const std::optional<QByteArray> bytes = leer(rutaDe(carpeta, nombre));
    if (!bytes)
        return e;
    const QString hash = ficheros::huella(*bytes);
    const Centro centro = centroDeFichero(nombre, hash);
    const ListaDirecciones para = analizarDirecciones(centro.email);
    if (!centro.encontrado || !para.valida() || para.buzones.isEmpty())
        return e;
    e.enviadoEl = m_registro->yaEnviado(hash, claveDestinatarios(para.direcciones()));
    return e;
}

struct EnvioPdf::Preparado
{
    ResultadoFichero resultado; // the file's result when nothing is to be sent
    bool pendiente = false;     // a message is to be sent
    bool esperar = false;       // the same bytes to the same addresses are on their way: try again later
    MensajeCorreo mensaje;
    qint64 intento = 0;
    QString clave; // bytes and addresses
    QString codigoVisible;
    QString emailVisible;
    QString rutaVisible;
    QString nota; // what happened to the file's centre, for every line of the file
};

EnvioPdf::Preparado EnvioPdf::preparar(const QString& carpeta, const QString& nombre, const QString& asunto,
                                       const QString& texto, bool reenviar, const QSet<QString>* ocupadas)
{
    Preparado p;
    ResultadoFichero& r = p.resultado;
    const QString ruta = rutaDe(carpeta, nombre);
    const QString rutaVisible = textoVisible(ruta);
    const std::optional<QByteArray> bytes = leer(ruta);
    const std::optional<QString> hash = bytes ? std::optional<QString>(ficheros::huella(*bytes)) : std::nullopt;
    const Centro centro = centroDeFichero(nombre, hash);
    const QString nota = centro.nota.isEmpty() ? QString() : QStringLiteral(" (") + centro.nota + u')';
    if (!centro.encontrado) {
        r.lineas << QStringLiteral("No encuentro centro: ") + textoVisible(codigoDeFichero(nombre)) + nota;
        return p;
    }
    const QString codigoVisible = textoVisible(centro.codigo);
    const ListaDirecciones para = analizarDirecciones(centro.email);
    if (!para.valida()) {
        r.lineas
            << QStringLiteral("Dirección no válida en el centro %1: %2").arg(codigoVisible, textoVisible(para.error)) +
                   nota;
        return p;
    }
    if (para.buzones.isEmpty()) {
        r.lineas << QStringLiteral("Mail centro ") + codigoVisible + QStringLiteral(" vacío") + nota;
        return p;
    }
    // A message without the file it exists for is of no use to the centre, and "OK" would hide the loss.
    if (!bytes) {
        r.lineas << QStringLiteral("No encontrado el anexo: ") + rutaVisible;
        return p;
    }
    const QString destinos = claveDestinatarios(para.direcciones());
    if (!reenviar) {
        p.clave = *hash + u' ' + destinos;
        if (ocupadas && ocupadas->contains(p.clave)) {
            p.esperar = true;
            return p;
        }
        if (const auto cuando = m_registro->yaEnviado(*hash, destinos)) {
            r.lineas << textoYaEnviado(*cuando) + QStringLiteral(": ") + codigoVisible + QStringLiteral(" a ") +
                            destinos + QStringLiteral("  ") + rutaVisible + nota;
            r.yaEnviado = true;
            return p;
        }
    }

    p.mensaje = MensajeCorreo{centro.email, asuntoDeFichero(asunto, nombre, centro.codigo), texto, ruta, *bytes};
    // Written before the message leaves: killed meanwhile, the register still tells this one may have gone.
    Envio envio;
    envio.codcentro = centro.codigo;
    envio.idcentro = centro.id;
    envio.fichero = nombre;
    envio.tamano = bytes->size();
    envio.sha256 = *hash;
    envio.destinatarios = destinos;
    envio.fecha = QDateTime::currentDateTime();
    p.intento = m_registro->anotarIntento(envio);
    p.pendiente = true;
    p.codigoVisible = codigoVisible;
    p.emailVisible = textoVisible(centro.email);
    p.rutaVisible = rutaVisible;
    p.nota = nota;
    return p;
}

ResultadoFichero EnvioPdf::terminar(const Preparado& p, const ResultadoCorreo& resultado)
{
    ResultadoFichero r;
    if (resultado.ok()) {
        r.lineas << QStringLiteral("Envío a: ") + p.codigoVisible + QStringLiteral("  OK") + p.nota;
        r.enviado = true;
    } else {
        r.lineas << QStringLiteral("Error al enviar: ") + p.codigoVisible + QStringLiteral(" a ") + p.emailVisible +
                        QStringLiteral("  ") + p.rutaVisible + QStringLiteral(" (") + resultado.causa() +
                        QStringLiteral(")") + p.nota;
    }
    m_registro->anotarResultado(p.intento, resultado.ok(), resultado.messageId, r.lineas.last());
    return r;
}

ResultadoFichero EnvioPdf::enviarFichero(const QString& carpeta, const QString& nombre, const QString& asunto,
                                         const QString& texto, bool reenviar)
{
    const Preparado p = preparar(carpeta, nombre, asunto, texto, reenviar);
    if (!p.pendiente)
        return p.resultado;
    return terminar(p, enviarCorreo(m_cuenta, p.mensaje, m_opciones));
}

namespace {

// A few threads, each sending one message at a time over its own connection. They touch nothing but the
// message they are given and the account, which they only read.
class Conexiones
{
public:
    Conexiones(const CuentaCorreo& cuenta, const OpcionesCorreo& opciones, int hilos)
        : m_cuenta(cuenta), m_opciones(opciones)
    {
        // Repainting is the caller's to do, on its own thread.
        m_opciones.esperando = nullptr;
        prepararCorreoEnHilos();
        for (int i = 0; i < hilos; ++i)
            m_hilos.emplace_back([this] { trabajar(); });
    }
    ~Conexiones()
    {
        {
            const std::lock_guard<std::mutex> cerrojo(m_mutex);
            m_parar = true;
            m_cola.clear();
        }
        m_hayTrabajo.notify_all();
        // Messages already on their way end within their time limits.
        for (std::thread& h : m_hilos)
            h.join();
        borrarSecreto(m_cuenta.password);
    }
    Conexiones(const Conexiones&) = delete;
    Conexiones& operator=(const Conexiones&) = delete;

    void encolar(int indice, MensajeCorreo mensaje)
    {
        {
            const std::lock_guard<std::mutex> cerrojo(m_mutex);
            m_cola.emplace_back(indice, std::move(mensaje));
        }
        m_hayTrabajo.notify_one();
    }

    // The messages done since the last call; waits up to `espera` when there are none yet.
    std::vector<std::pair<int, ResultadoCorreo>> recoger(std::chrono::milliseconds espera)
    {
        std::unique_lock<std::mutex> cerrojo(m_mutex);
        m_hayResultado.wait_for(cerrojo, espera, [this] { return !m_hechos.empty(); });
        return std::exchange(m_hechos, {});
    }

private:
    void trabajar()
    {
        for (;;) {
            std::pair<int, MensajeCorreo> tarea;
            {
                std::unique_lock<std::mutex> cerrojo(m_mutex);
                m_hayTrabajo.wait(cerrojo, [this] { return m_parar || !m_cola.empty(); });
                if (m_parar)
                    return;
                tarea = std::move(m_cola.front());
                m_cola.pop_front();
            }
            ResultadoCorreo r = enviarCorreo(m_cuenta, tarea.second, m_opciones);
            tarea.second = {};
            {
                const std::lock_guard<std::mutex> cerrojo(m_mutex);
                m_hechos.emplace_back(tarea.first, std::move(r));
            }
            m_hayResultado.notify_one();
        }
    }

    CuentaCorreo m_cuenta;
    OpcionesCorreo m_opciones;
    std::mutex m_mutex;
    std::condition_variable m_hayTrabajo;
    std::condition_variable m_hayResultado;
    std::deque<std::pair<int, MensajeCorreo>> m_cola;
    std::vector<std::pair<int, ResultadoCorreo>> m_hechos;
    bool m_parar = false;
    std::vector<std::thread> m_hilos;
};

} // namespace

void EnvioPdf::enviarFicheros(const QString& carpeta, const QStringList& nombres, const QString& asunto,
                              const QString& texto, bool reenviar, int conexiones,
                              const std::function<void(int, const ResultadoFichero&)>& alTerminar)
{
    const int total = int(nombres.size());
    conexiones = qBound(1, conexiones, qMax(1, total));
    if (conexiones == 1) {
        for (int i = 0; i < total; ++i)
            alTerminar(i, enviarFichero(carpeta, nombres.at(i), asunto, texto, reenviar));
        return;
    }
    Conexiones hilos(m_cuenta, m_opciones, conexiones);
    std::vector<std::optional<ResultadoFichero>> hechos(static_cast<std::size_t>(total));
    QHash<int, Preparado> enCamino;
    QSet<QString> ocupadas;
    std::vector<std::pair<int, ResultadoCorreo>> llegados;
    int siguiente = 0; // the next file to prepare
    int dado = 0;      // the next result to hand to the caller
    while (dado < total) {
        std::vector<std::pair<int, MensajeCorreo>> salen;
        {
            // The outcomes just known and the attempts about to leave share one commit: each commit waits for
            // the disk, and one per row kept the connections idle. The attempts are stored before they leave.
            store::Transaction tx(m_db);
            for (auto& [indice, resultado] : llegados) {
                const Preparado p = enCamino.take(indice);
                ocupadas.remove(p.clave);
                hechos[std::size_t(indice)] = terminar(p, resultado);
            }
            llegados.clear();
            while (siguiente < total && enCamino.size() < conexiones) {
                Preparado p = preparar(carpeta, nombres.at(siguiente), asunto, texto, reenviar, &ocupadas);
                if (p.esperar)
                    break;
                if (p.pendiente) {
                    if (!p.clave.isEmpty())
                        ocupadas.insert(p.clave);
                    salen.emplace_back(siguiente, std::exchange(p.mensaje, {}));
                    enCamino.insert(siguiente, std::move(p));
                } else {
                    hechos[std::size_t(siguiente)] = std::move(p.resultado);
                }
                ++siguiente;
            }
            tx.commit();
        }
        for (auto& [indice, mensaje] : salen)
            hilos.encolar(indice, std::move(mensaje));
        // Results go out in the files' order: a quick message waits for the slower ones before it.
        while (dado < total && hechos[std::size_t(dado)]) {
            alTerminar(dado, *hechos[std::size_t(dado)]);
            hechos[std::size_t(dado)].reset();
            ++dado;
        }
        if (dado == total)
            break;
        llegados = hilos.recoger(std::chrono::milliseconds(100));
        if (m_opciones.esperando)
            m_opciones.esperando();
    }
}
