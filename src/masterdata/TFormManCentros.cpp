#include "masterdata/TFormManCentros.h"

#include "base/ManejadorErrores.h"
#include "calendars/TFormSelCalendario.h"
#include "data/TMD.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

TFormManCentros::TFormManCentros(TMD& md, QWidget* parent)
    : TFormEditor(md, QStringLiteral("Mantenimiento de centros"), parent)
{
    setObjectName(QStringLiteral("FormManCentros"));
    m_dbId = campo(QStringLiteral("DBID"), QStringLiteral("Id"), 10);
    soloLectura(m_dbId);
    m_dbIdEmpresa = campo(QStringLiteral("DBIDEMPRESA"), QStringLiteral("IDEmpresa"), 10);
    m_dbIdEmpresa->setEnabled(false);

    // The short code and, beside it, the code built from it.
    m_dbCodCentro2 = nuevoCampo(QStringLiteral("DBCODCENTRO2"), 2, true);
    // The code names the centre's PDF files and goes out as a mail attachment name: plain letters and digits.
    m_dbCodCentro2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,2}")), m_dbCodCentro2));
    m_dbCodCentro = nuevoCampo(QStringLiteral("DBCODCENTRO"), 10, true);
    m_dbCodCentro->setEnabled(false);
    auto* codigos = new QHBoxLayout();
    codigos->addWidget(m_dbCodCentro2);
    codigos->addWidget(m_dbCodCentro);
    codigos->addStretch(1);
    m_formulario->addRow(etiqueta(QStringLiteral("DBCODCENTRO2"), QStringLiteral("Código Centro"), m_dbCodCentro2),
                         codigos);
    m_dbNomCentro = campo(QStringLiteral("DBNOMCENTRO"), QStringLiteral("Nombre centro"), 20, true);
    contador(m_dbNomCentro, 20, QStringLiteral("El nombre del centro"));
    m_dbDomicilio = campo(QStringLiteral("DBDOMICILIO"), QStringLiteral("Domicilio"), 35);
    contador(m_dbDomicilio, 35, QStringLiteral("El domicilio del centro"));
    m_dbPoblacion = campo(QStringLiteral("DBPOBLACION"), QStringLiteral("Población"), 35);
    contador(m_dbPoblacion, 35, QStringLiteral("La población del centro"));
    m_dbCp = campo(QStringLiteral("DBCP"), QStringLiteral("C.P."), 5);
    contador(m_dbCp, 5, QStringLiteral("El código postal"));
    m_dbTelefono = campo(QStringLiteral("DBTELEFONO"), QStringLiteral("Teléfono"), 20);
    contador(m_dbTelefono, 20, QStringLiteral("El teléfono del centro"));
    m_dbEmail = campo(QStringLiteral("DBEMAIL"), QStringLiteral("Mail Centro"), 80);
    contador(m_dbEmail, 80, QStringLiteral("El correo del centro"));
    m_dbCalendario = campo(QStringLiteral("DBCALENDARIO"), QStringLiteral("Calendario"), 20);
    soloLectura(m_dbCalendario, Qt::ClickFocus);
    m_botSelCalendario = new QPushButton(QStringLiteral("seleccionar calendario"), this);
    m_botSelCalendario->setObjectName(QStringLiteral("BotSelCalendario"));
    m_botSelCalendario->setAutoDefault(false);
    m_formulario->addRow(QString(), m_botSelCalendario);
    m_dbCkSabados = casilla(QStringLiteral("DBCKSabados"), QStringLiteral("Sábados cerrado"));
    m_dbCkDomingos = casilla(QStringLiteral("DBCKDomingos"), QStringLiteral("Domingos cerrado"));
    m_dbCkFestivos = casilla(QStringLiteral("DBCKFestivos"), QStringLiteral("Festivos cerrado"));

    connect(m_dbCodCentro2, &QLineEdit::textChanged, this, [this] { DBCODCENTRO2Change(); });
    errores::conectar(m_botSelCalendario, &QPushButton::clicked, this, [this] { BotSelCalendarioClick(); });
}

void TFormManCentros::CentrosAfterInsert()
{
    // Ids are positive: 0 means the caller named no company, and the code cannot be built.
    m_centro = maestros::centroNuevo(IdEmpresaAlta > 0 ? std::optional<qint64>(IdEmpresaAlta) : std::nullopt);
}

bool TFormManCentros::cargar()
{
    m_botSelCalendario->setEnabled(m_md.Calenxcentros);
    if (IdCentroEdit == 0) {
        CentrosAfterInsert();
        ponerOperacion(QStringLiteral("Alta de centro"));
    } else {
        const auto leido = maestros::leerCentro(m_db, IdCentroEdit);
        if (!leido)
            return false;
        m_centro = *leido;
        m_dbId->setText(QString::number(m_centro.id));
        ponerOperacion(QStringLiteral("Modificar datos"));
    }
    m_dbIdEmpresa->setText(m_centro.idempresa ? QString::number(*m_centro.idempresa) : QString());
    m_dbCodCentro2->setText(m_centro.codcentro2);
    DBCODCENTRO2Change();
    m_dbNomCentro->setText(m_centro.nomcentro);
    m_dbDomicilio->setText(m_centro.domicilio);
    m_dbPoblacion->setText(m_centro.poblacion);
    m_dbCp->setText(m_centro.cp);
    m_dbTelefono->setText(m_centro.telefono);
    m_dbEmail->setText(m_centro.email);
    m_dbCalendario->setText(m_centro.calendario);
    m_dbCkSabados->setChecked(m_centro.sabados);
    m_dbCkDomingos->setChecked(m_centro.domingos);
    m_dbCkFestivos->setChecked(m_centro.festivos);
    m_dbCodCentro2->setFocus();
    return true;
}

void TFormManCentros::DBCODCENTRO2Change()
{
    m_dbCodCentro->setText(maestros::codigoCentro(m_dbIdEmpresa->text(), m_dbCodCentro2->text()));
}

void TFormManCentros::BotSelCalendarioClick()
{
    TFormSelCalendario selector(m_md, this);
    selector.exec();
    if (!selector.Seleccion.isEmpty())
        m_dbCalendario->setText(selector.Seleccion);
}

void TFormManCentros::grabar()
{
    maestros::Centro c = m_centro;
    c.codcentro = m_dbCodCentro->text();
    c.codcentro2 = m_dbCodCentro2->text();
    c.nomcentro = m_dbNomCentro->text();
    bool numero = false;
    const qint64 idempresa = m_dbIdEmpresa->text().toLongLong(&numero);
    c.idempresa = numero ? std::optional<qint64>(idempresa) : std::nullopt;
    c.domicilio = m_dbDomicilio->text();
    c.poblacion = m_dbPoblacion->text();
    c.cp = m_dbCp->text();
    c.telefono = m_dbTelefono->text();
    c.email = m_dbEmail->text();
    c.calendario = m_dbCalendario->text();
    c.sabados = m_dbCkSabados->isChecked();
    c.domingos = m_dbCkDomingos->isChecked();
    c.festivos = m_dbCkFestivos->isChecked();
    maestros::grabarCentro(m_db, c);
    m_centro = c;
    m_dbId->setText(QString::number(c.id));
}

QWidget* TFormManCentros::controlDe(const QString& campo)
{
    if (campo == QStringLiteral("codcentro"))
        return m_dbCodCentro;
    if (campo == QStringLiteral("codcentro2"))
        return m_dbCodCentro2;
    if (campo == QStringLiteral("nomcentro"))
        return m_dbNomCentro;
    if (campo == QStringLiteral("idempresa"))
        return m_dbIdEmpresa;
    if (campo == QStringLiteral("calendario"))
        return m_dbCalendario;
    if (campo == QStringLiteral("cp"))
        return m_dbCp;
    return nullptr;
}
