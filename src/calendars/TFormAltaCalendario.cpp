#include "calendars/TFormAltaCalendario.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/Ventanas.h"
#include "calendars/FestivosOficiales.h"
#include "calendars/GestionCalendarios.h"
#include "store/Database.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

using calendarios::Relleno;

TFormAltaCalendario::TFormAltaCalendario(store::Database& db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormAltaCalendario"));
    setWindowTitle(QStringLiteral("Nuevo calendario"));

    auto* label1 = new QLabel(QStringLiteral("Descripción calendario"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_dbEdit1 = new QLineEdit(this);
    m_dbEdit1->setObjectName(QStringLiteral("DBEdit1"));
    label1->setBuddy(m_dbEdit1);

    auto* grupo = new QGroupBox(QStringLiteral("copiar calendario: "), this);
    grupo->setObjectName(QStringLiteral("RRelleno"));
    auto* opciones = new QVBoxLayout(grupo);
    m_rRelleno = new QButtonGroup(this);
    const QStringList textos = {QStringLiteral("Vacío"), QStringLiteral("Calendario base"),
                                QStringLiteral("Calendario seleccionado")};
    for (int i = 0; i < textos.size(); ++i) {
        auto* r = new QRadioButton(textos.at(i), grupo);
        r->setObjectName(QStringLiteral("RRelleno%1").arg(i));
        m_rRelleno->addButton(r, i);
        opciones->addWidget(r);
    }

    m_modelo = new calendarios::ModeloListaCalendarios(db, this);
    m_modelo->titulosCampos = true;
    m_dbGrid1 = crearRejilla(QStringLiteral("DBGrid1"), m_modelo, this);
    m_dbGrid1->setColumnWidth(0, 50);
    if (m_modelo->rowCount() > 0)
        m_dbGrid1->selectRow(0);

    m_loperacion = new QLabel(this);
    m_loperacion->setObjectName(QStringLiteral("Loperacion"));
    m_loperacion->setAlignment(Qt::AlignCenter);
    m_loperacion->setWordWrap(true);
    QFont negrita = m_loperacion->font();
    negrita.setBold(true);
    m_loperacion->setFont(negrita);
    QPalette rojo = m_loperacion->palette();
    rojo.setColor(QPalette::WindowText, Qt::red);
    m_loperacion->setPalette(rojo);
    m_loperacion->setMinimumHeight(36);

    // This year's official holidays of a community on top of whatever the copy brings.
    m_ckOficiales = new QCheckBox(QStringLiteral("con los festivos oficiales de"), this);
    m_ckOficiales->setObjectName(QStringLiteral("CKOficiales"));
    m_comboComunidad = new QComboBox(this);
    m_comboComunidad->setObjectName(QStringLiteral("ComboComunidad"));
    for (const oficiales::Comunidad& c : oficiales::comunidades())
        m_comboComunidad->addItem(c.nombre, c.codigo);
    m_comboComunidad->setCurrentIndex(-1);
    m_comboComunidad->setEnabled(false);
    connect(m_ckOficiales, &QCheckBox::toggled, m_comboComunidad, &QWidget::setEnabled);
    auto* oficial = new QHBoxLayout;
    oficial->addWidget(m_ckOficiales);
    oficial->addWidget(m_comboComunidad, 1);

    auto* confirmar = new QPushButton(QStringLiteral("confirmar"), this);
    confirmar->setObjectName(QStringLiteral("SpeedButton1"));
    auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cancelar->setObjectName(QStringLiteral("SpeedButton2"));
    confirmar->setAutoDefault(false);
    cancelar->setAutoDefault(false);

    auto* descripcion = new QHBoxLayout;
    descripcion->addWidget(label1);
    descripcion->addWidget(m_dbEdit1, 1);
    auto* medio = new QHBoxLayout;
    medio->addWidget(grupo);
    medio->addWidget(m_dbGrid1, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(confirmar);
    botones->addWidget(cancelar);
    auto* columna = new QVBoxLayout(this);
    columna->addLayout(descripcion);
    columna->addLayout(medio, 1);
    columna->addLayout(oficial);
    columna->addWidget(m_loperacion);
    columna->addLayout(botones);
    resize(560, 320);

    using errores::conectar;
    conectar(m_rRelleno, &QButtonGroup::idClicked, this, [this] { RRellenoClick(); });
    conectar(m_dbGrid1, &QTableView::clicked, this, [this] { RRellenoClick(); });
    conectar(confirmar, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

TFormAltaCalendario::~TFormAltaCalendario() = default;

int TFormAltaCalendario::seleccionado() const
{
    if (m_modelo->rowCount() == 0)
        return -1;
    const QModelIndex actual = m_dbGrid1->currentIndex();
    return m_modelo->id(actual.isValid() ? actual.row() : 0);
}

void TFormAltaCalendario::RRellenoClick()
{
    const QString base = QStringLiteral("Crear nuevo calendario en base a:  ");
    switch (Relleno(m_rRelleno->checkedId())) {
    case Relleno::Vacio:
        m_loperacion->setText(QStringLiteral("Crear un nuevo calendario VACÍO"));
        break;
    case Relleno::Base:
        m_loperacion->setText(base + QStringLiteral("CALENDARIO BASE"));
        break;
    case Relleno::Seleccionado: {
        const int fila = m_modelo->fila(seleccionado());
        m_loperacion->setText(fila < 0 ? base
                                       : base + QStringLiteral("Calendario ") + QString::number(m_modelo->id(fila)) +
                                             QStringLiteral(" - ") + m_modelo->descripcion(fila));
        break;
    }
    default:
        m_loperacion->setText(base);
        break;
    }
}

void TFormAltaCalendario::SpeedButton1Click()
{
    const Relleno relleno = Relleno(m_rRelleno->checkedId());
    if (relleno == Relleno::Ninguno) {
        Interaccion::actual().mensaje(this, QStringLiteral("Elija cómo rellenar el nuevo calendario"));
        return;
    }
    const int origen = seleccionado();
    if (relleno == Relleno::Seleccionado && origen < 0) {
        Interaccion::actual().mensaje(this, QStringLiteral("No hay ningún calendario seleccionado"));
        return;
    }
    std::vector<oficiales::Festivo> dias;
    const QString comunidad = m_comboComunidad->currentData().toString();
    if (m_ckOficiales->isChecked()) {
        if (comunidad.isEmpty()) {
            Interaccion::actual().mensaje(this, QStringLiteral("Elija la comunidad de los festivos oficiales"));
            return;
        }
        try {
            const oficiales::Tabla tabla = oficiales::Tabla::cargarPara(m_db.path());
            const QString falta = tabla.falta(comunidad, Hoy.year());
            if (!falta.isEmpty()) {
                Interaccion::actual().mensaje(this, falta);
                return;
            }
            const QString aviso = tabla.aviso(comunidad, Hoy.year());
            if (tabla.provisional(comunidad, Hoy.year()) &&
                !Interaccion::actual().confirmar(this, aviso + QStringLiteral(" ¿Crear el calendario con ellos?")))
                return;
            dias = tabla.festivos(comunidad, Hoy.year());
        } catch (const oficiales::ErrorTabla& e) {
            Interaccion::actual().mensaje(this, e.message());
            return;
        }
    }
    NuevoCalendario = calendarios::crearCalendario(m_db, m_dbEdit1->text(), relleno, origen, Hoy);
    if (m_ckOficiales->isChecked()) {
        oficiales::aplicar(m_db, NuevoCalendario, dias, oficiales::Regla::Oficial);
        oficiales::guardarComunidad(m_db, NuevoCalendario, comunidad);
    }
    accept();
}
