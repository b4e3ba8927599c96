#include "masterdata/TFormManTablas.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/TablaConsulta.h"
#include "base/Ventanas.h"
#include "calendars/TFormManCalen.h"
#include "data/TMD.h"
#include "masterdata/Consultas.h"
#include "masterdata/Maestros.h"
#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManEmpresas.h"
#include "masterdata/TFormManTrabajadores.h"
#include "masterdata/TFormManTrabajadores2.h"
#include "store/Database.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormManTablas::TFormManTablas(TMD& md, QWidget* parent) : QDialog(parent), m_md(md), m_db(md.Quorvel())
{
    setObjectName(QStringLiteral("FormManTablas"));
    setWindowTitle(QStringLiteral("Mantenimiento de tablas"));
    setModal(true);

    m_empresas = new TablaConsulta(m_db,
                                   {{QStringLiteral("id"), QStringLiteral("Núm.")},
                                    {QStringLiteral("cif"), QStringLiteral("CIF")},
                                    {QStringLiteral("ccc"), QStringLiteral("CCC")},
                                    {QStringLiteral("nomempresa"), QStringLiteral("Nombre")}},
                                   this);
    m_centros = new TablaConsulta(m_db,
                                  {{QStringLiteral("codcentro"), QStringLiteral("Código")},
                                   {QStringLiteral("nomcentro"), QStringLiteral("Centro")},
                                   {QStringLiteral("calendario"), QStringLiteral("Calendario")}},
                                  this);
    m_trabajadores = new TablaConsulta(m_db,
                                       {{QStringLiteral("id"), {}},
                                        {QStringLiteral("codcentro"), QStringLiteral("Centro")},
                                        {QStringLiteral("alias"), QStringLiteral("Alias")},
                                        {QStringLiteral("nomtrabajador"), QStringLiteral("Nombre del trabajador")},
                                        {QStringLiteral("tipojornada"), QStringLiteral("Jornada")},
                                        {QStringLiteral("contrato"), QStringLiteral("Contrato")}},
                                       this);

    m_dbEmpresas = rejilla(QStringLiteral("DBEmpresas"), m_empresas);
    m_dbEmpresas->setColumnWidth(0, 50);
    m_dbEmpresas->setColumnWidth(1, 110);
    m_dbEmpresas->setColumnWidth(2, 140);
    m_dbCentros = rejilla(QStringLiteral("DBCentros"), m_centros);
    m_dbCentros->setColumnWidth(0, 90);
    m_dbCentros->setColumnWidth(1, 260);
    m_dbTrabajadores = rejilla(QStringLiteral("DBTrabajadores"), m_trabajadores);
    m_dbTrabajadores->setColumnHidden(0, true);
    m_dbTrabajadores->setColumnWidth(1, 90);
    m_dbTrabajadores->setColumnWidth(2, 90);
    m_dbTrabajadores->setColumnWidth(3, 250);
    m_dbTrabajadores->setColumnWidth(4, 40);

    m_botManEmpresas = boton(QStringLiteral("BotManEmpresas"), QStringLiteral("+"));
    QPushButton* datosEmpresa = boton(QStringLiteral("SpeedButton3"), QStringLiteral("Datos empresa"));
    m_botBorrarEmpresa = boton(QStringLiteral("BotBorrarEmpresa"), QStringLiteral("Borrar empresa"));
    QPushButton* nuevoCentro = boton(QStringLiteral("BotManCentros"), QStringLiteral("(+) añadir centro"));
    QPushButton* modificarCentro = boton(QStringLiteral("BotModificarCentro"), QStringLiteral("modificar centro"));
    QPushButton* borrarCentro = boton(QStringLiteral("BotBorrarCentro"), QStringLiteral("borrar centro"));
    QPushButton* modificarTrabajador = boton(QStringLiteral("SpeedButton2"), QStringLiteral("modificar trabajador"));
    QPushButton* nuevoTrabajador =
        boton(QStringLiteral("BotManTrabajadores"), QStringLiteral("(+) alta nuevo trabajador"));
    QPushButton* buscar = boton(QStringLiteral("SpeedButton1"), QStringLiteral("buscar trabajador"));

    auto* columna = new QVBoxLayout(this);
    columna->addWidget(
        panel(QStringLiteral("Panel1"), m_dbEmpresas, {m_botManEmpresas, datosEmpresa, m_botBorrarEmpresa}), 2);
    columna->addWidget(panel(QStringLiteral("Panel2"), m_dbCentros, {nuevoCentro, modificarCentro, borrarCentro}), 3);
    columna->addWidget(
        panel(QStringLiteral("Panel3"), m_dbTrabajadores, {modificarTrabajador, nuevoTrabajador, buscar}), 4);
    setFixedSize(800, 640);

    if (!m_md.Multiempresa) {
        // One company only: its grid stays on the first and cannot be added to or emptied.
        m_dbEmpresas->setEnabled(false);
        for (QPushButton* b : {m_botManEmpresas, m_botBorrarEmpresa}) {
            b->setEnabled(false);
            b->hide();
        }
    }

    using errores::conectar;
    conectar(m_botManEmpresas, &QPushButton::clicked, this, [this] { BotManEmpresasClick(); });
    conectar(datosEmpresa, &QPushButton::clicked, this, [this] { SpeedButton3Click(); });
    conectar(m_dbEmpresas, &QTableView::doubleClicked, this, [this] { SpeedButton3Click(); });
    conectar(m_botBorrarEmpresa, &QPushButton::clicked, this, [this] { BotBorrarEmpresaClick(); });
    conectar(nuevoCentro, &QPushButton::clicked, this, [this] { BotManCentrosClick(); });
    conectar(modificarCentro, &QPushButton::clicked, this, [this] { BotModificarCentroClick(); });
    conectar(borrarCentro, &QPushButton::clicked, this, [this] { BotBorrarCentroClick(); });
    conectar(m_dbCentros, &QTableView::doubleClicked, this,
             [this](const QModelIndex& celda) { DBCentrosDblClick(celda.column()); });
    conectar(nuevoTrabajador, &QPushButton::clicked, this, [this] { BotManTrabajadoresClick(); });
    conectar(modificarTrabajador, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    conectar(m_dbTrabajadores, &QTableView::doubleClicked, this, [this] { SpeedButton2Click(); });
    conectar(buscar, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    conectar(m_dbEmpresas->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
             [this] { EmpresasDataChange(); });
    conectar(m_dbCentros->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
             [this] { CentrosDataChange(); });
}

QTableView* TFormManTablas::rejilla(const QString& nombre, TablaConsulta* modelo)
{
    QTableView* vista = crearRejilla(nombre, modelo, this);
    vista->verticalHeader()->setDefaultSectionSize(vista->fontMetrics().height() + 6);
    vista->setAlternatingRowColors(true);
    return vista;
}

QPushButton* TFormManTablas::boton(const QString& nombre, const QString& texto)
{
    auto* b = new QPushButton(texto, this);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    b->setMinimumWidth(170);
    return b;
}

QWidget* TFormManTablas::panel(const QString& nombre, QTableView* vista, const QList<QPushButton*>& botones)
{
    auto* marco = new QFrame(this);
    marco->setObjectName(nombre);
    marco->setFrameShape(QFrame::StyledPanel);
    auto* fila = new QHBoxLayout(marco);
    fila->addWidget(vista, 1);
    auto* columna = new QVBoxLayout();
    for (QPushButton* b : botones)
        columna->addWidget(b);
    columna->addStretch(1);
    fila->addLayout(columna);
    return marco;
}

void TFormManTablas::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_mostrada)
        return;
    m_mostrada = true;
    centrarEnPantalla(this);
    errores::protegido(this, [this] { recargarEmpresas(0); });
}

int TFormManTablas::filaActual(const QTableView* vista)
{
    const int fila = vista->currentIndex().row();
    return fila < vista->model()->rowCount() ? fila : -1;
}

void TFormManTablas::ponerFila(QTableView* vista, int fila)
{
    // The caller runs the reaction itself, once.
    const QSignalBlocker sinAvisos(vista->selectionModel());
    vista->selectionModel()->clear();
    if (fila >= 0) {
        const QModelIndex celda = vista->model()->index(fila, 0);
        vista->selectionModel()->setCurrentIndex(celda,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    vista->viewport()->update();
}

qint64 TFormManTablas::idEmpresaActual() const
{
    const int f = filaActual(m_dbEmpresas);
    return f < 0 ? 0 : m_empresas->id(f);
}

qint64 TFormManTablas::idCentroActual() const
{
    const int f = filaActual(m_dbCentros);
    return f < 0 ? 0 : m_centros->id(f);
}

QString TFormManTablas::codCentroActual() const
{
    const int f = filaActual(m_dbCentros);
    return f < 0 ? QString() : m_centros->valor(f, QStringLiteral("codcentro")).toString();
}

qint64 TFormManTablas::idTrabajadorActual() const
{
    const int f = filaActual(m_dbTrabajadores);
    return f < 0 ? 0 : m_trabajadores->id(f);
}

void TFormManTablas::recargarEmpresas(qint64 idEmpresa)
{
    consultas::empresas(*m_empresas);
    const int fila = m_empresas->buscar(QStringLiteral("id"), idEmpresa);
    ponerFila(m_dbEmpresas, fila >= 0 ? fila : (m_empresas->rowCount() > 0 ? 0 : -1));
    EmpresasDataChange();
}

void TFormManTablas::EmpresasDataChange()
{
    const qint64 id = idEmpresaActual();
    // With no company at all the active one stays as it was.
    if (id != 0)
        m_md.IdEmpresaActiva = id;
    recargarCentros(0);
}

void TFormManTablas::recargarCentros(qint64 idCentro)
{
    const qint64 empresa = idEmpresaActual();
    if (empresa == 0)
        m_centros->cerrar();
    else
        consultas::centrosDeEmpresa(*m_centros, empresa);
    const int fila = m_centros->buscar(QStringLiteral("id"), idCentro);
    ponerFila(m_dbCentros, fila >= 0 ? fila : (m_centros->rowCount() > 0 ? 0 : -1));
    CentrosDataChange();
}

void TFormManTablas::CentrosDataChange()
{
    // Without a centre the grid still lists the workers that have none.
    CargarTrabajadores(m_centros->rowCount() == 0 ? QString() : codCentroActual());
}

void TFormManTablas::CargarTrabajadores(const QString& codcentro)
{
    consultas::trabajadoresDeCentroYSinCentro(*m_trabajadores, codcentro);
    ponerFila(m_dbTrabajadores, m_trabajadores->rowCount() > 0 ? 0 : -1);
}

void TFormManTablas::recargarTrabajadores(qint64 idTrabajador)
{
    if (!m_trabajadores->abierta())
        return;
    m_trabajadores->reabrir();
    const int fila = m_trabajadores->buscar(QStringLiteral("id"), idTrabajador);
    ponerFila(m_dbTrabajadores, fila >= 0 ? fila : (m_trabajadores->rowCount() > 0 ? 0 : -1));
}

void TFormManTablas::VerCalendario(int numero)
{
    // Number 0 is the base calendar: its own view, rather than an empty numbered one whose edits nobody reads.
    if (numero == 0) {
        TFormManCalen ventana(m_db, this);
        ventana.Titulo = QStringLiteral("BASE ");
        ventana.exec();
        return;
    }
    const int fila = filaActual(m_dbCentros);
    TFormManCalen2 ventana(m_db, this);
    ventana.NumCalendario = QString::number(numero);
    ventana.Titulo = QString::number(numero) + QStringLiteral("  -  ") +
                     m_centros->valor(fila, QStringLiteral("codcentro")).toString() + QStringLiteral(" - ") +
                     m_centros->valor(fila, QStringLiteral("nomcentro")).toString();
    ventana.exec();
}

void TFormManTablas::BotManEmpresasClick()
{
    TFormManEmpresas editor(m_md, this);
    editor.IdEmpresaEdit = 0;
    const bool grabada = editor.exec() == QDialog::Accepted && editor.empresa().id != 0;
    recargarEmpresas(grabada ? editor.empresa().id : idEmpresaActual());
}

void TFormManTablas::SpeedButton3Click()
{
    const qint64 id = idEmpresaActual();
    if (id == 0)
        return;
    const qint64 centro = idCentroActual();
    {
        TFormManEmpresas editor(m_md, this);
        editor.IdEmpresaEdit = id;
        editor.exec();
    }
    consultas::empresas(*m_empresas);
    ponerFila(m_dbEmpresas, m_empresas->buscar(QStringLiteral("id"), id));
    if (idEmpresaActual() == id)
        recargarCentros(centro);
    else
        recargarEmpresas(0);
}

void TFormManTablas::BotBorrarEmpresaClick()
{
    const int fila = filaActual(m_dbEmpresas);
    if (fila < 0)
        return;
    const qint64 id = m_empresas->id(fila);
    const int centros = maestros::contarCentros(m_db, id);
    if (centros > 0) {
        Interaccion::actual().mensaje(this, maestros::textoEmpresaConCentros(centros));
    } else if (Interaccion::actual().confirmar(
                   this, QStringLiteral("Seguro que quiere borrar la empresa: ") +
                             m_empresas->valor(fila, QStringLiteral("nomempresa")).toString() + QStringLiteral("?"))) {
        try {
            maestros::borrarEmpresa(m_db, id);
        } catch (const maestros::Rechazo& r) {
            Interaccion::actual().mensaje(this, r.message());
        } catch (const store::StoreError&) {
            errores::mostrar(this, std::current_exception());
        }
    }
    recargarEmpresas(id);
}

void TFormManTablas::editarCentro(qint64 idCentro)
{
    if (m_empresas->rowCount() == 0) {
        Interaccion::actual().mensaje(this, textoSinEmpresa());
        recargarCentros(idCentroActual());
        return;
    }
    qint64 vuelta = idCentro;
    {
        TFormManCentros editor(m_md, this);
        editor.IdCentroEdit = idCentro;
        editor.IdEmpresaAlta = idEmpresaActual();
        if (editor.exec() == QDialog::Accepted && editor.centro().id != 0)
            vuelta = editor.centro().id;
    }
    recargarCentros(vuelta);
}

void TFormManTablas::BotManCentrosClick()
{
    editarCentro(0);
}

void TFormManTablas::BotModificarCentroClick()
{
    const qint64 id = idCentroActual();
    if (id == 0 && m_empresas->rowCount() > 0)
        return;
    editarCentro(id);
}

void TFormManTablas::DBCentrosDblClick(int columna)
{
    if (columna == m_centros->columnaDe(QStringLiteral("calendario"))) {
        const int fila = filaActual(m_dbCentros);
        if (fila < 0)
            return;
        bool numero = false;
        const int calendario = m_centros->valor(fila, QStringLiteral("calendario")).toString().toInt(&numero);
        if (numero)
            VerCalendario(calendario);
        return;
    }
    BotModificarCentroClick();
}

void TFormManTablas::BotBorrarCentroClick()
{
    const int fila = filaActual(m_dbCentros);
    if (fila < 0)
        return;
    const qint64 id = m_centros->id(fila);
    const QString codigo = m_centros->valor(fila, QStringLiteral("codcentro")).toString();
    const QString nombre = m_centros->valor(fila, QStringLiteral("nomcentro")).toString();
    const int asignados = maestros::contarAsignacionesCentro(m_db, codigo);
    const QString pregunta = asignados == 0
                                 ? QStringLiteral("¿Quieres borrar este centro: %1 - %2?").arg(codigo, nombre)
                                 : QStringLiteral("Este centro tiene %1 trabajador/es.\n"
                                                  "¿Seguro que quiere borrar el centro y liberar los trabajadores?")
                                       .arg(asignados);
    if (Interaccion::actual().confirmar(this, pregunta)) {
        try {
            maestros::borrarCentro(m_db, id, codigo);
        } catch (const store::StoreError&) {
            errores::mostrar(this, std::current_exception());
        }
    }
    // Another row where the deleted one was, so the user stays near the same place.
    consultas::centrosDeEmpresa(*m_centros, idEmpresaActual());
    const int queda = m_centros->buscar(QStringLiteral("id"), id);
    const int nueva = queda >= 0 ? queda : std::min(fila, m_centros->rowCount() - 1);
    recargarCentros(nueva >= 0 ? m_centros->id(nueva) : 0);
}

void TFormManTablas::editarTrabajador(qint64 idTrabajador)
{
    // A listed worker without a centre can still be edited, to be given one.
    if (idTrabajador == 0 && m_centros->rowCount() == 0) {
        Interaccion::actual().mensaje(this, textoSinCentro());
        recargarTrabajadores(idTrabajadorActual());
        return;
    }
    qint64 vuelta = idTrabajador;
    {
        TFormManTrabajadores editor(m_md, this);
        editor.IdTrabajadorEdit = idTrabajador;
        editor.exec();
        if (editor.trabajador().id != 0)
            vuelta = editor.trabajador().id;
    }
    recargarTrabajadores(vuelta);
}

void TFormManTablas::BotManTrabajadoresClick()
{
    editarTrabajador(0);
}

void TFormManTablas::SpeedButton2Click()
{
    const qint64 id = idTrabajadorActual();
    if (id == 0) {
        Interaccion::actual().mensaje(this, textoSinTrabajador());
        return;
    }
    editarTrabajador(id);
}

void TFormManTablas::SpeedButton1Click()
{
    const qint64 id = idTrabajadorActual();
    {
        TFormManTrabajadores2 busqueda(m_md, this);
        busqueda.exec();
    }
    recargarTrabajadores(id);
}
