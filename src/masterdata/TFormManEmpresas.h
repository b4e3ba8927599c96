#pragma once

#include "masterdata/Maestros.h"
#include "masterdata/TFormEditor.h"

// "Mantenimiento de empresas": one company, new (IdEmpresaEdit 0) or existing.
class TFormManEmpresas : public TFormEditor
{
    Q_OBJECT

public:
    explicit TFormManEmpresas(TMD& md, QWidget* parent = nullptr);

    qint64 IdEmpresaEdit = 0;
    // The stored company, once stored.
    const maestros::Empresa& empresa() const { return m_empresa; }

protected:
    bool cargar() override;
    void grabar() override;
    QWidget* controlDe(const QString& campo) override;

private:
    maestros::Empresa m_empresa;
    QLineEdit* m_dbId = nullptr;
    QLineEdit* m_dbNomEmpresa = nullptr;
    QLineEdit* m_dbCif = nullptr;
    QLineEdit* m_dbCcc = nullptr;
};
