#include "mail/TFormManEnvios.h"

#include "base/ManejadorErrores.h"
#include "mail/ModeloEnvios.h"
#include "mail/RegistroEnvios.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormManEnvios::TFormManEnvios(store::Database& db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormManEnvios"));
    setWindowTitle(QStringLiteral("Envíos realizados"));

    m_centros = new QComboBox(this);
    m_centros->setObjectName(QStringLiteral("ComboCentros"));
    m_meses = new QComboBox(this);
    m_meses->setObjectName(QStringLiteral("ComboMeses"));
    m_modelo = new ModeloEnvios(this);
    m_rejilla = new QTableView(this);
    m_rejilla->setObjectName(QStringLiteral("DBGridEnvios"));
    m_rejilla->setModel(m_modelo);
    m_rejilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rejilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rejilla->horizontalHeader()->setStretchLastSection(true);
    m_rejilla->verticalHeader()->hide();

    // The choices are what the register holds, every attempt included.
    const QList<Envio> todos = RegistroEnvios(m_db).lista();
    QStringList codigos;
    QList<QDate> meses;
    for (const Envio& e : todos) {
        if (!codigos.contains(e.codcentro))
            codigos << e.codcentro;
        const QDate mes(e.fecha.date().year(), e.fecha.date().month(), 1);
        if (mes.isValid() && !meses.contains(mes))
            meses << mes;
    }
    codigos.sort();
    m_centros->addItem(QStringLiteral("Todos los centros"));
    for (const QString& c : codigos)
        m_centros->addItem(c, c);
    m_meses->addItem(QStringLiteral("Todos los meses"));
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    for (const QDate& m : meses) // newest first, as the register gives them
        m_meses->addItem(es.standaloneMonthName(m.month()).toLower() + u' ' + QString::number(m.year()), m);

    auto* filtros = new QHBoxLayout;
    auto* etiquetaCentro = new QLabel(QStringLiteral("Centro:"), this);
    etiquetaCentro->setBuddy(m_centros);
    auto* etiquetaMes = new QLabel(QStringLiteral("Mes:"), this);
    etiquetaMes->setBuddy(m_meses);
    filtros->addWidget(etiquetaCentro);
    filtros->addWidget(m_centros);
    filtros->addSpacing(16);
    filtros->addWidget(etiquetaMes);
    filtros->addWidget(m_meses);
    filtros->addStretch(1);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(filtros);
    todo->addWidget(m_rejilla, 1);
    // A way out in sight, as every other window has; the title bar is not there on every desktop.
    auto* cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    cerrar->setObjectName(QStringLiteral("BotCerrar"));
    cerrar->setAutoDefault(false);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
    auto* abajo = new QHBoxLayout;
    abajo->addStretch(1);
    abajo->addWidget(cerrar);
    todo->addLayout(abajo);
    resize(980, 480);

    using errores::conectar;
    conectar(m_centros, &QComboBox::currentIndexChanged, this, [this] { ComboCentrosChange(); });
    conectar(m_meses, &QComboBox::currentIndexChanged, this, [this] { ComboMesesChange(); });
    m_modelo->setEnvios(todos);
    m_rejilla->resizeColumnsToContents();
}

TFormManEnvios::~TFormManEnvios() = default;

void TFormManEnvios::ComboCentrosChange()
{
    Filtrar();
}

void TFormManEnvios::ComboMesesChange()
{
    Filtrar();
}

void TFormManEnvios::Filtrar()
{
    m_modelo->setEnvios(
        RegistroEnvios(m_db).lista(m_centros->currentData().toString(), m_meses->currentData().toDate()));
}
