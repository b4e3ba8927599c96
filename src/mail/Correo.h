#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The sending account of the settings row.
struct CuentaCorreo
{
    QString nombreEnvio;      // e-nombreenvio
    QString direccionEnvio;   // e-direccionenvio
    QString host;             // e-host
    QString puerto;           // e-puerto, decimal digits
    QString usuario;          // e-usuario; empty: no authentication
    QString password;         // e-password
    QString certificado = {}; // e-certificado: a PEM file of authorities trusted besides the system's; may be empty
};

struct MensajeCorreo
{
    QString destinatarios; // an address list as the centre keeps it: "a@b.es, \"García, Ana\" <c@d.es>"
    QString asunto;
    QString texto;   // lines separated by '\n'
    QString adjunto; // full path of the file to attach; empty for none
    // The file's bytes when the caller has read them already (so what is sent is what it hashed).
    std::optional<QByteArray> datosAdjunto = std::nullopt;
};

// Why a message did not go out, in words the user can act on.
enum class FalloCorreo {
    Ninguno,
    PuertoNoValido,
    SinDestinatario,
    DireccionNoValida,
    RemitenteNoValido,
    ServidorNoValido,
    SinAnexo,
    SinConexion,
    ConexionSegura,
    Certificado,
    Credenciales,
    ExigeUsuario,
    Remitente,
    Destinatario,
    MensajeRechazado,
    TiempoAgotado,
    Otro
};

struct ResultadoCorreo
{
    FalloCorreo fallo = FalloCorreo::Ninguno;
    QString detalle;   // the library's own text or the refused field, for whoever debugs; never the password
    QString messageId; // "<...@dominio>", set once the message was composed

    bool ok() const { return fallo == FalloCorreo::Ninguno; }
    // "no conexión", "certificado no válido", ... ; empty when the message went out. Data in it is made visible.
    QString causa() const;
};

struct OpcionesCorreo
{
    int segundosConexion = 15; // TCP, TLS handshake, greeting, EHLO and AUTH
    int segundosTotal = 60;    // the whole message, QUIT included, whatever the server does
    // Called now and then while a message is on its way, so a window can repaint.
    std::function<void()> esperando;
};

// One mailbox of an address list: the display name decoded, the bare address in ASCII.
struct Buzon
{
    QString nombre;
    QString direccion;
    bool operator==(const Buzon&) const = default;
};

// An address list parsed as RFC 5322 (quoted names with commas, angle brackets, groups), with ';' also taken
// as a separator between addresses. When any part is wrong, `error` holds that part as written and no
// mailbox is given: a field is used whole or not at all.
struct ListaDirecciones
{
    QList<Buzon> buzones;
    QString error;
    bool valida() const { return error.isEmpty(); }
    // The bare addresses, in order.
    QStringList direcciones() const;
};
ListaDirecciones analizarDirecciones(const QString& lista);

// The text with line breaks, tabs and other control or separator characters written as \n, \r, \t or
// \u2028, so a value from the data can never start a line of its own in a log.
QString textoVisible(const QString& texto);

// Parses the port text as the settings keep it; 0 when it is not an integer in 1..65535.
int puertoCorreo(const QString& texto);

// The finished message (headers, text, attachment) as it goes over the wire, with CRLF line ends.
// Public so the composition can be checked without a server.
struct MensajeCompuesto
{
    QByteArray datos;
    QString messageId;
    QString remitente;     // bare sender address, for MAIL FROM
    QStringList destinos;  // bare recipient addresses, for RCPT TO
    ResultadoCorreo fallo; // set when the message cannot be composed
};
MensajeCompuesto componerCorreo(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje);

// Sets up libcurl and GMime once for the process. Call it on one thread before messages are sent on several;
// each thread then needs only its own handles and objects.
void prepararCorreoEnHilos();

// Sends one message over implicit TLS (smtps), one connection per message. The server certificate is checked
// against the system's authorities, the PEM file named by SSL_CERT_FILE when set, and the account's own file.
ResultadoCorreo enviarCorreo(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje,
                             const OpcionesCorreo& opciones = {});
