#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The sending account of the settings row.
struct CuentaCorreo
{
    QString nombreEnvio;    // e-nombreenvio
    QString direccionEnvio; // e-direccionenvio
    QString host;           // e-host
    QString puerto;         // e-puerto, decimal digits
    QString usuario;        // e-usuario; empty: no authentication
    QString password;       // e-password
};

struct MensajeCorreo
{
    QString destinatarios; // an address list as the centre keeps it: "a@b.es, c@d.es"
    QString asunto;
    QString texto;   // lines separated by '\n'
    QString adjunto; // full path of the file to attach; empty for none
};

// Why a message did not go out, in words the user can act on.
enum class FalloCorreo {
    Ninguno,
    PuertoNoValido,
    SinDestinatario,
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
    QString detalle; // the library's own text, for whoever debugs; never holds the password

    bool ok() const { return fallo == FalloCorreo::Ninguno; }
    // "no conexión", "certificado no válido", ... ; empty when the message went out.
    QString causa() const;
};

struct OpcionesCorreo
{
    int segundosConexion = 15; // TCP, TLS handshake, greeting, EHLO and AUTH
    int segundosTotal = 60;    // the whole message
    // Called now and then while a message is on its way, so a window can repaint.
    std::function<void()> esperando;
};

// Parses the port text as the settings keep it; 0 when it is not an integer in 1..65535.
int puertoCorreo(const QString& texto);
// The bare addresses of an address list ("Nombre <a@b.es>; c@d.es" -> a@b.es, c@d.es).
QStringList direccionesDe(const QString& lista);

// Sends one message over implicit TLS (smtps), one connection per message. The server certificate is checked
// against the system's authorities plus the PEM file named by SSL_CERT_FILE, when set.
ResultadoCorreo enviarCorreo(const CuentaCorreo& cuenta, const MensajeCorreo& mensaje,
                             const OpcionesCorreo& opciones = {});
