#include "sheets/TFormAcercade.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel* enlace(const QString& direccion, const QString& texto, QWidget* padre)
{
    auto* label = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(direccion.toHtmlEscaped(), texto.toHtmlEscaped()), padre);
    label->setTextFormat(Qt::RichText);
    // The link goes through the interaction object, not straight to the desktop.
    label->setOpenExternalLinks(false);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TFormAcercade::TFormAcercade(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormAcercade"));
    setWindowTitle(QStringLiteral("Acerca de ..."));
    QFont letra(QStringLiteral("Arial"));
    letra.setItalic(true);
    setFont(letra);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    m_panel = panel;

    auto* producto = new QLabel(QStringLiteral("Quorvel"), panel);
    producto->setObjectName(QStringLiteral("ProductName"));
    QFont grande = letra;
    grande.setBold(true);
    grande.setPointSizeF(letra.pointSizeF() * 1.8);
    producto->setFont(grande);

    m_version = new QLabel(panel);
    m_version->setObjectName(QStringLiteral("Version"));
    m_fecha = new QLabel(panel);
    m_fecha->setObjectName(QStringLiteral("Fecha"));
    m_baseDatos = new QLabel(panel);
    m_baseDatos->setObjectName(QStringLiteral("BaseDatos"));
    m_baseDatos->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* etiquetaCorreo = new QLabel(QStringLiteral("E-mail : "), panel);
    QLabel* correo = enlace(QStringLiteral("mailto:") + correoContacto(), correoContacto(), panel);
    correo->setObjectName(QStringLiteral("Correo"));
    QLabel* web = enlace(paginaWeb(), paginaWeb(), panel);
    web->setObjectName(QStringLiteral("Web"));

    auto* rejilla = new QGridLayout(panel);
    rejilla->setContentsMargins(24, 16, 24, 16);
    rejilla->setVerticalSpacing(8);
    rejilla->addWidget(producto, 0, 0, 1, 2);
    rejilla->addWidget(m_version, 1, 0, 1, 2);
    rejilla->addWidget(m_fecha, 2, 0, 1, 2);
    rejilla->addWidget(etiquetaCorreo, 3, 0);
    rejilla->addWidget(correo, 3, 1);
    rejilla->addWidget(web, 4, 1);
    rejilla->addWidget(m_baseDatos, 5, 0, 1, 2);
    rejilla->setColumnStretch(1, 1);

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    botones->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    botones->setCenterButtons(true);

    auto* columna = new QVBoxLayout(this);
    columna->addWidget(panel);
    columna->addWidget(botones);
    columna->setSizeConstraint(QLayout::SetFixedSize);

    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    errores::conectar(correo, &QLabel::linkActivated, this, [this](const QString& e) { abrirEnlace(e); });
    errores::conectar(web, &QLabel::linkActivated, this, [this](const QString& e) { abrirEnlace(e); });
    ponerVersion(QString(), QString());
}

void TFormAcercade::ponerVersion(const QString& version, const QString& fecha)
{
    m_version->setText(QStringLiteral("Versión: ") + version);
    m_fecha->setText(QStringLiteral("Fecha: ") + fecha);
}

void TFormAcercade::ponerBaseDatos(const QString& ruta)
{
    m_baseDatos->setText(QStringLiteral("Base de datos: ") + QDir::toNativeSeparators(ruta));
}

QString TFormAcercade::correoContacto()
{
    return QStringLiteral("soporte@quorvel.es");
}

QString TFormAcercade::paginaWeb()
{
    return QStringLiteral("https://www.quorvel.es");
}

void TFormAcercade::mousePressEvent(QMouseEvent* event)
{
    if (!m_panel->geometry().contains(event->position().toPoint())) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void TFormAcercade::abrirEnlace(const QString& enlace)
{
    Interaccion::actual().abrirUrl(QUrl(enlace));
}
