#include "calendars/TFormFestivosVarios.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "calendars/FestivosOficiales.h"
#include "calendars/GestionCalendarios.h"
#include "store/Database.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

TFormFestivosVarios::TFormFestivosVarios(store::Database& db, int anio, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("FormFestivosVarios"));
    setWindowTitle(QStringLiteral("Festivos oficiales en varios calendarios"));

    auto* etiqueta = new QLabel(QStringLiteral("Año"), this);
    m_anyo = new QSpinBox(this);
    m_anyo->setObjectName(QStringLiteral("EAnyo"));
    m_anyo->setRange(1900, 2999);
    m_anyo->setValue(anio);
    etiqueta->setBuddy(m_anyo);
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(etiqueta);
    arriba->addWidget(m_anyo);
    arriba->addStretch(1);

    calendarios::ModeloListaCalendarios lista(db);
    std::vector<QString> nombres{QStringLiteral("0 - Calendario base")};
    m_numeros.push_back(0);
    for (int fila = 0; fila < lista.rowCount(); ++fila) {
        m_numeros.push_back(lista.id(fila));
        nombres.push_back(QString::number(lista.id(fila)) + QStringLiteral(" - ") + lista.descripcion(fila));
    }
    m_rejilla = new QTableWidget(int(m_numeros.size()), 2, this);
    m_rejilla->setObjectName(QStringLiteral("DBGrid1"));
    m_rejilla->setHorizontalHeaderLabels({QStringLiteral("Calendario"), QStringLiteral("Comunidad")});
    m_rejilla->verticalHeader()->hide();
    m_rejilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rejilla->setSelectionMode(QAbstractItemView::NoSelection);
    m_rejilla->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int fila = 0; fila < int(m_numeros.size()); ++fila) {
        auto* calendario = new QTableWidgetItem(nombres[std::size_t(fila)]);
        calendario->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const QString recordada = oficiales::comunidadCalendario(db, m_numeros[std::size_t(fila)]);
        // The calendars that already know their community are the ones usually wanted.
        calendario->setCheckState(recordada.isEmpty() ? Qt::Unchecked : Qt::Checked);
        m_rejilla->setItem(fila, 0, calendario);
        auto* comunidad = new QComboBox(m_rejilla);
        for (const oficiales::Comunidad& c : oficiales::comunidades())
            comunidad->addItem(c.nombre, c.codigo);
        comunidad->setCurrentIndex(comunidad->findData(recordada));
        m_rejilla->setCellWidget(fila, 1, comunidad);
    }
    m_rejilla->resizeColumnToContents(1);
    m_rejilla->setMinimumSize(520, 260);

    auto* aplicar = new QPushButton(QStringLiteral("Aplicar"), this);
    aplicar->setObjectName(QStringLiteral("BotAplicar"));
    auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cancelar->setObjectName(QStringLiteral("BotCancelar"));
    aplicar->setAutoDefault(false);
    cancelar->setAutoDefault(false);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(aplicar);
    botones->addWidget(cancelar);

    auto* columna = new QVBoxLayout(this);
    columna->addLayout(arriba);
    columna->addWidget(m_rejilla, 1);
    columna->addLayout(botones);
    errores::conectar(aplicar, &QPushButton::clicked, this, [this] { BotAplicarClick(); });
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

TFormFestivosVarios::~TFormFestivosVarios() = default;

void TFormFestivosVarios::BotAplicarClick()
{
    const int anio = m_anyo->value();
    std::vector<oficiales::Destino> destinos;
    for (int fila = 0; fila < m_rejilla->rowCount(); ++fila) {
        if (m_rejilla->item(fila, 0)->checkState() != Qt::Checked)
            continue;
        const QString codigo = static_cast<QComboBox*>(m_rejilla->cellWidget(fila, 1))->currentData().toString();
        if (codigo.isEmpty()) {
            Interaccion::actual().mensaje(
                this, QStringLiteral("Elija la comunidad de %1").arg(m_rejilla->item(fila, 0)->text()));
            return;
        }
        destinos.push_back({m_numeros[std::size_t(fila)], codigo});
    }
    if (destinos.empty()) {
        Interaccion::actual().mensaje(this, QStringLiteral("Marque los calendarios en los que aplicar los festivos"));
        return;
    }
    try {
        const oficiales::Tabla tabla = oficiales::Tabla::cargarPara(m_db.path());
        for (const oficiales::Destino& d : destinos) {
            const QString falta = tabla.falta(d.comunidad, anio);
            if (!falta.isEmpty()) {
                Interaccion::actual().mensaje(this, falta);
                return;
            }
        }
        if (anio > oficiales::kUltimoAnioContrastado) {
            for (const oficiales::Destino& d : destinos) {
                if (tabla.provisional(d.comunidad, anio)) {
                    if (!Interaccion::actual().confirmar(this, tabla.aviso(d.comunidad, anio) +
                                                                   QStringLiteral(" ¿Aplicarlos?")))
                        return;
                    break;
                }
            }
        }
        Escritos = oficiales::aplicarVarios(m_db, destinos, anio, tabla);
    } catch (const oficiales::ErrorTabla& e) {
        Interaccion::actual().mensaje(this, e.message());
        return;
    } catch (const calendarios::CalendarioInexistente&) {
        Interaccion::actual().mensaje(this, QStringLiteral("Uno de los calendarios ya no existe: se ha borrado desde "
                                                           "otra copia del programa. No se ha marcado ningún día."));
        return;
    }
    Interaccion::actual().mensaje(
        this, QStringLiteral("Festivos oficiales de %1 aplicados: %2 día(s) marcados en %3 calendario(s).")
                  .arg(anio)
                  .arg(Escritos)
                  .arg(destinos.size()));
    accept();
}
