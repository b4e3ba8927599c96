// The main window: its creation and first show, actions, menus and tool bar, and the keys it sees first.
#include "sheets/TFormPral.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/Ventanas.h"
#include "calendars/Festivos.h"
#include "calendars/TColorCalendar.h"
#include "data/TMD.h"
#include "mail/TFormManEnvios.h"
#include "sheets/TFormAcercade.h"
#include "store/Database.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

QString TFormPral::textoSinImpresora()
{
    return QStringLiteral("No hay ninguna impresora predeterminada instalada. Elija \"Generar PDF\" en "
                          "\"Seleccionar salida\" para obtener las hojas en ficheros PDF.");
}

QString TFormPral::textoSinServicioImpresion()
{
    return QStringLiteral("El servicio de impresión no responde: no se puede imprimir. Compruebe que está en "
                          "marcha o elija \"Generar PDF\" en \"Seleccionar salida\" para obtener las hojas en "
                          "ficheros PDF.");
}

TFormPral::TFormPral(TMD& md, QDate hoy, QWidget* parent)
    : QMainWindow(parent), m_md(md), m_db(md.Quorvel()), m_colores(pral::coloresPorCodigo())
{
    setObjectName(QStringLiteral("FormPral"));
    // FormCreate: the base calendar stays open for the month view while the window lives.
    m_calendar = std::make_unique<festivos::CalendarioBaseAbierto>(m_db);

    crearAcciones();
    crearMenus();
    crearBarraHerramientas();

    auto* central = new QWidget(this);
    auto* columna = new QVBoxLayout(central);
    columna->setContentsMargins(10, 8, 10, 8);
    columna->addWidget(crearPrimerPaso());
    auto* cuerpo = new QHBoxLayout;
    cuerpo->setSpacing(16);
    cuerpo->addWidget(crearPanelSeleccion(), 1);
    cuerpo->addWidget(crearPanelMes());
    columna->addLayout(cuerpo);
    columna->addWidget(crearPanelResumen());
    columna->addWidget(crearPanelLog());
    setCentralWidget(central);
    crearOcultos();

    m_textoProgreso = new QLabel(this);
    m_textoProgreso->setObjectName(QStringLiteral("TextoProgreso"));
    m_progreso = new QProgressBar(this);
    m_progreso->setObjectName(QStringLiteral("Progreso"));
    m_progreso->setMaximumWidth(220);
    m_progreso->hide();
    statusBar()->addWidget(m_textoProgreso, 1);
    statusBar()->addPermanentWidget(m_progreso);
    statusBar()->setSizeGripEnabled(false);

    conectar();
    setWindowTitle(QStringLiteral("Quorvel     v.") + Version() + QStringLiteral("    ") + FechaVersion() +
                   QStringLiteral("    ") + QDir::toNativeSeparators(m_md.rutaBaseDatos()));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_colorCalendar1->setDate(hoy);
    m_colorCalendar2->setDate(hoy);
    ColorCalendar1Change();
    // Every key reaches the window before its controls, the open drop-down of a list included.
    qApp->installEventFilter(this);
}

TFormPral::~TFormPral()
{
    qApp->removeEventFilter(this);
}

void TFormPral::crearAcciones()
{
    const auto accion = [this](const QString& nombre, const QString& texto) {
        auto* a = new QAction(texto, this);
        a->setObjectName(nombre);
        return a;
    };
    m_salir = accion(QStringLiteral("Salir"), QStringLiteral("Salir"));
    m_manConstantes = accion(QStringLiteral("ManConstantes"), QStringLiteral("Constantes"));
    m_manConstantes->setToolTip(QStringLiteral("Opciones, carpeta de los PDF y cuenta de correo de envío"));
    m_manTablas = accion(QStringLiteral("ManTablas"), QStringLiteral("Empresas/centros/trabajadores"));
    m_manTablas->setIconText(QStringLiteral("Emp/Cent/Trab"));
    m_manTablas->setToolTip(QStringLiteral("Empresas/centros/trabajadores"));
    m_buscarTrabajadores = accion(QStringLiteral("BuscarTrabajadores"), QStringLiteral("Búsqueda trabajadores"));
    m_buscarTrabajadores->setToolTip(QStringLiteral("Búsqueda trabajadores"));
    m_manImportar = accion(QStringLiteral("ManImportar"), QStringLiteral("Importar…"));
    m_manImportar->setToolTip(QStringLiteral("Empresas, centros y trabajadores desde una hoja de cálculo (CSV)"));
    m_manExportar = accion(QStringLiteral("ManExportar"), QStringLiteral("Exportar…"));
    m_manExportar->setToolTip(QStringLiteral("Empresas, centros y trabajadores a una hoja de cálculo (CSV)"));
    m_datosDudosos = accion(QStringLiteral("DatosDudosos"), QStringLiteral("Datos dudosos"));
    m_datosDudosos->setToolTip(QStringLiteral("NIF, CIF, NSS y CCC que no pasan su comprobación o que faltan"));
    // On offer only while the settings keep a calendar per centre (applied with the settings).
    m_manCalendarios = accion(QStringLiteral("ManCalendarios"), QStringLiteral("Mantenimiento Calendarios"));
    m_manCalendarios->setIconText(QStringLiteral("Calendarios"));
    m_acercade = accion(QStringLiteral("Acercade"), QStringLiteral("Acerca de ..."));
    m_acercade->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    m_envioCorreos = accion(QStringLiteral("EnvioCorreos"), QStringLiteral("Enviar ficheros por email"));
    m_envioCorreosAuto = accion(QStringLiteral("EnvioCorreosAuto"), QStringLiteral("Envío mails automático"));
    // The output run offers these once a PDF run has left files to send.
    m_envioCorreos->setToolTip(QStringLiteral("Elegir los PDF de la carpeta y enviar cada uno a su centro"));
    m_envioCorreosAuto->setToolTip(QStringLiteral("Enviar ya todos los PDF de la carpeta, cada uno a su centro"));
    for (QAction* correo : {m_envioCorreos, m_envioCorreosAuto})
        correo->setEnabled(false);
    m_generarFicheroImprimir =
        accion(QStringLiteral("GenerarFicheroImprimir"), QStringLiteral("Generar/Imprimir ficheros"));
    m_generarPlanFestivos = accion(QStringLiteral("GenerarPlanFestivos"), QStringLiteral("Plan festivos"));
}

void TFormPral::crearMenus()
{
    QMenu* archivo = menuBar()->addMenu(QStringLiteral("&Archivo"));
    archivo->setObjectName(QStringLiteral("Archivo"));
    archivo->addAction(m_salir);

    QMenu* mantenimiento = menuBar()->addMenu(QStringLiteral("Mantenimiento"));
    mantenimiento->setObjectName(QStringLiteral("Mantenimiento"));
    mantenimiento->addAction(m_manTablas);
    mantenimiento->addAction(m_manCalendarios);
    mantenimiento->addSeparator();
    mantenimiento->addAction(m_manImportar);
    mantenimiento->addAction(m_manExportar);
    mantenimiento->addSeparator();
    mantenimiento->addAction(m_manConstantes);
    // The register of sent mail; it changes nothing, so nothing is reloaded after it.
    QAction* envios = mantenimiento->addAction(QStringLiteral("Envíos realizados"));
    envios->setObjectName(QStringLiteral("ManEnvios"));
    errores::conectar(envios, &QAction::triggered, this, [this] {
        TFormManEnvios pantalla(m_db, this);
        pantalla.exec();
    });

    QMenu* procesos = menuBar()->addMenu(QStringLiteral("Procesos"));
    procesos->setObjectName(QStringLiteral("Procesos"));
    procesos->addAction(m_buscarTrabajadores);
    procesos->addAction(m_datosDudosos);
    procesos->addSeparator();
    procesos->addAction(m_generarFicheroImprimir);
    procesos->addSeparator();
    // The menu words this item differently from the action; it follows the action in all else.
    QAction* envio = procesos->addAction(QStringLiteral("Enviar ficheros por email ..."));
    envio->setObjectName(QStringLiteral("MenuEnvioCorreos"));
    envio->setEnabled(m_envioCorreos->isEnabled());
    connect(m_envioCorreos, &QAction::enabledChanged, envio, &QAction::setEnabled);
    connect(envio, &QAction::triggered, m_envioCorreos, &QAction::trigger);
    procesos->addAction(m_envioCorreosAuto);

    QMenu* ayuda = menuBar()->addMenu(QStringLiteral("A&yuda"));
    ayuda->setObjectName(QStringLiteral("Ayuda"));
    ayuda->addAction(m_acercade);
}

void TFormPral::crearBarraHerramientas()
{
    QToolBar* barra = addToolBar(QStringLiteral("Herramientas"));
    barra->setObjectName(QStringLiteral("ToolBar1"));
    barra->setMovable(false);
    barra->setFloatable(false);
    barra->setContextMenuPolicy(Qt::PreventContextMenu);
    const auto botonBarra = [barra](QAction* accion, Qt::ToolButtonStyle estilo) {
        auto* b = new QToolButton(barra);
        b->setObjectName(QStringLiteral("ToolButton") + accion->objectName());
        b->setDefaultAction(accion);
        b->setToolButtonStyle(estilo);
        barra->addWidget(b);
    };
    botonBarra(m_manTablas, Qt::ToolButtonTextOnly);
    botonBarra(m_buscarTrabajadores, Qt::ToolButtonTextOnly);
    botonBarra(m_manCalendarios, Qt::ToolButtonTextOnly);
    botonBarra(m_acercade, Qt::ToolButtonIconOnly);

    auto* hueco = new QWidget(barra);
    hueco->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    barra->addWidget(hueco);
    auto* cerrar = new QToolButton(barra);
    cerrar->setObjectName(QStringLiteral("BotCerrar"));
    cerrar->setText(QStringLiteral("&Cerrar"));
    cerrar->setToolTip(QStringLiteral("Cierra la aplicación"));
    cerrar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    barra->addWidget(cerrar);
    connect(cerrar, &QToolButton::clicked, this, &QWidget::close);
}

void TFormPral::conectar()
{
    using errores::conectar;
    conectar(m_salir, &QAction::triggered, this, [this] { close(); });
    conectar(m_acercade, &QAction::triggered, this, [this] { AcercadeExecute(); });
    conectar(m_generarFicheroImprimir, &QAction::triggered, this, [this] { GenerarFicheroImprimirExecute(); });
    conectar(m_manTablas, &QAction::triggered, this, [this] { ManTablasExecute(); });
    conectar(m_buscarTrabajadores, &QAction::triggered, this, [this] { BuscarTrabajadoresExecute(); });
    conectar(m_manImportar, &QAction::triggered, this, [this] { ManImportarExecute(); });
    conectar(m_manExportar, &QAction::triggered, this, [this] { ManExportarExecute(); });
    conectar(m_datosDudosos, &QAction::triggered, this, [this] { DatosDudososExecute(); });
    conectar(m_botManCentros, &QPushButton::clicked, this, [this] { BotManCentrosClick(); });
    conectar(m_manCalendarios, &QAction::triggered, this, [this] { ManCalendariosExecute(); });
    conectar(m_botCalendarioBase, &QPushButton::clicked, this, [this] { BotCalendarioBaseClick(); });
    conectar(m_botCalendarCentros, &QPushButton::clicked, this, [this] { BotCalendarCentrosClick(); });
    conectar(m_generarPlanFestivos, &QAction::triggered, this, [this] { GenerarPlanFestivosExecute(); });
    conectar(m_manConstantes, &QAction::triggered, this, [this] { ManConstantesExecute(); });
    conectar(m_envioCorreos, &QAction::triggered, this, [this] { EnvioCorreosExecute(); });
    conectar(m_envioCorreosAuto, &QAction::triggered, this, [this] { EnvioCorreosAutoExecute(); });

    for (QComboBox* l : {m_comboEmpresas, m_comboCentros, m_comboTrabajadores})
        conectar(l->lineEdit(), &QLineEdit::textEdited, this, [this, l] { textoEscrito(l); });
    conectar(m_comboEmpresas, &QComboBox::activated, this, [this] { ComboEmpresasChange(); });
    conectar(m_comboCentros, &QComboBox::activated, this, [this] { ComboCentrosChange(); });
    conectar(m_comboTrabajadores, &QComboBox::activated, this, [this] {
        ComboTrabajadoresChange();
        ComboTrabajadoresClick();
    });

    // The user's clicks run the reactions; code goes through marcar() and seleccionarSalida().
    conectar(m_ckTodosCentros, &QCheckBox::clicked, this, [this] { CKTodosCentrosClick(); });
    conectar(m_ckTodosTrabajadores, &QCheckBox::clicked, this, [this] { CKTodosTrabajadoresClick(); });
    conectar(m_ckSautocentros, &QCheckBox::clicked, this, [this] { CKSautocentrosClick(); });
    for (QCheckBox* c : {m_ckSSabados, m_ckSDomingos, m_ckSFestivos})
        conectar(c, &QCheckBox::clicked, this, [this] { CKSSabadosClick(); });
    conectar(m_ckGenerarPDF, &QCheckBox::clicked, this, [this] { CKGenerarPDFClick(); });
    conectar(m_ckImpre, &QCheckBox::clicked, this, [this] { CKImpreClick(); });
    conectar(m_ckVariosMeses, &QCheckBox::clicked, this, [this] { CKVariosMesesClick(); });
    conectar(m_salidas, &QButtonGroup::idClicked, this, [this] { RSelSalidaClick(); });

    conectar(m_botMas, &QPushButton::clicked, this, [this] { BotMasClick(); });
    conectar(m_botMenos, &QPushButton::clicked, this, [this] { BotMenosClick(); });
    conectar(m_botmas2, &QPushButton::clicked, this, [this] { botmas2Click(); });
    conectar(m_botmenos2, &QPushButton::clicked, this, [this] { botmenos2Click(); });
    conectar(m_colorCalendar1, &TColorCalendar::changed, this, [this] { ColorCalendar1Change(); });
    conectar(m_colorCalendar2, &TColorCalendar::changed, this, [this] { ColorCalendar2Change(); });
    conectar(m_colorCalendar1, &TColorCalendar::doubleClicked, this, [this] { ColorCalendar1DblClick(); });

    conectar(m_botAbrirCarpeta, &QPushButton::clicked, this, [this] { BotAbrirCarpetaClick(); });
    conectar(m_botHojaBlanco, &QPushButton::clicked, this, [this] { BotHojaBlancoClick(); });
}

void TFormPral::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_mostrada)
        return;
    m_mostrada = true;
    centrarEnPantalla(this);
    errores::protegido(this, [this] { FormShow(); });
}

void TFormPral::FormShow()
{
    BotCargaEmpresasClick();
    CargarConstantes();
}

void TFormPral::closeEvent(QCloseEvent* event)
{
    // A run in progress is asked to stop first; the window closes once it has.
    if (m_ejecutando) {
        m_interrumpir = true;
        m_cerrarAlTerminar = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool TFormPral::esDeLaVentana(QObject* objeto) const
{
    const auto* w = qobject_cast<const QWidget*>(objeto);
    if (!w)
        return false;
    const QWidget* ventana = w->window();
    if (ventana == this)
        return true;
    // The open drop-down of a list is a window of its own, owned by the list.
    return ventana->windowType() == Qt::Popup && ventana->parentWidget() && ventana->parentWidget()->window() == this;
}

bool TFormPral::eventFilter(QObject* objeto, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && esDeLaVentana(objeto)) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        if (FormKeyPress(tecla))
            return true;
        // Escape also closes the log: it is the key a clerk tries first on a panel that is in the way.
        if (objeto == m_memoError &&
            (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter || tecla->key() == Qt::Key_Escape)) {
            VerMemoError(false);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick && objeto == m_memoError->viewport()) {
        VerMemoError(false);
        return true;
    }
    return QMainWindow::eventFilter(objeto, event);
}

bool TFormPral::FormKeyPress(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return false; // not a key of their own: they only shape the next one
    default:
        break;
    }
    m_interrumpir = event->key() == Qt::Key_Escape;
    const QString texto = event->text();
    if (texto != QStringLiteral("+") && texto != QStringLiteral("-"))
        return false;
    // The run took its months when it started; the keys wait until it ends.
    if (m_ejecutando)
        return true;
    const bool adelante = texto == QStringLiteral("+");
    errores::protegido(this, [this, adelante] {
        if (m_ckVariosMeses->isChecked())
            adelante ? botmas2Click() : botmenos2Click();
        else
            adelante ? BotMasClick() : BotMenosClick();
    });
    return true;
}

void TFormPral::AcercadeExecute()
{
    TFormAcercade acerca(this);
    acerca.ponerVersion(Version(), FechaVersion());
    acerca.ponerBaseDatos(m_md.rutaBaseDatos());
    acerca.exec();
}

void TFormPral::mensaje(const QString& texto)
{
    Interaccion::actual().mensaje(this, texto);
}
