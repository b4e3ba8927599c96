#include "mail/Correo.h"
#include "support/ServidorSmtps.h"
#include "support/TempDir.h"
#include "support/Textos.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTimeZone>
#include <arpa/inet.h>
#include <ctime>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

} // namespace

void PrintTo(const Buzon& b, std::ostream* os)
{
    *os << "{" << b.nombre.toStdString() << " | " << b.direccion.toStdString() << "}";
}

namespace {

// A loopback port that was free a moment ago: nobody listens there.
int puertoCerrado()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &largo);
    close(s);
    return ntohs(a.sin_port);
}

// A real server for each case; the tests fail, not skip, when it cannot start on a machine that has it.
class CorreoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString falta = ServidorSmtps::faltaAlgo();
        if (!falta.isEmpty())
            GTEST_SKIP() << falta.toStdString();
    }

    void arrancar(ServidorSmtps& s)
    {
        const QString error = s.arrancar();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    }

    CuentaCorreo cuenta(const ServidorSmtps& s) const
    {
        return {QStringLiteral("Gestoría Álamo, S.L."),
                QStringLiteral("envios@gestoria-alamo.es"),
                QStringLiteral("127.0.0.1"),
                QString::number(s.puerto()),
                s.usuario(),
                s.clave()};
    }

    TempDir m_dir;
};

TEST_F(CorreoTest, MessageArrivesDecodedWithItsHeadersRecipientsAndTheFileByteForByte)
{
    ServidorSmtps servidor;
    arrancar(servidor);
    const QString pdf = m_dir.file(QStringLiteral("Quorvel_0102_201905.pdf"));
    QByteArray bytes("%PDF-1.4\n");
    for (int i = 0; i < 5000; ++i)
        bytes.append(char(i * 7 % 256)); // every byte value, line ends and dots included
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    // A subject long enough to need several encoded words, with accents in every one.
    const QString asunto =
        QStringLiteral("Envío hojas de control horario mensual — año 2019, mayo; Peñíscola, Cádiz y Ávila");
    const QString texto = QStringLiteral("Adjunto se envía el pdf.\n\n. Línea con punto al principio\nUn saludo.");
    const ResultadoCorreo r =
        enviarCorreo(cuenta(servidor),
                     {QStringLiteral("centro@ejemplo.es; Encargada Ñúñez <encargada@ejemplo.es>"), asunto, texto, pdf});
    ASSERT_TRUE(r.ok()) << r.causa().toStdString() << " " << r.detalle.toStdString();

    const QList<QJsonObject> recibidos = servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 1);
    const QJsonObject& m = recibidos.first();
    EXPECT_EQ(m.value(QStringLiteral("de")).toString(), QStringLiteral("envios@gestoria-alamo.es"));
    EXPECT_EQ(m.value(QStringLiteral("para")).toArray(),
              (QJsonArray{QStringLiteral("centro@ejemplo.es"), QStringLiteral("encargada@ejemplo.es")}));
    EXPECT_EQ(m.value(QStringLiteral("usuario")).toString(), QStringLiteral("quorvel"));
    EXPECT_EQ(m.value(QStringLiteral("asunto")).toString(), asunto);
    EXPECT_EQ(m.value(QStringLiteral("cabecera_de")).toString(),
              QStringLiteral("\"Gestoría Álamo, S.L.\" <envios@gestoria-alamo.es>"));
    EXPECT_FALSE(m.value(QStringLiteral("fecha")).toString().isEmpty());
    EXPECT_TRUE(m.value(QStringLiteral("id")).toString().endsWith(QStringLiteral("@gestoria-alamo.es>")));
    EXPECT_EQ(m.value(QStringLiteral("texto")).toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")), texto);
    const QJsonArray anexos = m.value(QStringLiteral("anexos")).toArray();
    ASSERT_EQ(anexos.size(), 1);
    const QJsonObject anexo = anexos.first().toObject();
    EXPECT_EQ(anexo.value(QStringLiteral("nombre")).toString(), QStringLiteral("Quorvel_0102_201905.pdf"));
    EXPECT_EQ(anexo.value(QStringLiteral("tipo")).toString(), QStringLiteral("application/pdf"));
    EXPECT_EQ(contenido(anexo.value(QStringLiteral("ruta")).toString()), bytes);

    // Two messages never share an identifier.
    ASSERT_TRUE(enviarCorreo(cuenta(servidor), {QStringLiteral("centro@ejemplo.es"), asunto, texto, {}}).ok());
    ASSERT_EQ(servidor.mensajes().size(), 2);
    EXPECT_NE(servidor.mensajes().at(1).value(QStringLiteral("id")), m.value(QStringLiteral("id")));
    EXPECT_TRUE(servidor.mensajes().at(1).value(QStringLiteral("anexos")).toArray().isEmpty());
}

TEST_F(CorreoTest, RefusalsByTheServerSayWhy)
{
    ServidorSmtps servidor;
    arrancar(servidor);
    const MensajeCorreo mensaje{
        QStringLiteral("centro@ejemplo.es"), QStringLiteral("Prueba"), QStringLiteral("Hola"), {}};
    const auto causa = [&](const CuentaCorreo& c, const MensajeCorreo& m) {
        QElapsedTimer reloj;
        reloj.start();
        const ResultadoCorreo r = enviarCorreo(c, m);
        EXPECT_LT(reloj.elapsed(), 10000);
        // The password is never part of what a failure reports.
        EXPECT_FALSE(r.detalle.contains(c.password.isEmpty() ? QStringLiteral("\x01") : c.password));
        return r.causa();
    };

    CuentaCorreo malaClave = cuenta(servidor);
    malaClave.password = QStringLiteral("no es esta");
    EXPECT_EQ(causa(malaClave, mensaje), QStringLiteral("usuario o contraseña rechazados"));

    CuentaCorreo sinUsuario = cuenta(servidor);
    sinUsuario.usuario.clear();
    EXPECT_EQ(causa(sinUsuario, mensaje), QStringLiteral("el servidor exige usuario y contraseña"));

    MensajeCorreo rechazado = mensaje;
    rechazado.destinatarios = QStringLiteral("rechaza@ejemplo.es");
    EXPECT_EQ(causa(cuenta(servidor), rechazado), QStringLiteral("destinatario rechazado"));

    for (const QString& puerto : {QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("70000"), QString()}) {
        CuentaCorreo malPuerto = cuenta(servidor);
        malPuerto.puerto = puerto;
        EXPECT_EQ(causa(malPuerto, mensaje), QStringLiteral("puerto no válido: «%1»").arg(puerto));
    }
    EXPECT_TRUE(servidor.mensajes().isEmpty());
}

TEST_F(CorreoTest, WithoutUserNameNothingIsAuthenticated)
{
    ServidorSmtps abierto(ServidorSmtps::Modo::Tls, QString(), QString());
    arrancar(abierto);
    CuentaCorreo c = cuenta(abierto);
    ASSERT_TRUE(c.usuario.isEmpty());
    const ResultadoCorreo r =
        enviarCorreo(c, {QStringLiteral("centro@ejemplo.es"), QStringLiteral("Prueba"), QStringLiteral("Hola"), {}});
    EXPECT_TRUE(r.ok()) << r.causa().toStdString();
    ASSERT_EQ(abierto.mensajes().size(), 1);
    EXPECT_TRUE(abierto.mensajes().first().value(QStringLiteral("usuario")).isNull());
}

TEST_F(CorreoTest, OnlyAVerifiedTlsServerGetsTheMessage)
{
    const MensajeCorreo mensaje{
        QStringLiteral("centro@ejemplo.es"), QStringLiteral("Prueba"), QStringLiteral("Hola"), {}};
    OpcionesCorreo corto;
    corto.segundosConexion = 2;
    corto.segundosTotal = 4;
    const auto causa = [&](const CuentaCorreo& c, qint64 maximo) {
        QElapsedTimer reloj;
        reloj.start();
        const ResultadoCorreo r = enviarCorreo(c, mensaje, corto);
        EXPECT_LT(reloj.elapsed(), maximo);
        return r.causa();
    };

    ServidorSmtps plano(ServidorSmtps::Modo::Plano);
    arrancar(plano);
    EXPECT_EQ(causa(cuenta(plano), 4000),
              QStringLiteral("el servidor no acepta conexión segura (SSL/TLS) en ese puerto"));

    ServidorSmtps ajeno(ServidorSmtps::Modo::NoConfiable);
    arrancar(ajeno);
    EXPECT_EQ(causa(cuenta(ajeno), 4000), QStringLiteral("certificado no válido"));
    EXPECT_TRUE(ajeno.mensajes().isEmpty());

    // The name in the certificate must be the host's: "localhost" is in it, another name for the same
    // address is not.
    ServidorSmtps bueno;
    arrancar(bueno);
    CuentaCorreo porNombre = cuenta(bueno);
    porNombre.host = QStringLiteral("localhost");
    EXPECT_EQ(causa(porNombre, 4000), QString());

    // Without the extra authority the system's alone do not know the test server.
    const QByteArray propia = qgetenv("SSL_CERT_FILE");
    qunsetenv("SSL_CERT_FILE");
    EXPECT_EQ(causa(cuenta(bueno), 4000), QStringLiteral("certificado no válido"));
    qputenv("SSL_CERT_FILE", propia);
    EXPECT_EQ(bueno.mensajes().size(), 1);

    ServidorSmtps mudo(ServidorSmtps::Modo::Mudo);
    arrancar(mudo);
    EXPECT_EQ(causa(cuenta(mudo), 5000), QStringLiteral("tiempo agotado"));

    CuentaCorreo caido = cuenta(bueno);
    caido.puerto = QString::number(puertoCerrado());
    EXPECT_EQ(causa(caido, 4000), QStringLiteral("no conexión"));
}

// The server parses every message with Python's strict policy and refuses it (554) when anything is
// malformed or its Date is more than a minute off; the offset it read must be the sender's own.
TEST_F(CorreoTest, EveryMessageIsStrictlyWellFormedWithItsZonesOffsetInEachZone)
{
    ServidorSmtps servidor;
    arrancar(servidor);
    const QString pdf = m_dir.file(QStringLiteral("Quorvel_0101_202612.pdf"));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(40 * 1024, '\n'));
    f.close();
    const QByteArray zonaAntes = qgetenv("TZ");
    struct Caso
    {
        const char* zona;
        int segundos;
    };
    // December: Madrid is an hour ahead of UTC.
    const QDateTime ahora = QDateTime::currentDateTimeUtc();
    const int madrid = QTimeZone("Europe/Madrid").offsetFromUtc(ahora);
    for (const Caso& caso : {Caso{"Europe/Madrid", madrid}, Caso{"UTC", 0}}) {
        qputenv("TZ", caso.zona);
        tzset();
        const ResultadoCorreo r = enviarCorreo(
            cuenta(servidor), {QStringLiteral("\"García, Ana\" <ana@x.es>; Jefe de Obra <jefe@x.es>, c@x.es"),
                               QStringLiteral("Envío — año"), QStringLiteral("Línea ñ\n\n. punto\nfin"), pdf});
        EXPECT_TRUE(r.ok()) << caso.zona << ": " << r.causa().toStdString() << " "
                            << servidor.malFormados().join(u'\n').toStdString();
    }
    if (zonaAntes.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zonaAntes);
    tzset();
    EXPECT_TRUE(servidor.malFormados().isEmpty()) << servidor.malFormados().join(u'\n').toStdString();
    const QList<QJsonObject> recibidos = servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 2);
    EXPECT_EQ(recibidos.at(0).value(QStringLiteral("fecha_zona")).toInt(), madrid)
        << recibidos.at(0).value(QStringLiteral("fecha")).toString().toStdString();
    EXPECT_EQ(recibidos.at(1).value(QStringLiteral("fecha_zona")).toInt(), 0)
        << recibidos.at(1).value(QStringLiteral("fecha")).toString().toStdString();
    const QJsonObject& m = recibidos.first();
    EXPECT_EQ(m.value(QStringLiteral("para")).toArray(),
              (QJsonArray{QStringLiteral("ana@x.es"), QStringLiteral("jefe@x.es"), QStringLiteral("c@x.es")}));
    EXPECT_EQ(m.value(QStringLiteral("cabecera_para")).toString(),
              QStringLiteral("\"García, Ana\" <ana@x.es>, Jefe de Obra <jefe@x.es>, c@x.es"));
    EXPECT_EQ(m.value(QStringLiteral("texto")).toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
              QStringLiteral("Línea ñ\n\n. punto\nfin"));
    const QStringList uno{QStringLiteral("MAIL FROM:<envios@gestoria-alamo.es>"), QStringLiteral("RCPT TO:<ana@x.es>"),
                          QStringLiteral("RCPT TO:<jefe@x.es>"), QStringLiteral("RCPT TO:<c@x.es>")};
    EXPECT_EQ(servidor.sobres(), uno + uno);
}

TEST_F(CorreoTest, AWrongSenderOrServerIsRefusedBeforeConnecting)
{
    ServidorSmtps servidor;
    arrancar(servidor);
    const MensajeCorreo mensaje{
        QStringLiteral("centro@ejemplo.es"), QStringLiteral("Prueba"), QStringLiteral("Hola"), {}};
    const std::pair<QString, QString> remitentes[] = {
        {QStringLiteral("oficina@x.es  Bcc: <otro@y.es>"), QString()},
        {QStringLiteral("oficina@x.es>\r\nRCPT TO:<otro@y.es"), QString()},
        {QStringLiteral("oficina@x.es, otra@x.es"), QString()},
        {QString(), QString()},
        {QStringLiteral("oficina@x.es"), QStringLiteral("Oficina\r\nBcc: otro@y.es")},
    };
    for (const auto& [direccion, nombre] : remitentes) {
        CuentaCorreo c = cuenta(servidor);
        c.direccionEnvio = direccion;
        if (!nombre.isEmpty())
            c.nombreEnvio = nombre;
        const ResultadoCorreo r = enviarCorreo(c, mensaje);
        EXPECT_EQ(r.fallo, FalloCorreo::RemitenteNoValido) << direccion.toStdString();
        EXPECT_FALSE(r.causa().contains(u'\n'));
    }
    EXPECT_EQ(enviarCorreo(cuenta(servidor), {QStringLiteral("a@x.es\nb@y.es"), QStringLiteral("P"), {}, {}}).causa(),
              QStringLiteral("dirección no válida: a@x.es\\nb@y.es"));
    CuentaCorreo host = cuenta(servidor);
    host.host = QStringLiteral("127.0.0.1\r\nQUIT");
    EXPECT_EQ(enviarCorreo(host, mensaje).causa(), QStringLiteral("servidor no válido: «127.0.0.1\\r\\nQUIT»"));
    EXPECT_TRUE(servidor.dialogo().isEmpty()) << servidor.dialogo().join(u'\n').toStdString();

    // A display name from the settings is encoded, never spliced.
    CuentaCorreo nombre = cuenta(servidor);
    nombre.nombreEnvio = QStringLiteral("Oficina <jefe@y.es>, \"Bcc\"");
    ASSERT_TRUE(enviarCorreo(nombre, mensaje).ok());
    EXPECT_EQ(servidor.sobres(), (QStringList{QStringLiteral("MAIL FROM:<envios@gestoria-alamo.es>"),
                                              QStringLiteral("RCPT TO:<centro@ejemplo.es>")}));
    EXPECT_EQ(servidor.mensajes().first().value(QStringLiteral("cabecera_de")).toString(),
              QStringLiteral("\"Oficina <jefe@y.es>, \\\"Bcc\\\"\" <envios@gestoria-alamo.es>"));
}

// Short limits here; the real 60 s is proved once by the stalled sending of EnvioPdfTest.
TEST_F(CorreoTest, NoServerHoldsAMessageLongerThanItsTime)
{
    OpcionesCorreo corto;
    corto.segundosConexion = 2;
    corto.segundosTotal = 4;
    const MensajeCorreo mensaje{
        QStringLiteral("centro@ejemplo.es"), QStringLiteral("Prueba"), QStringLiteral("Hola"), {}};
    const struct
    {
        ServidorSmtps::Modo modo;
        qint64 maximo;
        FalloCorreo fallo;
    } casos[] = {
        {ServidorSmtps::Modo::GoteoSaludo, 3500, FalloCorreo::TiempoAgotado},
        {ServidorSmtps::Modo::CallaDatos, 5500, FalloCorreo::TiempoAgotado},
        {ServidorSmtps::Modo::GoteoDatos, 5500, FalloCorreo::TiempoAgotado},
        {ServidorSmtps::Modo::CallaQuit, 5500,
         FalloCorreo::Ninguno}, // accepted: the silence after it costs nothing more
    };
    for (const auto& caso : casos) {
        ServidorSmtps servidor(caso.modo);
        arrancar(servidor);
        QElapsedTimer reloj;
        reloj.start();
        const ResultadoCorreo r = enviarCorreo(cuenta(servidor), mensaje, corto);
        EXPECT_LT(reloj.elapsed(), caso.maximo) << int(caso.modo);
        EXPECT_EQ(r.fallo, caso.fallo) << int(caso.modo) << " " << r.causa().toStdString();
    }
}

// The office's own authority given in the account is trusted besides the system's; the password's copies
// never reach a core file.
TEST_F(CorreoTest, TheAccountsOwnAuthorityIsTrustedAndThePasswordLeavesNoCore)
{
    ServidorSmtps servidor;
    arrancar(servidor);
    const QByteArray propia = qgetenv("SSL_CERT_FILE");
    qunsetenv("SSL_CERT_FILE");
    const MensajeCorreo mensaje{
        QStringLiteral("centro@ejemplo.es"), QStringLiteral("Prueba"), QStringLiteral("Hola"), {}};
    CuentaCorreo c = cuenta(servidor);
    EXPECT_EQ(enviarCorreo(c, mensaje).fallo, FalloCorreo::Certificado);
    c.certificado = QFile::decodeName(propia);
    const ResultadoCorreo r = enviarCorreo(c, mensaje);
    qputenv("SSL_CERT_FILE", propia);
    EXPECT_TRUE(r.ok()) << r.causa().toStdString() << " " << r.detalle.toStdString();
    EXPECT_EQ(servidor.mensajes().size(), 1);
    EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
}

TEST(CorreoDirecciones, AFieldIsAnAddressListOrIsRefusedWhole)
{
    const auto buzones = [](const QString& campo) {
        const ListaDirecciones l = analizarDirecciones(campo);
        EXPECT_TRUE(l.valida()) << campo.toStdString() << " -> " << l.error.toStdString();
        return l.buzones;
    };
    using B = QList<Buzon>;
    EXPECT_EQ(buzones(QStringLiteral("\"García, Ana\" <ana@x.es>")),
              (B{{QStringLiteral("García, Ana"), QStringLiteral("ana@x.es")}}));
    EXPECT_EQ(buzones(QStringLiteral(" a@x.es ,b@x.es;; c@x.es ;")),
              (B{{{}, QStringLiteral("a@x.es")}, {{}, QStringLiteral("b@x.es")}, {{}, QStringLiteral("c@x.es")}}));
    EXPECT_EQ(
        buzones(QStringLiteral("Encargada Ñúñez <e@x.es>; \"Pérez; Luis\" <l@x.es>, =?UTF-8?B?w4FsYW1v?= <z@x.es>")),
        (B{{QStringLiteral("Encargada Ñúñez"), QStringLiteral("e@x.es")},
           {QStringLiteral("Pérez; Luis"), QStringLiteral("l@x.es")},
           {QStringLiteral("Álamo"), QStringLiteral("z@x.es")}}));
    EXPECT_EQ(buzones(QStringLiteral("Equipo: a@x.es, Jefa <b@x.es>; c@x.es (oficina)")),
              (B{{{}, QStringLiteral("a@x.es")},
                 {QStringLiteral("Jefa"), QStringLiteral("b@x.es")},
                 {QStringLiteral("oficina"), QStringLiteral("c@x.es")}}));
    EXPECT_TRUE(buzones(QStringLiteral(" ; , ")).isEmpty());
    EXPECT_TRUE(buzones(QString()).isEmpty());
    EXPECT_TRUE(buzones(QStringLiteral("Nadie:;")).isEmpty());

    // Each refusal names the part that is wrong; a field with a line or control character is named whole.
    const std::pair<QString, QString> malas[] = {
        {QStringLiteral("a@x.es>\r\nRCPT TO:<b@y.es>"), QStringLiteral("a@x.es>\r\nRCPT TO:<b@y.es>")},
        {QStringLiteral("a@x.es>"), QStringLiteral("a@x.es>")},
        {QStringLiteral("<a@x.es> b@y.es"), QStringLiteral("<a@x.es> b@y.es")},
        {QStringLiteral("Ana <a@x.es> <b@y.es>"), QStringLiteral("Ana <a@x.es> <b@y.es>")},
        {QStringLiteral("Ana <a@x.es"), QStringLiteral("Ana <a@x.es")},
        {QStringLiteral("\"Ana <a@x.es>"), QStringLiteral("\"Ana <a@x.es>")},
        {QStringLiteral("a@x.es\x0b"), QStringLiteral("a@x.es\x0b")},
        {QStringLiteral("a@x.es\x0c, b@y.es"), QStringLiteral("a@x.es\x0c, b@y.es")},
        {QStringLiteral("a@x.es\u2028b@y.es"), QStringLiteral("a@x.es\u2028b@y.es")},
        {QStringLiteral("ñu@x.es"), QStringLiteral("ñu@x.es")},
        {QStringLiteral("oficina@x  Bcc: <b@y.es>"), QStringLiteral("oficina@x  Bcc: <b@y.es>")},
        {QStringLiteral("bien@x.es, mal"), QStringLiteral("mal")},
        {QStringLiteral("a@-x.es"), QStringLiteral("a@-x.es")},
        {QStringLiteral("Grupo: a@x.es, Otro: b@x.es;;"), QStringLiteral("Grupo: a@x.es, Otro: b@x.es;")},
    };
    for (const auto& [campo, error] : malas) {
        const ListaDirecciones l = analizarDirecciones(campo);
        EXPECT_EQ(l.error, error) << campo.toStdString();
        EXPECT_TRUE(l.buzones.isEmpty()) << campo.toStdString();
    }

    EXPECT_EQ(textoVisible(QStringLiteral("a\r\nb\tc\u2028d\x0b\u202Ee ñ")),
              QStringLiteral("a\\r\\nb\\tc\\u2028d\\u000B\\u202Ee ñ"));
    EXPECT_EQ(puertoCorreo(QStringLiteral(" 465 ")), 465);
    EXPECT_EQ(puertoCorreo(QStringLiteral("65536")), 0);
}

} // namespace
