#include "mail/EnvioPdf.h"

#include "data/Constantes.h"
#include "data/RegistroFicheros.h"
#include "data/Secretos.h"
#include "mail/RegistroEnvios.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

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

ResultadoFichero EnvioPdf::enviarFichero(const QString& carpeta, const QString& nombre, const QString& asunto,
                                         const QString& texto, bool reenviar)
{
    ResultadoFichero r;
    const QString ruta = rutaDe(carpeta, nombre);
    const QString rutaVisible = textoVisible(ruta);
    const std::optional<QByteArray> bytes = leer(ruta);
    const std::optional<QString> hash = bytes ? std::optional<QString>(ficheros::huella(*bytes)) : std::nullopt;
    const Centro centro = centroDeFichero(nombre, hash);
    const QString nota = centro.nota.isEmpty() ? QString() : QStringLiteral(" (") + centro.nota + u')';
    if (!centro.encontrado) {
        r.lineas << QStringLiteral("No encuentro centro: ") + textoVisible(codigoDeFichero(nombre)) + nota;
        return r;
    }
    const QString codigoVisible = textoVisible(centro.codigo);
    const ListaDirecciones para = analizarDirecciones(centro.email);
    if (!para.valida()) {
        r.lineas
            << QStringLiteral("Dirección no válida en el centro %1: %2").arg(codigoVisible, textoVisible(para.error)) +
                   nota;
        return r;
    }
    if (para.buzones.isEmpty()) {
        r.lineas << QStringLiteral("Mail centro ") + codigoVisible + QStringLiteral(" vacío") + nota;
        return r;
    }
    // A message without the file it exists for is of no use to the centre, and "OK" would hide the loss.
    if (!bytes) {
        r.lineas << QStringLiteral("No encontrado el anexo: ") + rutaVisible;
        return r;
    }
    const QString destinos = claveDestinatarios(para.direcciones());
    if (!reenviar) {
        if (const auto cuando = m_registro->yaEnviado(*hash, destinos)) {
            r.lineas << textoYaEnviado(*cuando) + QStringLiteral(": ") + codigoVisible + QStringLiteral(" a ") +
                            destinos + QStringLiteral("  ") + rutaVisible + nota;
            r.yaEnviado = true;
            return r;
        }
    }

    MensajeCorreo mensaje{centro.email, asuntoDeFichero(asunto, nombre, centro.codigo), texto, ruta, *bytes};
    // Written before the message leaves: killed meanwhile, the register still tells this one may have gone.
    Envio envio;
    envio.codcentro = centro.codigo;
    envio.idcentro = centro.id;
    envio.fichero = nombre;
    envio.tamano = bytes->size();
    envio.sha256 = *hash;
    envio.destinatarios = destinos;
    envio.fecha = QDateTime::currentDateTime();
    const qint64 intento = m_registro->anotarIntento(envio);
    const ResultadoCorreo resultado = enviarCorreo(m_cuenta, mensaje, m_opciones);
    if (resultado.ok()) {
        r.lineas << QStringLiteral("Envío a: ") + codigoVisible + QStringLiteral("  OK") + nota;
        r.enviado = true;
    } else {
        r.lineas << QStringLiteral("Error al enviar: ") + codigoVisible + QStringLiteral(" a ") +
                        textoVisible(centro.email) + QStringLiteral("  ") + rutaVisible + QStringLiteral(" (") +
                        resultado.causa() + QStringLiteral(")") + nota;
    }
    m_registro->anotarResultado(intento, resultado.ok(), resultado.messageId, r.lineas.last());
    return r;
}
