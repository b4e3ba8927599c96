#include "masterdata/TFormManCentro2.h"

#include "base/ManejadorErrores.h"
#include "base/TablaConsulta.h"
#include "base/Ventanas.h"
#include "data/TMD.h"
#include "masterdata/Consultas.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormManCentro2::TFormManCentro2(TMD& md, QWidget* parent) : QDialog(parent), m_md(md)
{
    setObjectName(QStringLiteral("FormManCentro2"));
    setWindowTitle(QStringLiteral("Seleccionar centro:"));
    setModal(true);
    m_centros = new TablaConsulta(md.Quorvel(),
                                  {{QStringLiteral("codcentro"), QStringLiteral("Código")},
                                   {QStringLiteral("nomcentro"), QStringLiteral("Centro")}},
                                  this);

    auto* columna = new QVBoxLayout(this);
    m_ckFiltrar = new QCheckBox(QStringLiteral("Filtrar empresa activa"), this);
    m_ckFiltrar->setObjectName(QStringLiteral("CKFiltrarEmpresaActiva"));
    m_ckFiltrar->setChecked(true);
    columna->addWidget(m_ckFiltrar);
    m_dbGrid1 = crearRejilla(QStringLiteral("DBGrid1"), m_centros, this);
    m_dbGrid1->setMinimumSize(340, 240);
    columna->addWidget(m_dbGrid1);
    auto* botones = new QHBoxLayout();
    auto* seleccionar = new QPushButton(QStringLiteral("Seleccionar (doble clic) "), this);
    seleccionar->setObjectName(QStringLiteral("SpeedButton2"));
    seleccionar->setAutoDefault(false);
    auto* cerrar = new QPushButton(QStringLiteral("Cerrar sin seleccionar"), this);
    cerrar->setObjectName(QStringLiteral("SpeedButton1"));
    cerrar->setAutoDefault(false);
    botones->addWidget(seleccionar);
    botones->addStretch(1);
    botones->addWidget(cerrar);
    columna->addLayout(botones);

    errores::conectar(m_ckFiltrar, &QCheckBox::clicked, this, [this] { CKFiltrarEmpresaActivaClick(); });
    errores::conectar(seleccionar, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    errores::conectar(m_dbGrid1, &QTableView::doubleClicked, this, [this] { SpeedButton2Click(); });
    errores::conectar(cerrar, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    errores::protegido(this, [this] { CKFiltrarEmpresaActivaClick(); });
}

void TFormManCentro2::CKFiltrarEmpresaActivaClick()
{
    consultas::centrosParaElegir(*m_centros,
                                 m_ckFiltrar->isChecked() ? std::optional<qint64>(m_md.IdEmpresaActiva) : std::nullopt);
    if (m_centros->rowCount() > 0)
        m_dbGrid1->selectRow(0);
}

void TFormManCentro2::SpeedButton2Click()
{
    const int fila = m_dbGrid1->currentIndex().row();
    if (fila < 0)
        return;
    CentroElegido = m_centros->valor(fila, QStringLiteral("codcentro")).toString();
    accept();
}

void TFormManCentro2::SpeedButton1Click()
{
    CentroElegido.clear();
    reject();
}
