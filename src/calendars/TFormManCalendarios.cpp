#include "calendars/TFormManCalendarios.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/Ventanas.h"
#include "calendars/GestionCalendarios.h"
#include "calendars/TFormAltaCalendario.h"
#include "calendars/TFormFestivosVarios.h"
#include "calendars/TFormManCalen.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QPushButton* boton(const QString& nombre, const QString& texto, QWidget* padre)
{
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFormManCalendarios::TFormManCalendarios(store::Database& db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormManCalendarios"));
    setWindowTitle(QStringLiteral("Mantenimiento de calendarios"));
    m_modelo = new calendarios::ModeloListaCalendarios(db, this);

    m_dbGrid1 = crearRejilla(QStringLiteral("DBGrid1"), m_modelo, this);
    m_dbGrid1->setColumnWidth(0, 60);
    m_dbGrid1->setMinimumSize(380, 220);

    auto* botCalendarioBase = boton(QStringLiteral("BotCalendarioBase"), QStringLiteral("Calendario &base"), this);
    auto* botVerCalendario =
        boton(QStringLiteral("BotVerCalendario"), QStringLiteral("Ver calendario seleccionado"), this);
    auto* speedButton1 = boton(QStringLiteral("SpeedButton1"), QStringLiteral("Nuevo calendario"), this);
    auto* speedButton2 = boton(QStringLiteral("SpeedButton2"), QStringLiteral("Borrar Calendario"), this);
    auto* botOficiales = boton(QStringLiteral("BotFestivosOficiales"), QStringLiteral("Festivos oficiales…"), this);
    botOficiales->setToolTip(QStringLiteral("Marca los festivos nacionales y autonómicos de un año en varios "
                                            "calendarios"));
    auto* botCerrar = boton(QStringLiteral("BotCerrar"), QStringLiteral("&Cerrar"), this);
    auto* acciones = new QVBoxLayout;
    for (QPushButton* b : {botCalendarioBase, botVerCalendario, speedButton1, speedButton2, botOficiales})
        acciones->addWidget(b);
    acciones->addStretch(1);
    acciones->addWidget(botCerrar);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(m_dbGrid1, 1);
    arriba->addLayout(acciones);

    auto* grupo = new QGroupBox(QStringLiteral("Copiar el calendario BASE de un año a los otros calendarios (borra la "
                                               "información de año de los otros calendarios)"),
                                this);
    grupo->setObjectName(QStringLiteral("GroupBox1"));
    auto* rejilla = new QGridLayout(grupo);
    auto* label2 = new QLabel(QStringLiteral("Año"), grupo);
    label2->setObjectName(QStringLiteral("Label2"));
    m_eAnyo = new QLineEdit(grupo);
    m_eAnyo->setObjectName(QStringLiteral("EAnyo"));
    m_eAnyo->setMaximumWidth(80);
    auto* label1 = new QLabel(QStringLiteral("Escribe 'SEGURO' para habilitar la copia"), grupo);
    label1->setObjectName(QStringLiteral("Label1"));
    m_eSeguro = new QLineEdit(grupo);
    m_eSeguro->setObjectName(QStringLiteral("ESeguro"));
    m_eSeguro->setMaximumWidth(120);
    m_botCopiar =
        boton(QStringLiteral("BotCopiar"), QStringLiteral("Copiar calendario base a otros calendarios"), grupo);
    m_botCopiar->setEnabled(false);
    label2->setBuddy(m_eAnyo);
    label1->setBuddy(m_eSeguro);
    rejilla->addWidget(label2, 0, 0);
    rejilla->addWidget(m_eAnyo, 0, 1);
    rejilla->addWidget(label1, 0, 2);
    rejilla->addWidget(m_eSeguro, 0, 3);
    rejilla->addWidget(m_botCopiar, 1, 0, 1, 5, Qt::AlignRight);
    rejilla->setColumnStretch(4, 1);

    m_memoErrores = new QPlainTextEdit(this);
    m_memoErrores->setObjectName(QStringLiteral("MemoErrores"));
    m_memoErrores->setReadOnly(true);
    m_memoErrores->setFixedHeight(10);
    m_memoErrores->hide();
    m_memoErrores->viewport()->installEventFilter(this);

    auto* columna = new QVBoxLayout(this);
    columna->addLayout(arriba, 1);
    columna->addWidget(m_memoErrores);
    columna->addWidget(grupo);
    resize(640, 460);

    using errores::conectar;
    conectar(botCalendarioBase, &QPushButton::clicked, this, [this] { BotCalendarioBaseClick(); });
    conectar(botVerCalendario, &QPushButton::clicked, this, [this] { BotVerCalendarioClick(); });
    conectar(m_dbGrid1, &QTableView::doubleClicked, this, [this] { BotVerCalendarioClick(); });
    conectar(speedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    conectar(speedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    conectar(m_botCopiar, &QPushButton::clicked, this, [this] { BotCopiarClick(); });
    conectar(botOficiales, &QPushButton::clicked, this, [this] { BotFestivosOficialesClick(); });
    connect(botCerrar, &QPushButton::clicked, this, &QDialog::accept);
    // Capitals as they are typed; the cursor stays where the user left it.
    connect(m_eSeguro, &QLineEdit::textEdited, this, [this](const QString& texto) {
        const int cursor = m_eSeguro->cursorPosition();
        m_eSeguro->setText(texto.toUpper());
        m_eSeguro->setCursorPosition(cursor);
    });
    connect(m_eSeguro, &QLineEdit::textChanged, this, [this] { ESeguroChange(); });
    recargar();
}

TFormManCalendarios::~TFormManCalendarios() = default;

void TFormManCalendarios::showEvent(QShowEvent* event)
{
    // The year to copy starts at the year the clerk is working on.
    if (m_eAnyo->text().isEmpty())
        m_eAnyo->setText(QString::number(Hoy.year()));
    QDialog::showEvent(event);
}

int TFormManCalendarios::seleccionado() const
{
    const QModelIndex actual = m_dbGrid1->currentIndex();
    if (m_modelo->rowCount() == 0)
        return -1;
    return m_modelo->id(actual.isValid() ? actual.row() : 0);
}

void TFormManCalendarios::recargar(int elegir)
{
    const int antes = elegir >= 0 ? elegir : seleccionado();
    m_modelo->recargar();
    int fila = m_modelo->fila(antes);
    if (fila < 0)
        fila = 0;
    if (m_modelo->rowCount() > 0)
        m_dbGrid1->selectRow(qMin(fila, m_modelo->rowCount() - 1));
}

bool TFormManCalendarios::haySeleccion()
{
    if (seleccionado() >= 0)
        return true;
    Interaccion::actual().mensaje(this, QStringLiteral("No hay ningún calendario seleccionado"));
    return false;
}

void TFormManCalendarios::BotCalendarioBaseClick()
{
    TFormManCalen ventana(m_db, this);
    ventana.Titulo = QStringLiteral("BASE ");
    ventana.Hoy = Hoy;
    ventana.exec();
}

void TFormManCalendarios::BotVerCalendarioClick()
{
    if (!haySeleccion())
        return;
    const int fila = m_modelo->fila(seleccionado());
    TFormManCalen2 ventana(m_db, this);
    ventana.NumCalendario = QString::number(m_modelo->id(fila));
    ventana.Titulo = QString::number(m_modelo->id(fila)) + QStringLiteral("  -  ") + m_modelo->descripcion(fila);
    ventana.Hoy = Hoy;
    if (ventana.exec() == QDialog::Rejected && !calendarios::existeCalendario(m_db, m_modelo->id(fila)))
        recargar(); // deleted from another copy: drop it from the list
}

void TFormManCalendarios::SpeedButton1Click()
{
    int nuevo = -1;
    {
        TFormAltaCalendario alta(m_db, this);
        alta.Hoy = Hoy;
        alta.exec();
        nuevo = alta.NuevoCalendario;
    }
    recargar(nuevo > 0 ? nuevo : -1);
}

void TFormManCalendarios::SpeedButton2Click()
{
    if (!haySeleccion())
        return;
    m_memoErrores->clear();
    const int numero = seleccionado();
    const QStringList centros = calendarios::borrarCalendario(m_db, numero);
    if (!centros.isEmpty()) {
        Interaccion::actual().mensaje(this,
                                      QStringLiteral("Hay ") + QString::number(centros.size()) +
                                          QStringLiteral(" centro/s que tiene/n este calendario; no se ha borrado."));
        for (const QString& centro : centros)
            m_memoErrores->appendPlainText(centro);
    }
    if (m_memoErrores->document()->isEmpty()) {
        m_memoErrores->hide();
        m_memoErrores->setFixedHeight(10);
    } else {
        m_memoErrores->appendPlainText(QStringLiteral("-------------------------"));
        m_memoErrores->appendPlainText(QStringLiteral("Doble clic para cerrar"));
        m_memoErrores->setFixedHeight(250);
        m_memoErrores->show();
    }
    recargar();
}

void TFormManCalendarios::ESeguroChange()
{
    m_botCopiar->setEnabled(m_eSeguro->text() == QStringLiteral("SEGURO"));
}

void TFormManCalendarios::BotCopiarClick()
{
    const auto anyo = calendarios::anyoValido(m_eAnyo->text());
    if (!anyo) {
        Interaccion::actual().mensaje(this, QStringLiteral("Año no válido"));
        return;
    }
    if (!Interaccion::actual().confirmar(this,
                                         QStringLiteral("¿Seguro que quieres copiar el calendario base a los otros?. "
                                                        "Esto borrará toda la información previa del año"),
                                         QStringLiteral("Confirmación")))
        return;
    calendarios::copiarAnyoBase(m_db, *anyo);
}

void TFormManCalendarios::BotFestivosOficialesClick()
{
    TFormFestivosVarios ventana(m_db, Hoy.year(), this);
    ventana.exec();
}

void TFormManCalendarios::MemoErroresDblClick()
{
    m_memoErrores->hide();
}

bool TFormManCalendarios::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == m_memoErrores->viewport() && evento->type() == QEvent::MouseButtonDblClick) {
        MemoErroresDblClick();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}
