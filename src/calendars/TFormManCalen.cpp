#include "calendars/TFormManCalen.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "calendars/FestivosOficiales.h"
#include "calendars/GestionCalendarios.h"
#include "calendars/TFormFestivos.h"
#include "calendars/TFrameCalendarioAnual.h"
#include "reports/PrintQueue.h"
#include "store/Database.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <optional>

namespace {

// The theme's printer, or one drawn here on themes without it: a save icon on a print button misleads.
QIcon iconoImpresora()
{
    const QIcon tema = QIcon::fromTheme(QStringLiteral("document-print"));
    if (!tema.isNull())
        return tema;
    QPixmap dibujo(32, 32);
    dibujo.fill(Qt::transparent);
    QPainter p(&dibujo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10)); // the sheet going in
    p.setBrush(QColor(0x70, 0x70, 0x78));
    p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2); // the body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 19, 16, 10)); // the sheet coming out
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(19, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x40, 0xC0, 0x40));
    p.drawEllipse(QPointF(25, 15), 1.5, 1.5);
    p.end();
    return QIcon(dibujo);
}

} // namespace

TFormManCalen::TFormManCalen(store::Database& db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormManCalen"));
    setWindowTitle(QStringLiteral("Calendario Laboral"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(4, 4, 4, 4);
    m_desplazable = new QScrollArea(this);
    m_desplazable->setWidgetResizable(true);
    m_desplazable->setFrameShape(QFrame::NoFrame);
    columna->addWidget(m_desplazable, 1);

    m_botImprimir = new QPushButton(this);
    m_botImprimir->setObjectName(QStringLiteral("BotImprimir"));
    m_botImprimir->setIcon(iconoImpresora());
    m_botImprimir->setText(QStringLiteral("Imprimir"));
    m_botImprimir->setToolTip(QStringLiteral("Imprime el calendario"));
    m_botOficiales = new QPushButton(QStringLiteral("Festivos oficiales…"), this);
    m_botOficiales->setObjectName(QStringLiteral("BotFestivosOficiales"));
    m_botOficiales->setToolTip(QStringLiteral("Marca los festivos nacionales y autonómicos del año"));
    m_botOficiales->setAutoDefault(false);
    m_botImportar = new QPushButton(QStringLiteral("Importar festivos…"), this);
    m_botImportar->setObjectName(QStringLiteral("BotImportarFestivos"));
    m_botImportar->setToolTip(QStringLiteral("Marca los festivos de un fichero .ics o CSV (fecha;nombre;tipo)"));
    m_botImportar->setAutoDefault(false);
    m_botCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    m_botCerrar->setObjectName(QStringLiteral("BotCerrar"));
    m_botCerrar->setAutoDefault(false);
    m_botImprimir->setAutoDefault(false);
    auto* botones = new QHBoxLayout;
    botones->addWidget(m_botOficiales);
    botones->addWidget(m_botImportar);
    botones->addStretch(1);
    botones->addWidget(m_botImprimir);
    botones->addWidget(m_botCerrar);
    columna->addLayout(botones);

    errores::conectar(m_botImprimir, &QPushButton::clicked, this, [this] { BotImprimirClick(); });
    errores::conectar(m_botOficiales, &QPushButton::clicked, this, [this] { BotFestivosOficialesClick(); });
    errores::conectar(m_botImportar, &QPushButton::clicked, this, [this] { BotImportarFestivosClick(); });
    connect(m_botCerrar, &QPushButton::clicked, this, &QDialog::accept);
}

TFormManCalen::~TFormManCalen() = default;

int TFormManCalen::exec()
{
    if (!disponible())
        return QDialog::Rejected;
    return QDialog::exec();
}

TFrameCalendarioAnual* TFormManCalen::crearEditor()
{
    return new TFrameCalendarioAnual(m_db);
}

void TFormManCalen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_mostrada) {
        m_mostrada = true;
        errores::protegido(this, [this] { FormShow(); });
    }
}

void TFormManCalen::FormShow()
{
    if (!m_frame) {
        m_frame = crearEditor();
        m_desplazable->setWidget(m_frame);
        // Wide enough for the twelve months without a horizontal bar; tall as the screen allows.
        const QSize deseado = m_frame->sizeHint() + QSize(40, 60);
        resize(deseado.boundedTo(QSize(1024, 740)));
    }
    // Wholly inside the screen, title bar and frame included, and in its middle: on a small screen the year
    // scrolls and "Cerrar" stays in sight.
    if (const QScreen* pantalla = screen()) {
        const QRect disponible = pantalla->availableGeometry();
        const QSize marco = frameGeometry().size() - size();
        // Room for a title bar the window system may not have reported yet.
        resize(size().boundedTo(disponible.size() - marco.expandedTo(QSize(16, 40))));
        move(disponible.center() - QPoint((width() + marco.width()) / 2, (height() + marco.height()) / 2));
    }
    QSignalBlocker sinEco(m_frame->Any);
    m_frame->Any->setValue(Hoy.year());
    m_frame->AbrirTabla();
    setWindowTitle(QStringLiteral("Calendario Laboral:  ") + Titulo);
    m_frame->AnyChange();
    m_frame->FrameEnter();
}

void TFormManCalen::FormClose()
{
    if (m_frame)
        m_frame->CerrarTabla();
}

void TFormManCalen::closeEvent(QCloseEvent* event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void TFormManCalen::done(int resultado)
{
    FormClose();
    QDialog::done(resultado);
}

void TFormManCalen::BotImprimirClick()
{
    const reports::PrinterStatus estado = Interaccion::actual().estadoImpresora();
    if (!estado.ready()) {
        Interaccion::actual().mensaje(
            this, estado.service == reports::PrinterStatus::Service::NoAnswer
                      ? QStringLiteral("El servicio de impresión no responde: el calendario no se puede imprimir.")
                      : QStringLiteral("No hay ninguna impresora predeterminada instalada: el calendario no se puede "
                                       "imprimir."));
        return;
    }
    m_botCerrar->hide();
    m_botImprimir->hide();
    // The picture shows the year, not where the keyboard happens to be.
    QWidget* foco = QApplication::focusWidget();
    if (auto* texto = m_frame ? m_frame->Any->findChild<QLineEdit*>() : nullptr)
        texto->deselect();
    if (foco)
        foco->clearFocus();
    // The whole year, even the part a small screen scrolls away.
    const QImage imagen = m_frame ? m_frame->grab().toImage() : grab().toImage();
    if (foco)
        foco->setFocus(Qt::OtherFocusReason);
    m_botCerrar->show();
    m_botImprimir->show();
    const reports::PrintResult impresion = Interaccion::actual().imprimirImagen(imagen, windowTitle());
    if (!impresion.printed())
        Interaccion::actual().mensaje(this, Interaccion::textoNoImpreso(impresion));
}

void TFormManCalen::BotFestivosOficialesClick()
{
    if (!m_frame)
        return;
    const int anyo = m_frame->Any->value();
    std::optional<oficiales::Tabla> tabla;
    try {
        tabla = oficiales::Tabla::cargarPara(m_db.path());
    } catch (const oficiales::ErrorTabla& e) {
        Interaccion::actual().mensaje(this, e.message());
        return;
    }
    if (!tabla->tieneAnio(anyo)) {
        Interaccion::actual().mensaje(
            this, QStringLiteral("No hay festivos oficiales de %1; puede importarlos de un fichero").arg(anyo));
        return;
    }
    TFormFestivos ventana(m_db, m_frame->numeroCalendario(), anyo, std::move(*tabla), this);
    if (ventana.exec() == QDialog::Accepted)
        m_frame->dibujar_calendario();
}

void TFormManCalen::BotImportarFestivosClick()
{
    if (!m_frame)
        return;
    const QString fichero = Interaccion::actual().elegirFichero(
        this, QStringLiteral("Importar festivos"),
        QStringLiteral("Calendarios y tablas (*.ics *.csv *.txt);;Todos los ficheros (*)"), false);
    if (fichero.isEmpty())
        return;
    TFormFestivos ventana(m_db, m_frame->numeroCalendario(), m_frame->Any->value(), fichero, this);
    if (!ventana.errorFichero().isEmpty()) {
        Interaccion::actual().mensaje(this, ventana.errorFichero() + QStringLiteral("\nNo se ha marcado ningún día."));
        return;
    }
    if (ventana.exec() == QDialog::Accepted)
        m_frame->dibujar_calendario();
}

int TFormManCalen2::numero() const
{
    bool ok = false;
    const int n = NumCalendario.trimmed().toInt(&ok);
    return ok ? n : -1;
}

bool TFormManCalen2::disponible()
{
    const int n = numero();
    if (n < 0) {
        Interaccion::actual().mensaje(this, QStringLiteral("«%1» no es un número de calendario.").arg(NumCalendario));
        return false;
    }
    if (!calendarios::existeCalendario(m_db, n)) {
        Interaccion::actual().mensaje(this, QStringLiteral("No existe el calendario %1.").arg(n));
        return false;
    }
    return true;
}

TFrameCalendarioAnual* TFormManCalen2::crearEditor()
{
    const int n = numero();
    if (n <= 0)
        return TFormManCalen::crearEditor();
    auto* editor = new TFrameCalendarioAnual2(m_db);
    editor->NumCalendario = n;
    return editor;
}
