#include "gui/PralPruebas.h"

#include "data/Constantes.h"
#include "mail/ModeloEnvios.h"
#include "mail/TFormEnviarCorreos.h"
#include "mail/TFormManConstantes.h"
#include "mail/TFormManEnvios.h"
#include "support/ServidorSmtps.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// Acts on the modal window of type T as soon as it is up (exec() does not return until it closes).
template <typename T> void alAbrirse(std::function<void(T&)> accion, int intentos = 500)
{
    QTimer::singleShot(20, [accion, intentos] {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
            accion(*d);
            return;
        }
        if (intentos > 0) {
            alAbrirse<T>(accion, intentos - 1);
            return;
        }
        ADD_FAILURE() << "the modal window never opened";
        if (QWidget* otro = QApplication::activeModalWidget())
            otro->close();
    });
}

template <typename T> T* en(QWidget* ventana, const char* nombre)
{
    T* c = ventana->findChild<T*>(QString::fromLatin1(nombre));
    if (!c)
        ADD_FAILURE() << "no control " << nombre;
    return c;
}

void guardarCaptura(QWidget* w, const QString& nombre)
{
    const QString carpeta = qEnvironmentVariable("QUORVEL_CAPTURAS");
    if (carpeta.isEmpty())
        return;
    QDir().mkpath(carpeta);
    EXPECT_TRUE(w->grab().save(QDir(carpeta).filePath(nombre)));
}

QStringList lineas(const QPlainTextEdit* memo)
{
    return memo->toPlainText().split(u'\n');
}

} // namespace

// The sample database, a real loopback SMTPS server, and the account of the settings row pointing at it.
class CorreoPralTest : public PralTest
{
protected:
    void SetUp() override
    {
        const QString falta = ServidorSmtps::faltaAlgo();
        if (!falta.isEmpty())
            GTEST_SKIP() << falta.toStdString();
        PralTest::SetUp();
        const QString error = m_servidor.arrancar();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        db().prepare(QStringLiteral("UPDATE centros SET email = ? WHERE codcentro = ?"))
            .bindAll(QStringLiteral("almacen@alamo.es"), m_ejemplo.almacen.codcentro)
            .run();
        db().prepare(QStringLiteral("UPDATE centros SET email = ? WHERE codcentro = ?"))
            .bindAll(QStringLiteral("oficinas@alamo.es"), m_ejemplo.oficinas.codcentro)
            .run();
        Constantes c = leerConstantes(db());
        c.eNombreEnvio = QStringLiteral("Transportes Álamo");
        c.eDireccionEnvio = QStringLiteral("nominas@alamo.es");
        c.eHost = QStringLiteral("127.0.0.1");
        c.ePuerto = QString::number(m_servidor.puerto());
        c.eUsuario = m_servidor.usuario();
        c.ePassword = m_servidor.clave();
        c.eOK = true;
        c.generarPDF = true;
        c.impresora = false;
        c.todoscentros = true;
        grabarConstantes(db(), c);
    }

    // The PDF run of every centre of the first company, May 2019, as the user starts it.
    void generar()
    {
        QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton);
        ASSERT_TRUE(control<QAction>("EnvioCorreos")->isEnabled());
        m_guion.carpetasAbiertas.clear();
        m_guion.textos.clear();
        m_guion.mensajes.clear();
    }

    ServidorSmtps m_servidor;
};

TEST_F(CorreoPralTest, SettingsScreenShowsTheRowAndOnlySavingWritesIt)
{
    abrir();
    TFormManConstantes pantalla(db(), m_ventana.get());
    pantalla.show();
    auto* generar = en<QCheckBox>(&pantalla, "DBCKGenerarPDF");
    auto* impresora = en<QCheckBox>(&pantalla, "DBCKImpresora");
    auto* grabar = en<QToolButton>(&pantalla, "DBNavigator1Post");
    auto* cancelar = en<QToolButton>(&pantalla, "DBNavigator1Cancel");
    auto* clave = en<QLineEdit>(&pantalla, "DBEPASSWORD");
    EXPECT_EQ(pantalla.windowTitle(), QStringLiteral("Mantenimiento de constantes"));
    EXPECT_TRUE(generar->isChecked());
    EXPECT_TRUE(en<QCheckBox>(&pantalla, "DBCKTODOSCENTROS")->isChecked());
    EXPECT_TRUE(en<QCheckBox>(&pantalla, "DBEOK")->isChecked());
    EXPECT_FALSE(en<QCheckBox>(&pantalla, "DBEOK")->isEnabled());
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBRutaPDF")->text(), m_rutaPdf);
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBEPUERTO")->text(), QString::number(m_servidor.puerto()));
    EXPECT_EQ(clave->text(), m_servidor.clave());
    EXPECT_EQ(clave->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(grabar->isEnabled());
    EXPECT_FALSE(cancelar->isEnabled());
    EXPECT_FALSE(en<QPushButton>(&pantalla, "BotPruebaMail")->isEnabled());
    EXPECT_EQ(en<QSpinBox>(&pantalla, "DBSECONEXIONES")->value(), 4);

    // The two output modes are kept apart; unticking one never ticks the other.
    impresora->click();
    EXPECT_TRUE(impresora->isChecked());
    EXPECT_FALSE(generar->isChecked());
    impresora->click();
    EXPECT_FALSE(impresora->isChecked());
    EXPECT_FALSE(generar->isChecked());
    generar->click();
    EXPECT_TRUE(grabar->isEnabled());

    // Folder picker: a cancelled dialog changes nothing, a chosen folder goes into the field.
    m_guion.carpetasElegidas = {QString()};
    en<QToolButton>(&pantalla, "SpeedButton1")->click();
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBRutaPDF")->text(), m_rutaPdf);
    const QString otra = m_dir.file(QStringLiteral("Envios"));
    m_guion.carpetasElegidas = {otra};
    en<QToolButton>(&pantalla, "SpeedButton1")->click();
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBRutaPDF")->text(), otra);
    EXPECT_EQ(m_guion.textos,
              QStringList({QStringLiteral("Selecciona directorio:"), QStringLiteral("Selecciona directorio:")}));

    // Shown and masked in turn, once the hidden key combination has revealed the button.
    auto* ver = en<QToolButton>(&pantalla, "botverpassword");
    EXPECT_TRUE(ver->isHidden());
    QTest::keyClick(clave, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(ver->isHidden());
    QTest::keyClick(clave, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(ver->isHidden());
    ver->click();
    EXPECT_EQ(clave->echoMode(), QLineEdit::Normal);
    ver->click();
    EXPECT_EQ(clave->echoMode(), QLineEdit::Password);

    // Cancel drops every change.
    cancelar->click();
    EXPECT_EQ(pantalla.result(), QDialog::Rejected);
    Constantes guardada = leerConstantes(db());
    EXPECT_TRUE(guardada.generarPDF);
    EXPECT_EQ(guardada.RutaPDF, m_rutaPdf);

    const bool sabadosAntes = guardada.sabados;
    TFormManConstantes otraVez(db(), m_ventana.get());
    otraVez.show();
    en<QCheckBox>(&otraVez, "DBCKImpresora")->click();
    en<QCheckBox>(&otraVez, "DBCKSABADOS")->click();
    // How many messages go at once is no part of the account: the test stands.
    en<QSpinBox>(&otraVez, "DBSECONEXIONES")->setValue(1);
    EXPECT_TRUE(en<QCheckBox>(&otraVez, "DBEOK")->isChecked());
    auto* host = en<QLineEdit>(&otraVez, "DBEHOST");
    host->selectAll();
    escribir(host, QStringLiteral("smtp.correo.es"));
    en<QToolButton>(&otraVez, "DBNavigator1Post")->click();
    guardada = leerConstantes(db());
    EXPECT_TRUE(guardada.impresora);
    EXPECT_FALSE(guardada.generarPDF);
    EXPECT_EQ(guardada.sabados, !sabadosAntes);
    EXPECT_EQ(guardada.eHost, QStringLiteral("smtp.correo.es"));
    EXPECT_EQ(guardada.eConexiones, 1);
}

TEST_F(CorreoPralTest, TestMailRecordsItsOutcomeAndThePresetAsksOnlyWhenVerified)
{
    ajustar(QStringLiteral("\"E-OK\" = 0"));
    abrir();
    TFormManConstantes pantalla(db(), m_ventana.get());
    pantalla.show();
    auto* prueba = en<QPushButton>(&pantalla, "BotPruebaMail");
    auto* ok = en<QCheckBox>(&pantalla, "DBEOK");
    auto* destino = en<QLineEdit>(&pantalla, "EmailTest");
    escribir(destino, QStringLiteral("yo@ejemplo"));
    EXPECT_FALSE(prueba->isEnabled());
    escribir(destino, QStringLiteral(".es"));
    EXPECT_TRUE(prueba->isEnabled());

    prueba->click();
    EXPECT_EQ(m_guion.mensajes, QStringList{QStringLiteral("Prueba de envío OK")});
    EXPECT_TRUE(ok->isChecked());
    ASSERT_EQ(m_servidor.mensajes().size(), 1);
    const QJsonObject recibido = m_servidor.mensajes().first();
    EXPECT_EQ(recibido.value(QStringLiteral("asunto")).toString(), QStringLiteral("Prueba de correo desde Quorvel"));
    EXPECT_EQ(recibido.value(QStringLiteral("para")).toArray(), QJsonArray{QStringLiteral("yo@ejemplo.es")});
    EXPECT_TRUE(recibido.value(QStringLiteral("texto"))
                    .toString()
                    .startsWith(QStringLiteral(
                        "¡Enhorabuena!\r\n\r\nSi recibe este correo significa que la cuenta de envío del programa "
                        "Quorvel, está bien \r\nconfigurada.\r\n")));

    // The fields as shown, saved or not: a wrong password fails the test and clears the flag.
    auto* clave = en<QLineEdit>(&pantalla, "DBEPASSWORD");
    clave->selectAll();
    escribir(clave, QStringLiteral("otra"));
    prueba->click();
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("ERROR en prueba de envío (usuario o contraseña rechazados)"));
    EXPECT_FALSE(ok->isChecked());

    // A port that is no number stops the test before anything is sent; the change itself cleared the flag.
    clave->setText(m_servidor.clave());
    prueba->click();
    ASSERT_TRUE(ok->isChecked());
    auto* puerto = en<QLineEdit>(&pantalla, "DBEPUERTO");
    puerto->setText(QStringLiteral("46x"));
    EXPECT_FALSE(ok->isChecked());
    prueba->click();
    EXPECT_EQ(m_guion.errores, QStringList{QStringLiteral("'46x' no es un valor entero válido")});
    EXPECT_FALSE(ok->isChecked());
    EXPECT_EQ(m_servidor.mensajes().size(), 2);
    puerto->setText(QString::number(m_servidor.puerto()));
    prueba->click();
    ASSERT_TRUE(ok->isChecked());

    // The preset asks while the account is verified; No leaves everything as it was.
    auto* preset = en<QToolButton>(&pantalla, "BotConfiguraGmail");
    EXPECT_EQ(preset->toolTip(), QStringLiteral("Configuración base cuenta Gmail."));
    m_guion.respuestas = {false};
    preset->click();
    EXPECT_EQ(m_guion.confirmaciones.size(), 1);
    EXPECT_TRUE(m_guion.confirmaciones.first().endsWith(
        QStringLiteral("¿Seguro que quieres reiniciar la configuración del correo \n     con los parámetros generales "
                       "de GMail.?\n      ¡Se perderá la actual configuración!")));
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBEHOST")->text(), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(ok->isChecked());
    m_guion.respuestas = {true};
    preset->click();
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBEHOST")->text(), QStringLiteral("smtp.gmail.com"));
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBEPUERTO")->text(), QStringLiteral("465"));
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBENOMBREENVIO")->text(), QStringLiteral("Nombre del que envía"));
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBEUSUARIO")->text(), en<QLineEdit>(&pantalla, "DBEDIRECCIONENVIO")->text());
    EXPECT_TRUE(clave->text().isEmpty());
    EXPECT_FALSE(ok->isChecked());
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("Cumplimentar los datos de la cuenta."));
    // Not verified now: no question the second time.
    preset->click();
    EXPECT_EQ(m_guion.confirmaciones.size(), 2);
    EXPECT_EQ(leerConstantes(db()).eHost, QStringLiteral("127.0.0.1"));
}

TEST_F(CorreoPralTest, AnyChangeToTheAccountAsksForANewTestAndTheOfficesAuthorityIsChosenHere)
{
    abrir();
    for (const char* nombre : {"DBENOMBREENVIO", "DBEDIRECCIONENVIO", "DBEHOST", "DBEPUERTO", "DBEUSUARIO",
                               "DBEPASSWORD", "DBECERTIFICADO"}) {
        TFormManConstantes pantalla(db(), m_ventana.get());
        pantalla.show();
        auto* ok = en<QCheckBox>(&pantalla, "DBEOK");
        ASSERT_TRUE(ok->isChecked());
        escribir(en<QLineEdit>(&pantalla, "DBRutaPDF"), QStringLiteral("x"));
        EXPECT_TRUE(ok->isChecked()) << "the PDF folder is no part of the account";
        escribir(en<QLineEdit>(&pantalla, nombre), QStringLiteral("x"));
        EXPECT_FALSE(ok->isChecked()) << nombre;
        EXPECT_FALSE(pantalla.fila().eOK) << nombre;
    }
    EXPECT_TRUE(leerConstantes(db()).eOK); // none of them saved

    // Without the test authority in the environment only the account's own file makes the server trusted.
    const QByteArray propia = qgetenv("SSL_CERT_FILE");
    qunsetenv("SSL_CERT_FILE");
    TFormManConstantes pantalla(db(), m_ventana.get());
    pantalla.show();
    auto* ok = en<QCheckBox>(&pantalla, "DBEOK");
    escribir(en<QLineEdit>(&pantalla, "EmailTest"), QStringLiteral("yo@ejemplo.es"));
    en<QPushButton>(&pantalla, "BotPruebaMail")->click();
    EXPECT_EQ(m_guion.mensajes.last(),
              QStringLiteral("ERROR en prueba de envío (certificado no válido: el certificado del servidor no es de "
                             "confianza. Si el servidor usa un certificado propio de la oficina, indique el fichero "
                             "de su autoridad (PEM) en «Certificado CA (PEM)»)"));
    EXPECT_FALSE(ok->isChecked());
    m_guion.ficherosElegidos = {QString()};
    en<QToolButton>(&pantalla, "SpeedButton2")->click();
    EXPECT_TRUE(en<QLineEdit>(&pantalla, "DBECERTIFICADO")->text().isEmpty());
    m_guion.ficherosElegidos = {QFile::decodeName(propia)};
    en<QToolButton>(&pantalla, "SpeedButton2")->click();
    EXPECT_EQ(en<QLineEdit>(&pantalla, "DBECERTIFICADO")->text(), QFile::decodeName(propia));
    en<QPushButton>(&pantalla, "BotPruebaMail")->click();
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("Prueba de envío OK"));
    EXPECT_TRUE(ok->isChecked());
    en<QToolButton>(&pantalla, "DBNavigator1Post")->click();
    qputenv("SSL_CERT_FILE", propia);
    const Constantes guardada = leerConstantes(db());
    EXPECT_TRUE(guardada.eOK);
    EXPECT_EQ(guardada.eCertificado, QFile::decodeName(propia));
    EXPECT_EQ(m_guion.textos.count(QStringLiteral("Selecciona el certificado:")), 2);
}

TEST_F(CorreoPralTest, SettingsFromTheMenuAreReloadedAndTheFolderMade)
{
    abrir();
    opcion("CKTodosCentros")->click();
    ASSERT_FALSE(opcion("CKTodosCentros")->isChecked());
    const QString nueva = m_dir.file(QStringLiteral("Hojas"));
    const bool multiempresa = leerConstantes(db()).Multiempresa;
    ASSERT_EQ(m_md->Multiempresa, multiempresa);
    alAbrirse<TFormManConstantes>([nueva](TFormManConstantes& d) {
        en<QLineEdit>(&d, "DBRutaPDF")->setText(nueva);
        en<QCheckBox>(&d, "DBCKMultiEmpresa")->click();
        en<QToolButton>(&d, "DBNavigator1Post")->click();
    });
    control<QAction>("ManConstantes")->trigger();
    EXPECT_EQ(control<QLineEdit>("RutaPDF")->text(), nueva);
    EXPECT_TRUE(QFileInfo(nueva).isDir());
    EXPECT_TRUE(opcion("CKTodosCentros")->isChecked());
    EXPECT_EQ(m_md->Multiempresa, !multiempresa);
    EXPECT_EQ(lista("ComboEmpresas")->isEnabled(), !multiempresa);
}

TEST_F(CorreoPralTest, MailScreenSendsTheTickedFilesAndLogsEachOne)
{
    abrir();
    generar();
    QFile::copy(QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0101_201905.pdf")),
                QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_blanco_201905.pdf")));
    alAbrirse<TFormEnviarCorreos>([this](TFormEnviarCorreos& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Enviar correos a los centros"));
        auto* listaPdf = en<QListWidget>(&d, "ListaPDF");
        EXPECT_EQ(en<QLineEdit>(&d, "EditRutaPDF")->text(), m_rutaPdf);
        EXPECT_EQ(en<QLineEdit>(&d, "EAsunto")->text(), QStringLiteral("Envío hojas de control horario mensual"));
        EXPECT_EQ(en<QPlainTextEdit>(&d, "MemoTexto")->toPlainText(),
                  QStringLiteral("Adjunto se envía el pdf con el control de horario mensual.\n\nUn saludo."));
        ASSERT_EQ(listaPdf->count(), 3);
        // Reading again shows the folder once, not twice.
        en<QPushButton>(&d, "BotLeerArchivos")->click();
        ASSERT_EQ(listaPdf->count(), 3);
        EXPECT_EQ(listaPdf->item(0)->text(), QStringLiteral("Quorvel_0101_201905.pdf"));
        EXPECT_EQ(listaPdf->item(0)->checkState(), Qt::Unchecked);

        auto* enviar = en<QPushButton>(&d, "BotEnviarCorreos");
        enviar->click();
        EXPECT_EQ(m_guion.mensajes, QStringList{QStringLiteral("No hay ningún fichero seleccionado")});
        EXPECT_TRUE(enviar->isEnabled());

        en<QPushButton>(&d, "BotSeltodo")->click();
        en<QPushButton>(&d, "BotBorSel")->click();
        EXPECT_EQ(listaPdf->item(2)->checkState(), Qt::Unchecked);
        en<QPushButton>(&d, "BotSeltodo")->click();
        QFile::remove(QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0102_201905.pdf")));
        // What the user sees while the messages go: the bar and "enviando", the button off.
        QStringList durante;
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, &d, [&] {
            if (en<QProgressBar>(&d, "Progreso")->isVisible())
                durante
                    << QStringLiteral("%1 %2").arg(en<QLabel>(&d, "LEnviando")->isVisible()).arg(enviar->isEnabled());
        });
        vigia.start(0);
        enviar->click();
        vigia.stop();
        EXPECT_EQ(lineas(en<QPlainTextEdit>(&d, "MemoResultado")),
                  (QStringList{QStringLiteral("Envío a: 0101  OK"),
                               QStringLiteral("No encontrado el anexo: ") +
                                   QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0102_201905.pdf")),
                               QStringLiteral("No encuentro centro: blan")}));
        // The log is the user's to copy into a note or a mail.
        auto* resultado = en<QPlainTextEdit>(&d, "MemoResultado");
        resultado->selectAll();
        resultado->copy();
        EXPECT_EQ(QApplication::clipboard()->text(), resultado->toPlainText());
        EXPECT_FALSE(durante.isEmpty());
        EXPECT_FALSE(durante.contains(QStringLiteral("1 1")) || durante.contains(QStringLiteral("0 1")));
        EXPECT_FALSE(en<QProgressBar>(&d, "Progreso")->isVisible());
        EXPECT_TRUE(enviar->isEnabled());

        // Read again, the file that went says so and is left unticked; ticked by hand, it goes again.
        en<QPushButton>(&d, "BotLeerArchivos")->click();
        ASSERT_EQ(listaPdf->count(), 2);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Quorvel_0101_201905\\.pdf  —  Ya enviado el "
                                                      "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$"))
                        .match(listaPdf->item(0)->text())
                        .hasMatch())
            << listaPdf->item(0)->text().toStdString();
        EXPECT_EQ(listaPdf->item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(listaPdf->item(1)->text(), QStringLiteral("Quorvel_blanco_201905.pdf"));
        listaPdf->item(0)->setCheckState(Qt::Checked);
        enviar->click();
        EXPECT_EQ(lineas(en<QPlainTextEdit>(&d, "MemoResultado")), QStringList{QStringLiteral("Envío a: 0101  OK")});
        guardarCaptura(&d, QStringLiteral("enviar-correos.png"));
        d.close();
    });
    const QString logDeLaGeneracion = control<QPlainTextEdit>("MemoError")->toPlainText();
    control<QPushButton>("BotXMail")->click();
    ASSERT_EQ(m_servidor.mensajes().size(), 2);
    EXPECT_EQ(m_servidor.mensajes().first().value(QStringLiteral("para")).toArray(),
              QJsonArray{QStringLiteral("almacen@alamo.es")});
    // Nothing of the screen's log reaches the main window.
    EXPECT_EQ(control<QPlainTextEdit>("MemoError")->toPlainText(), logDeLaGeneracion);
}

TEST_F(CorreoPralTest, AutomaticSendingAsksFirstAndCopiesTheLogIntoThePanel)
{
    abrir();
    generar();
    auto* boton = control<QPushButton>("BotEnvioAuto");
    const QString titulo = boton->text();
    // The question is asked with the button as it was: it says "Enviando..." only after the yes.
    class Guion : public InteraccionGuion
    {
    public:
        QPushButton* boton = nullptr;
        QStringList vistos;
        bool confirmar(QWidget* padre, const QString& texto, const QString& titulo) override
        {
            vistos << boton->text() + QStringLiteral(" ") + QString::number(boton->isEnabled());
            return InteraccionGuion::confirmar(padre, texto, titulo);
        }
    } guion;
    guion.boton = boton;

    guion.respuestas = {false};
    boton->click();
    EXPECT_EQ(guion.vistos, QStringList{titulo + QStringLiteral(" 1")});
    EXPECT_TRUE(guion.confirmaciones.first().endsWith(QStringLiteral("¿Seguro que quieres enviar ya todo?")));
    EXPECT_EQ(boton->text(), titulo);
    EXPECT_TRUE(boton->isEnabled());
    EXPECT_TRUE(control<QAction>("EnvioCorreos")->isEnabled());
    EXPECT_TRUE(m_servidor.mensajes().isEmpty());

    guion.respuestas = {true};
    boton->click();
    auto* memo = control<QPlainTextEdit>("MemoError");
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(lineas(memo),
              (QStringList{QStringLiteral("Envío a: 0101  OK"), QStringLiteral("Envío a: 0102  OK"), QString(26, u'-'),
                           QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»")}));
    EXPECT_EQ(m_servidor.mensajes().size(), 2);
    EXPECT_EQ(boton->text(), titulo);
    EXPECT_TRUE(control<QAction>("EnvioCorreosAuto")->isEnabled());

    // A server that went away: what went already is left out without trying, the centre whose address
    // changed meanwhile is tried and gets its error line, with the cause.
    m_servidor.parar();
    db().prepare(QStringLiteral("UPDATE centros SET email = ? WHERE codcentro = ?"))
        .bindAll(QStringLiteral("almacen2@alamo.es"), m_ejemplo.almacen.codcentro)
        .run();
    guion.respuestas = {true};
    boton->click();
    const QStringList log = lineas(memo);
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log.at(0), QStringLiteral("Error al enviar: 0101 a almacen2@alamo.es  %1 (no conexión)")
                             .arg(QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0101_201905.pdf"))));
    EXPECT_TRUE(log.at(1).startsWith(QStringLiteral("Ya enviado el ")));
    EXPECT_TRUE(log.at(1).endsWith(QStringLiteral(": 0102 a oficinas@alamo.es  %1")
                                       .arg(QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0102_201905.pdf")))))
        << log.at(1).toStdString();
    EXPECT_TRUE(guion.mensajes.isEmpty());
}

TEST_F(CorreoPralTest, TheRegisterWindowShowsWhatWentWhereFilteredByCentreAndMonth)
{
    abrir();
    generar();
    m_guion.respuestas = {true};
    control<QPushButton>("BotEnvioAuto")->click();
    ASSERT_EQ(m_servidor.mensajes().size(), 2);
    alAbrirse<TFormManEnvios>([this](TFormManEnvios& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Envíos realizados"));
        auto* rejilla = en<QTableView>(&d, "DBGridEnvios");
        auto* centros = en<QComboBox>(&d, "ComboCentros");
        auto* meses = en<QComboBox>(&d, "ComboMeses");
        QAbstractItemModelTester comprobador(rejilla->model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        const auto celda = [rejilla](int fila, int columna) {
            return rejilla->model()->index(fila, columna).data().toString();
        };
        EXPECT_EQ(rejilla->model()->rowCount(), 2);
        EXPECT_EQ(rejilla->model()->headerData(ModeloEnvios::Resultado, Qt::Horizontal).toString(),
                  QStringLiteral("Resultado"));
        EXPECT_EQ(centros->itemText(0), QStringLiteral("Todos los centros"));
        EXPECT_EQ(meses->itemText(0), QStringLiteral("Todos los meses"));
        ASSERT_EQ(centros->count(), 3);
        centros->setCurrentIndex(centros->findText(QStringLiteral("0101")));
        ASSERT_EQ(rejilla->model()->rowCount(), 1);
        EXPECT_EQ(celda(0, ModeloEnvios::Centro), QStringLiteral("0101"));
        EXPECT_EQ(celda(0, ModeloEnvios::Fichero), QStringLiteral("Quorvel_0101_201905.pdf"));
        EXPECT_EQ(celda(0, ModeloEnvios::Destinatarios), QStringLiteral("almacen@alamo.es"));
        EXPECT_EQ(celda(0, ModeloEnvios::Resultado), QStringLiteral("Envío a: 0101  OK"));
        // Several messages go at once, so the server's order is not the files'.
        QString id;
        for (const QJsonObject& m : m_servidor.mensajes())
            if (m.value(QStringLiteral("para")).toArray() == QJsonArray{QStringLiteral("almacen@alamo.es")})
                id = m.value(QStringLiteral("id")).toString();
        EXPECT_FALSE(id.isEmpty());
        EXPECT_EQ(celda(0, ModeloEnvios::MessageId), id);
        EXPECT_EQ(celda(0, ModeloEnvios::Fecha).left(10), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        ASSERT_EQ(meses->count(), 2);
        const QLocale es(QLocale::Spanish, QLocale::Spain);
        EXPECT_EQ(meses->itemText(1), es.standaloneMonthName(QDate::currentDate().month()).toLower() + u' ' +
                                          QString::number(QDate::currentDate().year()));
        meses->setCurrentIndex(1);
        EXPECT_EQ(rejilla->model()->rowCount(), 1);
        centros->setCurrentIndex(0);
        EXPECT_EQ(rejilla->model()->rowCount(), 2);
        d.close();
    });
    control<QAction>("ManEnvios")->trigger();
    EXPECT_TRUE(m_guion.errores.isEmpty());
}

TEST_F(CorreoPralTest, MailIsRefusedUntilTheAccountIsVerified)
{
    ajustar(QStringLiteral("\"E-OK\" = 0"));
    abrir();
    generar();
    control<QPushButton>("BotXMail")->click();
    control<QPushButton>("BotEnvioAuto")->click();
    const QString aviso = QStringLiteral("La cuenta de correo de envío no está comprobada\n"
                                         "    configúrela y compruébela en Constantes");
    EXPECT_EQ(m_guion.mensajes, QStringList({aviso, aviso}));
    EXPECT_TRUE(m_guion.confirmaciones.isEmpty());

    // The screen itself checks the stored flag when shown.
    TFormEnviarCorreos pantalla(db(), m_ventana.get());
    pantalla.CarpetaPDF = m_rutaPdf;
    pantalla.show();
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("No está comprobada la cuenta de envío de correo\n"
                                                      "Configúrela en Mantenimiento de Constantes, y pruébela"));
    EXPECT_EQ(en<QListWidget>(&pantalla, "ListaPDF")->count(), 0);
}

TEST_F(CorreoPralTest, SettingsScreenPicture)
{
    ajustar(QStringLiteral("RutaPDF = ?"), QStringLiteral("/home/gestoria/Quorvel/PDF"));
    ajustar(QStringLiteral("\"e-host\" = 'smtp.gmail.com', \"e-puerto\" = '465', \"e-usuario\" = 'nominas@alamo.es'"));
    abrir();
    TFormManConstantes pantalla(db(), m_ventana.get());
    pantalla.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pantalla));
    en<QLineEdit>(&pantalla, "EmailTest")->setText(QStringLiteral("yo@alamo.es"));
    // Every control fits: nothing squeezed below what it needs.
    for (const char* nombre :
         {"DBEHOST", "DBEPUERTO", "DBRutaPDF", "BotPruebaMail", "DBCKCalenxcentros", "BotConfiguraGmail"}) {
        auto* w = en<QWidget>(&pantalla, nombre);
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << nombre;
    }
    EXPECT_GE(en<QLineEdit>(&pantalla, "DBEPUERTO")->width(), 50);
    guardarCaptura(&pantalla, QStringLiteral("constantes.png"));
}
