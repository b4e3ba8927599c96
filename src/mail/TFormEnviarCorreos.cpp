#include "mail/TFormEnviarCorreos.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "data/Secretos.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Repaint while a message is on its way, but let no click or key in: a second "enviar" must not start.
void repintar()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

TFormEnviarCorreos::TFormEnviarCorreos(store::Database& db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormEnviarCorreos"));
    setWindowTitle(QStringLiteral("Enviar correos a los centros"));

    const auto boton = [this](const char* nombre, const QString& texto) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        return b;
    };
    m_leerArchivos = boton("BotLeerArchivos", QStringLiteral("Leer Archivos PDF"));
    m_rutaPdf = new QLineEdit(this);
    m_rutaPdf->setObjectName(QStringLiteral("EditRutaPDF"));
    m_asunto = new QLineEdit(kAsuntoCorreo, this);
    m_asunto->setObjectName(QStringLiteral("EAsunto"));
    m_texto = new QPlainTextEdit(kTextoCorreo, this);
    m_texto->setObjectName(QStringLiteral("MemoTexto"));
    m_texto->setTabChangesFocus(true);
    m_lista = new QListWidget(this);
    m_lista->setObjectName(QStringLiteral("ListaPDF"));
    m_selTodo = boton("BotSeltodo", QStringLiteral("seleccionar todo"));
    m_borSel = boton("BotBorSel", QStringLiteral("borrar selección"));
    for (QPushButton* b : {m_selTodo, m_borSel}) {
        QFont pequena = b->font();
        pequena.setPointSizeF(pequena.pointSizeF() * 0.85);
        b->setFont(pequena);
    }
    m_enviar = boton("BotEnviarCorreos", QStringLiteral("enviar correos"));
    QFont grande = m_enviar->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.2);
    m_enviar->setFont(grande);
    m_enviar->setMinimumHeight(40);
    m_progreso = new QProgressBar(this);
    m_progreso->setObjectName(QStringLiteral("Progreso"));
    m_progreso->hide();
    m_enviandoEtiqueta = new QLabel(QStringLiteral("enviando"), this);
    m_enviandoEtiqueta->setObjectName(QStringLiteral("LEnviando"));
    m_enviandoEtiqueta->hide();
    m_resultado = new QPlainTextEdit(this);
    m_resultado->setObjectName(QStringLiteral("MemoResultado"));
    m_resultado->setReadOnly(true); // still selectable and copyable

    const auto etiqueta = [this](const QString& texto, QWidget* de) {
        auto* l = new QLabel(texto, this);
        l->setBuddy(de);
        return l;
    };
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(m_leerArchivos);
    arriba->addWidget(m_rutaPdf, 1);

    auto* izquierda = new QVBoxLayout;
    auto* seleccion = new QHBoxLayout;
    seleccion->addWidget(m_selTodo);
    seleccion->addWidget(m_borSel);
    seleccion->addStretch(1);
    izquierda->addLayout(seleccion);
    izquierda->addWidget(m_lista, 1);

    auto* derecha = new QVBoxLayout;
    derecha->addWidget(etiqueta(QStringLiteral("Asunto:"), m_asunto));
    derecha->addWidget(m_asunto);
    derecha->addWidget(etiqueta(QStringLiteral("Texto"), m_texto));
    derecha->addWidget(m_texto);
    derecha->addWidget(m_enviar);
    auto* filaProgreso = new QHBoxLayout;
    filaProgreso->addWidget(m_progreso, 1);
    filaProgreso->addWidget(m_enviandoEtiqueta);
    derecha->addLayout(filaProgreso);
    derecha->addWidget(etiqueta(QStringLiteral("Resultado del envío:"), m_resultado));
    derecha->addWidget(m_resultado, 1);

    auto* cuerpo = new QHBoxLayout;
    cuerpo->addLayout(izquierda, 2);
    cuerpo->addLayout(derecha, 3);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addLayout(cuerpo, 1);
    resize(820, 540);

    using errores::conectar;
    conectar(m_leerArchivos, &QPushButton::clicked, this, [this] { BotLeerArchivosClick(); });
    conectar(m_selTodo, &QPushButton::clicked, this, [this] { BotSeltodoClick(); });
    conectar(m_borSel, &QPushButton::clicked, this, [this] { BotBorSelClick(); });
    conectar(m_enviar, &QPushButton::clicked, this, [this] { BotEnviarCorreosClick(); });
}

TFormEnviarCorreos::~TFormEnviarCorreos()
{
    borrarSecreto(m_cuenta.cuenta.password);
}

void TFormEnviarCorreos::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        errores::protegido(this, [this] { FormShow(); });
}

void TFormEnviarCorreos::FormShow()
{
    m_rutaPdf->setText(CarpetaPDF);
    m_lista->setFocus();
    LeerConstantes();
    if (!m_cuenta.ok) {
        Interaccion::actual().mensaje(this, kCuentaSinComprobar);
        return;
    }
    BotLeerArchivosClick();
}

void TFormEnviarCorreos::LeerConstantes()
{
    m_cuenta = leerCuenta(m_db);
}

void TFormEnviarCorreos::BotLeerArchivosClick()
{
    // Reading again shows the folder as it is now; adding to the list would send every file twice.
    m_lista->clear();
    EnvioPdf consulta(m_db, m_cuenta.cuenta);
    for (const QString& nombre : ficherosPdf(CarpetaPDF)) {
        const EstadoFichero estado = consulta.estado(CarpetaPDF, nombre);
        QString texto = nombre;
        if (estado.enviadoEl)
            texto += QStringLiteral("  —  ") + EnvioPdf::textoYaEnviado(*estado.enviadoEl);
        auto* elemento = new QListWidgetItem(texto, m_lista);
        elemento->setData(Qt::UserRole, nombre);
        elemento->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        elemento->setCheckState(Qt::Unchecked);
    }
}

void TFormEnviarCorreos::marcarTodo(bool marcado)
{
    for (int i = 0; i < m_lista->count(); ++i)
        m_lista->item(i)->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
}

void TFormEnviarCorreos::BotSeltodoClick()
{
    marcarTodo(true);
}

void TFormEnviarCorreos::BotBorSelClick()
{
    marcarTodo(false);
}

void TFormEnviarCorreos::BotEnviarCorreosClick()
{
    if (m_enviando)
        return;
    m_resultado->clear();
    QStringList marcados;
    for (int i = 0; i < m_lista->count(); ++i) {
        if (m_lista->item(i)->checkState() == Qt::Checked)
            marcados << m_lista->item(i)->data(Qt::UserRole).toString();
    }
    if (marcados.isEmpty()) {
        Interaccion::actual().mensaje(this, kNingunFicheroSeleccionado);
        return;
    }

    struct EnCurso
    {
        TFormEnviarCorreos& f;
        explicit EnCurso(TFormEnviarCorreos& pantalla) : f(pantalla)
        {
            f.m_enviando = true;
            for (QWidget* w :
                 std::initializer_list<QWidget*>{f.m_enviar, f.m_leerArchivos, f.m_selTodo, f.m_borSel, f.m_lista})
                w->setEnabled(false);
        }
        ~EnCurso()
        {
            f.m_progreso->hide();
            f.m_enviandoEtiqueta->hide();
            for (QWidget* w :
                 std::initializer_list<QWidget*>{f.m_enviar, f.m_leerArchivos, f.m_selTodo, f.m_borSel, f.m_lista})
                w->setEnabled(true);
            f.m_enviando = false;
        }
    } enCurso(*this);

    m_progreso->setRange(0, int(marcados.size()) + 1);
    m_progreso->setValue(1);
    m_progreso->show();
    m_enviandoEtiqueta->show();
    repintar();

    OpcionesCorreo opciones = opcionesCorreo;
    opciones.esperando = repintar;
    EnvioPdf envio(m_db, m_cuenta.cuenta, opciones);
    // A file the user ticks goes even if it went before; the automatic sending leaves those out.
    envio.enviarFicheros(m_rutaPdf->text(), marcados, m_asunto->text(), m_texto->toPlainText(), m_reenviarMarcados,
                         m_cuenta.conexiones, [this](int, const ResultadoFichero& r) {
                             for (const QString& linea : r.lineas)
                                 m_resultado->appendPlainText(linea);
                             m_progreso->setValue(m_progreso->value() + 1);
                             repintar();
                         });
}

void TFormEnviarCorreos::AutoEnvio()
{
    m_rutaPdf->setText(CarpetaPDF);
    LeerConstantes();
    BotLeerArchivosClick();
    BotSeltodoClick();
    m_reenviarMarcados = false;
    BotEnviarCorreosClick();
    m_reenviarMarcados = true;
}

QStringList TFormEnviarCorreos::lineasResultado() const
{
    const QString texto = m_resultado->toPlainText();
    return texto.isEmpty() ? QStringList() : texto.split(u'\n');
}

void TFormEnviarCorreos::closeEvent(QCloseEvent* event)
{
    if (m_enviando) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFormEnviarCorreos::reject()
{
    if (!m_enviando)
        QDialog::reject();
}
