// The output run as the main window drives it: the request from its controls, the run's questions
// answered by the window, and the result shown (mail actions, log, centre selection, PDF folder).
#include "sheets/TFormPral.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "calendars/TColorCalendar.h"
#include "data/TMD.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/TFormImpHojaDef.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

// What the run asks of the main window while it goes over the centres.
class SalidaPral : public InteraccionSalida
{
public:
    // `centros`: how many centres the run goes over, 0 for the selected centre alone.
    SalidaPral(TFormPral& ventana, int centros) : m_ventana(ventana), m_centros(centros) {}

    void mensaje(const QString& texto) override { m_ventana.mensaje(texto); }

    bool interrumpir() override
    {
        // The run keeps the user-interface thread; this is where Escape gets through to the window.
        QCoreApplication::processEvents();
        return m_ventana.m_interrumpir;
    }

    void centroEnCurso(qint64 idcentro, const QString&) override
    {
        // A centre another copy added after the list was loaded has no entry to show.
        const int posicion = int(m_ventana.m_idsCentros.indexOf(idcentro));
        if (posicion < 0)
            return;
        m_ventana.m_comboCentros->setCurrentIndex(posicion);
        m_ventana.ComboCentrosChange();
    }

    reports::PrintResult imprimir(TFormImpHojaDef& hoja, ModoSalida modo) override
    {
        Interaccion& interaccion = Interaccion::actual();
        if (modo == ModoSalida::Previsualizar) {
            // Each preview holds the keyboard while it is open, so leaving it with Escape or closing it is
            // how the user asks a run over several centres to stop.
            const bool enSerie = m_centros > 0 && m_posicion + 1 < m_total;
            if (!interaccion.previsualizar(&m_ventana, hoja.QRImpHojaDef(), enSerie))
                m_ventana.m_interrumpir = true;
            return {};
        }
        return interaccion.imprimir(hoja.QRImpHojaDef());
    }

    void progreso(int hechos, int total, const QString& codcentro) override
    {
        if (!codcentro.isEmpty()) {
            m_posicion = hechos;
            m_total = total;
        }
        m_ventana.progreso(hechos, total, codcentro);
        QCoreApplication::processEvents();
    }

private:
    TFormPral& m_ventana;
    const int m_centros;
    int m_posicion = -1;
    int m_total = 0;
};

namespace {

// The summary of a run on one line: a folder too long for the window loses its middle, and the whole text is
// the hint.
class EtiquetaResumen : public QLabel
{
public:
    explicit EtiquetaResumen(QWidget* padre) : QLabel(padre)
    {
        // The window is as wide as its controls; a long folder must not widen it.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    void poner(const QString& texto, const QString& carpeta)
    {
        m_texto = texto;
        m_carpeta = carpeta;
        setToolTip(texto);
        ajustar();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        ajustar();
    }

private:
    void ajustar()
    {
        const QFontMetrics medida = fontMetrics();
        if (medida.horizontalAdvance(m_texto) <= contentsRect().width() || !m_texto.endsWith(m_carpeta)) {
            setText(m_texto);
            return;
        }
        const QString antes = m_texto.chopped(m_carpeta.size());
        const int sitio = contentsRect().width() - medida.horizontalAdvance(antes);
        setText(antes + medida.elidedText(m_carpeta, Qt::ElideMiddle, qMax(sitio, 0)));
    }

    QString m_texto;
    QString m_carpeta;
};

// While a run goes on the window shows it, and only Escape (or closing) reaches it.
class EjecucionEnCurso
{
public:
    EjecucionEnCurso(bool& ejecutando, const QList<QWidget*>& bloqueados) : m_ejecutando(ejecutando)
    {
        m_ejecutando = true;
        for (QWidget* w : bloqueados) {
            if (w->isEnabled()) {
                w->setEnabled(false);
                m_bloqueados << w;
            }
        }
    }
    ~EjecucionEnCurso()
    {
        for (QWidget* w : m_bloqueados)
            w->setEnabled(true);
        m_ejecutando = false;
    }
    EjecucionEnCurso(const EjecucionEnCurso&) = delete;
    EjecucionEnCurso& operator=(const EjecucionEnCurso&) = delete;

private:
    bool& m_ejecutando;
    QList<QWidget*> m_bloqueados;
};

} // namespace

PeticionSalida TFormPral::peticion() const
{
    PeticionSalida p;
    p.centros = entradas(m_comboCentros);
    p.codigosCentros = m_codigosCentros;
    p.idsCentros = m_idsCentros;
    p.idempresa = m_idEmpresa;
    p.hilos = hilosPorDefecto();
    p.centroSeleccionado = posicion(m_comboCentros);
    p.todosCentros = m_ckTodosCentros->isChecked();
    p.trabajadores = entradas(m_comboTrabajadores);
    p.trabajadorSeleccionado = posicion(m_comboTrabajadores);
    p.textoTrabajador = m_comboTrabajadores->currentText();
    p.todosTrabajadores = m_ckTodosTrabajadores->isChecked();
    p.mesInicio = m_colorCalendar1->date();
    // The end month counts only while the range is ticked; hidden, it may still hold an earlier choice.
    p.mesFin = m_ckVariosMeses->isChecked() ? m_colorCalendar2->date() : p.mesInicio;
    p.opciones.sabados = m_ckSSabados->isChecked();
    p.opciones.domingos = m_ckSDomingos->isChecked();
    p.opciones.festivos = m_ckSFestivos->isChecked();
    p.opciones.autocentros = m_ckSautocentros->isChecked();
    p.opciones.diaSemana = m_ckDiaSemana->isChecked();
    p.opciones.verHoras = m_md.VerHoras;
    p.modo = m_ckGenerarPDF->isChecked() ? ModoSalida::Pdf
             : m_ckImpre->isChecked()    ? ModoSalida::Impresora
                                         : ModoSalida::Previsualizar;
    p.rutaPdf = m_rutaPdf->text();
    return p;
}

bool TFormPral::faltaImpresora(const PeticionSalida& p)
{
    // Better said before the folder is emptied than after the first centre.
    if (p.modo != ModoSalida::Impresora)
        return false;
    const reports::PrinterStatus estado = Interaccion::actual().estadoImpresora();
    if (estado.ready())
        return false;
    mensaje(estado.service == reports::PrinterStatus::Service::Answers ? textoSinImpresora()
                                                                       : textoSinServicioImpresion());
    return true;
}

void TFormPral::GenerarFicheroImprimirExecute()
{
    if (m_ejecutando)
        return;
    m_interrumpir = false;
    const Seleccion elegida = seleccionActual();
    m_memoError->clear();
    VerMemoError(false);
    m_panelResumen->hide();

    if (faltanDatosMaestros())
        return;
    const PeticionSalida p = peticion();
    const bool sinTrabajadores = p.trabajadores.isEmpty() && !p.todosCentros;
    if (!sinTrabajadores && faltaImpresora(p))
        return;
    m_modoEnCurso = p.modo;
    ResultadoSalida resultado;
    try {
        EjecucionEnCurso enCurso(m_ejecutando, {menuBar(), centralWidget(), findChild<QToolBar*>()});
        SalidaPral salida(*this, p.todosCentros ? int(p.centros.size()) : 0);
        resultado = GenerarFicheroImprimir(m_db, p, salida);
    } catch (...) {
        // A failed run goes back to what the user chose, so the next run is not a surprise either.
        progreso(0, 0, QString());
        if (!m_cerrarAlTerminar)
            restaurarSeleccion(elegida);
        throw;
    }
    progreso(0, 0, QString());
    if (m_cerrarAlTerminar) {
        close();
        return;
    }
    if (resultado.estado != ResultadoSalida::Estado::Rechazada)
        aplicarResultado(resultado, elegida);
}

TFormPral::Seleccion TFormPral::seleccionActual() const
{
    return {m_comboCentros->currentIndex(), posicion(m_comboTrabajadores), m_comboTrabajadores->currentText()};
}

void TFormPral::restaurarSeleccion(const Seleccion& s)
{
    // Back to the centre chosen before the run, without the centre-change reaction.
    m_comboCentros->setCurrentIndex(s.centro);
    m_codCentro = codigoCentroEn(s.centro);
    BotCargaTrabajadoresClick();
    // The reload selects the first worker; with "Todos los trabajadores" off that would be the one printed next.
    if (s.trabajador >= 0) {
        int elegido = m_comboTrabajadores->findText(s.textoTrabajador, Qt::MatchFixedString);
        if (elegido < 0) {
            // Renamed meanwhile by another copy of the program: the id still names the worker.
            const QString id = codigoEntrada(s.textoTrabajador);
            for (int i = 0; i < m_comboTrabajadores->count() && elegido < 0; ++i)
                if (codigoEntrada(m_comboTrabajadores->itemText(i)) == id)
                    elegido = i;
        }
        if (elegido >= 0)
            m_comboTrabajadores->setCurrentIndex(elegido);
    } else if (!s.textoTrabajador.isEmpty()) {
        m_comboTrabajadores->setCurrentIndex(-1);
        m_comboTrabajadores->setEditText(s.textoTrabajador);
    }
}

void TFormPral::aplicarResultado(const ResultadoSalida& resultado, const Seleccion& elegida)
{
    // The run has said it stopped; the request is spent.
    if (resultado.estado == ResultadoSalida::Estado::Interrumpida)
        m_interrumpir = false;
    if (resultado.correoHabilitado)
        ponerCorreoDisponible(*resultado.correoHabilitado);
    if (!resultado.log.isEmpty()) {
        // Shown first, so the lines are laid out at the width they are seen at.
        VerMemoError(true);
        for (const QString& linea : resultado.log)
            m_memoError->appendPlainText(linea);
        m_memoError->setFocus();
    }
    restaurarSeleccion(elegida);
    if (m_modoEnCurso == ModoSalida::Pdf)
        verResumen(resultado, m_rutaPdf->text());
    if (resultado.abrirCarpeta)
        BotAbrirCarpetaClick();
}

void TFormPral::BotHojaBlancoClick()
{
    if (m_ejecutando)
        return;
    const PeticionSalida p = peticion();
    if (faltaImpresora(p))
        return;
    m_panelResumen->hide();
    ResultadoSalida resultado;
    {
        EjecucionEnCurso enCurso(m_ejecutando, {menuBar(), centralWidget(), findChild<QToolBar*>()});
        SalidaPral salida(*this, 0);
        resultado = HojaBlanco(m_db, p, salida);
    }
    if (m_cerrarAlTerminar) {
        close();
        return;
    }
    if (resultado.estado != ResultadoSalida::Estado::Rechazada && p.modo == ModoSalida::Pdf)
        verResumen(resultado, p.rutaPdf);
    if (resultado.abrirCarpeta)
        BotAbrirCarpetaClick();
}

void TFormPral::ponerCorreoDisponible(bool disponible)
{
    m_correoDisponible = disponible;
    m_envioCorreos->setEnabled(disponible);
    m_envioCorreosAuto->setEnabled(disponible);
}

void TFormPral::progreso(int hechos, int total, const QString& codcentro)
{
    if (codcentro.isEmpty() || total <= 0) {
        m_textoProgreso->clear();
        m_progreso->hide();
        return;
    }
    const QString texto = m_modoEnCurso == ModoSalida::Pdf
                              ? QStringLiteral("Generando el centro %1 (%2 de %3)... Esc para interrumpir")
                              : QStringLiteral("Imprimiendo el centro %1 (%2 de %3)... Esc para interrumpir");
    m_textoProgreso->setText(texto.arg(codcentro).arg(hechos + 1).arg(total));
    m_progreso->setRange(0, total);
    m_progreso->setValue(hechos);
    m_progreso->show();
}

void TFormPral::VerMemoError(bool ver)
{
    m_panelLog->setVisible(ver);
    // The window takes or gives back the room now, so the lines are laid out at their width when first seen.
    layout()->activate();
}

QWidget* TFormPral::crearPanelLog()
{
    m_panelLog = new QFrame(this);
    m_panelLog->setObjectName(QStringLiteral("PanelLog"));
    auto* fila = new QHBoxLayout(m_panelLog);
    fila->setContentsMargins(0, 0, 0, 0);
    m_memoError = new QPlainTextEdit(m_panelLog);
    m_memoError->setObjectName(QStringLiteral("MemoError"));
    m_memoError->setReadOnly(true);
    // A path has no spaces to break at: it goes on over the next line rather than out of sight.
    m_memoError->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memoError->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_memoError->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memoError->setFixedHeight(m_memoError->fontMetrics().lineSpacing() * 6 + 12);
    // No mnemonic: Alt+C is the tool bar's "&Cerrar", which closes the program.
    auto* cerrar = new QPushButton(QStringLiteral("Cerrar"), m_panelLog);
    cerrar->setObjectName(QStringLiteral("BotCerrarLog"));
    cerrar->setAutoDefault(false);
    connect(cerrar, &QPushButton::clicked, this, [this] { VerMemoError(false); });
    // Beside the lines rather than under them: the window stays short enough for a laptop's screen.
    auto* boton = new QVBoxLayout;
    boton->addWidget(cerrar);
    boton->addStretch(1);
    fila->addWidget(m_memoError, 1);
    fila->addLayout(boton);
    m_panelLog->hide();
    return m_panelLog;
}

QWidget* TFormPral::crearPanelResumen()
{
    m_panelResumen = new QFrame(this);
    m_panelResumen->setObjectName(QStringLiteral("PanelResumen"));
    m_panelResumen->setFrameShape(QFrame::StyledPanel);
    auto* fila = new QHBoxLayout(m_panelResumen);
    m_textoResumen = new EtiquetaResumen(m_panelResumen);
    m_textoResumen->setObjectName(QStringLiteral("TextoResumen"));
    auto* abrir = new QPushButton(QStringLiteral("Abrir carpeta"), m_panelResumen);
    abrir->setObjectName(QStringLiteral("BotResumenCarpeta"));
    abrir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    abrir->setAutoDefault(false);
    errores::conectar(abrir, &QPushButton::clicked, this, [this] { BotAbrirCarpetaClick(); });
    fila->addWidget(m_textoResumen, 1);
    fila->addWidget(abrir);
    m_panelResumen->hide();
    return m_panelResumen;
}

void TFormPral::verResumen(const ResultadoSalida& resultado, const QString& carpeta)
{
    static_cast<EtiquetaResumen*>(m_textoResumen)
        ->poner(textoResumenPdf(int(resultado.ficheros.size()), resultado.hojas, carpeta),
                QDir::toNativeSeparators(QDir(carpeta).absolutePath()));
    m_panelResumen->show();
    layout()->activate();
}

void TFormPral::BotAbrirCarpetaClick()
{
    // Without a folder in the settings there is nothing to show (the current folder is not ours).
    if (m_rutaPdf->text().trimmed().isEmpty())
        return;
    // A desktop without a file manager fails silently; the clerk still learns where the files are.
    if (!Interaccion::actual().abrirCarpeta(m_rutaPdf->text()))
        mensaje(QStringLiteral("No se ha podido abrir la carpeta. Los ficheros PDF están en %1")
                    .arg(QDir::toNativeSeparators(QDir(m_rutaPdf->text()).absolutePath())));
}
