#include "mail/Correo.h"

#include "data/Secretos.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <chrono>
#include <cstring>
#include <curl/curl.h>
#include <sys/socket.h>

// GLib's headers use "signals" as a field name, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

namespace {

// GMime is set up once, at the first message, and shut down when the program ends.
void usarGMime()
{
    struct Vida
    {
        Vida() { g_mime_init(); }
        ~Vida() { g_mime_shutdown(); }
    };
    static Vida vida;
}

} // namespace

void prepararCorreoEnHilos()
{
    // Neither may run for the first time while another thread uses the libraries they set up.
    static const bool hecho = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        usarGMime();
        return true;
    }();
    (void)hecho;
    protegerSecretos();
}

namespace {

// Owns one GObject reference.
template <typename T> struct Ref
{
    T* p = nullptr;
    explicit Ref(T* objeto = nullptr) : p(objeto) {}
    ~Ref()
    {
        if (p)
            g_object_unref(p);
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* get() const { return p; }
};

bool esInvisible(char32_t c)
{
    // Control characters (C0, DEL, C1), the line and paragraph separators and the bidirectional and
    // zero-width formatting characters: none belongs in an address, a header or a log line.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

bool tieneInvisibles(const QString& texto)
{
    for (const char32_t c : texto.toUcs4()) {
        if (esInvisible(c))
            return true;
    }
    return false;
}

// An address we send to: a dot-atom local part and a host name, ASCII only. Quoted local parts and address
// literals are refused rather than risked.
bool direccionCorrecta(const QString& direccion)
{
    // One per thread: several messages may be composed at once, and a shared pattern compiles lazily.
    static thread_local const QRegularExpression patron(
        QStringLiteral("^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*"
                       "@[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)+$"));
    return direccion.size() <= 254 && patron.match(direccion).hasMatch();
}

// Splits a field at ',' and ';' outside quoted strings, comments and angle brackets. A group
// ("Equipo: a@x.es, b@x.es;") stays one piece, its ';' included. An unclosed quote, comment or bracket
// leaves the rest in the last piece, which then fails.
QStringList trozos(const QString& lista)
{
    QStringList salida;
    QString actual;
    bool comillas = false;
    int comentario = 0;
    bool angulo = false;
    bool grupo = false;
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const QChar c = lista.at(i);
        if (comillas || comentario > 0) {
            actual += c;
            if (c == u'\\' && i + 1 < lista.size())
                actual += lista.at(++i);
            else if (comillas && c == u'"')
                comillas = false;
            else if (!comillas && c == u'(')
                ++comentario;
            else if (!comillas && c == u')')
                --comentario;
            continue;
        }
        if (c == u'"') {
            comillas = true;
        } else if (c == u'(') {
            comentario = 1;
        } else if (c == u'<') {
            angulo = true;
        } else if (c == u'>') {
            angulo = false;
        } else if (!angulo && c == u':') {
            grupo = true;
        } else if (!angulo && c == u';') {
            if (grupo)
                actual += c;
            salida << actual;
            actual.clear();
            grupo = false;
            continue;
        } else if (!angulo && !grupo && c == u',') {
            salida << actual;
            actual.clear();
            continue;
        }
        actual += c;
    }
    salida << actual;
    return salida;
}

// The piece without its comments, and whether quotes, comments and brackets are balanced in it. The
// positions of '<', '>' and ':' outside quotes are returned so the shape can be checked.
struct Forma
{
    QString sinComentarios;
    QList<qsizetype> abre, cierra, dosPuntos;
    bool equilibrada = true;
};

Forma forma(const QString& trozo)
{
    Forma f;
    bool comillas = false;
    int comentario = 0;
    for (qsizetype i = 0; i < trozo.size(); ++i) {
        const QChar c = trozo.at(i);
        if (comentario > 0) {
            if (c == u'\\')
                ++i;
            else if (c == u'(')
                ++comentario;
            else if (c == u')')
                --comentario;
            continue;
        }
        if (comillas) {
            f.sinComentarios += c;
            if (c == u'\\' && i + 1 < trozo.size())
                f.sinComentarios += trozo.at(++i);
            else if (c == u'"')
                comillas = false;
            continue;
        }
        if (c == u'(') {
            comentario = 1;
            f.sinComentarios += u' ';
            continue;
        }
        if (c == u')') {
            f.equilibrada = false;
            continue;
        }
        if (c == u'"')
            comillas = true;
        else if (c == u'<')
            f.abre << f.sinComentarios.size();
        else if (c == u'>')
            f.cierra << f.sinComentarios.size();
        else if (c == u':')
            f.dosPuntos << f.sinComentarios.size();
        f.sinComentarios += c;
    }
    if (comillas || comentario > 0)
        f.equilibrada = false;
    return f;
}

// The bare address a mailbox piece names, or empty when its shape is not "address" or "name <address>".
QString direccionDeTrozo(const QString& trozo)
{
    const Forma f = forma(trozo);
    if (!f.equilibrada || !f.dosPuntos.isEmpty())
        return {};
    if (f.abre.isEmpty() && f.cierra.isEmpty()) {
        const QString d = f.sinComentarios.trimmed();
        return direccionCorrecta(d) ? d : QString();
    }
    if (f.abre.size() != 1 || f.cierra.size() != 1 || f.cierra.first() < f.abre.first())
        return {};
    if (!f.sinComentarios.mid(f.cierra.first() + 1).trimmed().isEmpty())
        return {};
    const QString d = f.sinComentarios.mid(f.abre.first() + 1, f.cierra.first() - f.abre.first() - 1).trimmed();
    return direccionCorrecta(d) ? d : QString();
}

GMimeParserOptions* opcionesEstrictas()
{
    GMimeParserOptions* o = g_mime_parser_options_new();
    g_mime_parser_options_set_address_compliance_mode(o, GMIME_RFC_COMPLIANCE_STRICT);
    g_mime_parser_options_set_allow_addresses_without_domain(o, FALSE);
    return o;
}

// Adds the mailboxes of a parsed GMime list; false when it holds anything but mailboxes (and, at the top,
// one group of mailboxes) or when GMime read a different address than the one the piece shows.
bool anadirBuzones(InternetAddressList* lista, const QStringList& esperadas, QList<Buzon>& salida, bool enGrupo)
{
    for (int i = 0; i < internet_address_list_length(lista); ++i) {
        InternetAddress* a = internet_address_list_get_address(lista, i);
        if (INTERNET_ADDRESS_IS_GROUP(a)) {
            if (enGrupo ||
                !anadirBuzones(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a)), esperadas, salida, true))
                return false;
            continue;
        }
        if (!INTERNET_ADDRESS_IS_MAILBOX(a))
            return false;
        const QString direccion = QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)));
        if (!esperadas.contains(direccion))
            return false;
        const char* nombre = internet_address_get_name(a);
        salida << Buzon{nombre ? QString::fromUtf8(nombre).simplified() : QString(), direccion};
    }
    return true;
}

// One piece of the field: a mailbox or a group of mailboxes. Empty `error` on success.
bool analizarTrozo(const QString& trozo, QList<Buzon>& salida)
{
    QStringList esperadas;
    const Forma f = forma(trozo);
    if (!f.equilibrada)
        return false;
    const bool esGrupo = !f.dosPuntos.isEmpty() && (f.abre.isEmpty() || f.dosPuntos.first() < f.abre.first());
    if (esGrupo) {
        const QString s = f.sinComentarios.trimmed();
        if (!s.endsWith(u';') || f.dosPuntos.size() != 1)
            return false;
        const QString miembros = s.mid(f.dosPuntos.first() + 1).chopped(1);
        qsizetype cuantos = 0;
        for (const QString& m : trozos(miembros)) {
            if (m.trimmed().isEmpty())
                continue;
            const QString d = direccionDeTrozo(m);
            if (d.isEmpty())
                return false;
            esperadas << d;
            ++cuantos;
        }
        if (cuantos == 0)
            return true; // an empty group names nobody
    } else {
        const QString d = direccionDeTrozo(trozo);
        if (d.isEmpty())
            return false;
        esperadas << d;
    }
    GMimeParserOptions* opciones = opcionesEstrictas();
    Ref<InternetAddressList> lista(internet_address_list_parse(opciones, trozo.toUtf8().constData()));
    g_mime_parser_options_free(opciones);
    if (!lista.get() || internet_address_list_length(lista.get()) != 1)
        return false;
    QList<Buzon> leidos;
    if (!anadirBuzones(lista.get(), esperadas, leidos, false) || leidos.size() != esperadas.size())
        return false;
    salida << leidos;
    return true;
}

struct Lectura
{
    const QByteArray* datos;
    qsizetype posicion = 0;
};

size_t leer(char* destino, size_t tamano, size_t cuantos, void* usuario)
{
    auto* lectura = static_cast<Lectura*>(usuario);
    const qsizetype quedan = lectura->datos->size() - lectura->posicion;
    const qsizetype n = qMin<qsizetype>(quedan, qsizetype(tamano * cuantos));
    memcpy(destino, lectura->datos->constData() + lectura->posicion, size_t(n));
    lectura->posicion += n;
    return size_t(n);
}

struct Espera
{
    const OpcionesCorreo* opciones;
    std::chrono::steady_clock::time_point limite;
};

// curl calls this about once a second while the message is on its way: past the limit it gives up.
int enEspera(void* usuario, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* espera = static_cast<const Espera*>(usuario);
    if (espera->opciones->esperando)
        espera->opciones->esperando();
    return std::chrono::steady_clock::now() >= espera->limite ? 1 : 0;
}

QByteArray leerFichero(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The authorities curl trusts: the system's bundle and folder, plus SSL_CERT_FILE and the account's file.
struct Autoridades
{
    QByteArray extra; // PEM text of SSL_CERT_FILE and the account's file
    QByteArray fichero;
    QByteArray carpeta;
};

Autoridades autoridades(const QString& certificado)
{
    Autoridades a;
    if (CURL* curl = curl_easy_init()) {
        char* defecto = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_CAINFO, &defecto) == CURLE_OK && defecto)
            a.fichero = defecto;
        defecto = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_CAPATH, &defecto) == CURLE_OK && defecto)
            a.carpeta = defecto;
        curl_easy_cleanup(curl);
    }
    if (a.carpeta.isEmpty() && QFileInfo(QStringLiteral("/etc/ssl/certs")).isDir())
        a.carpeta = "/etc/ssl/certs";
    const QByteArray entorno = qgetenv("SSL_CERT_FILE");
    if (!entorno.isEmpty())
        a.extra += leerFichero(QFile::decodeName(entorno)) + "\n";
    if (!certificado.trimmed().isEmpty())
        a.extra += leerFichero(certificado.trimmed()) + "\n";
    return a;
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
    case CURLE_ABORTED_BY_CALLBACK:
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

ResultadoCorreo fallo(FalloCorreo f, const QString& detalle = {})
{
    ResultadoCorreo r;
    r.fallo = f;
    r.detalle = detalle;
    return r;
}

GMimePart* parteTexto(const QString& texto)
{
    // Built from a stream labelled UTF-8: set_text would pick ISO-8859-1 for Spanish text.
    QString lf = texto;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QByteArray utf8 = lf.toUtf8();
    GMimeTextPart* parte = g_mime_text_part_new_with_subtype("plain");
    Ref<GMimeStream> flujo(g_mime_stream_mem_new_with_buffer(utf8.constData(), size_t(utf8.size())));
    Ref<GMimeDataWrapper> datos(g_mime_data_wrapper_new_with_stream(flujo.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(GMIME_PART(parte), datos.get());
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(parte), "charset", "utf-8");
    g_mime_part_set_content_encoding(GMIME_PART(parte), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    return GMIME_PART(parte);
}

GMimePart* parteAnexo(const QString& nombre, const QByteArray& bytes)
{
    const bool pdf = nombre.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    GMimePart* parte = g_mime_part_new_with_type("application", pdf ? "pdf" : "octet-stream");
    Ref<GMimeStream> flujo(g_mime_stream_mem_new_with_buffer(bytes.constData(), size_t(bytes.size())));
    Ref<GMimeDataWrapper> datos(g_mime_data_wrapper_new_with_stream(flujo.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(parte, datos.get());
    g_mime_object_set_disposition(GMIME_OBJECT(parte), "attachment");
    g_mime_part_set_filename(parte, nombre.toUtf8().constData());
    g_mime_part_set_content_encoding(parte, GMIME_CONTENT_ENCODING_BASE64);
    return parte;
}

} // namespace

QStringList ListaDirecciones::direcciones() const
{
    QStringList d;
    for (const Buzon& b : buzones)
        d << b.direccion;
    return d;
}

ListaDirecciones analizarDirecciones(const QString& lista)
{
    usarGMime();
    ListaDirecciones r;
    // GMime reads past line breaks and stray characters; a field holding any is refused whole.
    if (tieneInvisibles(lista)) {
        r.error = lista;
        return r;
    }
    for (const QString& trozo : trozos(lista)) {
        if (trozo.trimmed().isEmpty())
            continue;
        if (!analizarTrozo(trozo, r.buzones)) {
            r.buzones.clear();
            r.error = trozo.trimmed();
            return r;
        }
    }
    return r;
}

QString textoVisible(const QString& texto)
{
    QString salida;
    salida.reserve(texto.size());
    for (const char32_t c : texto.toUcs4()) {
        if (c == u'\n')
            salida += QStringLiteral("\\n");
        else if (c == u'\r')
            salida += QStringLiteral("\\r");
        else if (c == u'\t')
            salida += QStringLiteral("\\t");
        else if (esInvisible(c))
            salida += QStringLiteral("\\u") + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
        else
            salida += QString::fromUcs4(&c, 1);
    }
    return salida;
}

QString ResultadoCorreo::causa() const
{
    switch (fallo) {
    case FalloCorreo::Ninguno:
        return {};
    case FalloCorreo::PuertoNoValido:
        return QStringLiteral("puerto no válido: «%1»").arg(textoVisible(detalle));
    case FalloCorreo::SinDestinatario:
        return QStringLiteral("sin dirección de destino");
    case FalloCorreo::DireccionNoValida:
        return QStringLiteral("dirección no válida: %1").arg(textoVisible(detalle));
    case FalloCorreo::RemitenteNoValido:
        return QStringLiteral("remitente no válido: %1").arg(textoVisible(detalle));
    case FalloCorreo::ServidorNoValido:
        return QStringLiteral("servidor no válido: «%1»").arg(textoVisible(detalle));
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
    return detalle.isEmpty() ? QStringLiteral("error de envío")
                             : QStringLiteral("error de envío: ") + textoVisible(detalle);
}

int puertoCorreo(const QString& texto)
{
    bool ok = false;
    const int puerto = texto.trimmed().toInt(&ok);
    return ok && puerto >= 1 && puerto <= 65535 ? puerto : 0;
}

MensajeCompuesto componerCorreo(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje)
{
    usarGMime();
    MensajeCompuesto c;
    const ListaDirecciones de = analizarDirecciones(cuenta.direccionEnvio);
    if (!de.valida() || de.buzones.size() != 1 || tieneInvisibles(cuenta.nombreEnvio)) {
        c.fallo = fallo(FalloCorreo::RemitenteNoValido,
                        !de.valida() || de.buzones.size() != 1 ? cuenta.direccionEnvio : cuenta.nombreEnvio);
        return c;
    }
    const ListaDirecciones para = analizarDirecciones(mensaje.destinatarios);
    if (!para.valida()) {
        c.fallo = fallo(FalloCorreo::DireccionNoValida, para.error);
        return c;
    }
    if (para.buzones.isEmpty()) {
        c.fallo = fallo(FalloCorreo::SinDestinatario);
        return c;
    }
    QByteArray anexo;
    if (!mensaje.adjunto.isEmpty()) {
        if (mensaje.datosAdjunto) {
            anexo = *mensaje.datosAdjunto;
        } else {
            QFile f(mensaje.adjunto);
            if (!f.open(QIODevice::ReadOnly)) {
                c.fallo = fallo(FalloCorreo::SinAnexo, f.errorString());
                return c;
            }
            anexo = f.readAll();
        }
    }
    const Buzon remitente = de.buzones.first();
    const QString nombreRemitente =
        cuenta.nombreEnvio.trimmed().isEmpty() ? remitente.nombre : cuenta.nombreEnvio.simplified();
    c.remitente = remitente.direccion;
    c.destinos = para.direcciones();

    Ref<GMimeMessage> m(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(m.get(), GMIME_ADDRESS_TYPE_FROM, nombreRemitente.toUtf8().constData(),
                               remitente.direccion.toUtf8().constData());
    for (const Buzon& b : para.buzones) {
        const QByteArray nombre = b.nombre.toUtf8();
        g_mime_message_add_mailbox(m.get(), GMIME_ADDRESS_TYPE_TO, nombre.isEmpty() ? nullptr : nombre.constData(),
                                   b.direccion.toUtf8().constData());
    }
    g_mime_message_set_subject(m.get(), mensaje.asunto.simplified().toUtf8().constData(), "utf-8");
    GDateTime* ahora = g_date_time_new_now_local();
    g_mime_message_set_date(m.get(), ahora);
    g_date_time_unref(ahora);
    char* id = g_mime_utils_generate_message_id(remitente.direccion.section(u'@', 1).toUtf8().constData());
    g_mime_message_set_message_id(m.get(), id);
    c.messageId = QStringLiteral("<") + QString::fromUtf8(id) + QStringLiteral(">");
    g_free(id);
    g_mime_object_set_header(GMIME_OBJECT(m.get()), "X-Mailer", "Quorvel", nullptr);

    Ref<GMimePart> texto(parteTexto(mensaje.texto));
    if (mensaje.adjunto.isEmpty()) {
        g_mime_message_set_mime_part(m.get(), GMIME_OBJECT(texto.get()));
    } else {
        Ref<GMimeMultipart> mixta(g_mime_multipart_new_with_subtype("mixed"));
        Ref<GMimePart> fichero(parteAnexo(QFileInfo(mensaje.adjunto).fileName(), anexo));
        g_mime_multipart_add(mixta.get(), GMIME_OBJECT(texto.get()));
        g_mime_multipart_add(mixta.get(), GMIME_OBJECT(fichero.get()));
        g_mime_message_set_mime_part(m.get(), GMIME_OBJECT(mixta.get()));
    }

    GMimeFormatOptions* formato = g_mime_format_options_clone(nullptr);
    g_mime_format_options_set_newline_format(formato, GMIME_NEWLINE_FORMAT_DOS);
    Ref<GMimeStream> salida(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(m.get()), formato, salida.get());
    g_mime_format_options_free(formato);
    const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(salida.get()));
    c.datos = QByteArray(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
    return c;
}

ResultadoCorreo enviarCorreo(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje, const OpcionesCorreo& opciones)
{
    const int puerto = puertoCorreo(cuenta.puerto);
    if (puerto == 0)
        return fallo(FalloCorreo::PuertoNoValido, cuenta.puerto);
    const QString host = cuenta.host.trimmed();
    static thread_local const QRegularExpression raro(QStringLiteral("[\\s/@?#\\\\\\[\\]]"));
    if (host.isEmpty() || tieneInvisibles(host) || host.contains(raro))
        return fallo(FalloCorreo::ServidorNoValido, cuenta.host);
    const MensajeCompuesto compuesto = componerCorreo(cuenta, mensaje);
    if (!compuesto.fallo.ok())
        return compuesto.fallo;

    CURL* curl = curl_easy_init();
    if (!curl)
        return fallo(FalloCorreo::Otro);
    protegerSecretos();
    Lectura lectura{&compuesto.datos};
    const QByteArray url = "smtps://" + (host.contains(u':') ? "[" + host.toUtf8() + "]" : host.toUtf8()) + ":" +
                           QByteArray::number(puerto);
    const QByteArray de = "<" + compuesto.remitente.toLatin1() + ">";
    curl_slist* para = nullptr;
    for (const QString& d : compuesto.destinos)
        para = curl_slist_append(para, ("<" + d.toLatin1() + ">").constData());
    QByteArray usuario = cuenta.usuario.toUtf8();
    QByteArray clave = cuenta.password.toUtf8();
    Autoridades ca = autoridades(cuenta.certificado);
    char error[CURL_ERROR_SIZE] = {};
    Espera espera{&opciones, std::chrono::steady_clock::now() + std::chrono::seconds(opciones.segundosTotal)};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(opciones.segundosConexion));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(opciones.segundosTotal));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(opciones.segundosTotal));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!ca.extra.trimmed().isEmpty()) {
        curl_blob blob{ca.extra.data(), size_t(ca.extra.size()), CURL_BLOB_NOCOPY};
        curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
        if (!ca.fichero.isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, ca.fichero.constData());
        if (!ca.carpeta.isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAPATH, ca.carpeta.constData());
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
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(compuesto.datos.size()));
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &enEspera);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &espera);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode codigo = curl_easy_perform(curl);
    long respuesta = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &respuesta);
    const QString texto = QString::fromUtf8(error[0] ? error : curl_easy_strerror(codigo));
    // Cleaning up sends QUIT and then waits for its answer outside every limit we set (a server that
    // never answers cost two minutes more). The outcome is known by now: QUIT still goes out, but the
    // socket's reading side is closed first, so the wait ends at once.
    curl_socket_t conexion = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &conexion) == CURLE_OK && conexion != CURL_SOCKET_BAD)
        shutdown(conexion, SHUT_RD);
    curl_easy_cleanup(curl);
    curl_slist_free_all(para);
    borrarSecreto(clave);
    borrarSecreto(usuario);

    ResultadoCorreo r;
    r.fallo = falloDe(codigo, respuesta, texto);
    r.messageId = compuesto.messageId;
    if (!r.ok())
        r.detalle = texto;
    return r;
}
