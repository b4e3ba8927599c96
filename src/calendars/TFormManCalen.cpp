#include "calendars/TFormManCalen.h"

#include "calendars/GestionCalendarios.h"
#include "calendars/TFrameCalendarioAnual.h"
#include "reports/PrintQueue.h"
#include "shell/Interaccion.h"
#include "shell/ManejadorErrores.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

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
    m_botImprimir->setIcon(
        QIcon::fromTheme(QStringLiteral("document-print"), style()->standardIcon(QStyle::SP_DialogSaveButton)));
    m_botImprimir->setText(QStringLiteral("Imprimir"));
    m_botImprimir->setToolTip(QStringLiteral("Imprime el calendario"));
    m_botCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    m_botCerrar->setObjectName(QStringLiteral("BotCerrar"));
    m_botCerrar->setAutoDefault(false);
    m_botImprimir->setAutoDefault(false);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_botImprimir);
    botones->addWidget(m_botCerrar);
    columna->addLayout(botones);

    errores::conectar(m_botImprimir, &QPushButton::clicked, this, [this] { BotImprimirClick(); });
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
    // The whole year, even the part a small screen scrolls away.
    const QImage imagen = m_frame ? m_frame->grab().toImage() : grab().toImage();
    m_botCerrar->show();
    m_botImprimir->show();
    const reports::PrintResult impresion = Interaccion::actual().imprimirImagen(imagen, windowTitle());
    if (!impresion.printed())
        Interaccion::actual().mensaje(this, Interaccion::textoNoImpreso(impresion));
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
