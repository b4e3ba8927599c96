#pragma once

#include <QDialog>

class QCheckBox;
class QTableView;
class TablaConsulta;
class TMD;

// "Seleccionar centro:": picks a centre for a worker; CentroElegido is its code, empty when none was chosen.
// Offers the active company's centres, or every centre when the filter is off.
class TFormManCentro2 : public QDialog
{
    Q_OBJECT

public:
    explicit TFormManCentro2(TMD& md, QWidget* parent = nullptr);

    QString CentroElegido;

    void CKFiltrarEmpresaActivaClick();
    void SpeedButton2Click(); // "Seleccionar (doble clic) "
    void SpeedButton1Click(); // "Cerrar sin seleccionar"

private:
    TMD& m_md;
    TablaConsulta* m_centros = nullptr;
    QCheckBox* m_ckFiltrar = nullptr;
    QTableView* m_dbGrid1 = nullptr;
};
