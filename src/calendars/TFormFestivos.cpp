#include "calendars/TFormFestivos.h"

#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "calendars/Festivos.h"
#include "calendars/FicheroFestivos.h"
#include "calendars/GestionCalendarios.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The community chosen last in this session, for a calendar that remembers none (the base calendar).
QString& ultimaComunidad()
{
    static QString codigo;
    return codigo;
}

QString nombreCalendario(int numero)
{
    return numero == festivos::kCalendarioBase ? QStringLiteral("el calendario base")
                                               : QStringLiteral("el calendario %1").arg(numero);
}

} // namespace

TFormFestivos::TFormFestivos(store::Database& db, int numero, int anio, oficiales::Tabla tabla, QWidget* parent)
    : QDialog(parent), m_db(db), m_numero(numero), m_anio(anio), m_tabla(std::move(tabla))
{
    setObjectName(QStringLiteral("FormFestivosOficiales"));
    setWindowTitle(QStringLiteral("Festivos oficiales de %1").arg(anio));
    construir(true);
    QString codigo = oficiales::comunidadCalendario(db, numero);
    if (codigo.isEmpty())
        codigo = ultimaComunidad();
    const int fila = m_comboComunidad->findData(codigo);
    m_comboComunidad->setCurrentIndex(fila);
    ComboComunidadChange();
}

TFormFestivos::TFormFestivos(store::Database& db, int numero, int anio, const QString& fichero, QWidget* parent)
    : QDialog(parent), m_db(db), m_numero(numero), m_anio(anio), m_fichero(fichero)
{
    setObjectName(QStringLiteral("FormImportarFestivos"));
    setWindowTitle(QStringLiteral("Importar festivos de %1: %2").arg(anio).arg(QFileInfo(fichero).fileName()));
    construir(false);
    previsualizar();
}

TFormFestivos::~TFormFestivos() = default;

void TFormFestivos::construir(bool oficial)
{
    auto* columna = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout;
    if (oficial) {
        auto* etiqueta = new QLabel(QStringLiteral("Comunidad:"), this);
        m_comboComunidad = new QComboBox(this);
        m_comboComunidad->setObjectName(QStringLiteral("ComboComunidad"));
        m_comboComunidad->setPlaceholderText(QStringLiteral("Elija la comunidad"));
        for (const oficiales::Comunidad& c : oficiales::comunidades())
            m_comboComunidad->addItem(c.nombre, c.codigo);
        etiqueta->setBuddy(m_comboComunidad);
        arriba->addWidget(etiqueta);
        arriba->addWidget(m_comboComunidad, 1);
        errores::conectar(m_comboComunidad, &QComboBox::currentIndexChanged, this, [this] { ComboComunidadChange(); });
    } else {
        auto* etiqueta = new QLabel(QStringLiteral("Tipo de los días:"), this);
        m_comboTipo = new QComboBox(this);
        m_comboTipo->setObjectName(QStringLiteral("ComboTipo"));
        for (const festivos::TipoDia& t : festivos::tiposDia())
            m_comboTipo->addItem(t.nombreEditor, t.codigo);
        m_comboTipo->setCurrentIndex(2);
        etiqueta->setBuddy(m_comboTipo);
        m_ckReemplazar = new QCheckBox(QStringLiteral("Reemplazar los días ya marcados con otro tipo"), this);
        m_ckReemplazar->setObjectName(QStringLiteral("CKReemplazar"));
        arriba->addWidget(etiqueta);
        arriba->addWidget(m_comboTipo);
        arriba->addSpacing(12);
        arriba->addWidget(m_ckReemplazar, 1);
        errores::conectar(m_comboTipo, &QComboBox::currentIndexChanged, this, [this] { previsualizar(); });
        errores::conectar(m_ckReemplazar, &QCheckBox::toggled, this, [this] { previsualizar(); });
    }
    columna->addLayout(arriba);

    m_labelAviso = new QLabel(this);
    m_labelAviso->setObjectName(QStringLiteral("LabelAviso"));
    m_labelAviso->setWordWrap(true);
    QFont negrita = m_labelAviso->font();
    negrita.setBold(true);
    m_labelAviso->setFont(negrita);
    QPalette rojo = m_labelAviso->palette();
    rojo.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    m_labelAviso->setPalette(rojo);
    columna->addWidget(m_labelAviso);

    m_rejilla = new QTableWidget(0, 4, this);
    m_rejilla->setObjectName(QStringLiteral("DBGrid1"));
    m_rejilla->setHorizontalHeaderLabels(
        {QStringLiteral("Fecha"), QStringLiteral("Festivo"), QStringLiteral("Tipo"), QStringLiteral("Efecto")});
    m_rejilla->verticalHeader()->hide();
    m_rejilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rejilla->setSelectionMode(QAbstractItemView::NoSelection);
    m_rejilla->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_rejilla->setMinimumSize(560, 300);
    columna->addWidget(m_rejilla, 1);

    m_botAplicar = new QPushButton(QStringLiteral("Aplicar"), this);
    m_botAplicar->setObjectName(QStringLiteral("BotAplicar"));
    auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cancelar->setObjectName(QStringLiteral("BotCancelar"));
    m_botAplicar->setAutoDefault(false);
    cancelar->setAutoDefault(false);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_botAplicar);
    botones->addWidget(cancelar);
    columna->addLayout(botones);
    errores::conectar(m_botAplicar, &QPushButton::clicked, this, [this] { BotAplicarClick(); });
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormFestivos::ComboComunidadChange()
{
    const QString codigo = m_comboComunidad->currentData().toString();
    m_dias.clear();
    if (codigo.isEmpty()) {
        m_labelAviso->setText(QStringLiteral("Elija la comunidad autónoma del calendario."));
    } else if (const QString falta = m_tabla.falta(codigo, m_anio); !falta.isEmpty()) {
        m_labelAviso->setText(falta);
    } else {
        m_dias = m_tabla.festivos(codigo, m_anio);
        m_labelAviso->setText(m_tabla.aviso(codigo, m_anio));
    }
    previsualizar();
}

void TFormFestivos::previsualizar()
{
    oficiales::Regla regla = oficiales::Regla::Oficial;
    if (m_comboTipo) {
        regla = m_ckReemplazar->isChecked() ? oficiales::Regla::Reemplazar : oficiales::Regla::Conservar;
        m_dias.clear();
        m_errorFichero.clear();
        try {
            const ficherofestivos::Lectura l =
                ficherofestivos::leer(m_fichero, m_anio, m_comboTipo->currentData().toInt());
            m_dias = l.dias;
            QStringList notas;
            if (l.deOtrosAnios > 0)
                notas
                    << QStringLiteral("%1 día(s) del fichero son de otros años y no se importan.").arg(l.deOtrosAnios);
            if (l.conHora > 0)
                notas << QStringLiteral("%1 evento(s) con hora no son festivos y no se importan.").arg(l.conHora);
            m_labelAviso->setText(notas.join(u' '));
        } catch (const ficherofestivos::ErrorFichero& e) {
            m_errorFichero = e.message();
            m_labelAviso->setText(e.message());
        }
    }
    const auto previstos = oficiales::prever(m_db, m_numero, m_dias, regla);
    m_rejilla->setRowCount(int(previstos.size()));
    int cambios = 0;
    for (int i = 0; i < int(previstos.size()); ++i) {
        const oficiales::DiaPrevisto& d = previstos[std::size_t(i)];
        const QStringList celdas = {d.fecha.toString(QStringLiteral("dd/MM/yyyy")), d.nombre,
                                    oficiales::nombreTipo(d.tipo), oficiales::textoEfecto(d)};
        for (int c = 0; c < celdas.size(); ++c) {
            auto* celda = new QTableWidgetItem(celdas.at(c));
            if (c == 2)
                celda->setBackground(festivos::colorCodigo(d.tipo));
            if (d.efecto == oficiales::Efecto::Cambia && c == 3) {
                QFont f = celda->font();
                f.setBold(true);
                celda->setFont(f);
            }
            m_rejilla->setItem(i, c, celda);
        }
        if (d.efecto == oficiales::Efecto::Nuevo || d.efecto == oficiales::Efecto::Cambia)
            ++cambios;
    }
    m_rejilla->resizeColumnToContents(0);
    m_rejilla->resizeColumnToContents(2);
    m_rejilla->resizeColumnToContents(3);
    m_botAplicar->setEnabled(cambios > 0);
    m_botAplicar->setToolTip(cambios > 0
                                 ? QStringLiteral("Marca %1 día(s) en %2").arg(cambios).arg(nombreCalendario(m_numero))
                                 : QStringLiteral("No hay nada que cambiar"));
}

void TFormFestivos::BotAplicarClick()
{
    const oficiales::Regla regla =
        m_comboTipo ? (m_ckReemplazar->isChecked() ? oficiales::Regla::Reemplazar : oficiales::Regla::Conservar)
                    : oficiales::Regla::Oficial;
    try {
        Escritos = oficiales::aplicar(m_db, m_numero, m_dias, regla);
    } catch (const calendarios::CalendarioInexistente&) {
        Interaccion::actual().mensaje(this, QStringLiteral("Este calendario ya no existe: se ha borrado desde otra "
                                                           "copia del programa."));
        reject();
        return;
    }
    if (m_comboComunidad) {
        const QString codigo = m_comboComunidad->currentData().toString();
        ultimaComunidad() = codigo;
        oficiales::guardarComunidad(m_db, m_numero, codigo);
    }
    accept();
}
