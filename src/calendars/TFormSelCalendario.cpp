#include "calendars/TFormSelCalendario.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "base/TablaConsulta.h"
#include "base/Ventanas.h"
#include "calendars/GestionCalendarios.h"
#include "data/TMD.h"
#include "store/Database.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormSelCalendario::TFormSelCalendario(TMD& md, QWidget* parent) : QDialog(parent), m_db(md.Quorvel())
{
    setObjectName(QStringLiteral("FormSelCalendario"));
    setWindowTitle(QStringLiteral("Calendarios:"));
    setModal(true);
    store::Database& db = m_db;
    m_calendarios = new TablaConsulta(db,
                                      {{QStringLiteral("id"), QStringLiteral("Núm.")},
                                       {QStringLiteral("descripcion"), QStringLiteral("Descripción calendario")}},
                                      this);
    // Called by the grid's editor, from the event loop: a failure is told here and the old text stays.
    m_calendarios->hacerEditable(QStringLiteral("descripcion"), [this, &db](int fila, const QVariant& valor) {
        try {
            calendarios::renombrarCalendario(db, m_calendarios->id(fila), valor.toString());
        } catch (...) {
            errores::mostrar(this, std::current_exception());
            return false;
        }
        return true;
    });

    auto* columna = new QVBoxLayout(this);
    m_dbGrid1 = crearRejilla(QStringLiteral("DBGrid1"), m_calendarios, this);
    m_dbGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_dbGrid1->setMinimumSize(380, 220);
    columna->addWidget(m_dbGrid1);

    auto* botones = new QHBoxLayout();
    const auto boton = [this, botones](const char* nombre, const QString& texto) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nombre));
        b->setAutoDefault(false);
        botones->addWidget(b);
        return b;
    };
    QPushButton* base = boton("SpeedButton3", QStringLiteral("Base"));
    QPushButton* seleccionar = boton("SpeedButton1", QStringLiteral("Seleccionar calendario"));
    QPushButton* nuevo = boton("BotNuevo", QStringLiteral("Nuevo"));
    nuevo->setEnabled(false); // calendars are created in their own screen
    botones->addStretch(1);
    QPushButton* salir = boton("SpeedButton2", QStringLiteral("&Salir"));
    columna->addLayout(botones);

    errores::conectar(base, &QPushButton::clicked, this, [this] { SpeedButton3Click(); });
    errores::conectar(seleccionar, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    errores::conectar(salir, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    errores::conectar(m_dbGrid1, &QTableView::doubleClicked, this, [this] { SpeedButton1Click(); });

    errores::protegido(this, [this] {
        try {
            calendarios::listarCalendarios(*m_calendarios);
        } catch (const store::StoreError&) {
            errores::mostrar(this, std::current_exception());
        }
    });
    if (m_calendarios->rowCount() > 0)
        m_dbGrid1->selectRow(0);
}

void TFormSelCalendario::SpeedButton3Click()
{
    Seleccion = QStringLiteral("0");
    accept();
}

void TFormSelCalendario::SpeedButton1Click()
{
    // With no calendar listed there is nothing to choose: the window stays for "Base" or "&Salir".
    const int fila = m_dbGrid1->currentIndex().row();
    if (fila < 0)
        return;
    // The list was read when the window opened; another copy may have deleted the calendar since. The centre's
    // store checks it again, this only spares the user a choice that cannot be kept.
    const int numero = int(m_calendarios->id(fila));
    if (!calendarios::existeCalendario(m_db, numero)) {
        Interaccion::actual().mensaje(this, calendarios::textoCalendarioInexistente(numero));
        calendarios::listarCalendarios(*m_calendarios);
        if (m_calendarios->rowCount() > 0)
            m_dbGrid1->selectRow(0);
        return;
    }
    Seleccion = QString::number(numero);
    accept();
}

void TFormSelCalendario::SpeedButton2Click()
{
    Seleccion.clear();
    reject();
}
