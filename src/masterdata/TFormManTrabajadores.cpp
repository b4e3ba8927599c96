#include "masterdata/TFormManTrabajadores.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/TablaConsulta.h"
#include "base/Ventanas.h"
#include "data/TMD.h"
#include "masterdata/Consultas.h"
#include "masterdata/Identificadores.h"
#include "masterdata/TFormManCentro2.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormManTrabajadores::TFormManTrabajadores(TMD& md, QWidget* parent)
    : TFormEditor(md, QStringLiteral("Mantenimiento de trabajadores"), parent)
{
    setObjectName(QStringLiteral("FormManTrabajadores"));
    m_dbId = campo(QStringLiteral("DBID"), QStringLiteral("Id"), 10);
    soloLectura(m_dbId);
    m_dbNomTrabajador = campo(QStringLiteral("DBNOMTRABAJADOR"), QStringLiteral("Nombre trab."), 100, true);
    m_dbNomTrabajador->setMinimumWidth(m_dbNomTrabajador->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 28);
    contador(m_dbNomTrabajador, 100, QStringLiteral("El nombre del trabajador"));
    m_dbNif = campo(QStringLiteral("DBNIF"), QStringLiteral("NIF"), 20, true);
    m_dbNss = campo(QStringLiteral("DBNSS"), QStringLiteral("NSS"), 20, true);
    aviso(m_dbNif, identificadores::avisoNif);
    aviso(m_dbNss, identificadores::avisoNss);
    contador(m_dbNif, 20, QStringLiteral("El NIF del trabajador"));
    contador(m_dbNss, 20, QStringLiteral("El NSS del trabajador"));
    m_dbTelef = campo(QStringLiteral("DBTELEF"), QStringLiteral("Teléfono"), 20);
    contador(m_dbTelef, 20, QStringLiteral("El teléfono del trabajador"));

    // Two values only; the sheet's title depends on them.
    m_dbTipoJornada = new QComboBox(this);
    m_dbTipoJornada->setObjectName(QStringLiteral("DBTIPOJORNADA"));
    auto* jornada = new QHBoxLayout();
    jornada->addWidget(m_dbTipoJornada);
    m_lAvisoJornada = new QLabel(this);
    m_lAvisoJornada->setObjectName(QStringLiteral("LAvisoDBTIPOJORNADA"));
    m_lAvisoJornada->setStyleSheet(QStringLiteral("color: #b00000"));
    jornada->addWidget(m_lAvisoJornada);
    jornada->addStretch(1);
    m_formulario->addRow(etiqueta(QStringLiteral("DBTIPOJORNADA"), QStringLiteral("Tipo Jornada"), m_dbTipoJornada),
                         jornada);

    m_dbContrato = nuevoCampo(QStringLiteral("DBCONTRATO"), 30);
    auto* contrato = new QHBoxLayout();
    contrato->addWidget(m_dbContrato);
    contrato->addWidget(contador(m_dbContrato, 30, QStringLiteral("El contrato")));
    auto* notaContrato = new QLabel(QStringLiteral("Horas a la semana, etc."), this);
    notaContrato->setObjectName(QStringLiteral("LabelNotaContrato"));
    contrato->addWidget(notaContrato);
    contrato->addStretch(1);
    m_formulario->addRow(etiqueta(QStringLiteral("DBCONTRATO"), QStringLiteral("Contrato"), m_dbContrato), contrato);

    m_dbEmail = campo(QStringLiteral("DBEMAIL"), QStringLiteral("EMail"), 20);
    contador(m_dbEmail, 20, QStringLiteral("El correo del trabajador"));
    m_dbAlias = campo(QStringLiteral("DBALIAS"), QStringLiteral("Alias"), 30, true);
    contador(m_dbAlias, 30, QStringLiteral("El alias del trabajador"));
    // Kept with the row but never shown.
    m_dbFalta = campo(QStringLiteral("DBFALTA"), QStringLiteral("F.Alta"));
    m_dbFbaja = campo(QStringLiteral("DBFBAJA"), QStringLiteral("F.Baja"));
    for (QLineEdit* oculto : {m_dbFalta, m_dbFbaja})
        m_formulario->setRowVisible(oculto, false);
    m_dbObservaciones = campo(QStringLiteral("DBOBSERVACIONES"), QStringLiteral("Observ."));

    // The worker's centres, with the buttons that add and remove one.
    m_ubica = new TablaConsulta(m_db,
                                {{QStringLiteral("codcentro"), QStringLiteral("Código")},
                                 {QStringLiteral("nomcentro"), QStringLiteral("Centro")}},
                                this);
    m_dbGrid1 = crearRejilla(QStringLiteral("DBGrid1"), m_ubica, this);
    m_dbGrid1->setFixedHeight(120);
    m_botMas = new QPushButton(QStringLiteral("+"), this);
    m_botMas->setObjectName(QStringLiteral("SpeedButton2"));
    m_botMas->setStyleSheet(QStringLiteral("font-weight: bold; color: teal"));
    m_botQuitar = new QPushButton(QStringLiteral("X"), this);
    m_botQuitar->setObjectName(QStringLiteral("SpeedButton3"));
    m_botQuitar->setStyleSheet(QStringLiteral("font-weight: bold; color: red"));
    auto* rejilla = new QHBoxLayout();
    rejilla->addWidget(m_dbGrid1, 1);
    auto* botones = new QVBoxLayout();
    for (QPushButton* b : {m_botMas, m_botQuitar}) {
        b->setAutoDefault(false);
        b->setFixedWidth(32);
        botones->addWidget(b);
    }
    botones->addStretch(1);
    rejilla->addLayout(botones);
    auto* rotuloCentros = new QLabel(QStringLiteral("Centros:"), this);
    rotuloCentros->setObjectName(QStringLiteral("LabelCentros"));
    m_formulario->addRow(rotuloCentros, rejilla);

    m_botBorrar = new QPushButton(QStringLiteral("&Eliminar"), m_navegador);
    m_botBorrar->setObjectName(QStringLiteral("BotBorrar"));
    m_botBorrar->setAutoDefault(false);
    static_cast<QHBoxLayout*>(m_navegador->layout())->insertWidget(0, m_botBorrar);

    errores::conectar(m_botMas, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    errores::conectar(m_botQuitar, &QPushButton::clicked, this, [this] { SpeedButton3Click(); });
    errores::conectar(m_botBorrar, &QPushButton::clicked, this, [this] { BotBorrarClick(); });
}

bool TFormManTrabajadores::cargar()
{
    if (IdTrabajadorEdit == 0) {
        m_trabajador = {};
        ponerOperacion(QStringLiteral("Alta de trabajador"));
        // Nothing stored yet, so nothing to delete: "Cancelar" is how a new worker is dropped.
        m_botBorrar->setEnabled(false);
    } else {
        const auto leido = maestros::leerTrabajador(m_db, IdTrabajadorEdit);
        if (!leido) {
            m_botMas->setEnabled(false);
            m_botQuitar->setEnabled(false);
            m_botBorrar->setEnabled(false);
            return false;
        }
        m_trabajador = *leido;
        m_dbId->setText(QString::number(m_trabajador.id));
        ponerOperacion(QStringLiteral("Modificar datos"));
    }
    const maestros::Trabajador& t = m_trabajador;
    m_dbNomTrabajador->setText(t.nomtrabajador);
    m_dbNif->setText(t.nif);
    m_dbNss->setText(t.nss);
    m_dbTelef->setText(t.telef);
    ponerJornada(t.tipojornada);
    m_dbContrato->setText(t.contrato);
    m_dbEmail->setText(t.email);
    m_dbAlias->setText(t.alias);
    m_dbFalta->setText(t.falta);
    m_dbFbaja->setText(t.fbaja);
    m_dbObservaciones->setText(t.observaciones);
    cargarAsignaciones();
    m_dbNomTrabajador->setFocus();
    return true;
}

void TFormManTrabajadores::cargarAsignaciones()
{
    if (m_trabajador.id == 0) {
        m_ubica->cerrar();
        return;
    }
    consultas::asignaciones(*m_ubica, m_trabajador.id);
}

void TFormManTrabajadores::grabar()
{
    maestros::Trabajador t = m_trabajador;
    t.nomtrabajador = m_dbNomTrabajador->text();
    t.nif = m_dbNif->text();
    t.nss = m_dbNss->text();
    t.telef = m_dbTelef->text();
    t.tipojornada = m_dbTipoJornada->currentData().toString();
    t.contrato = m_dbContrato->text();
    t.email = m_dbEmail->text();
    t.alias = m_dbAlias->text();
    t.falta = m_dbFalta->text();
    t.fbaja = m_dbFbaja->text();
    t.observaciones = m_dbObservaciones->text();
    maestros::grabarTrabajador(m_db, t);
    m_trabajador = t;
    m_dbId->setText(QString::number(t.id));
    m_botBorrar->setEnabled(true);
}

QString TFormManTrabajadores::textoJornadaCompleta()
{
    return QStringLiteral("C — Tiempo completo");
}

QString TFormManTrabajadores::textoJornadaParcial()
{
    return QStringLiteral("P — Tiempo parcial");
}

void TFormManTrabajadores::ponerJornada(const QString& tipo)
{
    m_dbTipoJornada->clear();
    // Nothing is chosen for a worker who has no type yet; a letter stored by other means stays as it is.
    if (tipo.isEmpty())
        m_dbTipoJornada->addItem(QString(), QString());
    m_dbTipoJornada->addItem(textoJornadaCompleta(), QStringLiteral("C"));
    m_dbTipoJornada->addItem(textoJornadaParcial(), QStringLiteral("P"));
    const bool otra = !tipo.isEmpty() && tipo != QStringLiteral("C") && tipo != QStringLiteral("P");
    if (otra)
        m_dbTipoJornada->addItem(tipo, tipo);
    m_dbTipoJornada->setCurrentIndex(m_dbTipoJornada->findData(tipo));
    m_lAvisoJornada->setText(otra ? QStringLiteral("Tipo de jornada «%1» no válido: elija C o P").arg(tipo)
                                  : QString());
}

QWidget* TFormManTrabajadores::controlDe(const QString& campo)
{
    return campo == QStringLiteral("nomtrabajador") ? m_dbNomTrabajador : nullptr;
}

void TFormManTrabajadores::SpeedButton2Click()
{
    if (!m_hayRegistro)
        return;
    // An assignment needs the worker's id: a new worker is stored first, and stays stored.
    if (m_trabajador.id == 0) {
        if (!intentar([this] { grabar(); }))
            return;
        marcarSinCambios();
    }
    TFormManCentro2 selector(m_md, this);
    selector.exec();
    const QString codigo = selector.CentroElegido;
    if (codigo.isEmpty()) {
        cargarAsignaciones();
        return;
    }
    bool nueva = false;
    if (!intentar([&] { nueva = maestros::asignar(m_db, m_trabajador.id, codigo); }))
        return;
    if (!nueva)
        mostrarMensaje(QStringLiteral("ya existe el centro ") + codigo);
    cargarAsignaciones();
    const int fila = m_ubica->buscar(QStringLiteral("codcentro"), codigo);
    if (fila >= 0)
        m_dbGrid1->selectRow(fila);
}

void TFormManTrabajadores::SpeedButton3Click()
{
    const int fila = m_dbGrid1->currentIndex().row();
    if (m_trabajador.id == 0 || fila < 0)
        return;
    const QString codigo = m_ubica->valor(fila, QStringLiteral("codcentro")).toString();
    intentar([&] { maestros::quitarAsignacion(m_db, m_trabajador.id, codigo); });
    cargarAsignaciones();
}

bool TFormManTrabajadores::TrabajadoresBeforeDelete()
{
    return Interaccion::actual().confirmar(this, textoBorrarTrabajador());
}

// The delete button ends the edit as its question was answered: it abandons the change without asking again.
void TFormManTrabajadores::BotBorrarClick()
{
    if (!m_hayRegistro) {
        QDialog::reject();
        return;
    }
    if (!Interaccion::actual().confirmar(this, textoEliminarRegistro())) {
        QDialog::reject();
        return;
    }
    if (m_trabajador.id == 0) {
        QDialog::reject();
        return;
    }
    if (!TrabajadoresBeforeDelete())
        return;
    if (intentar([this] { maestros::borrarTrabajador(m_db, m_trabajador.id); }))
        accept();
}
