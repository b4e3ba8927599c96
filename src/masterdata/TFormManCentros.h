#pragma once

#include "masterdata/Maestros.h"
#include "masterdata/TFormEditor.h"

class QPushButton;

// "Mantenimiento de centros": one centre, new (IdCentroEdit 0, of company IdEmpresaAlta) or existing. Builds
// the centre code from the company and the short code, and offers the calendar choice when centres may
// have their own calendars.
class TFormManCentros : public TFormEditor
{
    Q_OBJECT

public:
    explicit TFormManCentros(TMD& md, QWidget* parent = nullptr);

    qint64 IdCentroEdit = 0;
    qint64 IdEmpresaAlta = 0;
    const maestros::Centro& centro() const { return m_centro; }

    void BotSelCalendarioClick();

protected:
    bool cargar() override;
    void grabar() override;
    QWidget* controlDe(const QString& campo) override;

private:
    void DBCODCENTRO2Change();
    void CentrosAfterInsert();

    maestros::Centro m_centro;
    QLineEdit* m_dbId = nullptr;
    QLineEdit* m_dbIdEmpresa = nullptr;
    QLineEdit* m_dbCodCentro2 = nullptr;
    QLineEdit* m_dbCodCentro = nullptr;
    QLineEdit* m_dbNomCentro = nullptr;
    QLineEdit* m_dbDomicilio = nullptr;
    QLineEdit* m_dbPoblacion = nullptr;
    QLineEdit* m_dbCp = nullptr;
    QLineEdit* m_dbTelefono = nullptr;
    QLineEdit* m_dbEmail = nullptr;
    QLineEdit* m_dbCalendario = nullptr;
    QPushButton* m_botSelCalendario = nullptr;
    QCheckBox* m_dbCkSabados = nullptr;
    QCheckBox* m_dbCkDomingos = nullptr;
    QCheckBox* m_dbCkFestivos = nullptr;
};
