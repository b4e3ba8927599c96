#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real SMTP server (python3-aiosmtpd) on a free loopback port, run as a child process for the life of
// the object. Its certificate is trusted through SSL_CERT_FILE, as a company's own authority would be.
class ServidorSmtps
{
public:
    enum class Modo {
        Tls,         // implicit TLS with the trusted certificate
        NoConfiable, // implicit TLS with a certificate nobody trusts
        Plano,       // plain SMTP on the port
        Mudo,        // accepts the connection and never says a word
        CallaDatos,  // takes the message and never answers its end
        GoteoSaludo, // greets one byte a second, without end
        GoteoDatos,  // answers the message one byte a second, without end
        CallaQuit,   // accepts the message, never answers QUIT
        Ligero       // implicit TLS, takes each message unread: measures the sender alone
    };

    // Empty when the packages the server needs are installed; otherwise which one is missing. Only then may a
    // test skip: a server that is installed but does not start fails the test.
    static QString faltaAlgo();
    // Creates the test authority once per process and points SSL_CERT_FILE at it.
    static void confiarEnCertificado();

    explicit ServidorSmtps(Modo modo = Modo::Tls, QString usuario = QStringLiteral("quorvel"),
                           QString clave = QStringLiteral("Clave secreta ñ"));
    ~ServidorSmtps();
    ServidorSmtps(const ServidorSmtps&) = delete;
    ServidorSmtps& operator=(const ServidorSmtps&) = delete;

    // Starts the server; empty on success, else what went wrong.
    QString arrancar();
    int puerto() const { return m_puerto; }
    QString usuario() const { return m_usuario; }
    QString clave() const { return m_clave; }
    // The accepted messages, in order of arrival.
    QList<QJsonObject> mensajes() const;
    // Every command line the server received, in order, as received (the message itself left out).
    QStringList dialogo() const;
    // The envelope commands (MAIL, RCPT) as received but for curl's SIZE parameter.
    QStringList sobres() const;
    // Why messages were refused as malformed: the strict parser's complaint, or a wrong Date.
    QStringList malFormados() const;
    void parar();

private:
    Modo m_modo;
    QString m_usuario;
    QString m_clave;
    QTemporaryDir m_buzon;
    std::unique_ptr<QProcess> m_proceso;
    int m_puerto = 0;
};
