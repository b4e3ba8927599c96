#include "mail/TFormManConstantes.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "data/Secretos.h"
#include "data/TMD.h"
#include "mail/Correo.h"
#include "mail/ElegirCarpeta.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTextoPrueba =
    QStringLiteral("¡Enhorabuena!\n"
                   "\n"
                   "Si recibe este correo significa que la cuenta de envío del programa Quorvel, está bien \n"
                   "configurada.\n"
                   "\n"
                   "Quorvel - registro de jornada");

// The provider button's picture: an envelope, drawn so no image file has to ship with the program.
QIcon iconoSobre()
{
    QPixmap p(32, 24);
    p.fill(Qt::transparent);
    QPainter pintor(&p);
    pintor.setRenderHint(QPainter::Antialiasing);
    pintor.setPen(QPen(QColor(0xC5, 0x22, 0x1F), 2));
    pintor.setBrush(Qt::white);
    pintor.drawRect(2, 3, 28, 18);
    pintor.drawPolyline(QPolygon({QPoint(2, 3), QPoint(16, 14), QPoint(30, 3)}));
    return QIcon(p);
}

} // namespace

QString TFormManConstantes::textoCertificadoNoConfiable()
{
    return QStringLiteral("certificado no válido: el certificado del servidor no es de confianza. Si el servidor "
                          "usa un certificado propio de la oficina, indique el fichero de su autoridad (PEM) en "
                          "«Certificado CA (PEM)»");
}

QString TFormManConstantes::textoPreguntaGmail()
{
    return QStringLiteral("¿Seguro que quieres reiniciar la configuración del correo \n"
                          "     con los parámetros generales de GMail.?\n"
                          "      ¡Se perderá la actual configuración!");
}

TFormManConstantes::TFormManConstantes(store::Database& db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormManConstantes"));
    setWindowTitle(QStringLiteral("Mantenimiento de constantes"));
    // FormCreate: the row as stored now; a field that cannot be read stops the screen from opening.
    m_fila = leerConstantes(m_db);
    crearControles();
    mostrarFila();
    conectar();
    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
}

TFormManConstantes::~TFormManConstantes()
{
    qApp->removeEventFilter(this);
}

void TFormManConstantes::crearControles()
{
    const auto casilla = [this](const char* nombre, const char* texto) {
        auto* c = new QCheckBox(QString::fromUtf8(texto), this);
        c->setObjectName(QString::fromLatin1(nombre));
        return c;
    };
    const auto campo = [this](const char* nombre) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(nombre));
        return e;
    };

    auto* opciones = new QGroupBox(QStringLiteral("Opciones"), this);
    opciones->setObjectName(QStringLiteral("GroupOpciones"));
    auto* columnaOpciones = new QVBoxLayout(opciones);
    m_aplicaCentro = casilla("DBCKAPLICACENTRO", "Aplicar el calendario de cada centro");
    m_sabados = casilla("DBCKSABADOS", "Sábados cerrado");
    m_domingos = casilla("DBCKDOMINGOS", "Domingos cerrado");
    m_festivos = casilla("DBCKFESTIVOS", "Festivos cerrado");
    m_calenxcentros = casilla("DBCKCalenxcentros", "Permitir calendarios diferentes x centros");
    m_diasSemana = casilla("DBCKIMPDIASSEM", "Imprimir día de la semana en calendarios");
    m_generarPdf = casilla("DBCKGenerarPDF", "Generar PDF");
    m_impresora = casilla("DBCKImpresora", "Directo a la impresora");
    m_todosCentros = casilla("DBCKTODOSCENTROS", "Todos los centros");
    m_todosTrabajadores = casilla("DBCKTODOSTRABAJADORES", "Todos los trabajadores");
    m_multiempresa = casilla("DBCKMultiEmpresa", "Multiempresa");
    m_verHoras = casilla("DBCKVerhoras", "Columna horas");
    for (QCheckBox* c : {m_aplicaCentro, m_sabados, m_domingos, m_festivos, m_calenxcentros, m_diasSemana, m_generarPdf,
                         m_impresora, m_todosCentros, m_todosTrabajadores, m_multiempresa, m_verHoras})
        columnaOpciones->addWidget(c);
    columnaOpciones->addStretch(1);

    auto* etiquetaRuta = new QLabel(QStringLiteral("Ruta ficheros PDF"), this);
    m_rutaPdf = campo("DBRutaPDF");
    etiquetaRuta->setBuddy(m_rutaPdf);
    m_speedButton1 = new QToolButton(this);
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_speedButton1->setToolTip(QStringLiteral("Selecciona directorio:"));
    auto* filaRuta = new QHBoxLayout;
    filaRuta->addWidget(etiquetaRuta);
    filaRuta->addWidget(m_rutaPdf, 1);
    filaRuta->addWidget(m_speedButton1);

    auto* correo = new QGroupBox(QStringLiteral("Correo Electrónico (configuración cuenta de envío)"), this);
    correo->setObjectName(QStringLiteral("CorreoElectronico"));
    auto* rejilla = new QGridLayout(correo);
    m_configuraGmail = new QToolButton(correo);
    m_configuraGmail->setObjectName(QStringLiteral("BotConfiguraGmail"));
    m_configuraGmail->setIcon(iconoSobre());
    m_configuraGmail->setIconSize(QSize(32, 24));
    m_configuraGmail->setToolTip(QStringLiteral("Configuración base cuenta Gmail."));
    m_nombreEnvio = campo("DBENOMBREENVIO");
    m_direccionEnvio = campo("DBEDIRECCIONENVIO");
    m_host = campo("DBEHOST");
    m_puerto = campo("DBEPUERTO");
    m_puerto->setMaximumWidth(70);
    m_usuario = campo("DBEUSUARIO");
    m_password = campo("DBEPASSWORD");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }"));
    m_verPassword = new QToolButton(correo);
    m_verPassword->setObjectName(QStringLiteral("botverpassword"));
    m_verPassword->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    m_verPassword->hide();
    m_certificado = campo("DBECERTIFICADO");
    m_certificado->setPlaceholderText(QStringLiteral("solo si el servidor usa un certificado propio"));
    m_speedButton2 = new QToolButton(correo);
    m_speedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    m_speedButton2->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_speedButton2->setToolTip(QStringLiteral("Selecciona el certificado:"));
    m_conexiones = new QSpinBox(correo);
    m_conexiones->setObjectName(QStringLiteral("DBSECONEXIONES"));
    m_conexiones->setRange(1, kConexionesMaximo);
    m_conexiones->setToolTip(QStringLiteral("Mensajes que salen a la vez, cada uno por su conexión; con 1 se envían "
                                            "de uno en uno"));
    m_emailTest = campo("EmailTest");
    m_pruebaMail = new QPushButton(QStringLiteral("Prueba correo"), correo);
    m_pruebaMail->setObjectName(QStringLiteral("BotPruebaMail"));
    m_pruebaMail->setEnabled(false);
    m_pruebaMail->setAutoDefault(false);
    m_ok = casilla("DBEOK", "OK");
    m_ok->setEnabled(false);

    const auto etiqueta = [correo](const QString& texto, QWidget* de) {
        auto* l = new QLabel(texto, correo);
        l->setBuddy(de);
        return l;
    };
    int f = 0;
    rejilla->addWidget(etiqueta(QStringLiteral("Nombre del que envía"), m_nombreEnvio), f, 0);
    rejilla->addWidget(m_nombreEnvio, f, 1, 1, 2);
    rejilla->addWidget(m_configuraGmail, f, 3, Qt::AlignRight);
    ++f;
    rejilla->addWidget(etiqueta(QStringLiteral("Dirección desde envío"), m_direccionEnvio), f, 0);
    rejilla->addWidget(m_direccionEnvio, f, 1, 1, 3);
    ++f;
    rejilla->addWidget(etiqueta(QStringLiteral("Host SMTP"), m_host), f, 0);
    rejilla->addWidget(m_host, f, 1);
    rejilla->addWidget(etiqueta(QStringLiteral("Puerto"), m_puerto), f, 2, Qt::AlignRight);
    rejilla->addWidget(m_puerto, f, 3);
    ++f;
    rejilla->addWidget(etiqueta(QStringLiteral("Usuario:"), m_usuario), f, 0);
    rejilla->addWidget(m_usuario, f, 1, 1, 3);
    ++f;
    rejilla->addWidget(etiqueta(QStringLiteral("Password"), m_password), f, 0);
    auto* filaClave = new QHBoxLayout;
    filaClave->addWidget(m_password, 1);
    filaClave->addWidget(m_verPassword);
    rejilla->addLayout(filaClave, f, 1, 1, 3);
    ++f;
    rejilla->addWidget(etiqueta(QStringLiteral("Certificado CA (PEM)"), m_certificado), f, 0);
    auto* filaCertificado = new QHBoxLayout;
    filaCertificado->addWidget(m_certificado, 1);
    filaCertificado->addWidget(m_speedButton2);
    rejilla->addLayout(filaCertificado, f, 1, 1, 3);
    ++f;
    rejilla->addWidget(etiqueta(QStringLiteral("Conexiones a la vez"), m_conexiones), f, 0);
    rejilla->addWidget(m_conexiones, f, 1, Qt::AlignLeft);
    ++f;
    rejilla->setRowMinimumHeight(f++, 8);
    rejilla->addWidget(etiqueta(QStringLiteral("Escribe un mail para la prueba:"), m_emailTest), f++, 0, 1, 4);
    rejilla->addWidget(m_emailTest, f, 0, 1, 2);
    rejilla->addWidget(m_pruebaMail, f, 2);
    rejilla->addWidget(m_ok, f, 3);
    rejilla->setColumnStretch(1, 1);
    rejilla->setRowStretch(f + 1, 1);

    m_memoTexto = new QPlainTextEdit(kTextoPrueba, this);
    m_memoTexto->setObjectName(QStringLiteral("MemoTexto"));
    m_memoTexto->hide();

    auto* navegador = new QWidget(this);
    navegador->setObjectName(QStringLiteral("DBNavigator1"));
    auto* filaNavegador = new QHBoxLayout(navegador);
    filaNavegador->setContentsMargins(0, 0, 0, 0);
    m_grabar = new QToolButton(navegador);
    m_grabar->setObjectName(QStringLiteral("DBNavigator1Post"));
    m_grabar->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_grabar->setText(QStringLiteral("Grabar"));
    m_grabar->setToolTip(QStringLiteral("Grabar los cambios"));
    m_cancelar = new QToolButton(navegador);
    m_cancelar->setObjectName(QStringLiteral("DBNavigator1Cancel"));
    m_cancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_cancelar->setText(QStringLiteral("Cancelar"));
    m_cancelar->setToolTip(QStringLiteral("Cancelar los cambios"));
    for (QToolButton* b : {m_grabar, m_cancelar}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setEnabled(false);
        filaNavegador->addWidget(b);
    }
    filaNavegador->addStretch(1);

    auto* cuerpo = new QHBoxLayout;
    cuerpo->addWidget(opciones);
    cuerpo->addWidget(correo, 1);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(cuerpo, 1);
    todo->addLayout(filaRuta);
    todo->addWidget(navegador);
    setMinimumWidth(760);
}

void TFormManConstantes::mostrarFila()
{
    m_mostrando = true;
    const std::pair<QCheckBox*, bool> casillas[] = {{m_aplicaCentro, m_fila.autocentros},
                                                    {m_sabados, m_fila.sabados},
                                                    {m_domingos, m_fila.domingos},
                                                    {m_festivos, m_fila.festivos},
                                                    {m_calenxcentros, m_fila.Calenxcentros},
                                                    {m_diasSemana, m_fila.diasemana},
                                                    {m_generarPdf, m_fila.generarPDF},
                                                    {m_impresora, m_fila.impresora},
                                                    {m_todosCentros, m_fila.todoscentros},
                                                    {m_todosTrabajadores, m_fila.todostrabajadores},
                                                    {m_multiempresa, m_fila.Multiempresa},
                                                    {m_verHoras, m_fila.VerHoras},
                                                    {m_ok, m_fila.eOK}};
    for (const auto& [c, valor] : casillas)
        c->setChecked(valor);
    const std::pair<QLineEdit*, QString> campos[] = {{m_rutaPdf, m_fila.RutaPDF},
                                                     {m_nombreEnvio, m_fila.eNombreEnvio},
                                                     {m_direccionEnvio, m_fila.eDireccionEnvio},
                                                     {m_host, m_fila.eHost},
                                                     {m_puerto, m_fila.ePuerto},
                                                     {m_usuario, m_fila.eUsuario},
                                                     {m_password, m_fila.ePassword},
                                                     {m_certificado, m_fila.eCertificado}};
    for (const auto& [e, valor] : campos) {
        if (e->text() != valor)
            e->setText(valor);
    }
    m_conexiones->setValue(m_fila.eConexiones);
    m_mostrando = false;
}

void TFormManConstantes::conectar()
{
    using errores::conectar;
    const std::pair<QCheckBox*, bool Constantes::*> casillas[] = {
        {m_aplicaCentro, &Constantes::autocentros},    {m_sabados, &Constantes::sabados},
        {m_domingos, &Constantes::domingos},           {m_festivos, &Constantes::festivos},
        {m_calenxcentros, &Constantes::Calenxcentros}, {m_diasSemana, &Constantes::diasemana},
        {m_generarPdf, &Constantes::generarPDF},       {m_impresora, &Constantes::impresora},
        {m_todosCentros, &Constantes::todoscentros},   {m_todosTrabajadores, &Constantes::todostrabajadores},
        {m_multiempresa, &Constantes::Multiempresa},   {m_verHoras, &Constantes::VerHoras}};
    for (const auto& [c, campo] : casillas) {
        connect(c, &QCheckBox::toggled, this, [this, campo = campo](bool valor) {
            if (m_mostrando)
                return;
            m_fila.*campo = valor;
            editar();
        });
    }
    const std::pair<QLineEdit*, QString Constantes::*> campos[] = {{m_rutaPdf, &Constantes::RutaPDF},
                                                                   {m_nombreEnvio, &Constantes::eNombreEnvio},
                                                                   {m_direccionEnvio, &Constantes::eDireccionEnvio},
                                                                   {m_host, &Constantes::eHost},
                                                                   {m_puerto, &Constantes::ePuerto},
                                                                   {m_usuario, &Constantes::eUsuario},
                                                                   {m_password, &Constantes::ePassword},
                                                                   {m_certificado, &Constantes::eCertificado}};
    for (const auto& [e, campo] : campos) {
        // A test proves the account as it was: any change to it asks for a new one.
        const bool deLaCuenta = campo != &Constantes::RutaPDF;
        connect(e, &QLineEdit::textChanged, this, [this, campo = campo, deLaCuenta](const QString& texto) {
            if (m_mostrando)
                return;
            m_fila.*campo = texto;
            if (deLaCuenta && m_fila.eOK) {
                m_fila.eOK = false;
                m_ok->setChecked(false);
            }
            editar();
        });
    }
    // How many messages go at once says nothing about the account: the test stands.
    connect(m_conexiones, &QSpinBox::valueChanged, this, [this](int valor) {
        if (m_mostrando)
            return;
        m_fila.eConexiones = valor;
        editar();
    });
    conectar(m_generarPdf, &QCheckBox::clicked, this, [this] { DBCKGenerarPDFClick(); });
    conectar(m_impresora, &QCheckBox::clicked, this, [this] { DBCKImpresoraClick(); });
    conectar(m_speedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    conectar(m_speedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    conectar(m_emailTest, &QLineEdit::textChanged, this, [this] { EmailTestChange(); });
    conectar(m_pruebaMail, &QPushButton::clicked, this, [this] { BotPruebaMailClick(); });
    conectar(m_verPassword, &QToolButton::clicked, this, [this] { botverpasswordClick(); });
    conectar(m_configuraGmail, &QToolButton::clicked, this, [this] { BotConfiguraGmailClick(); });
    conectar(m_grabar, &QToolButton::clicked, this, [this] { DBNavigator1Click(true); });
    conectar(m_cancelar, &QToolButton::clicked, this, [this] { DBNavigator1Click(false); });
}

void TFormManConstantes::editar()
{
    m_editando = true;
    m_grabar->setEnabled(true);
    m_cancelar->setEnabled(true);
}

void TFormManConstantes::DBNavigator1Click(bool grabar)
{
    if (grabar) {
        grabarConstantes(m_db, m_fila);
        accept();
    } else {
        reject();
    }
}

void TFormManConstantes::SpeedButton1Click()
{
    QString carpeta;
    if (!ElegirCarpeta(this, QStringLiteral("Selecciona directorio:"), carpeta))
        return;
    m_fila.RutaPDF = carpeta;
    editar();
    mostrarFila();
}

void TFormManConstantes::SpeedButton2Click()
{
    const QString fichero = Interaccion::actual().elegirFichero(
        this, QStringLiteral("Selecciona el certificado:"),
        QStringLiteral("Certificados (*.pem *.crt *.cer);;Todos (*)"), false, m_certificado->text());
    if (!fichero.isEmpty())
        m_certificado->setText(QDir::toNativeSeparators(fichero)); // reacts like typing: the test is due again
}

void TFormManConstantes::DBCKGenerarPDFClick()
{
    if (m_generarPdf->isChecked())
        m_impresora->setChecked(false);
}

void TFormManConstantes::DBCKImpresoraClick()
{
    if (m_impresora->isChecked())
        m_generarPdf->setChecked(false);
}

void TFormManConstantes::EmailTestChange()
{
    m_pruebaMail->setEnabled(!m_probando && TMD::emailValido(m_emailTest->text()));
}

void TFormManConstantes::BotPruebaMailClick()
{
    if (m_probando)
        return;
    // The account as shown on the screen, saved or not.
    bool esEntero = false;
    m_puerto->text().trimmed().toInt(&esEntero);
    if (!esEntero)
        throw store::ConversionError(QStringLiteral("'%1' no es un valor entero válido").arg(m_puerto->text()));
    CuentaCorreo cuenta{m_nombreEnvio->text(), m_direccionEnvio->text(), m_host->text(),       m_puerto->text(),
                        m_usuario->text(),     m_password->text(),       m_certificado->text()};
    OpcionesCorreo opciones;
    opciones.segundosConexion = segundosConexion;
    opciones.segundosTotal = segundosTotal;
    // The exchange runs on this thread; keep the screen painted, but let no click in meanwhile.
    opciones.esperando = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };

    m_probando = true;
    m_pruebaMail->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ResultadoCorreo r =
        enviarCorreo(cuenta,
                     MensajeCorreo{m_emailTest->text(), QStringLiteral("Prueba de correo desde Quorvel"),
                                   m_memoTexto->toPlainText(), QString()},
                     opciones);
    borrarSecreto(cuenta.password);
    QApplication::restoreOverrideCursor();
    m_probando = false;
    EmailTestChange();

    m_fila.eOK = r.ok();
    editar();
    mostrarFila();
    const QString causa = r.fallo == FalloCorreo::Certificado ? textoCertificadoNoConfiable() : r.causa();
    Interaccion::actual().mensaje(
        this, r.ok() ? textoPruebaOk() : textoPruebaError() + QStringLiteral(" (") + causa + QStringLiteral(")"));
}

void TFormManConstantes::botverpasswordClick()
{
    m_password->setEchoMode(m_password->echoMode() == QLineEdit::Password ? QLineEdit::Normal : QLineEdit::Password);
}

void TFormManConstantes::BotConfiguraGmailClick()
{
    if (m_ok->isChecked() && !Interaccion::actual().confirmar(this, textoPreguntaGmail()))
        return;
    m_fila.eNombreEnvio = QStringLiteral("Nombre del que envía");
    m_fila.eDireccionEnvio = direccionGmail();
    m_fila.eHost = hostGmail();
    m_fila.ePuerto = QStringLiteral("465");
    m_fila.eUsuario = direccionGmail();
    m_fila.ePassword.clear();
    m_fila.eOK = false;
    editar();
    mostrarFila();
    Interaccion::actual().mensaje(this, textoCumplimentar());
}

void TFormManConstantes::FormKeyDown(int tecla, Qt::KeyboardModifiers modificadores)
{
    const Qt::KeyboardModifiers teclas =
        modificadores & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (teclas == (Qt::ControlModifier | Qt::ShiftModifier) && (tecla == Qt::Key_F11 || tecla == Qt::Key_F12))
        m_verPassword->show();
}

bool TFormManConstantes::eventFilter(QObject* objeto, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && objeto->isWidgetType()) {
        auto* w = static_cast<QWidget*>(objeto);
        if (w == this || isAncestorOf(w)) {
            const auto* tecla = static_cast<QKeyEvent*>(event);
            FormKeyDown(tecla->key(), tecla->modifiers());
        }
    }
    return false; // the key goes on to the focused control
}

void TFormManConstantes::closeEvent(QCloseEvent* event)
{
    if (m_probando) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
