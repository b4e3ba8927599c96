// The main window's entries into the master data screens.
#include "sheets/TFormPral.h"

#include "base/Interaccion.h"
#include "data/TMD.h"
#include "masterdata/Exportacion.h"
#include "masterdata/Maestros.h"
#include "masterdata/TFormDatosDudosos.h"
#include "masterdata/TFormImportar.h"
#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManTablas.h"
#include "masterdata/TFormManTrabajadores2.h"
#include "sheets/ListasSeleccion.h"
#include "store/Database.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>

void TFormPral::ManTablasExecute()
{
    {
        TFormManTablas tablas(m_md, this);
        tablas.exec();
    }
    BotCargaEmpresasClick();
    ComboEmpresasChange();
}

void TFormPral::BuscarTrabajadoresExecute()
{
    {
        TFormManTrabajadores2 busqueda(m_md, this);
        busqueda.exec();
    }
    BotCargaEmpresasClick();
    ComboEmpresasChange();
}

void TFormPral::ManImportarExecute()
{
    {
        TFormImportar importar(m_md, this);
        importar.show();
        importar.BotAbrirClick();
        importar.exec();
    }
    BotCargaEmpresasClick();
    ComboEmpresasChange();
}

void TFormPral::ManExportarExecute()
{
    const QString ruta =
        Interaccion::actual().elegirFichero(this, QStringLiteral("Exportar a hoja de cálculo"),
                                            TFormImportar::textoFiltro(), true, QStringLiteral("quorvel_datos.csv"));
    if (ruta.isEmpty())
        return;
    QSaveFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || f.write(exportacion::exportar(m_db)) < 0 || !f.commit()) {
        mensaje(QStringLiteral("No se puede escribir el fichero %1: %2")
                    .arg(QDir::toNativeSeparators(ruta), f.errorString()));
        return;
    }
    mensaje(QStringLiteral("Empresas, centros y trabajadores exportados a %1.").arg(QDir::toNativeSeparators(ruta)));
}

void TFormPral::DatosDudososExecute()
{
    TFormDatosDudosos dudosos(m_db, this);
    dudosos.exec();
}

void TFormPral::BotManCentrosClick()
{
    // A new centre needs a company to belong to; a centre of company 0 would be listed nowhere.
    if (m_idEmpresa == 0) {
        mensaje(TFormManTablas::textoSinEmpresa());
        return;
    }
    const qint64 id = m_codCentro.isEmpty() ? 0 : maestros::idCentro(m_db, m_codCentro).value_or(0);
    qint64 vuelta = id;
    {
        TFormManCentros editor(m_md, this);
        editor.IdCentroEdit = id;
        editor.IdEmpresaAlta = m_idEmpresa;
        if (editor.exec() == QDialog::Accepted && editor.centro().id != 0)
            vuelta = editor.centro().id;
    }
    // The lists show the centre as stored now (its code or name may have changed), still selected.
    const QString nuevoCodigo = vuelta == 0 ? QString() : maestros::codigoDeCentro(m_db, vuelta).value_or(QString());
    BotCargaCentrosClick();
    for (int i = 0; i < m_comboCentros->count(); ++i) {
        if (!nuevoCodigo.isEmpty() && codigoCentroEn(i) == nuevoCodigo) {
            m_comboCentros->setCurrentIndex(i);
            break;
        }
    }
    ComboCentrosChange();
}

bool TFormPral::faltanDatosMaestros()
{
    if (m_idsEmpresas.isEmpty()) {
        mensaje(QStringLiteral("No hay ninguna empresa. Dé de alta la primera en Mantenimiento › "
                               "Empresas/centros/trabajadores."));
        return true;
    }
    if (m_idEmpresa != 0 && m_comboCentros->count() == 0) {
        mensaje(QStringLiteral("La empresa no tiene ningún centro. Dé de alta el primero en "
                               "Mantenimiento › Empresas/centros/trabajadores."));
        return true;
    }
    return false;
}

QWidget* TFormPral::crearPrimerPaso()
{
    m_panelPrimerPaso = new QFrame(this);
    m_panelPrimerPaso->setObjectName(QStringLiteral("PanelPrimerPaso"));
    m_panelPrimerPaso->setFrameShape(QFrame::StyledPanel);
    auto* fila = new QHBoxLayout(m_panelPrimerPaso);
    auto* texto = new QLabel(QStringLiteral("Para empezar, dé de alta la empresa, sus centros y sus trabajadores en "
                                            "Mantenimiento › Empresas/centros/trabajadores."),
                             m_panelPrimerPaso);
    texto->setObjectName(QStringLiteral("TextoPrimerPaso"));
    texto->setWordWrap(true);
    auto* abrir = new QPushButton(QStringLiteral("Abrir Empresas/centros/trabajadores"), m_panelPrimerPaso);
    abrir->setObjectName(QStringLiteral("BotPrimerPaso"));
    fila->addWidget(texto, 1);
    fila->addWidget(abrir);
    // The same action as the menu entry, so the lists are reloaded when the browser closes.
    connect(abrir, &QPushButton::clicked, m_manTablas, &QAction::trigger);
    m_panelPrimerPaso->hide();
    return m_panelPrimerPaso;
}

void TFormPral::verPrimerPaso()
{
    m_panelPrimerPaso->setVisible(m_idsEmpresas.isEmpty());
}
