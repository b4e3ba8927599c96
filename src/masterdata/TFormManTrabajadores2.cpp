#include "masterdata/TFormManTrabajadores2.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/TablaConsulta.h"
#include "base/Ventanas.h"
#include "data/TMD.h"
#include "masterdata/Consultas.h"
#include "masterdata/Maestros.h"
#include "masterdata/TFormManTrabajadores.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QIcon lupa()
{
    QPixmap imagen(20, 20);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    p.drawEllipse(QRectF(3, 3, 10, 10));
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 12.5), QPointF(17, 17));
    return QIcon(imagen);
}

} // namespace

TFormManTrabajadores2::TFormManTrabajadores2(TMD& md, QWidget* parent) : QDialog(parent), m_md(md)
{
    setObjectName(QStringLiteral("FormManTrabajadores2"));
    setWindowTitle(QStringLiteral("Búsqueda de trabajadores"));
    setModal(true);
    m_query1 = new TablaConsulta(md.Quorvel(),
                                 {{QStringLiteral("nomtrabajador"), QStringLiteral("Nombre")},
                                  {QStringLiteral("nif"), QStringLiteral("NIF")},
                                  {QStringLiteral("nss"), QStringLiteral("NSS")},
                                  {QStringLiteral("alias"), QStringLiteral("Alias")},
                                  {QStringLiteral("telef"), QStringLiteral("Teléfono")},
                                  {QStringLiteral("tipojornada"), QStringLiteral("Jornada")},
                                  {QStringLiteral("email"), QStringLiteral("Correo")},
                                  {QStringLiteral("Centros"), QStringLiteral("Centros")},
                                  {QStringLiteral("contrato"), QStringLiteral("Contrato")},
                                  {QStringLiteral("id"), QStringLiteral("Núm.")}},
                                 this);
    consultas::calcularCentros(*m_query1);

    auto* columna = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout();
    auto* label1 = new QLabel(QStringLiteral("Buscar:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_busquedaTxt = new QLineEdit(this);
    m_busquedaTxt->setObjectName(QStringLiteral("BusquedaTXT"));
    m_busquedaTxt->setMinimumWidth(260);
    label1->setBuddy(m_busquedaTxt);
    m_botBuscar = new QPushButton(lupa(), QString(), this);
    m_botBuscar->setObjectName(QStringLiteral("BotBuscar"));
    m_botBuscar->setAutoDefault(false);
    m_botBuscar->setToolTip(QStringLiteral("Buscar"));
    m_ckFiltrado = new QCheckBox(QStringLiteral("Ver trabajadores sin centro asignado"), this);
    m_ckFiltrado->setObjectName(QStringLiteral("CKFiltrado"));
    auto* label2 = new QLabel(QStringLiteral("Doble clic, o Intro para editar trabajador"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setStyleSheet(QStringLiteral("color: teal"));
    m_botManTrabajadores = new QPushButton(this);
    m_botManTrabajadores->setObjectName(QStringLiteral("BotManTrabajadores"));
    m_botManTrabajadores->hide();
    arriba->addWidget(label1);
    arriba->addWidget(m_busquedaTxt);
    arriba->addWidget(m_botBuscar);
    arriba->addSpacing(16);
    arriba->addWidget(m_ckFiltrado);
    arriba->addStretch(1);
    arriba->addWidget(label2);
    columna->addLayout(arriba);

    m_dbGrid1 = crearRejilla(QStringLiteral("DBGrid1"), m_query1, this);
    m_dbGrid1->setColumnWidth(0, 240);
    m_dbGrid1->setColumnWidth(7, 150);
    columna->addWidget(m_dbGrid1, 1);
    resize(1000, 480);

    m_busquedaTxt->installEventFilter(this);
    m_dbGrid1->installEventFilter(this);
    connect(m_busquedaTxt, &QLineEdit::textEdited, m_busquedaTxt, [this](const QString& texto) {
        const QString capitales = maestros::mayusculas(texto);
        if (capitales != texto) {
            const int cursor = m_busquedaTxt->cursorPosition();
            m_busquedaTxt->setText(capitales);
            m_busquedaTxt->setCursorPosition(cursor);
        }
    });
    errores::conectar(m_botBuscar, &QPushButton::clicked, this, [this] { BotBuscarClick(); });
    errores::conectar(m_ckFiltrado, &QCheckBox::clicked, this, [this] { CKFiltradoClick(); });
    errores::conectar(m_botManTrabajadores, &QPushButton::clicked, this, [this] { BotManTrabajadoresClick(); });
    errores::conectar(m_dbGrid1, &QTableView::doubleClicked, this, [this] { BotManTrabajadoresClick(); });
}

void TFormManTrabajadores2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_mostrada)
        return;
    m_mostrada = true;
    centrarEnPantalla(this);
    errores::protegido(this, [this] {
        BotBuscarClick();
        m_busquedaTxt->setFocus();
    });
}

void TFormManTrabajadores2::BotBuscarClick()
{
    IdTrabajadorSel = 0;
    const QString texto = m_busquedaTxt->text();
    try {
        consultas::buscarTrabajadores(*m_query1, texto);
    } catch (const store::StoreError&) {
        errores::mostrar(this, std::current_exception());
        return;
    }
    m_busquedaTxt->clear();
    if (m_query1->rowCount() == 1) {
        m_dbGrid1->selectRow(0);
        BotManTrabajadoresClick();
    } else if (m_query1->rowCount() > 1) {
        m_dbGrid1->selectRow(0);
        m_dbGrid1->setFocus();
    }
}

void TFormManTrabajadores2::CKFiltradoClick()
{
    if (m_ckFiltrado->isChecked()) {
        consultas::trabajadoresSinCentro(*m_query1);
        if (m_query1->rowCount() > 0)
            m_dbGrid1->selectRow(0);
    } else {
        BotBuscarClick();
    }
}

void TFormManTrabajadores2::BotManTrabajadoresClick()
{
    const int fila = m_dbGrid1->currentIndex().row();
    if (fila < 0)
        return;
    IdTrabajadorSel = m_query1->id(fila);
    {
        TFormManTrabajadores editor(m_md, this);
        editor.IdTrabajadorEdit = IdTrabajadorSel;
        editor.exec();
    }
    m_busquedaTxt->setFocus();
    m_query1->reabrir();
    // Back on the same worker; if it was deleted the list stays at its first row.
    const int vuelta = m_query1->buscar(QStringLiteral("id"), IdTrabajadorSel);
    if (vuelta >= 0)
        m_dbGrid1->selectRow(vuelta);
    else if (m_query1->rowCount() > 0)
        m_dbGrid1->selectRow(0);
}

bool TFormManTrabajadores2::eventFilter(QObject* objeto, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objeto, event);
    const int tecla = static_cast<QKeyEvent*>(event)->key();
    const bool intro = tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
    if (objeto == m_busquedaTxt) {
        if (intro) {
            errores::protegido(this, [this] { BotBuscarClick(); });
            return true;
        }
        if (tecla == Qt::Key_Escape) {
            m_busquedaTxt->clear();
            return true;
        }
    } else if (objeto == m_dbGrid1) {
        if (intro) {
            errores::protegido(this, [this] { BotManTrabajadoresClick(); });
            return true;
        }
        if (tecla == Qt::Key_Escape) {
            m_busquedaTxt->clear();
            m_busquedaTxt->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, event);
}
