#include "mail/EnvioPdf.h"

#include "data/Constantes.h"
#include "data/Secretos.h"
#include "mail/RegistroEnvios.h"
#include "store/Database.h"

#include <QCryptographicHash>
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

QString asuntoDeFichero(const QString& asunto, const QString& nombre)
{
    QString salida = asunto + QStringLiteral(" — ") + codigoDeFichero(nombre);
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
    : m_centros(std::make_unique<store::Statement>(
          db, QStringLiteral("SELECT id, email FROM centros WHERE codcentro = :par1 ORDER BY id LIMIT 1"))),
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

EnvioPdf::Centro EnvioPdf::buscarCentro(const QString& codigo)
{
    Centro c;
    m_centros->bind(QStringLiteral(":par1"), codigo);
    c.encontrado = m_centros->step();
    if (c.encontrado) {
        c.id = m_centros->integer(0);
        c.email = m_centros->text(1);
    }
    m_centros->reset();
    return c;
}

EstadoFichero EnvioPdf::estado(const QString& carpeta, const QString& nombre)
{
    EstadoFichero e;
    const Centro centro = buscarCentro(codigoDeFichero(nombre));
    const ListaDirecciones para = analizarDirecciones(centro.email);
    if (!centro.encontrado || !para.valida() || para.buzones.isEmpty())
        return e;
    QFile f(carpeta.isEmpty() ? nombre : QDir(carpeta).filePath(nombre));
    if (!f.open(QIODevice::ReadOnly))
        return e;
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
    e.enviadoEl = m_registro->yaEnviado(hash, claveDestinatarios(para.direcciones()));
    return e;
}

ResultadoFichero EnvioPdf::enviarFichero(const QString& carpeta, const QString& nombre, const QString& asunto,
                                         const QString& texto, bool reenviar)
{
    ResultadoFichero r;
    const QString codigo = codigoDeFichero(nombre);
    const QString codigoVisible = textoVisible(codigo);
    const Centro centro = buscarCentro(codigo);
    if (!centro.encontrado) {
        QString linea = QStringLiteral("No encuentro centro: ") + codigoVisible;
        // A centre recoded since its sheets were made is known by the register of earlier sendings.
        const QString ahora = m_registro->codigoActual(codigo);
        if (!ahora.isEmpty())
            linea += QStringLiteral(" (ese centro tiene ahora el código %1: genere de nuevo sus hojas)")
                         .arg(textoVisible(ahora));
        r.lineas << linea;
        return r;
    }
    const ListaDirecciones para = analizarDirecciones(centro.email);
    if (!para.valida()) {
        r.lineas
            << QStringLiteral("Dirección no válida en el centro %1: %2").arg(codigoVisible, textoVisible(para.error));
        return r;
    }
    if (para.buzones.isEmpty()) {
        r.lineas << QStringLiteral("Mail centro ") + codigoVisible + QStringLiteral(" vacío");
        return r;
    }
    const QString ruta = carpeta.isEmpty() ? nombre : QDir(carpeta).filePath(nombre);
    const QString rutaVisible = textoVisible(ruta);
    // A message without the file it exists for is of no use to the centre, and "OK" would hide the loss.
    QFile f(ruta);
    if (!QFileInfo(ruta).isFile() || !f.open(QIODevice::ReadOnly)) {
        r.lineas << QStringLiteral("No encontrado el anexo: ") + rutaVisible;
        return r;
    }
    const QByteArray bytes = f.readAll();
    f.close();
    const QString destinos = claveDestinatarios(para.direcciones());
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    if (!reenviar) {
        if (const auto cuando = m_registro->yaEnviado(hash, destinos)) {
            r.lineas << textoYaEnviado(*cuando) + QStringLiteral(": ") + codigoVisible + QStringLiteral(" a ") +
                            destinos + QStringLiteral("  ") + rutaVisible;
            r.yaEnviado = true;
            return r;
        }
    }

    MensajeCorreo mensaje{centro.email, asuntoDeFichero(asunto, nombre), texto, ruta, bytes};
    // Written before the message leaves: killed meanwhile, the register still tells this one may have gone.
    Envio envio;
    envio.codcentro = codigo;
    envio.idcentro = centro.id;
    envio.fichero = nombre;
    envio.tamano = bytes.size();
    envio.sha256 = hash;
    envio.destinatarios = destinos;
    envio.fecha = QDateTime::currentDateTime();
    const qint64 intento = m_registro->anotarIntento(envio);
    const ResultadoCorreo resultado = enviarCorreo(m_cuenta, mensaje, m_opciones);
    if (resultado.ok()) {
        r.lineas << QStringLiteral("Envío a: ") + codigoVisible + QStringLiteral("  OK");
        r.enviado = true;
    } else {
        r.lineas << QStringLiteral("Error al enviar: ") + codigoVisible + QStringLiteral(" a ") +
                        textoVisible(centro.email) + QStringLiteral("  ") + rutaVisible + QStringLiteral(" (") +
                        resultado.causa() + QStringLiteral(")");
    }
    m_registro->anotarResultado(intento, resultado.ok(), resultado.messageId, r.lineas.last());
    return r;
}
