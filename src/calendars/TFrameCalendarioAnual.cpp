#include "calendars/TFrameCalendarioAnual.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "calendars/Festivos.h"
#include "calendars/GestionCalendarios.h"
#include "calendars/TColorCalendar.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char* const kMeses[] = {"Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
                              "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};
// Label2 heads January and Label1 February, as the form always had them.
const char* const kEtiquetas[] = {"Label2", "Label1", "Label3", "Label4",  "Label5",  "Label6",
                                  "Label7", "Label8", "Label9", "Label10", "Label11", "Label12"};
const char* const kPaneles[] = {"PanelNacional", "PanelProvincial", "PanelLocal", "PanelAbierto"};
const char* const kLeyendas[] = {"LabelFestivo", "Label13", "Label14", "Label16"};
const char* const kTag = "tag";

} // namespace

TFrameCalendarioAnual::TFrameCalendarioAnual(store::Database& db, QWidget* parent) : QFrame(parent), m_db(db)
{
    setObjectName(QStringLiteral("FrameCalendarioAnual1"));
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(8, 4, 8, 4);
    columna->setSpacing(4);

    Any = new QSpinBox(this);
    Any->setObjectName(QStringLiteral("Any"));
    // Every year a date can hold; the editor itself sets no limit.
    Any->setRange(1, 9999);
    Any->setValue(QDate::currentDate().year());
    QFont grande = Any->font();
    grande.setBold(true);
    grande.setPixelSize(22);
    Any->setFont(grande);
    Any->setAlignment(Qt::AlignCenter);
    Any->setMinimumWidth(110);
    columna->addWidget(Any, 0, Qt::AlignHCenter);

    auto* rejilla = new QGridLayout;
    rejilla->setHorizontalSpacing(12);
    rejilla->setVerticalSpacing(2);
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    for (int m = 0; m < 12; ++m) {
        auto* titulo = new QLabel(espanol.monthName(m + 1).toUpper(), this);
        titulo->setObjectName(QString::fromLatin1(kEtiquetas[m]));
        titulo->setAlignment(Qt::AlignCenter);
        QFont negrita = titulo->font();
        negrita.setBold(true);
        titulo->setFont(negrita);
        QPalette marino = titulo->palette();
        marino.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
        titulo->setPalette(marino);

        auto* g = new TColorCalendar(this);
        g->setObjectName(QString::fromLatin1(kMeses[m]));
        g->setStartOfWeek(1);
        g->setFixedSize(210, 135);
        g->setFocusPolicy(Qt::StrongFocus);
        g->setDate(QDate(Any->value(), m + 1, 1));
        g->installEventFilter(this);
        m_meses[std::size_t(m)] = g;
        errores::conectar(g, &TColorCalendar::doubleClicked, this, [this, g] { EneroDblClick(g); });

        rejilla->addWidget(titulo, (m / 4) * 2, m % 4);
        rejilla->addWidget(g, (m / 4) * 2 + 1, m % 4);
    }
    columna->addLayout(rejilla);

    auto* chuleta = new QFrame(this);
    chuleta->setObjectName(QStringLiteral("PanelChuleta"));
    chuleta->setFrameShape(QFrame::StyledPanel);
    auto* fila = new QHBoxLayout(chuleta);
    fila->setContentsMargins(8, 4, 8, 4);
    auto* ayuda = new QLabel(QStringLiteral("Seleccionar el tipo de festivo y  haga doble clic sobre el día"), chuleta);
    ayuda->setObjectName(QStringLiteral("Label15"));
    QPalette verdeAzulado = ayuda->palette();
    verdeAzulado.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x80));
    ayuda->setPalette(verdeAzulado);
    fila->addWidget(ayuda);
    fila->addSpacing(16);
    const auto& tipos = festivos::tiposDia();
    for (std::size_t i = 0; i < tipos.size(); ++i) {
        auto* panel = new QFrame(chuleta);
        panel->setObjectName(QString::fromLatin1(kPaneles[i]));
        panel->setFixedSize(22, 18);
        panel->setAutoFillBackground(true);
        QPalette color = panel->palette();
        color.setColor(QPalette::Window, tipos[i].color);
        color.setColor(QPalette::WindowText, Qt::black);
        panel->setPalette(color);
        panel->setLineWidth(2);
        panel->setProperty(kTag, int(i));
        panel->setToolTip(tipos[i].pista);
        panel->setCursor(Qt::PointingHandCursor);
        panel->installEventFilter(this);
        // Taking the focus on a click makes the focus enter the editor before the type is chosen, not after.
        panel->setFocusPolicy(Qt::ClickFocus);
        auto* leyenda = new QLabel(tipos[i].nombreEditor, chuleta);
        leyenda->setObjectName(QString::fromLatin1(kLeyendas[i]));
        leyenda->setProperty(kTag, int(i));
        leyenda->setToolTip(tipos[i].pista);
        leyenda->setCursor(Qt::PointingHandCursor);
        leyenda->installEventFilter(this);
        leyenda->setFocusPolicy(Qt::ClickFocus);
        m_paneles[i] = panel;
        m_leyendas[i] = leyenda;
        fila->addWidget(panel);
        fila->addWidget(leyenda);
        fila->addSpacing(10);
    }
    fila->addStretch(1);
    columna->addWidget(chuleta);

    errores::conectar(Any, &QSpinBox::valueChanged, this, [this] { AnyChange(); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* antes, QWidget* ahora) {
        // Coming from another control of the window; a window getting the focus back changes nothing.
        if (antes && ahora && isAncestorOf(ahora) && !isAncestorOf(antes))
            FrameEnter();
    });
    PanelNacionalClick(TipoSeleccionado());
}

TFrameCalendarioAnual::~TFrameCalendarioAnual() = default;

int& TFrameCalendarioAnual::TipoSeleccionado()
{
    static int tipo = 0;
    return tipo;
}

int& TFrameCalendarioAnual2::TipoSeleccionado()
{
    static int tipo = 0;
    return tipo;
}

QColor TFrameCalendarioAnual::Colorin(int codigo)
{
    return festivos::colorCodigo(codigo);
}

TColorCalendar* TFrameCalendarioAnual::Mes(QDate dia) const
{
    return mes(dia.month());
}

void TFrameCalendarioAnual::AnyChange()
{
    const int anyo = Any->value();
    for (int m = 1; m <= 12; ++m) {
        TColorCalendar* g = mes(m);
        g->setDate(QDate(anyo, m, qMin(g->day(), TColorCalendar::daysInMonth(anyo, m))));
    }
    dibujar_calendario();
}

void TFrameCalendarioAnual::colorear(TColorCalendar* g, QDate dia, const QColor& color)
{
    g->SetDayColor(color.isValid() ? color : g->backgroundColour(), dia);
}

void TFrameCalendarioAnual::dibujar_calendario()
{
    const int anyo = Any->value();
    const QDate primero(anyo, 1, 1);
    const QDate ultimo(anyo, 12, 31);
    // Without the table no day can be looked up: every day stays as it was.
    if (m_abierta) {
        const festivos::Calendario dias = festivos::Calendario::cargar(m_db, numeroCalendario(), primero, ultimo);
        for (QDate d = primero; d <= ultimo; d = d.addDays(1))
            colorear(Mes(d), d, calendarios::colorAnual(d, dias.codigo(d)));
    }
    for (TColorCalendar* g : m_meses)
        g->update();
}

void TFrameCalendarioAnual::EneroDblClick(TColorCalendar* g)
{
    // A double click on a blank cell or a header names no day.
    if (std::exchange(m_dobleEnBlanco, false) || !m_abierta)
        return;
    const QDate d = g->date();
    TColorCalendar* mesDelDia = Mes(d);
    std::optional<int> codigo;
    try {
        codigo = calendarios::cambiarDia(m_db, numeroCalendario(), d, TipoSeleccionado());
    } catch (const calendarios::CalendarioInexistente&) {
        Interaccion::actual().mensaje(window(), QStringLiteral("Este calendario ya no existe: se ha borrado desde "
                                                               "otra copia del programa."));
        return;
    }
    if (codigo)
        colorear(mesDelDia, d, Colorin(*codigo));
    else
        colorear(mesDelDia, d, d.dayOfWeek() == Qt::Sunday ? festivos::colorSombreado() : festivos::colorBlanco());
    mesDelDia->update();
}

void TFrameCalendarioAnual::PanelNacionalClick(int codigo)
{
    if (codigo < 0 || codigo > festivos::kAbierto)
        return;
    for (QFrame* p : m_paneles)
        p->setFrameStyle(QFrame::NoFrame);
    m_paneles[std::size_t(codigo)]->setFrameStyle(QFrame::Box | QFrame::Plain);
    TipoSeleccionado() = codigo;
}

void TFrameCalendarioAnual::FrameEnter()
{
    PanelNacionalClick(0);
}

void TFrameCalendarioAnual::moverCon(TColorCalendar* g, int dias)
{
    const QDate destino = g->date().addDays(dias);
    // The arrows walk through the shown year only; the year box changes years.
    if (destino.year() != Any->value())
        return;
    TColorCalendar* otro = Mes(destino);
    otro->setDate(destino);
    if (otro != g) {
        otro->setFocus(Qt::OtherFocusReason);
        g->update();
    }
    otro->update();
}

bool TFrameCalendarioAnual::eventFilter(QObject* objeto, QEvent* evento)
{
    const QVariant tag = objeto->property(kTag);
    if (tag.isValid() && evento->type() == QEvent::MouseButtonPress) {
        // A caption chooses the type of the panel beside it, as the panel itself does.
        PanelNacionalClick(tag.toInt());
        return false;
    }
    auto* g = qobject_cast<TColorCalendar*>(objeto);
    if (!g)
        return QFrame::eventFilter(objeto, evento);
    switch (evento->type()) {
    case QEvent::MouseButtonDblClick: {
        const auto* raton = static_cast<QMouseEvent*>(evento);
        if (raton->button() == Qt::LeftButton) {
            const QPoint celda = g->cellAt(raton->position().toPoint());
            m_dobleEnBlanco = g->dayAtCell(celda.x(), celda.y()) <= 0;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        g->update();
        break;
    case QEvent::KeyPress: {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        const int paso = tecla == Qt::Key_Left    ? -1
                         : tecla == Qt::Key_Right ? 1
                         : tecla == Qt::Key_Up    ? -7
                         : tecla == Qt::Key_Down  ? 7
                                                  : 0;
        if (paso != 0) {
            moverCon(g, paso);
            return true;
        }
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter || tecla == Qt::Key_Space) {
            errores::protegido(this, [&] { EneroDblClick(g); });
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QFrame::eventFilter(objeto, evento);
}
