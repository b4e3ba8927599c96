#include "masterdata/TFormEditor.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/Ventanas.h"
#include "data/TMD.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormEditor::TFormEditor(TMD& md, const QString& titulo, QWidget* parent)
    : QDialog(parent), m_md(md), m_db(md.Quorvel())
{
    setWindowTitle(titulo);
    setModal(true);
    auto* columna = new QVBoxLayout(this);
    m_lOperacion = new QLabel(this);
    m_lOperacion->setObjectName(QStringLiteral("LOperacion"));
    QFont negrita = m_lOperacion->font();
    negrita.setBold(true);
    negrita.setPointSizeF(negrita.pointSizeF() * 1.2);
    m_lOperacion->setFont(negrita);
    m_lOperacion->setStyleSheet(QStringLiteral("color: #0000ff"));
    columna->addWidget(m_lOperacion);
    m_formulario = new QFormLayout();
    m_formulario->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    columna->addLayout(m_formulario);

    m_navegador = new QWidget(this);
    m_navegador->setObjectName(QStringLiteral("DBNavigator1"));
    auto* botones = new QHBoxLayout(m_navegador);
    botones->setContentsMargins(0, 6, 0, 0);
    botones->addStretch(1);
    m_botGrabar = botonNavegador(QStringLiteral("BotGrabar"), QStringLiteral("&Grabar"));
    m_botCancelar = botonNavegador(QStringLiteral("BotCancelar"), QStringLiteral("Cancelar"));
    columna->addWidget(m_navegador);
    columna->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_botGrabar, &QPushButton::clicked, this, [this] { BotGrabarClick(); });
    connect(m_botCancelar, &QPushButton::clicked, this, [this] { BotCancelarClick(); });
}

QLineEdit* TFormEditor::campo(const QString& nombre, const QString& texto, int ancho, bool mayusculas)
{
    QLineEdit* e = nuevoCampo(nombre, ancho, mayusculas);
    m_formulario->addRow(etiqueta(nombre, texto, e), e);
    return e;
}

QLabel* TFormEditor::etiqueta(const QString& nombre, const QString& texto, QWidget* campo)
{
    auto* rotulo = new QLabel(texto, this);
    rotulo->setObjectName(QStringLiteral("Label") + nombre);
    rotulo->setBuddy(campo);
    return rotulo;
}

QLabel* TFormEditor::aviso(QLineEdit* campo, QString (*comprobar)(const QString&))
{
    auto* nota = new QLabel(this);
    nota->setObjectName(QStringLiteral("LAviso") + campo->objectName());
    nota->setStyleSheet(QStringLiteral("color: #b00000"));
    int fila = -1;
    QFormLayout::ItemRole papel;
    m_formulario->getWidgetPosition(campo, &fila, &papel);
    m_formulario->insertRow(fila + 1, QString(), nota);
    // The whole row goes, so a passing field leaves no gap under it.
    m_formulario->setRowVisible(nota, false);
    connect(campo, &QLineEdit::textChanged, nota, [this, nota, comprobar](const QString& texto) {
        const QString problema = comprobar(texto);
        nota->setText(problema);
        m_formulario->setRowVisible(nota, !problema.isEmpty());
    });
    return nota;
}

QLabel* TFormEditor::contador(QLineEdit* campo, int limite, const QString& rotulo)
{
    campo->setMaxLength(32767);
    auto* nota = new QLabel(this);
    nota->setObjectName(QStringLiteral("LQuedan") + campo->objectName());
    int fila = -1;
    QFormLayout::ItemRole papel;
    m_formulario->getWidgetPosition(campo, &fila, &papel);
    if (fila >= 0 && papel == QFormLayout::FieldRole) {
        // Beside the field rather than under it, so an editor with many limited fields keeps its height.
        QLayoutItem* solo = m_formulario->itemAt(fila, QFormLayout::FieldRole);
        m_formulario->removeItem(solo);
        delete solo;
        auto* junto = new QHBoxLayout();
        junto->addWidget(campo);
        junto->addWidget(nota);
        junto->addStretch(1);
        m_formulario->setLayout(fila, QFormLayout::FieldRole, junto);
    }
    const auto poner = [nota, limite](const QString& texto) {
        const auto largo = texto.size();
        if (largo <= limite) {
            nota->setText(QStringLiteral("Quedan %1 de %2 caracteres").arg(limite - largo).arg(limite));
            nota->setStyleSheet(QStringLiteral("color: gray"));
        } else {
            nota->setText(QStringLiteral("Sobran %1 caracteres (caben %2)").arg(largo - limite).arg(limite));
            nota->setStyleSheet(QStringLiteral("color: #b00000"));
        }
    };
    poner(campo->text());
    connect(campo, &QLineEdit::textChanged, nota, poner);
    m_limites.push_back({campo, limite, rotulo});
    return nota;
}

QLineEdit* TFormEditor::nuevoCampo(const QString& nombre, int ancho, bool mayusculas)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(nombre);
    const int letra = e->fontMetrics().horizontalAdvance(QLatin1Char('W'));
    if (ancho > 0 && ancho <= 10) {
        // Short codes get a short box, so its size tells how much it takes.
        e->setMaxLength(ancho);
        e->setFixedWidth(letra * std::max(ancho, 3) + 16);
    } else if (ancho > 0) {
        e->setMaxLength(ancho);
        e->setMinimumWidth(letra * std::min(ancho, 40) * 3 / 4 + 12);
    } else {
        e->setMinimumWidth(letra * 30);
    }
    if (mayusculas) {
        connect(e, &QLineEdit::textEdited, e, [e](const QString& texto) {
            const QString capitales = maestros::mayusculas(texto);
            if (capitales != texto) {
                const int cursor = e->cursorPosition();
                e->setText(capitales);
                e->setCursorPosition(cursor);
            }
        });
    }
    return e;
}

void TFormEditor::soloLectura(QLineEdit* campo, Qt::FocusPolicy foco)
{
    campo->setReadOnly(true);
    campo->setFocusPolicy(foco);
    QPalette paleta = campo->palette();
    paleta.setColor(QPalette::Base, paleta.color(QPalette::Window));
    campo->setPalette(paleta);
}

QCheckBox* TFormEditor::casilla(const QString& nombre, const QString& texto)
{
    auto* c = new QCheckBox(texto, this);
    c->setObjectName(nombre);
    m_formulario->addRow(QString(), c);
    return c;
}

QPushButton* TFormEditor::botonNavegador(const QString& nombre, const QString& texto)
{
    auto* b = new QPushButton(texto, m_navegador);
    b->setObjectName(nombre);
    // Enter in a field must never press a button by itself.
    b->setAutoDefault(false);
    m_navegador->layout()->addWidget(b);
    return b;
}

void TFormEditor::ponerOperacion(const QString& texto)
{
    m_lOperacion->setText(texto);
}

QWidget* TFormEditor::controlDe(const QString&)
{
    return nullptr;
}

void TFormEditor::mostrarMensaje(const QString& texto)
{
    Interaccion::actual().mensaje(this, texto);
}

bool TFormEditor::intentarPaso(const std::function<void()>& paso)
{
    try {
        paso();
        return true;
    } catch (const maestros::Rechazo& r) {
        mostrarMensaje(r.message());
        if (QWidget* w = controlDe(r.campo()); w && w->isEnabled())
            w->setFocus();
    } catch (const store::StoreError&) {
        // Told as the general handler tells it, so one cause reads the same wherever it happens.
        errores::mostrar(this, std::current_exception());
    }
    return false;
}

void TFormEditor::BotGrabarClick()
{
    if (!m_hayRegistro) {
        accept();
        return;
    }
    for (const Limite& l : m_limites) {
        if (l.campo->text().size() > l.limite) {
            mostrarMensaje(QStringLiteral("%1 tiene %2 caracteres y caben %3")
                               .arg(l.rotulo)
                               .arg(l.campo->text().size())
                               .arg(l.limite));
            l.campo->setFocus();
            return;
        }
    }
    errores::protegido(this, [this] {
        if (intentar([this] { grabar(); }))
            accept();
    });
}

void TFormEditor::BotCancelarClick()
{
    reject();
}

QStringList TFormEditor::estadoCampos() const
{
    QStringList estado;
    for (const QLineEdit* e : findChildren<QLineEdit*>())
        estado << e->text();
    for (const QCheckBox* c : findChildren<QCheckBox*>())
        estado << QString::number(c->isChecked());
    for (const QComboBox* c : findChildren<QComboBox*>())
        estado << c->currentText();
    return estado;
}

void TFormEditor::marcarSinCambios()
{
    m_estadoGuardado = estadoCampos();
}

bool TFormEditor::hayCambios() const
{
    return m_hayRegistro && estadoCampos() != m_estadoGuardado;
}

void TFormEditor::reject()
{
    if (!hayCambios()) {
        QDialog::reject();
        return;
    }
    switch (Interaccion::actual().preguntar(this, textoGuardarCambios())) {
    case Interaccion::Respuesta::Si:
        BotGrabarClick();
        break;
    case Interaccion::Respuesta::No:
        QDialog::reject();
        break;
    case Interaccion::Respuesta::Cancelar:
        break;
    }
}

void TFormEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_cargado)
        return;
    m_cargado = true;
    centrarEnPantalla(this);
    errores::protegido(this, [this] {
        m_hayRegistro = cargar();
        marcarSinCambios();
        if (!m_hayRegistro) {
            mostrarMensaje(textoNoEncontrada());
            for (QLineEdit* e : findChildren<QLineEdit*>())
                e->setEnabled(false);
            m_botGrabar->setEnabled(false);
        }
    });
}

void TFormEditor::keyPressEvent(QKeyEvent* event)
{
    // Enter moves on to the next field, as a clerk expects; it neither stores nor closes.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}
