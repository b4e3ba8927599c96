// The controls of the main window's body: selection lists, options, output, the month view and the hidden
// controls that carry state.
#include "sheets/TFormPral.h"

#include "base/ManejadorErrores.h"
#include "calendars/TColorCalendar.h"
#include "data/TMD.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QComboBox* lista(const QString& nombre, QWidget* padre)
{
    auto* combo = new QComboBox(padre);
    combo->setObjectName(nombre);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Typed text selects an entry only when it is the whole entry; no inline completion moving the choice.
    combo->setCompleter(nullptr);
    combo->setMaxVisibleItems(10);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(34);
    return combo;
}

QCheckBox* opcion(const QString& nombre, const QString& texto, const QString& pista, QWidget* padre)
{
    auto* check = new QCheckBox(texto, padre);
    check->setObjectName(nombre);
    check->setToolTip(pista);
    return check;
}

QPushButton* boton(const QString& nombre, const QString& texto, const QString& pista, QWidget* padre)
{
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(nombre);
    b->setToolTip(pista);
    b->setAutoDefault(false);
    return b;
}

// A body button that carries an action: its caption, enabled state, hint and click.
QPushButton* botonDeAccion(const QString& nombre, QAction* accion, QWidget* padre)
{
    QPushButton* b = boton(nombre, accion->text(), accion->toolTip(), padre);
    b->setEnabled(accion->isEnabled());
    QObject::connect(accion, &QAction::enabledChanged, b, &QPushButton::setEnabled);
    QObject::connect(accion, &QAction::changed, b, [b, accion] { b->setToolTip(accion->toolTip()); });
    QObject::connect(b, &QPushButton::clicked, accion, &QAction::trigger);
    return b;
}

QLabel* panelLeyenda(const QString& nombre, const festivos::TipoDia& tipo, QWidget* padre)
{
    auto* panel = new QLabel(tipo.nombre, padre);
    panel->setObjectName(nombre);
    panel->setToolTip(tipo.pista);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setMinimumWidth(64);
    QPalette paleta = panel->palette();
    paleta.setColor(QPalette::Window, tipo.color);
    paleta.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(paleta);
    return panel;
}

// A small month sheet; the header colour tells the base calendar from a centre's.
QIcon iconoCalendario(const QColor& cabecera)
{
    QPixmap imagen(24, 24);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(2, 3, 19, 18);
    p.fillRect(3, 4, 18, 5, cabecera);
    for (int fila = 0; fila < 3; ++fila)
        for (int columna = 0; columna < 4; ++columna)
            p.fillRect(5 + columna * 4, 11 + fila * 3, 2, 2, QColor(0x60, 0x60, 0x60));
    return QIcon(imagen);
}

} // namespace

QWidget* TFormPral::crearPanelSeleccion()
{
    auto* panel = new QWidget(this);
    auto* columna = new QVBoxLayout(panel);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->setSpacing(10);

    m_comboEmpresas = lista(QStringLiteral("ComboEmpresas"), panel);
    m_comboEmpresas->setEnabled(m_md.Multiempresa);
    m_comboCentros = lista(QStringLiteral("ComboCentros"), panel);
    m_comboTrabajadores = lista(QStringLiteral("ComboTrabajadores"), panel);
    m_ckTodosCentros = opcion(QStringLiteral("CKTodosCentros"), QStringLiteral("&Todos los centros"), {}, panel);
    m_ckTodosCentros->setEnabled(false);
    m_ckTodosTrabajadores =
        opcion(QStringLiteral("CKTodosTrabajadores"), QStringLiteral("&Todos los trabajadores"), {}, panel);
    m_ckTodosTrabajadores->setChecked(true);
    m_ckTodosTrabajadores->setEnabled(false);
    m_botManCentros = boton(QStringLiteral("BotManCentros"), {}, QStringLiteral("Mantenimiento centros"), panel);
    m_botManCentros->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));

    auto* listas = new QGridLayout;
    listas->setHorizontalSpacing(8);
    listas->addWidget(new QLabel(QStringLiteral("Empresa:"), panel), 0, 0);
    listas->addWidget(m_comboEmpresas, 0, 1);
    listas->addWidget(new QLabel(QStringLiteral("Centro"), panel), 1, 0);
    listas->addWidget(m_comboCentros, 1, 1);
    listas->addWidget(m_botManCentros, 1, 2);
    listas->addWidget(m_ckTodosCentros, 2, 1);
    listas->addWidget(new QLabel(QStringLiteral("Trabajador"), panel), 3, 0);
    listas->addWidget(m_comboTrabajadores, 3, 1);
    listas->addWidget(m_ckTodosTrabajadores, 4, 1);
    listas->setColumnStretch(1, 1);
    columna->addLayout(listas);

    auto* sombrear = new QGroupBox(QStringLiteral("Sombrear"), panel);
    sombrear->setObjectName(QStringLiteral("GroupBox1"));
    m_ckSautocentros = opcion(QStringLiteral("CKSautocentros"), QStringLiteral("Aplicar el calendario de cada centro"),
                              QStringLiteral("Se aplicará el calendario de cada centro"), sombrear);
    m_ckSSabados = opcion(QStringLiteral("CKSSabados"), QStringLiteral("Sábados"),
                          QStringLiteral("Sombrear todos los sábados"), sombrear);
    m_ckSDomingos = opcion(QStringLiteral("CKSDomingos"), QStringLiteral("Domingos"),
                           QStringLiteral("Sombrear todos los domingos"), sombrear);
    m_ckSFestivos = opcion(QStringLiteral("CKSFestivos"), QStringLiteral("Festivos"),
                           QStringLiteral("Sombrear todos los festivos"), sombrear);
    auto* cajaSombrear = new QVBoxLayout(sombrear);
    for (QCheckBox* c : {m_ckSautocentros, m_ckSSabados, m_ckSDomingos, m_ckSFestivos})
        cajaSombrear->addWidget(c);

    m_rSelSalida = new QGroupBox(QStringLiteral("Seleccionar salida"), panel);
    m_rSelSalida->setObjectName(QStringLiteral("RSelSalida"));
    m_salidas = new QButtonGroup(m_rSelSalida);
    auto* cajaSalida = new QVBoxLayout(m_rSelSalida);
    const QStringList elementos = {QStringLiteral("Generar PDF"), QStringLiteral("Previsualizar x pantalla"),
                                   QStringLiteral("Directo impresora")};
    for (int i = 0; i < elementos.size(); ++i) {
        auto* radio = new QRadioButton(elementos.at(i), m_rSelSalida);
        radio->setObjectName(QStringLiteral("RSelSalida%1").arg(i));
        m_salidas->addButton(radio, i);
        cajaSalida->addWidget(radio);
    }
    // Both hidden output options start off, which is the preview.
    m_salidas->button(1)->setChecked(true);

    auto* opciones = new QHBoxLayout;
    opciones->addWidget(sombrear, 1);
    opciones->addWidget(m_rSelSalida, 1);
    columna->addLayout(opciones);

    m_rutaPdf = new QLineEdit(panel);
    m_rutaPdf->setObjectName(QStringLiteral("RutaPDF"));
    m_rutaPdf->setReadOnly(true);
    m_rutaPdf->setFrame(false);
    m_botAbrirCarpeta = boton(QStringLiteral("BotAbrirCarpeta"), {}, QStringLiteral("Abrir la carpeta PDF,s"), panel);
    m_botAbrirCarpeta->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    auto* ruta = new QHBoxLayout;
    ruta->addWidget(new QLabel(QStringLiteral("Ruta docs PDF"), panel));
    ruta->addWidget(m_rutaPdf, 1);
    ruta->addWidget(m_botAbrirCarpeta);
    columna->addLayout(ruta);

    m_botImprimir = botonDeAccion(QStringLiteral("BotImprimir"), m_generarFicheroImprimir, panel);
    QFont negrita = m_botImprimir->font();
    negrita.setBold(true);
    m_botImprimir->setFont(negrita);
    QPalette rojo = m_botImprimir->palette();
    rojo.setColor(QPalette::ButtonText, Qt::red);
    m_botImprimir->setPalette(rojo);
    m_botImprimir->setMinimumHeight(36);
    m_botHojaBlanco = boton(QStringLiteral("BotHojaBlanco"), {},
                            QStringLiteral("Imprime plantilla del mes en curso. Calendario BASE"), panel);
    m_botHojaBlanco->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    m_botHojaBlanco->setMinimumHeight(36);
    auto* imprimir = new QHBoxLayout;
    imprimir->addWidget(m_botImprimir, 1);
    imprimir->addWidget(m_botHojaBlanco);
    columna->addLayout(imprimir);

    auto* otros = new QHBoxLayout;
    otros->addWidget(botonDeAccion(QStringLiteral("BotXMail"), m_envioCorreos, panel));
    otros->addWidget(botonDeAccion(QStringLiteral("BotEnvioAuto"), m_envioCorreosAuto, panel));
    otros->addWidget(botonDeAccion(QStringLiteral("BotPlanFestivos"), m_generarPlanFestivos, panel));
    columna->addLayout(otros);
    columna->addStretch(1);
    return panel;
}

QWidget* TFormPral::crearPanelMes()
{
    auto* panel = new QWidget(this);
    auto* columna = new QVBoxLayout(panel);
    columna->setContentsMargins(0, 0, 0, 0);
    columna->setSpacing(6);

    auto* titulo = new QLabel(QStringLiteral("CALENDARIO BASE"), panel);
    titulo->setObjectName(QStringLiteral("Label6"));
    titulo->setAlignment(Qt::AlignCenter);
    QFont negrita = titulo->font();
    negrita.setBold(true);
    titulo->setFont(negrita);
    columna->addWidget(titulo);

    m_botMenos = boton(QStringLiteral("BotMenos"), QStringLiteral("<"), QStringLiteral("Mes anterior"), panel);
    m_botMas = boton(QStringLiteral("BotMas"), QStringLiteral(">"), QStringLiteral("Mes posterior"), panel);
    m_letiMes = new QLabel(panel);
    m_letiMes->setObjectName(QStringLiteral("LEtiMes"));
    m_letiMes->setAlignment(Qt::AlignCenter);
    m_letiMes->setFont(negrita);
    auto* mes = new QHBoxLayout;
    mes->addWidget(m_botMenos);
    mes->addWidget(m_letiMes, 1);
    mes->addWidget(m_botMas);
    columna->addLayout(mes);

    m_colorCalendar1 = new TColorCalendar(panel);
    m_colorCalendar1->setObjectName(QStringLiteral("ColorCalendar1"));
    m_colorCalendar1->setFixedSize(316, 180);
    columna->addWidget(m_colorCalendar1, 0, Qt::AlignHCenter);

    auto* leyenda = new QHBoxLayout;
    leyenda->setSpacing(4);
    const auto& tipos = festivos::tiposDia();
    for (std::size_t i = 0; i < tipos.size(); ++i)
        leyenda->addWidget(panelLeyenda(QStringLiteral("Panel%1").arg(i + 1), tipos[i], panel));
    columna->addLayout(leyenda);

    m_ckVariosMeses = opcion(QStringLiteral("CKVariosMeses"), QStringLiteral(" Imprimir &hasta el mes:"), {}, panel);
    columna->addWidget(m_ckVariosMeses);
    m_botmenos2 = boton(QStringLiteral("botmenos2"), QStringLiteral("<"), {}, panel);
    m_botmas2 = boton(QStringLiteral("botmas2"), QStringLiteral(">"), {}, panel);
    m_letiMes2 = new QLabel(panel);
    m_letiMes2->setObjectName(QStringLiteral("LEtiMes2"));
    m_letiMes2->setAlignment(Qt::AlignCenter);
    m_letiMes2->setFont(negrita);
    auto* fin = new QHBoxLayout;
    fin->addWidget(m_botmenos2);
    fin->addWidget(m_letiMes2, 1);
    fin->addWidget(m_botmas2);
    // The end-month row keeps its room while hidden, so the window does not jump.
    for (QWidget* w :
         {static_cast<QWidget*>(m_botmenos2), static_cast<QWidget*>(m_letiMes2), static_cast<QWidget*>(m_botmas2)}) {
        QSizePolicy politica = w->sizePolicy();
        politica.setRetainSizeWhenHidden(true);
        w->setSizePolicy(politica);
        w->hide();
    }
    columna->addLayout(fin);

    auto* etiqueta = new QLabel(QStringLiteral("Calendario base"), panel);
    etiqueta->setObjectName(QStringLiteral("Label1"));
    m_botCalendarioBase =
        boton(QStringLiteral("BotCalendarioBase"), {}, QStringLiteral("Acceder al calendario base"), panel);
    m_botCalendarioBase->setIcon(iconoCalendario(QColor(0xC0, 0x20, 0x20)));
    m_botCalendarCentros =
        boton(QStringLiteral("BotCalendarCentros"), {}, QStringLiteral("Calendario del centro"), panel);
    m_botCalendarCentros->setIcon(iconoCalendario(QColor(0x20, 0x50, 0xB0)));
    auto* calendarios = new QHBoxLayout;
    calendarios->addWidget(etiqueta);
    calendarios->addStretch(1);
    calendarios->addWidget(m_botCalendarioBase);
    calendarios->addWidget(m_botCalendarCentros);
    columna->addLayout(calendarios);
    columna->addStretch(1);
    return panel;
}

void TFormPral::crearOcultos()
{
    m_colorCalendar2 = new TColorCalendar(this);
    m_colorCalendar2->setObjectName(QStringLiteral("ColorCalendar2"));
    m_colorCalendar2->hide();

    m_ckDiaSemana = opcion(QStringLiteral("CKDiaSemana"), QStringLiteral("Imp. día semana"), {}, this);
    m_ckDiaSemana->setChecked(true);
    m_ckGenerarPDF = opcion(QStringLiteral("CKGenerarPDF"), QStringLiteral("Generar PDF"), {}, this);
    m_ckImpre = opcion(QStringLiteral("CKImpre"), QStringLiteral("&Directo impresora"), {}, this);
    for (QWidget* w : {static_cast<QWidget*>(m_ckDiaSemana), static_cast<QWidget*>(m_ckGenerarPDF),
                       static_cast<QWidget*>(m_ckImpre)})
        w->hide();

    const auto oculto = [this](const QString& nombre, void (TFormPral::*carga)()) {
        QPushButton* b = boton(nombre, {}, {}, this);
        b->hide();
        errores::conectar(b, &QPushButton::clicked, this, [this, carga] { (this->*carga)(); });
    };
    oculto(QStringLiteral("BotCargaEmpresas"), &TFormPral::BotCargaEmpresasClick);
    oculto(QStringLiteral("BotCargaCentros"), &TFormPral::BotCargaCentrosClick);
    oculto(QStringLiteral("BotCargaTrabajadores"), &TFormPral::BotCargaTrabajadoresClick);
    oculto(QStringLiteral("BotSombrear"), &TFormPral::BotSombrearClick);
}
