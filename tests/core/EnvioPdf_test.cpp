#include "data/Constantes.h"
#include "data/TMD.h"
#include "mail/EnvioPdf.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/ServidorSmtps.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QByteArray contenido(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
                       QStringLiteral("Envio a: %1  OK").arg(e.almacen.codcentro),
                       QStringLiteral("Envio a: %1  OK").arg(e.oficinas.codcentro),
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
        EXPECT_EQ(m.value(QStringLiteral("asunto")).toString(),
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
        QStringLiteral("Envio a: %1  OK\nEnvio a: %2  OK\n").arg(e.almacen.codcentro, e.oficinas.codcentro)))
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

TEST_F(LoteCorreoTest, SendsTheFolderAsItIsAndFailsWhenAnyFileDoesNotGoOut)
{
    pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    EXPECT_EQ(lote({QStringLiteral("--enviar")}), 0) << errores.toStdString();
    EXPECT_EQ(salida, QStringLiteral("Envio a: %1  OK\n").arg(e.almacen.codcentro));

    pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.obrador.codcentro));
    const QString otra = m_dir.file(QStringLiteral("otra"));
    QDir().mkpath(otra);
    EXPECT_EQ(lote({QStringLiteral("--enviar"), QStringLiteral("--carpeta"), otra}), 1);
    EXPECT_EQ(errores, QStringLiteral("No hay ningún fichero seleccionado\n"));
    // The file that went already is left out with a line saying so; --reenviar sends it again.
    EXPECT_EQ(lote({QStringLiteral("--enviar")}), 1);
    const QString ruta = QDir(m_carpeta).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Ya enviado el \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d: %1 a almacen@alamo.es  ")
                                       .arg(e.almacen.codcentro))
                    .match(salida)
                    .hasMatch())
        << salida.toStdString();
    EXPECT_TRUE(salida.endsWith(
        QStringLiteral("%1\nMail centro %2 vacío\n").arg(ruta, e.obrador.codcentro)))
        << salida.toStdString();
    EXPECT_EQ(m_servidor.mensajes().size(), 1);
    EXPECT_EQ(lote({QStringLiteral("--enviar"), QStringLiteral("--reenviar")}), 1);
    EXPECT_EQ(salida,
              QStringLiteral("Envio a: %1  OK\nMail centro %2 vacío\n").arg(e.almacen.codcentro, e.obrador.codcentro));
    EXPECT_EQ(m_servidor.mensajes().size(), 2);

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

} // namespace
