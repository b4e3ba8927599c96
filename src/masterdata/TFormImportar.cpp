#include "masterdata/TFormImportar.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/Ventanas.h"
#include "data/TMD.h"
#include "masterdata/Importacion.h"
#include "masterdata/Maestros.h"
#include "masterdata/ModeloImportacion.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

TFormImportar::TFormImportar(TMD& md, QWidget* parent) : QDialog(parent), m_db(md.Quorvel())
{
    setObjectName(QStringLiteral("FormImportar"));
    setWindowTitle(QStringLiteral("Importar empresas, centros y trabajadores"));
    setModal(true);
    auto* columna = new QVBoxLayout(this);

    auto* arriba = new QHBoxLayout();
    m_lFichero =
        new QLabel(QStringLiteral("Elija la hoja de cálculo (CSV) con una fila por trabajador y centro."), this);
    m_lFichero->setObjectName(QStringLiteral("LFichero"));
    arriba->addWidget(m_lFichero, 1);
    auto* botAbrir = new QPushButton(QStringLiteral("Abrir fichero…"), this);
    botAbrir->setObjectName(QStringLiteral("BotAbrir"));
    arriba->addWidget(botAbrir);
    auto* botPlantilla = new QPushButton(QStringLiteral("Guardar plantilla…"), this);
    botPlantilla->setObjectName(QStringLiteral("BotPlantilla"));
    botPlantilla->setToolTip(QStringLiteral("Guarda un fichero vacío con los nombres de las columnas"));
    arriba->addWidget(botPlantilla);
    columna->addLayout(arriba);

    m_modelo = new ModeloImportacion(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("GridVista"));
    m_grid->setModel(m_modelo);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setMinimumSize(900, 360);
    columna->addWidget(m_grid, 1);

    m_lTotales = new QLabel(this);
    m_lTotales->setObjectName(QStringLiteral("LTotales"));
    m_lTotales->setWordWrap(true);
    // Room for the totals and the unknown columns, however the window was sized.
    m_lTotales->setMinimumHeight(m_lTotales->fontMetrics().lineSpacing() * 4);
    columna->addWidget(m_lTotales);

    auto* abajo = new QHBoxLayout();
    abajo->addStretch(1);
    m_botImportar = new QPushButton(QStringLiteral("Importar"), this);
    m_botImportar->setObjectName(QStringLiteral("BotImportar"));
    m_botImportar->setEnabled(false);
    m_botImportar->setAutoDefault(false);
    abajo->addWidget(m_botImportar);
    auto* botCerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    botCerrar->setObjectName(QStringLiteral("BotCerrar"));
    botCerrar->setAutoDefault(false);
    abajo->addWidget(botCerrar);
    columna->addLayout(abajo);

    connect(botAbrir, &QPushButton::clicked, this, [this] { errores::protegido(this, [this] { BotAbrirClick(); }); });
    connect(botPlantilla, &QPushButton::clicked, this,
            [this] { errores::protegido(this, [this] { BotPlantillaClick(); }); });
    connect(m_botImportar, &QPushButton::clicked, this,
            [this] { errores::protegido(this, [this] { BotImportarClick(); }); });
    connect(botCerrar, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormImportar::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_mostrado)
        return;
    m_mostrado = true;
    centrarEnPantalla(this);
}

bool TFormImportar::abrir(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        Interaccion::actual().mensaje(
            this,
            QStringLiteral("No se puede leer el fichero %1: %2").arg(QDir::toNativeSeparators(ruta), f.errorString()));
        return false;
    }
    m_ruta = ruta;
    m_modelo->ponerVista(importacion::preparar(m_db, f.readAll()));
    mostrar();
    return true;
}

void TFormImportar::mostrar()
{
    const importacion::Vista& v = m_modelo->vista();
    m_lFichero->setText(QStringLiteral("%1 (%2, separador %3)")
                            .arg(QDir::toNativeSeparators(m_ruta), csv::nombreCodificacion(v.codificacion),
                                 csv::nombreSeparador(v.separador)));
    QStringList totales;
    if (!v.error.isEmpty())
        totales << v.error;
    else
        totales << importacion::resumen(v.totales);
    if (!v.desconocidas.isEmpty())
        totales << QStringLiteral("Columnas desconocidas, no se importan: %1.")
                       .arg(v.desconocidas.join(QStringLiteral(", ")));
    m_lTotales->setText(totales.join(u'\n'));
    m_botImportar->setEnabled(v.error.isEmpty() && !v.totales.sinCambios());
    m_grid->resizeColumnsToContents();
}

void TFormImportar::BotAbrirClick()
{
    const QString ruta = Interaccion::actual().elegirFichero(this, QStringLiteral("Abrir hoja de cálculo"),
                                                             textoFiltro(), false, m_ruta);
    if (!ruta.isEmpty())
        abrir(ruta);
}

void TFormImportar::BotPlantillaClick()
{
    const QString ruta = Interaccion::actual().elegirFichero(this, QStringLiteral("Guardar plantilla"), textoFiltro(),
                                                             true, QStringLiteral("plantilla_quorvel.csv"));
    if (ruta.isEmpty())
        return;
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || f.write(importacion::plantilla()) < 0 || !f.commit()) {
        Interaccion::actual().mensaje(this, QStringLiteral("No se puede escribir el fichero %1: %2")
                                                .arg(QDir::toNativeSeparators(ruta), f.errorString()));
        return;
    }
    Interaccion::actual().mensaje(this, QStringLiteral("Plantilla guardada en %1. Rellénela con una fila por "
                                                       "trabajador y centro y vuelva a Importar.")
                                            .arg(QDir::toNativeSeparators(ruta)));
}

void TFormImportar::BotImportarClick()
{
    const importacion::Vista v = m_modelo->vista();
    const int rechazadas = v.totales.filasRechazadas;
    if (rechazadas > 0 &&
        !Interaccion::actual().confirmar(
            this,
            QStringLiteral("%1 filas están rechazadas y no se importarán.\n¿Importar las demás?").arg(rechazadas)))
        return;
    try {
        const importacion::Totales hecho = importacion::aplicar(m_db, v, true);
        Interaccion::actual().mensaje(this, QStringLiteral("Importación terminada. ") + importacion::resumen(hecho));
    } catch (const maestros::Rechazo& r) {
        Interaccion::actual().mensaje(this, r.message());
    } catch (const store::StoreError&) {
        // Told as the general handler tells it, so one cause reads the same wherever it happens.
        errores::mostrar(this, std::current_exception());
    }
    // What is stored now, whether the import went through or not.
    abrir(m_ruta);
}
