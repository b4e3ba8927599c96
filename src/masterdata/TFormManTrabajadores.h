#pragma once

#include "masterdata/Maestros.h"
#include "masterdata/TFormEditor.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class TablaConsulta;

// "Mantenimiento de trabajadores": one worker, new (IdTrabajadorEdit 0) or existing, with the centres it is
// assigned to; the only place where a worker is deleted.
class TFormManTrabajadores : public TFormEditor
{
    Q_OBJECT

public:
    explicit TFormManTrabajadores(TMD& md, QWidget* parent = nullptr);

    qint64 IdTrabajadorEdit = 0;
    const maestros::Trabajador& trabajador() const { return m_trabajador; }

    void SpeedButton2Click(); // "+": assign a centre
    void SpeedButton3Click(); // "X": remove the selected assignment
    void BotBorrarClick();    // navigator delete

    static QString textoEliminarRegistro() { return QStringLiteral("¿Desea eliminar el registro?"); }
    static QString textoBorrarTrabajador() { return QStringLiteral("¿Seguro que quiere borrar este trabajador?"); }
    static QString textoJornadaCompleta();
    static QString textoJornadaParcial();

protected:
    bool cargar() override;
    void grabar() override;
    QWidget* controlDe(const QString& campo) override;

private:
    bool TrabajadoresBeforeDelete();
    void cargarAsignaciones();
    // Offers the two types, and a stored other letter as it is, marked as not valid.
    void ponerJornada(const QString& tipo);

    maestros::Trabajador m_trabajador;
    QLineEdit* m_dbId = nullptr;
    QLineEdit* m_dbNomTrabajador = nullptr;
    QLineEdit* m_dbNif = nullptr;
    QLineEdit* m_dbNss = nullptr;
    QLineEdit* m_dbTelef = nullptr;
    QComboBox* m_dbTipoJornada = nullptr;
    QLabel* m_lAvisoJornada = nullptr;
    QLineEdit* m_dbContrato = nullptr;
    QLineEdit* m_dbEmail = nullptr;
    QLineEdit* m_dbAlias = nullptr;
    QLineEdit* m_dbFalta = nullptr;
    QLineEdit* m_dbFbaja = nullptr;
    QLineEdit* m_dbObservaciones = nullptr;
    TablaConsulta* m_ubica = nullptr;
    QTableView* m_dbGrid1 = nullptr;
    QPushButton* m_botMas = nullptr;
    QPushButton* m_botQuitar = nullptr;
    QPushButton* m_botBorrar = nullptr;
};
