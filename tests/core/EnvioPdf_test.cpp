#include "data/Constantes.h"
#include "data/Schema.h"
#include "data/TMD.h"
#include "mail/EnvioPdf.h"
#include "mail/RegistroEnvios.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/ServidorSmtps.h"
#include "support/TempDir.h"
#include "support/Textos.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <numeric>

namespace {

// The sample database with addresses on two centres and the account of a real loopback server.
class EnvioPdfTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString falta = ServidorSmtps::faltaAlgo();
        if (!falta.isEmpty())
            GTEST_SKIP() << falta.toStdString();
        const QString error = m_servidor.arrancar();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        e = fixture::crearEjemplo(db());
        correo(e.almacen.codcentro, QStringLiteral("almacen@alamo.es"));
        correo(e.oficinas.codcentro, QStringLiteral("oficinas@alamo.es, gerencia@alamo.es"));
        correo(e.obrador.codcentro, QString());
        Constantes c = leerConstantes(db());
        c.RutaPDF = m_carpeta;
        c.eNombreEnvio = QStringLiteral("Transportes Álamo");
        c.eDireccionEnvio = QStringLiteral("nominas@alamo.es");
        c.eHost = QStringLiteral("127.0.0.1");
        c.ePuerto = QString::number(m_servidor.puerto());
        c.eUsuario = m_servidor.usuario();
        c.ePassword = m_servidor.clave();
        c.eOK = true;
        grabarConstantes(db(), c);
        QDir().mkpath(m_carpeta);
    }

    store::Database& db() { return m_md.Quorvel(); }
    void correo(const QString& codcentro, const QString& email)
    {
        db().prepare(QStringLiteral("UPDATE centros SET email = ? WHERE codcentro = ?"))
            .bindAll(email, codcentro)
            .run();
    }
    QString pdf(const QString& nombre)
    {
        const QString ruta = QDir(m_carpeta).filePath(nombre);
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n% " + nombre.toUtf8() + "\n%%EOF\n");
        return ruta;
    }

    TempDir m_dir;
    TMD m_md{m_dir.file(QStringLiteral("Quorvel.abs"))};
    QString m_carpeta = m_dir.file(QStringLiteral("PDF"));
    ServidorSmtps m_servidor;
    fixture::Ejemplo e;
};

TEST_F(EnvioPdfTest, EachFileGoesToItsCentreAndEveryOtherCaseGetsItsLine)
{
    const QString almacen = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    const QString oficinas = pdf(QStringLiteral("Quorvel_%1_201905-201907.pdf").arg(e.oficinas.codcentro));
    pdf(QStringLiteral("Quorvel_blanco_201905.pdf"));
    pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.tiendaVacia.codcentro));
    pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.obrador.codcentro));
    pdf(QStringLiteral("Otro_0101_201905.pdf"));
    pdf(QStringLiteral("quorvel_0101_201905.PDF"));
    const QString borrado = pdf(QStringLiteral("Quorvel_%1_201906.pdf").arg(e.almacen.codcentro));

    QStringList nombres = ficherosPdf(m_carpeta);
    EXPECT_EQ(nombres, (QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro),
                                    QStringLiteral("Quorvel_%1_201906.pdf").arg(e.almacen.codcentro),
                                    QStringLiteral("Quorvel_%1_201905-201907.pdf").arg(e.oficinas.codcentro),
                                    QStringLiteral("Quorvel_%1_201905.pdf").arg(e.tiendaVacia.codcentro),
                                    QStringLiteral("Quorvel_%1_201905.pdf").arg(e.obrador.codcentro),
                                    QStringLiteral("Quorvel_blanco_201905.pdf")}));
    EXPECT_TRUE(ficherosPdf(m_dir.file(QStringLiteral("no-existe"))).isEmpty());
    EXPECT_TRUE(ficherosPdf(QString()).isEmpty());

    // This one is gone when its turn comes, as if someone tidied the folder meanwhile.
    nombres.move(1, nombres.size() - 1);
    ASSERT_TRUE(QFile::remove(borrado));
    const CuentaConstantes cuenta = leerCuenta(db());
    ASSERT_TRUE(cuenta.ok);
    EnvioPdf envio(db(), cuenta.cuenta);
    QStringList log;
    int enviados = 0;
    for (const QString& nombre : nombres) {
        const ResultadoFichero r = envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo);
        log << r.lineas;
        enviados += r.enviado;
    }
    EXPECT_EQ(log, (QStringList{
                       QStringLiteral("Envío a: %1  OK").arg(e.almacen.codcentro),
                       QStringLiteral("Envío a: %1  OK").arg(e.oficinas.codcentro),
                       QStringLiteral("Mail centro %1 vacío").arg(e.tiendaVacia.codcentro),
                       QStringLiteral("Mail centro %1 vacío").arg(e.obrador.codcentro),
                       QStringLiteral("No encuentro centro: blan"),
                       QStringLiteral("No encontrado el anexo: ") + borrado,
                   }));
    EXPECT_EQ(enviados, 2);

    const QList<QJsonObject> recibidos = m_servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 2);
    EXPECT_EQ(recibidos.at(0).value(QStringLiteral("para")).toArray(), QJsonArray{QStringLiteral("almacen@alamo.es")});
    EXPECT_EQ(recibidos.at(1).value(QStringLiteral("para")).toArray(),
              (QJsonArray{QStringLiteral("oficinas@alamo.es"), QStringLiteral("gerencia@alamo.es")}));
    for (int i = 0; i < 2; ++i) {
        const QJsonObject& m = recibidos.at(i);
        // The centre and the month in the subject, so a centre tells its months apart.
        EXPECT_EQ(
            m.value(QStringLiteral("asunto")).toString(),
            i == 0 ? QStringLiteral("Envío hojas de control horario mensual — %1 — mayo 2019").arg(e.almacen.codcentro)
                   : QStringLiteral("Envío hojas de control horario mensual — %1 — mayo 2019 a julio 2019")
                         .arg(e.oficinas.codcentro));
        EXPECT_EQ(m.value(QStringLiteral("texto")).toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  QStringLiteral("Adjunto se envía el pdf con el control de horario mensual.\n\nUn saludo."));
        const QJsonObject anexo = m.value(QStringLiteral("anexos")).toArray().first().toObject();
        const QString original = i == 0 ? almacen : oficinas;
        EXPECT_EQ(anexo.value(QStringLiteral("nombre")).toString(), QFileInfo(original).fileName());
        EXPECT_EQ(contenido(anexo.value(QStringLiteral("ruta")).toString()), contenido(original));
    }
}

TEST_F(EnvioPdfTest, AFailedMessageNamesCentreRecipientsPathAndCause)
{
    const QString ruta = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    CuentaConstantes cuenta = leerCuenta(db());
    cuenta.cuenta.password = QStringLiteral("equivocada");
    EXPECT_EQ(EnvioPdf(db(), cuenta.cuenta)
                  .enviarFichero(m_carpeta, QFileInfo(ruta).fileName(), kAsuntoCorreo, kTextoCorreo)
                  .lineas,
              QStringList{QStringLiteral("Error al enviar: %1 a almacen@alamo.es  %2 (usuario o contraseña rechazados)")
                              .arg(e.almacen.codcentro, ruta)});
    cuenta.cuenta.puerto = QStringLiteral("46five");
    const ResultadoFichero r =
        EnvioPdf(db(), cuenta.cuenta).enviarFichero(m_carpeta, QFileInfo(ruta).fileName(), kAsuntoCorreo, kTextoCorreo);
    EXPECT_FALSE(r.enviado);
    EXPECT_EQ(r.lineas,
              QStringList{QStringLiteral("Error al enviar: %1 a almacen@alamo.es  %2 (puerto no válido: «46five»)")
                              .arg(e.almacen.codcentro, ruta)});
    EXPECT_TRUE(m_servidor.mensajes().isEmpty());
}

TEST_F(EnvioPdfTest, EachCentreFieldGivesItsRecipientsOrItsRefusalAndNothingOfItReachesTheServer)
{
    const struct
    {
        const char* corto;
        QString email;
        QString linea; // %1: the centre's code
        QStringList rcpt;
    } casos[] = {
        {"A1",
         QStringLiteral("\"García, Ana\" <ana@x.es>"),
         QStringLiteral("Envío a: %1  OK"),
         {QStringLiteral("ana@x.es")}},
        {"A2",
         QStringLiteral("a@x.es, b@x.es; Ñoño Pérez <c@x.es>"),
         QStringLiteral("Envío a: %1  OK"),
         {QStringLiteral("a@x.es"), QStringLiteral("b@x.es"), QStringLiteral("c@x.es")}},
        {"A3",
         QStringLiteral("a@x>\r\nRCPT TO:<b@y.es>"),
         QStringLiteral("Dirección no válida en el centro %1: a@x>\\r\\nRCPT TO:<b@y.es>"),
         {}},
        {"A4",
         QStringLiteral("d@x.es, e@y.es> <f@y.es>"),
         QStringLiteral("Dirección no válida en el centro %1: e@y.es> <f@y.es>"),
         {}},
        {"A5", QStringLiteral("g@y.es\x0b"), QStringLiteral("Dirección no válida en el centro %1: g@y.es\\u000B"), {}},
        {"A6",
         QStringLiteral("h@y.es\u2028Envío a: 0101  OK"),
         QStringLiteral("Dirección no válida en el centro %1: h@y.es\\u2028Envío a: 0101  OK"),
         {}},
        {"A7", QStringLiteral("ñu@y.es"), QStringLiteral("Dirección no válida en el centro %1: ñu@y.es"), {}},
        {"A8", QStringLiteral(" ; , "), QStringLiteral("Mail centro %1 vacío"), {}},
    };
    QStringList esperadas;
    QStringList rcpt;
    QStringList log;
    const CuentaConstantes cuenta = leerCuenta(db());
    EnvioPdf envio(db(), cuenta.cuenta);
    for (const auto& caso : casos) {
        const auto c = fixture::centro(db(), e.empresa1, QString::fromLatin1(caso.corto), QStringLiteral("CENTRO"), 0,
                                       true, true, true, caso.email);
        const QString nombre = QFileInfo(pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(c.codcentro))).fileName();
        const ResultadoFichero r = envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo);
        log << r.lineas;
        esperadas << caso.linea.arg(c.codcentro);
        if (!caso.rcpt.isEmpty())
            rcpt << QStringLiteral("MAIL FROM:<nominas@alamo.es>");
        for (const QString& d : caso.rcpt)
            rcpt << QStringLiteral("RCPT TO:<%1>").arg(d);
    }
    EXPECT_EQ(log, esperadas);
    EXPECT_EQ(m_servidor.sobres(), rcpt);
    for (const QString& l : m_servidor.dialogo())
        EXPECT_FALSE(l.contains(QStringLiteral("y.es"))) << l.toStdString();
    EXPECT_TRUE(m_servidor.malFormados().isEmpty());
    const QList<QJsonObject> recibidos = m_servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 2);
    EXPECT_EQ(recibidos.at(0).value(QStringLiteral("cabecera_para")).toString(),
              QStringLiteral("\"García, Ana\" <ana@x.es>"));
    EXPECT_EQ(recibidos.at(1).value(QStringLiteral("cabecera_para")).toString(),
              QStringLiteral("a@x.es, b@x.es, Ñoño Pérez <c@x.es>"));
}

TEST_F(EnvioPdfTest, TheRegisterKeepsEveryAttemptAndWhatWentIsNotSentAgainUnlessAsked)
{
    const QString ruta = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    const QString nombre = QFileInfo(ruta).fileName();
    const QByteArray original = contenido(ruta);
    const CuentaConstantes cuenta = leerCuenta(db());
    EnvioPdf envio(db(), cuenta.cuenta);
    EXPECT_FALSE(envio.estado(m_carpeta, nombre).enviadoEl);
    ASSERT_TRUE(envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo).enviado);
    const auto cuando = envio.estado(m_carpeta, nombre).enviadoEl;
    ASSERT_TRUE(cuando);
    EXPECT_LT(qAbs(cuando->secsTo(QDateTime::currentDateTime())), 60);

    const ResultadoFichero otra = envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo);
    EXPECT_FALSE(otra.enviado);
    EXPECT_TRUE(otra.yaEnviado);
    EXPECT_EQ(otra.lineas, QStringList{EnvioPdf::textoYaEnviado(*cuando) +
                                       QStringLiteral(": %1 a almacen@alamo.es  %2").arg(e.almacen.codcentro, ruta)});
    EXPECT_EQ(m_servidor.mensajes().size(), 1);
    EXPECT_TRUE(envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo, true).enviado);
    EXPECT_EQ(m_servidor.mensajes().size(), 2);

    // Other bytes, or other addresses, are another sending; the same addresses written otherwise are not.
    correo(e.almacen.codcentro, QStringLiteral("Almacén <ALMACEN@alamo.es>;"));
    EXPECT_TRUE(envio.estado(m_carpeta, nombre).enviadoEl);
    correo(e.almacen.codcentro, QStringLiteral("almacen@alamo.es, rechaza@alamo.es"));
    EXPECT_FALSE(envio.estado(m_carpeta, nombre).enviadoEl);
    const ResultadoFichero rechazado = envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo);
    EXPECT_FALSE(rechazado.enviado);
    correo(e.almacen.codcentro, QStringLiteral("almacen@alamo.es"));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("% otra vez\n");
    f.close();
    EXPECT_FALSE(envio.estado(m_carpeta, nombre).enviadoEl);

    const QList<Envio> registro = RegistroEnvios(db()).lista();
    ASSERT_EQ(registro.size(), 3); // newest first; the skipped one is no attempt
    EXPECT_FALSE(registro.at(0).aceptado);
    EXPECT_EQ(registro.at(0).resultado, rechazado.lineas.first());
    EXPECT_EQ(registro.at(0).destinatarios, QStringLiteral("almacen@alamo.es, rechaza@alamo.es"));
    for (int i = 1; i < 3; ++i) {
        const Envio& r = registro.at(i);
        EXPECT_TRUE(r.aceptado);
        EXPECT_EQ(r.codcentro, e.almacen.codcentro);
        EXPECT_EQ(r.fichero, nombre);
        EXPECT_EQ(r.destinatarios, QStringLiteral("almacen@alamo.es"));
        EXPECT_EQ(r.resultado, QStringLiteral("Envío a: %1  OK").arg(e.almacen.codcentro));
        EXPECT_EQ(r.messageId, m_servidor.mensajes().at(2 - i).value(QStringLiteral("id")).toString());
        EXPECT_EQ(r.tamano, original.size());
        EXPECT_EQ(r.sha256,
                  QString::fromLatin1(QCryptographicHash::hash(original, QCryptographicHash::Sha256).toHex()));
    }
    EXPECT_EQ(RegistroEnvios(db()).lista(e.oficinas.codcentro).size(), 0);
    EXPECT_EQ(RegistroEnvios(db()).lista(e.almacen.codcentro, QDate::currentDate()).size(), 3);
    EXPECT_EQ(RegistroEnvios(db()).lista({}, QDate::currentDate().addMonths(-1)).size(), 0);
}

// Several messages at once: each file still gets its own message and its lines in the files' order, whatever
// order the messages end in; a refused recipient stays on its file's line; the register gets one row per message,
// written from this thread; a file listed twice goes once.
TEST_F(EnvioPdfTest, FourConnectionsSendEachFileOnceAndKeepTheFilesOrder)
{
    // The first file is the slowest to send, so the others are done before it.
    const QString grande = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    {
        QFile f(grande);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(6 * 1024 * 1024, 'x'));
    }
    QStringList nombres{QFileInfo(grande).fileName()};
    QStringList esperadas{QStringLiteral("Envío a: %1  OK").arg(e.almacen.codcentro)};
    QStringList anexos{nombres.first()};
    for (int i = 0; i < 9; ++i) {
        const bool rechazada = i == 4;
        const auto c =
            fixture::centro(db(), e.empresa1, QStringLiteral("P%1").arg(i), QStringLiteral("CENTRO"), 0, true, true,
                            true, rechazada ? QStringLiteral("rechaza@x.es") : QStringLiteral("c%1@x.es").arg(i));
        const QString ruta = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(c.codcentro));
        nombres << QFileInfo(ruta).fileName();
        if (rechazada) {
            esperadas << QStringLiteral("Error al enviar: %1 a rechaza@x.es  %2 (destinatario rechazado)")
                             .arg(c.codcentro, ruta);
        } else {
            esperadas << QStringLiteral("Envío a: %1  OK").arg(c.codcentro);
            anexos << nombres.last();
        }
        if (i == 2) {
            nombres << QFileInfo(pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.obrador.codcentro))).fileName();
            esperadas << QStringLiteral("Mail centro %1 vacío").arg(e.obrador.codcentro);
        }
    }
    nombres << QFileInfo(grande).fileName();
    esperadas << QStringLiteral("Ya enviado el ");

    EnvioPdf envio(db(), leerCuenta(db()).cuenta);
    QStringList log;
    QList<int> indices;
    envio.enviarFicheros(m_carpeta, nombres, kAsuntoCorreo, kTextoCorreo, false, 4,
                         [&](int i, const ResultadoFichero& r) {
                             indices << i;
                             log << r.lineas;
                         });
    ASSERT_EQ(log.size(), esperadas.size());
    EXPECT_TRUE(log.last().startsWith(esperadas.last())) << log.last().toStdString();
    log.removeLast();
    esperadas.removeLast();
    EXPECT_EQ(log, esperadas);
    QList<int> enOrden(nombres.size());
    std::iota(enOrden.begin(), enOrden.end(), 0);
    EXPECT_EQ(indices, enOrden);

    QStringList recibidos;
    for (const QJsonObject& m : m_servidor.mensajes())
        recibidos << m.value(QStringLiteral("anexos"))
                         .toArray()
                         .first()
                         .toObject()
                         .value(QStringLiteral("nombre"))
                         .toString();
    EXPECT_NE(recibidos.first(), anexos.first()); // they did overlap
    recibidos.sort();
    anexos.sort();
    EXPECT_EQ(recibidos, anexos);

    QStringList registro;
    for (const Envio& r : RegistroEnvios(db()).lista())
        registro << r.resultado;
    registro.sort();
    QStringList mensajes = esperadas.filter(QRegularExpression(QStringLiteral("^(Envío|Error)")));
    mensajes.sort();
    EXPECT_EQ(registro, mensajes);
}

// Another copy recoded the centre after its file went once: the register knows the file's bytes went to that
// centre, so they find it under its new code. A code no centre has says so.
TEST_F(EnvioPdfTest, AFileSentBeforeFindsItsRecodedCentre)
{
    const QString nombre = QFileInfo(pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro))).fileName();
    const CuentaConstantes cuenta = leerCuenta(db());
    EnvioPdf envio(db(), cuenta.cuenta);
    ASSERT_TRUE(envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo).enviado);
    db().prepare(QStringLiteral("UPDATE centros SET codcentro = '01Z9' WHERE codcentro = ?"))
        .bindAll(e.almacen.codcentro)
        .run();
    const ResultadoFichero r = envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo, true);
    EXPECT_TRUE(r.enviado);
    EXPECT_EQ(r.lineas, QStringList{QStringLiteral("Envío a: 01Z9  OK (fichero con su código anterior %1: otra copia "
                                                   "del programa se lo cambió)")
                                        .arg(e.almacen.codcentro)});
    // A file of the same name whose bytes the register has never seen goes by its code, which names nobody now.
    QFile otro(QDir(m_carpeta).filePath(nombre));
    ASSERT_TRUE(otro.open(QIODevice::WriteOnly));
    otro.write("%PDF-1.4\n% otro\n%%EOF\n");
    otro.close();
    EXPECT_EQ(envio.enviarFichero(m_carpeta, nombre, kAsuntoCorreo, kTextoCorreo).lineas,
              QStringList{QStringLiteral("No encuentro centro: %1 (ese centro tiene ahora el código 01Z9: genere de "
                                         "nuevo sus hojas)")
                              .arg(e.almacen.codcentro)});
    EXPECT_EQ(
        envio.enviarFichero(m_carpeta, QStringLiteral("Quorvel_0999_201905.pdf"), kAsuntoCorreo, kTextoCorreo).lineas,
        QStringList{QStringLiteral("No encuentro centro: 0999 (ningún centro tiene ese código: otra copia del programa "
                                   "lo ha cambiado o borrado; genere de nuevo las hojas)")});
    const QList<QJsonObject> recibidos = m_servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 2);
    EXPECT_EQ(recibidos.last().value(QStringLiteral("para")).toArray(), QJsonArray{QStringLiteral("almacen@alamo.es")});
}

// The one slow test: a server that takes the message and never answers costs its 60 s, not three minutes.
TEST_F(EnvioPdfTest, AStalledServerGivesTheLineWithinAMinute)
{
    ServidorSmtps callado(ServidorSmtps::Modo::CallaDatos);
    ASSERT_TRUE(callado.arrancar().isEmpty());
    const QString ruta = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    CuentaConstantes cuenta = leerCuenta(db());
    cuenta.cuenta.puerto = QString::number(callado.puerto());
    QElapsedTimer reloj;
    reloj.start();
    const ResultadoFichero r =
        EnvioPdf(db(), cuenta.cuenta).enviarFichero(m_carpeta, QFileInfo(ruta).fileName(), kAsuntoCorreo, kTextoCorreo);
    EXPECT_LT(reloj.elapsed(), 65000);
    EXPECT_GE(reloj.elapsed(), 59000);
    EXPECT_EQ(r.lineas, QStringList{QStringLiteral("Error al enviar: %1 a almacen@alamo.es  %2 (tiempo agotado)")
                                        .arg(e.almacen.codcentro, ruta)});
}

// The batch tool as a scheduled task runs it: a real process, real PDFs, the real server.
class LoteCorreoTest : public EnvioPdfTest
{
protected:
    int lote(const QStringList& argumentos)
    {
        QProcess p;
        p.start(QStringLiteral(QUORVEL_LOTE), QStringList{QStringLiteral("--base"), m_md.rutaBaseDatos()} + argumentos);
        EXPECT_TRUE(p.waitForFinished(60000));
        salida = QString::fromUtf8(p.readAllStandardOutput());
        errores = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QString salida;
    QString errores;
};

TEST_F(LoteCorreoTest, GeneratesAndMailsEveryCentreOfTheCompany)
{
    pdf(QStringLiteral("Quorvel_%1_201801.pdf").arg(e.almacen.codcentro)); // an earlier run's, deleted by this one
    ASSERT_EQ(lote({QStringLiteral("--empresa"), QString::number(e.empresa1), QStringLiteral("--mes"),
                    QStringLiteral("201905"), QStringLiteral("--enviar")}),
              0)
        << errores.toStdString() << salida.toStdString();
    EXPECT_TRUE(salida.endsWith(
        QStringLiteral("Envío a: %1  OK\nEnvío a: %2  OK\n").arg(e.almacen.codcentro, e.oficinas.codcentro)))
        << salida.toStdString();
    EXPECT_FALSE(salida.contains(m_servidor.clave()));
    const QList<QJsonObject> recibidos = m_servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 2);
    QSet<QString> nombres;
    for (const QJsonObject& m : recibidos) {
        const QJsonObject anexo = m.value(QStringLiteral("anexos")).toArray().first().toObject();
        const QString nombre = anexo.value(QStringLiteral("nombre")).toString();
        nombres << nombre;
        EXPECT_EQ(contenido(anexo.value(QStringLiteral("ruta")).toString()),
                  contenido(QDir(m_carpeta).filePath(nombre)));
        EXPECT_TRUE(contenido(QDir(m_carpeta).filePath(nombre)).startsWith("%PDF"));
    }
    EXPECT_EQ(nombres, (QSet<QString>{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro),
                                      QStringLiteral("Quorvel_%1_201905.pdf").arg(e.oficinas.codcentro)}));
}

// The run notes which centre each file it wrote is for. Before the files are mailed, another copy (a second
// connection) recodes one centre, gives its old code to a new centre and deletes another: each file still goes
// to the centre its sheets are of, or its line says that centre is gone.
TEST_F(LoteCorreoTest, EachFileGoesToTheCentreItWasWrittenForWhateverAnotherCopyDidToTheCodes)
{
    ASSERT_EQ(lote({QStringLiteral("--empresa"), QString::number(e.empresa1), QStringLiteral("--mes"),
                    QStringLiteral("201905")}),
              0)
        << errores.toStdString();
    const QString almacen = QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro);
    const QString oficinas = QStringLiteral("Quorvel_%1_201905.pdf").arg(e.oficinas.codcentro);
    {
        store::Database otra(m_md.rutaBaseDatos());
        auto centro = maestros::leerCentro(otra, e.almacen.id);
        ASSERT_TRUE(centro.has_value());
        centro->codcentro2 = QStringLiteral("Z9");
        centro->codcentro = maestros::codigoCentro(QString::number(e.empresa1), centro->codcentro2);
        maestros::grabarCentro(otra, *centro);
        maestros::borrarCentro(otra, e.oficinas.id, e.oficinas.codcentro);
        fixture::centro(otra, e.empresa1, e.almacen.codcentro.right(2), QStringLiteral("OTRO CENTRO"), 0, true, true,
                        true, QStringLiteral("otro@alamo.es"));
    }
    const QString nuevo = maestros::codigoCentro(QString::number(e.empresa1), QStringLiteral("Z9"));
    const CuentaConstantes cuenta = leerCuenta(db());
    EnvioPdf envio(db(), cuenta.cuenta);
    EXPECT_EQ(envio.enviarFichero(m_carpeta, almacen, kAsuntoCorreo, kTextoCorreo).lineas,
              QStringList{QStringLiteral("Envío a: %1  OK (fichero con su código anterior %2: otra copia del programa "
                                         "se lo cambió)")
                              .arg(nuevo, e.almacen.codcentro)});
    EXPECT_EQ(envio.enviarFichero(m_carpeta, oficinas, kAsuntoCorreo, kTextoCorreo).lineas,
              QStringList{QStringLiteral("No encuentro centro: %1 (ese centro ya no existe: otra copia del programa lo "
                                         "ha borrado)")
                              .arg(e.oficinas.codcentro)});
    const QList<QJsonObject> recibidos = m_servidor.mensajes();
    ASSERT_EQ(recibidos.size(), 1);
    EXPECT_EQ(recibidos.first().value(QStringLiteral("para")).toArray(),
              QJsonArray{QStringLiteral("almacen@alamo.es")});
}

TEST_F(LoteCorreoTest, SendsTheFolderAsItIsAndFailsWhenAnyFileDoesNotGoOut)
{
    pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    EXPECT_EQ(lote({QStringLiteral("--enviar")}), 0) << errores.toStdString();
    EXPECT_EQ(salida, QStringLiteral("Envío a: %1  OK\n").arg(e.almacen.codcentro));

    pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.obrador.codcentro));
    const QString otra = m_dir.file(QStringLiteral("otra"));
    QDir().mkpath(otra);
    EXPECT_EQ(lote({QStringLiteral("--enviar"), QStringLiteral("--carpeta"), otra}), 1);
    EXPECT_EQ(errores, QStringLiteral("No hay ningún fichero seleccionado\n"));
    // The file that went already is left out with a line saying so; --reenviar sends it again.
    EXPECT_EQ(lote({QStringLiteral("--enviar")}), 1);
    const QString ruta = QDir(m_carpeta).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Ya enviado el \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d: %1 a almacen@alamo.es  ")
                               .arg(e.almacen.codcentro))
            .match(salida)
            .hasMatch())
        << salida.toStdString();
    EXPECT_TRUE(salida.endsWith(QStringLiteral("%1\nMail centro %2 vacío\n").arg(ruta, e.obrador.codcentro)))
        << salida.toStdString();
    EXPECT_EQ(m_servidor.mensajes().size(), 1);
    EXPECT_EQ(lote({QStringLiteral("--enviar"), QStringLiteral("--reenviar"), QStringLiteral("--conexiones=1")}), 1);
    EXPECT_EQ(salida,
              QStringLiteral("Envío a: %1  OK\nMail centro %2 vacío\n").arg(e.almacen.codcentro, e.obrador.codcentro));
    EXPECT_EQ(m_servidor.mensajes().size(), 2);
    EXPECT_EQ(lote({QStringLiteral("--enviar"), QStringLiteral("--conexiones"), QStringLiteral("9")}), 2);
    EXPECT_EQ(errores, QStringLiteral("El valor de --conexiones debe ser un número entero de 1 a 8, no «9».\n"));

    EXPECT_EQ(lote({QStringLiteral("--enviar"), QStringLiteral("--sabados"), QStringLiteral("si")}), 2);

    // Until the account passes its test nothing is generated or sent.
    db().prepare(QStringLiteral("UPDATE constantes SET \"E-OK\" = 0")).run();
    EXPECT_EQ(lote({QStringLiteral("--enviar")}), 1);
    EXPECT_EQ(errores, QStringLiteral("La cuenta de correo de envío no está comprobada\n"
                                      "    configúrela y compruébela en Constantes\n"));
    EXPECT_EQ(lote({QStringLiteral("--centro"), e.almacen.codcentro, QStringLiteral("--mes"), QStringLiteral("201906"),
                    QStringLiteral("--enviar")}),
              1);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("La cuenta de correo de envío no está comprobada")));
    EXPECT_FALSE(
        QFile::exists(QDir(m_carpeta).filePath(QStringLiteral("Quorvel_%1_201906.pdf").arg(e.almacen.codcentro))));
    EXPECT_EQ(m_servidor.mensajes().size(), 2);
}

TEST_F(LoteCorreoTest, ABatchKilledWhileSendingSendsOnItsRerunOnlyWhatTheServerHadNotAccepted)
{
    QStringList nombres;
    for (int i = 0; i < 8; ++i) {
        const auto c = fixture::centro(db(), e.empresa1, QStringLiteral("K%1").arg(i), QStringLiteral("CENTRO K"), 0,
                                       true, true, true, QStringLiteral("k%1@alamo.es").arg(i));
        nombres << QFileInfo(pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(c.codcentro))).fileName();
    }
    QProcess p;
    p.start(QStringLiteral(QUORVEL_LOTE), {QStringLiteral("--base"), m_md.rutaBaseDatos(), QStringLiteral("--enviar")});
    QDeadlineTimer limite(30000);
    while (m_servidor.mensajes().size() < 3 && !limite.hasExpired() && p.state() != QProcess::NotRunning)
        p.waitForFinished(2);
    p.kill();
    p.waitForFinished(10000);
    const qsizetype antes = m_servidor.mensajes().size();
    ASSERT_GE(antes, 3);
    ASSERT_LT(antes, 8) << "the batch ended before it was killed";
    QSet<QString> aceptados;
    QStringList interrumpidos;
    for (const Envio& r : RegistroEnvios(db()).lista()) {
        if (r.aceptado)
            aceptados << r.fichero;
        else if (r.resultado == kEnvioInterrumpido)
            interrumpidos << r.fichero;
    }
    // One message under way per connection (four by default).
    EXPECT_LE(interrumpidos.size(), 4);

    EXPECT_EQ(lote({QStringLiteral("--enviar")}), 0) << errores.toStdString();
    EXPECT_EQ(salida.count(QStringLiteral("Ya enviado el ")), aceptados.size()) << salida.toStdString();
    EXPECT_EQ(salida.count(QStringLiteral("  OK\n")), 8 - aceptados.size()) << salida.toStdString();
    QHash<QString, int> veces;
    for (const QJsonObject& m : m_servidor.mensajes())
        ++veces
            [m.value(QStringLiteral("anexos")).toArray().first().toObject().value(QStringLiteral("nombre")).toString()];
    for (const QString& n : nombres)
        EXPECT_GE(veces.value(n), 1) << n.toStdString();
    // Only a message the kill caught between the server's yes and the register's row can arrive twice.
    for (auto it = veces.cbegin(); it != veces.cend(); ++it) {
        if (it.value() > 1) {
            EXPECT_EQ(it.value(), 2);
            EXPECT_TRUE(interrumpidos.contains(it.key())) << it.key().toStdString();
        }
    }
}

// A file of an earlier version gets the register, the authority field and the connections setting (at its
// default) when first opened; its settings stay as they were, so older copies that read them by name go on
// working.
TEST(RegistroEnviosEsquema, AnOlderFileIsBroughtUpWhenOpened)
{
    TempDir dir;
    const QString ruta = dir.file(QStringLiteral("Quorvel.abs"));
    {
        TMD nuevo(ruta);
        store::Database& db = nuevo.Quorvel();
        db.prepare(QStringLiteral("UPDATE constantes SET \"e-host\" = 'smtp.alamo.es'")).run();
        QStringList campos;
        for (const schema::Field& f : schema::tabla(QStringLiteral("constantes")).fields) {
            if (f.name != QStringLiteral("e-certificado") && f.name != QStringLiteral("e-conexiones"))
                campos << QLatin1Char('"') + f.name + QLatin1Char('"');
        }
        db.exec(QStringLiteral("ALTER TABLE constantes RENAME TO viejas; CREATE TABLE constantes AS SELECT %1 FROM "
                               "viejas; DROP TABLE viejas; DROP TABLE envios; PRAGMA user_version = 1")
                    .arg(campos.join(u',')));
    }
    TMD md(ruta);
    store::Database& db = md.Quorvel();
    EXPECT_EQ(db.userVersion(), schema::kVersion);
    EXPECT_TRUE(RegistroEnvios(db).lista().isEmpty());
    Constantes c = leerConstantes(db);
    EXPECT_EQ(c.eHost, QStringLiteral("smtp.alamo.es"));
    EXPECT_TRUE(c.eCertificado.isEmpty());
    EXPECT_EQ(c.eConexiones, 4);
    EXPECT_EQ(leerCuenta(db).conexiones, 4);
    c.eCertificado = QStringLiteral("/etc/oficina/ca.pem");
    c.eConexiones = 2;
    grabarConstantes(db, c);
    EXPECT_EQ(leerConstantes(db).eCertificado, QStringLiteral("/etc/oficina/ca.pem"));
    EXPECT_EQ(leerCuenta(db).conexiones, 2);
    // Opening it again changes nothing more.
    TMD otra(ruta);
    EXPECT_EQ(leerConstantes(otra.Quorvel()).eCertificado, QStringLiteral("/etc/oficina/ca.pem"));
}

} // namespace
