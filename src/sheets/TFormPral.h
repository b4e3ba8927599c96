#pragma once

#include "VersionQuorvel.h"
#include "sheets/Pral.h"
#include "sheets/SalidaHojas.h"

#include <QDate>
#include <QList>
#include <QMainWindow>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class TColorCalendar;
class TMD;
namespace store {
class Database;
} // namespace store

// The main window: company, centre and worker lists, the month or range of months, the shading and output
// options, the month view of the base calendar, and the output run. Its creation opens the base calendar,
// its first show loads the lists and then the settings.
class TFormPral : public QMainWindow
{
    Q_OBJECT

public:
    // `hoy` is the month both month views start on.
    explicit TFormPral(TMD& md, QDate hoy = QDate::currentDate(), QWidget* parent = nullptr);
    ~TFormPral() override;

    static QString Version() { return QStringLiteral(QUORVEL_VERSION); }
    static QString FechaVersion() { return QStringLiteral(QUORVEL_FECHA_VERSION); }
    static QString textoSinImpresora();
    static QString textoSinServicioImpresion();

    qint64 IdEmpresa() const { return m_idEmpresa; }
    const QString& CodCentro() const { return m_codCentro; }
    const QList<qint64>& IdsEmpresas() const { return m_idsEmpresas; }
    bool Interrumpir() const { return m_interrumpir; }
    // The PDF files of the last run are ready to be mailed.
    bool correoDisponible() const { return m_correoDisponible; }
    bool ejecutando() const { return m_ejecutando; }

    // Reads the settings row and applies it, in the row's order; a field that cannot be read ends the load.
    void CargarConstantes();

    // The list loaders (hidden buttons BotCargaEmpresas, BotCargaCentros, BotCargaTrabajadores).
    void BotCargaEmpresasClick();
    void BotCargaCentrosClick();
    void BotCargaTrabajadoresClick();

    void GenerarFicheroImprimirExecute();
    void BotHojaBlancoClick();
    void VerMemoError(bool ver);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* event) override;

private:
    friend class SalidaPral;

    // Actions, menus, events (TFormPral.cpp)
    void crearAcciones();
    void crearMenus();
    void crearBarraHerramientas();
    void conectar();
    void FormShow();
    bool FormKeyPress(QKeyEvent* event);
    bool esDeLaVentana(QObject* objeto) const;
    void AcercadeExecute();

    // The body's controls (TFormPral_controles.cpp)
    QWidget* crearPanelSeleccion();
    QWidget* crearPanelMes();
    void crearOcultos();

    // Lists (TFormPral_listas.cpp)
    void ComboEmpresasChange();
    void ComboCentrosChange();
    void ComboTrabajadoresChange();
    void ComboTrabajadoresClick();
    void textoEscrito(QComboBox* lista);
    static int posicion(const QComboBox* lista);
    QString codigoCentroEn(int posicion) const;
    static QStringList entradas(const QComboBox* lista);
    static void vaciar(QComboBox* lista);
    static void llenar(QComboBox* lista, const QStringList& entradas);

    // Options, months and the month view (TFormPral_opciones.cpp)
    void marcar(QCheckBox* opcion, bool valor);
    void seleccionarSalida(int elemento);
    void mostrarSalida();
    void CKTodosCentrosClick();
    void CKTodosTrabajadoresClick();
    void CKSautocentrosClick();
    void CKSSabadosClick();
    void CKGenerarPDFClick();
    void CKImpreClick();
    void RSelSalidaClick();
    void CKVariosMesesClick();
    void BotMasClick();
    void BotMenosClick();
    void botmas2Click();
    void botmenos2Click();
    void ColorCalendar1Change();
    void ColorCalendar2Change();
    void ColorCalendar1DblClick();
    void BotSombrearClick();
    std::optional<int> codigoBase(QDate dia);

    // Master data screens (TFormPral_mantenimiento.cpp)
    void ManTablasExecute();
    void BuscarTrabajadoresExecute();
    void ManImportarExecute();
    void ManExportarExecute();
    void DatosDudososExecute();
    void BotManCentrosClick();
    // Before a run: says what is missing when there is no company yet, or the company has no centre.
    bool faltanDatosMaestros();
    // The first step, shown on the window itself while the file has no company.
    QWidget* crearPrimerPaso();
    void verPrimerPaso();

    // Calendar screens and the holiday plan (TFormPral_calendarios.cpp)
    void ManCalendariosExecute();
    void BotCalendarioBaseClick();
    void BotCalendarCentrosClick();
    void GenerarPlanFestivosExecute();

    // Settings screen and mail (TFormPral_correo.cpp)
    void ManConstantesExecute();
    void EnvioCorreosExecute();
    void EnvioCorreosAutoExecute();

    // Output run (TFormPral_salida.cpp)
    // The centre and worker chosen when a run starts: the run moves over the centres and reloads the worker
    // list, and gives them back when it ends.
    struct Seleccion
    {
        int centro = -1;
        int trabajador = -1; // position of the chosen worker entry, -1 for typed text that names none
        QString textoTrabajador;
    };
    PeticionSalida peticion() const;
    bool faltaImpresora(const PeticionSalida& p);
    Seleccion seleccionActual() const;
    void restaurarSeleccion(const Seleccion& s);
    void aplicarResultado(const ResultadoSalida& resultado, const Seleccion& elegida);
    void ponerCorreoDisponible(bool disponible);
    void progreso(int hechos, int total, const QString& codcentro);
    void BotAbrirCarpetaClick();
    void mensaje(const QString& texto);
    // Below the body, so neither covers the month view: what a PDF run wrote, and the log.
    QWidget* crearPanelResumen();
    QWidget* crearPanelLog();
    void verResumen(const ResultadoSalida& resultado, const QString& carpeta);

    TMD& m_md;
    store::Database& m_db;
    std::unique_ptr<festivos::CalendarioBaseAbierto> m_calendar; // open while the window lives

    pral::Colores m_colores;
    QList<qint64> m_idsEmpresas;
    QStringList m_codigosCentros; // as looked up: a code may hold a space, which the entry text cannot tell
    QList<qint64> m_idsCentros;
    qint64 m_idEmpresa = 0;
    QString m_codCentro;
    bool m_interrumpir = false;
    bool m_correoDisponible = false;
    bool m_ejecutando = false;
    bool m_mostrada = false;
    bool m_cerrarAlTerminar = false;
    ModoSalida m_modoEnCurso = ModoSalida::Pdf;

    // Actions
    QAction* m_salir = nullptr;
    QAction* m_manConstantes = nullptr;
    QAction* m_manTablas = nullptr;
    QAction* m_buscarTrabajadores = nullptr;
    QAction* m_manImportar = nullptr;
    QAction* m_manExportar = nullptr;
    QAction* m_datosDudosos = nullptr;
    QAction* m_manCalendarios = nullptr;
    QAction* m_acercade = nullptr;
    QAction* m_envioCorreos = nullptr;
    QAction* m_envioCorreosAuto = nullptr;
    QAction* m_generarFicheroImprimir = nullptr;
    QAction* m_generarPlanFestivos = nullptr;

    // Selection
    QComboBox* m_comboEmpresas = nullptr;
    QComboBox* m_comboCentros = nullptr;
    QComboBox* m_comboTrabajadores = nullptr;
    QCheckBox* m_ckTodosCentros = nullptr;
    QCheckBox* m_ckTodosTrabajadores = nullptr;
    QPushButton* m_botManCentros = nullptr;

    // Shading and output
    QCheckBox* m_ckSautocentros = nullptr;
    QCheckBox* m_ckSSabados = nullptr;
    QCheckBox* m_ckSDomingos = nullptr;
    QCheckBox* m_ckSFestivos = nullptr;
    QCheckBox* m_ckDiaSemana = nullptr;
    QCheckBox* m_ckGenerarPDF = nullptr;
    QCheckBox* m_ckImpre = nullptr;
    QGroupBox* m_rSelSalida = nullptr;
    QButtonGroup* m_salidas = nullptr;
    QLineEdit* m_rutaPdf = nullptr;
    QPushButton* m_botAbrirCarpeta = nullptr;
    QPushButton* m_botImprimir = nullptr;
    QPushButton* m_botHojaBlanco = nullptr;

    // Months
    TColorCalendar* m_colorCalendar1 = nullptr;
    TColorCalendar* m_colorCalendar2 = nullptr;
    QLabel* m_letiMes = nullptr;
    QLabel* m_letiMes2 = nullptr;
    QPushButton* m_botMenos = nullptr;
    QPushButton* m_botMas = nullptr;
    QPushButton* m_botmenos2 = nullptr;
    QPushButton* m_botmas2 = nullptr;
    QCheckBox* m_ckVariosMeses = nullptr;
    QPushButton* m_botCalendarioBase = nullptr;
    QPushButton* m_botCalendarCentros = nullptr;

    // First start
    QFrame* m_panelPrimerPaso = nullptr;

    // Log, summary and progress
    QFrame* m_panelLog = nullptr;
    QPlainTextEdit* m_memoError = nullptr;
    QFrame* m_panelResumen = nullptr;
    QLabel* m_textoResumen = nullptr;
    QLabel* m_textoProgreso = nullptr;
    QProgressBar* m_progreso = nullptr;
};
