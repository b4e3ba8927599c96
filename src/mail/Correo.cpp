#include "mail/Correo.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUuid>
#include <curl/curl.h>

namespace {

const QByteArray kCrlf("\r\n");

// Header text never carries a line break of its own: a centre's address or a subject cannot add headers.
QString enUnaLinea(QString texto)
{
    texto.replace(u'\r', u' ');
    texto.replace(u'\n', u' ');
    return texto;
}

bool esAscii(const QString& texto)
{
    for (const QChar c : texto) {
        if (c.unicode() > 126 || c.unicode() < 32)
            return false;
    }
    return true;
}

// RFC 2047 words of at most 75 characters, never splitting a character's bytes.
QByteArray palabrasCodificadas(const QString& texto)
{
    QByteArray salida;
    QByteArray trozo;
    const auto cerrar = [&] {
        if (trozo.isEmpty())
            return;
        if (!salida.isEmpty())
            salida += "\r\n ";
        salida += "=?UTF-8?B?" + trozo.toBase64() + "?=";
        trozo.clear();
    };
    for (qsizetype i = 0; i < texto.size(); ++i) {
        qsizetype largo = texto.at(i).isHighSurrogate() && i + 1 < texto.size() ? 2 : 1;
        const QByteArray caracter = texto.mid(i, largo).toUtf8();
        i += largo - 1;
        if (trozo.size() + caracter.size() > 45) // 45 bytes are 60 base64 characters, 72 with the markers
            cerrar();
        trozo += caracter;
    }
    cerrar();
    return salida;
}

QByteArray textoCabecera(const QString& texto)
{
    const QString limpio = enUnaLinea(texto);
    return esAscii(limpio) ? limpio.toLatin1() : palabrasCodificadas(limpio);
}

QByteArray remitente(const CuentaCorreo& cuenta)
{
    const QByteArray direccion = "<" + enUnaLinea(cuenta.direccionEnvio).trimmed().toUtf8() + ">";
    const QString nombre = enUnaLinea(cuenta.nombreEnvio).trimmed();
    if (nombre.isEmpty())
        return direccion;
    if (!esAscii(nombre))
        return palabrasCodificadas(nombre) + " " + direccion;
    QString entrecomillado = nombre;
    entrecomillado.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return "\"" + entrecomillado.toLatin1() + "\" " + direccion;
}

QByteArray base64EnLineas(const QByteArray& datos)
{
    const QByteArray b64 = datos.toBase64();
    QByteArray salida;
    salida.reserve(b64.size() + b64.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < b64.size(); i += 76)
        salida += b64.mid(i, 76) + kCrlf;
    return salida;
}

QByteArray fechaRfc(const QDateTime& ahora)
{
    const int minutos = ahora.offsetFromUtc() / 60;
    const QString zona = QStringLiteral("%1%2%3")
                             .arg(minutos < 0 ? u'-' : u'+')
                             .arg(qAbs(minutos) / 60, 2, 10, QLatin1Char('0'))
                             .arg(qAbs(minutos) % 60, 2, 10, QLatin1Char('0'));
    return (QLocale::c().toString(ahora, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) + zona).toLatin1();
}

QByteArray identificador(const CuentaCorreo& cuenta)
{
    QString dominio = cuenta.direccionEnvio.section(u'@', 1).trimmed();
    static const QRegularExpression valido(QStringLiteral("^[A-Za-z0-9.-]+$"));
    if (!valido.match(dominio).hasMatch())
        dominio = QStringLiteral("quorvel.invalid");
    return "<" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@" + dominio.toLatin1() + ">";
}

QString tipoDe(const QString& fichero)
{
    return fichero.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? QStringLiteral("application/pdf")
                                                                         : QStringLiteral("application/octet-stream");
}

QByteArray parametroNombre(const char* parametro, const QString& nombre)
{
    if (esAscii(nombre) && !nombre.contains(u'"') && !nombre.contains(u'\\'))
        return QByteArray(parametro) + "=\"" + nombre.toLatin1() + "\"";
    return QByteArray(parametro) + "*=UTF-8''" + nombre.toUtf8().toPercentEncoding();
}

QByteArray componer(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje, const QStringList& destinos,
                    const QByteArray& anexo)
{
    QByteArray m;
    m += "Date: " + fechaRfc(QDateTime::currentDateTime()) + kCrlf;
    m += "From: " + remitente(cuenta) + kCrlf;
    m += "To: " + destinos.join(QStringLiteral(", ")).toUtf8() + kCrlf;
    m += "Subject: " + textoCabecera(mensaje.asunto) + kCrlf;
    m += "Message-ID: " + identificador(cuenta) + kCrlf;
    m += "MIME-Version: 1.0" + kCrlf;
    m += "X-Mailer: Quorvel" + kCrlf;

    QString texto = mensaje.texto;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray cuerpo = base64EnLineas(texto.replace(u'\n', QStringLiteral("\r\n")).toUtf8());
    const QByteArray tipoTexto =
        "Content-Type: text/plain; charset=UTF-8" + kCrlf + "Content-Transfer-Encoding: base64" + kCrlf;
    if (mensaje.adjunto.isEmpty()) {
        m += tipoTexto + kCrlf + cuerpo;
        return m;
    }
    const QByteArray frontera = "=_Quorvel_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    const QString nombre = QFileInfo(mensaje.adjunto).fileName();
    m += "Content-Type: multipart/mixed; boundary=\"" + frontera + "\"" + kCrlf + kCrlf;
    m += "--" + frontera + kCrlf + tipoTexto + kCrlf + cuerpo;
    m += "--" + frontera + kCrlf;
    m += "Content-Type: " + tipoDe(nombre).toLatin1() + "; " + parametroNombre("name", nombre) + kCrlf;
    m += "Content-Disposition: attachment; " + parametroNombre("filename", nombre) + kCrlf;
    m += "Content-Transfer-Encoding: base64" + kCrlf + kCrlf;
    m += base64EnLineas(anexo);
    m += "--" + frontera + "--" + kCrlf;
    return m;
}

struct Lectura
{
    QByteArray datos;
    qsizetype posicion = 0;
};

size_t leer(char* destino, size_t tamano, size_t cuantos, void* usuario)
{
    auto* lectura = static_cast<Lectura*>(usuario);
    const qsizetype quedan = lectura->datos.size() - lectura->posicion;
    const qsizetype n = qMin<qsizetype>(quedan, qsizetype(tamano * cuantos));
    memcpy(destino, lectura->datos.constData() + lectura->posicion, size_t(n));
    lectura->posicion += n;
    return size_t(n);
}

int enEspera(void* usuario, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* opciones = static_cast<const OpcionesCorreo*>(usuario);
    if (opciones->esperando)
        opciones->esperando();
    return 0;
}

// The system's folder of trusted authorities, looked up by hash; stays in use when SSL_CERT_FILE adds a file.
const QByteArray& carpetaAutoridades()
{
    static const QByteArray carpeta = [] {
        QByteArray c;
        if (CURL* curl = curl_easy_init()) {
            char* defecto = nullptr;
            if (curl_easy_getinfo(curl, CURLINFO_CAPATH, &defecto) == CURLE_OK && defecto)
                c = defecto;
            curl_easy_cleanup(curl);
        }
        if (c.isEmpty() && QFileInfo(QStringLiteral("/etc/ssl/certs")).isDir())
            c = "/etc/ssl/certs";
        return c;
    }();
    return carpeta;
}

FalloCorreo falloDe(CURLcode codigo, long respuesta, const QString& texto)
{
    switch (codigo) {
    case CURLE_OK:
        return FalloCorreo::Ninguno;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_GOT_NOTHING:
        return FalloCorreo::SinConexion;
    case CURLE_OPERATION_TIMEDOUT:
        return FalloCorreo::TiempoAgotado;
    case CURLE_SSL_CONNECT_ERROR:
        return FalloCorreo::ConexionSegura;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return FalloCorreo::Certificado;
    case CURLE_LOGIN_DENIED:
        return FalloCorreo::Credenciales;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        if (texto.startsWith(QStringLiteral("RCPT failed")))
            return FalloCorreo::Destinatario;
        if (texto.startsWith(QStringLiteral("MAIL failed")))
            return respuesta == 530 ? FalloCorreo::ExigeUsuario : FalloCorreo::Remitente;
        if (respuesta >= 400)
            return FalloCorreo::MensajeRechazado;
        return FalloCorreo::SinConexion;
    default:
        return FalloCorreo::Otro;
    }
}

} // namespace

QString ResultadoCorreo::causa() const
{
    switch (fallo) {
    case FalloCorreo::Ninguno:
        return {};
    case FalloCorreo::PuertoNoValido:
        return QStringLiteral("puerto no válido: «%1»").arg(detalle);
    case FalloCorreo::SinDestinatario:
        return QStringLiteral("sin dirección de destino");
    case FalloCorreo::SinAnexo:
        return QStringLiteral("no se puede leer el anexo");
    case FalloCorreo::SinConexion:
        return QStringLiteral("no conexión");
    case FalloCorreo::ConexionSegura:
        return QStringLiteral("el servidor no acepta conexión segura (SSL/TLS) en ese puerto");
    case FalloCorreo::Certificado:
        return QStringLiteral("certificado no válido");
    case FalloCorreo::Credenciales:
        return QStringLiteral("usuario o contraseña rechazados");
    case FalloCorreo::ExigeUsuario:
        return QStringLiteral("el servidor exige usuario y contraseña");
    case FalloCorreo::Remitente:
        return QStringLiteral("remitente rechazado");
    case FalloCorreo::Destinatario:
        return QStringLiteral("destinatario rechazado");
    case FalloCorreo::MensajeRechazado:
        return QStringLiteral("mensaje rechazado por el servidor");
    case FalloCorreo::TiempoAgotado:
        return QStringLiteral("tiempo agotado");
    case FalloCorreo::Otro:
        break;
    }
    return detalle.isEmpty() ? QStringLiteral("error de envío") : QStringLiteral("error de envío: ") + detalle;
}

int puertoCorreo(const QString& texto)
{
    bool ok = false;
    const int puerto = texto.trimmed().toInt(&ok);
    return ok && puerto >= 1 && puerto <= 65535 ? puerto : 0;
}

QStringList direccionesDe(const QString& lista)
{
    QStringList direcciones;
    static const QRegularExpression separador(QStringLiteral("[,;]"));
    for (QString parte : lista.split(separador, Qt::SkipEmptyParts)) {
        const qsizetype abre = parte.lastIndexOf(u'<');
        const qsizetype cierra = parte.lastIndexOf(u'>');
        if (abre >= 0 && cierra > abre)
            parte = parte.mid(abre + 1, cierra - abre - 1);
        parte = enUnaLinea(parte).trimmed();
        if (!parte.isEmpty())
            direcciones << parte;
    }
    return direcciones;
}

ResultadoCorreo enviarCorreo(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje, const OpcionesCorreo& opciones)
{
    ResultadoCorreo r;
    const int puerto = puertoCorreo(cuenta.puerto);
    if (puerto == 0) {
        r.fallo = FalloCorreo::PuertoNoValido;
        r.detalle = cuenta.puerto;
        return r;
    }
    const QStringList destinos = direccionesDe(mensaje.destinatarios);
    if (destinos.isEmpty()) {
        r.fallo = FalloCorreo::SinDestinatario;
        return r;
    }
    QByteArray anexo;
    if (!mensaje.adjunto.isEmpty()) {
        QFile f(mensaje.adjunto);
        if (!f.open(QIODevice::ReadOnly)) {
            r.fallo = FalloCorreo::SinAnexo;
            r.detalle = f.errorString();
            return r;
        }
        anexo = f.readAll();
    }
    const QString host = cuenta.host.trimmed();
    if (host.isEmpty() || host.contains(QRegularExpression(QStringLiteral("[\\s/@?#\\\\]")))) {
        r.fallo = FalloCorreo::SinConexion;
        r.detalle = QStringLiteral("servidor no válido");
        return r;
    }

    Lectura lectura{componer(cuenta, mensaje, destinos, anexo)};
    CURL* curl = curl_easy_init();
    if (!curl) {
        r.fallo = FalloCorreo::Otro;
        return r;
    }
    const QByteArray url = "smtps://" + (host.contains(u':') ? "[" + host.toUtf8() + "]" : host.toUtf8()) + ":" +
                           QByteArray::number(puerto);
    const QByteArray de = "<" + enUnaLinea(cuenta.direccionEnvio).trimmed().toUtf8() + ">";
    curl_slist* para = nullptr;
    for (const QString& d : destinos)
        para = curl_slist_append(para, ("<" + d.toUtf8() + ">").constData());
    const QByteArray usuario = cuenta.usuario.toUtf8();
    const QByteArray clave = cuenta.password.toUtf8();
    const QByteArray autoridadExtra = qgetenv("SSL_CERT_FILE");
    char error[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(opciones.segundosConexion));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(opciones.segundosTotal));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!autoridadExtra.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, autoridadExtra.constData());
        if (!carpetaAutoridades().isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAPATH, carpetaAutoridades().constData());
    }
    // Without a user name curl must not even try AUTH, or a server that allows anonymous relay refuses us.
    if (!usuario.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, usuario.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, clave.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, de.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, para);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &leer);
    curl_easy_setopt(curl, CURLOPT_READDATA, &lectura);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(lectura.datos.size()));
    if (opciones.esperando) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &enEspera);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &opciones);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }

    const CURLcode codigo = curl_easy_perform(curl);
    long respuesta = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &respuesta);
    const QString texto = QString::fromUtf8(error[0] ? error : curl_easy_strerror(codigo));
    curl_slist_free_all(para);
    curl_easy_cleanup(curl);

    r.fallo = falloDe(codigo, respuesta, texto);
    if (!r.ok())
        r.detalle = texto;
    return r;
}
