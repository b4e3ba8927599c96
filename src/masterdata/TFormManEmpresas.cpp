#include "masterdata/TFormManEmpresas.h"

#include "masterdata/Identificadores.h"

#include <QLineEdit>

TFormManEmpresas::TFormManEmpresas(TMD& md, QWidget* parent)
    : TFormEditor(md, QStringLiteral("Mantenimiento de empresas"), parent)
{
    setObjectName(QStringLiteral("FormManEmpresas"));
    m_dbId = campo(QStringLiteral("DBID"), QStringLiteral("ID"), 10);
    soloLectura(m_dbId);
    m_dbNomEmpresa = campo(QStringLiteral("DBNOMEMPRESA"), QStringLiteral("Nom. Empresa"), 0, true);
    m_dbCif = campo(QStringLiteral("DBCIF"), QStringLiteral("CIF"), 20, true);
    m_dbCcc = campo(QStringLiteral("DBCCC"), QStringLiteral("CCC"), 30, true);
    aviso(m_dbCif, identificadores::avisoCif);
    aviso(m_dbCcc, identificadores::avisoCcc);
    // The name has no limit of its own; the codes have the widths the import checks too.
    contador(m_dbCif, 20, QStringLiteral("El CIF de la empresa"));
    contador(m_dbCcc, 30, QStringLiteral("El CCC de la empresa"));
}

bool TFormManEmpresas::cargar()
{
    if (IdEmpresaEdit == 0) {
        m_empresa = {};
        ponerOperacion(QStringLiteral("Alta de empresa"));
    } else {
        const auto leida = maestros::leerEmpresa(m_db, IdEmpresaEdit);
        if (!leida)
            return false;
        m_empresa = *leida;
        m_dbId->setText(QString::number(m_empresa.id));
        ponerOperacion(QStringLiteral("Modificación de empresa"));
    }
    m_dbNomEmpresa->setText(m_empresa.nomempresa);
    m_dbCif->setText(m_empresa.cif);
    m_dbCcc->setText(m_empresa.ccc);
    m_dbNomEmpresa->setFocus();
    return true;
}

void TFormManEmpresas::grabar()
{
    maestros::Empresa e = m_empresa;
    e.nomempresa = m_dbNomEmpresa->text();
    e.cif = m_dbCif->text();
    e.ccc = m_dbCcc->text();
    maestros::grabarEmpresa(m_db, e);
    m_empresa = e;
    m_dbId->setText(QString::number(e.id));
}

QWidget* TFormManEmpresas::controlDe(const QString& campo)
{
    return campo == QStringLiteral("nomempresa") ? m_dbNomEmpresa : nullptr;
}
