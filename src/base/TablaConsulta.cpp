#include "base/TablaConsulta.h"

#include "store/Database.h"
#include "store/Espanol.h"

#include <algorithm>

TablaConsulta::TablaConsulta(store::Database& db, std::vector<Columna> columnas, QObject* parent)
    : QAbstractTableModel(parent), m_db(db), m_columnas(std::move(columnas))
{
}

void TablaConsulta::abrir(const QString& sql, const QVariantList& parametros, const QString& ordenEspanol)
{
    m_sql = sql;
    m_parametros = parametros;
    m_ordenEspanol = ordenEspanol;
    reabrir();
}

void TablaConsulta::reabrir()
{
    beginResetModel();
    m_filas.clear();
    m_campos.clear();
    m_abierta = false;
    try {
        store::Statement st = m_db.prepare(m_sql);
        for (int i = 0; i < m_parametros.size(); ++i)
            st.bind(i + 1, m_parametros.at(i));
        for (int c = 0; c < st.columnCount(); ++c)
            m_campos.insert(st.columnName(c).toLower(), c);
        const int extra = campoCalculado.isEmpty() ? -1 : int(m_campos.size());
        if (extra >= 0)
            m_campos.insert(campoCalculado.toLower(), extra);
        while (st.step()) {
            QVariantList fila;
            for (int c = 0; c < st.columnCount(); ++c)
                fila << st.value(c);
            if (extra >= 0)
                fila << QVariant();
            m_filas.push_back(fila);
        }
        m_abierta = true;
        ordenar();
    } catch (...) {
        m_filas.clear();
        endResetModel();
        throw;
    }
    if (calcular && !campoCalculado.isEmpty()) {
        const int extra = m_campos.value(campoCalculado.toLower());
        for (int f = 0; f < int(m_filas.size()); ++f)
            m_filas[f][extra] = calcular(*this, f);
    }
    endResetModel();
}

void TablaConsulta::ordenar()
{
    const auto campo = m_campos.constFind(m_ordenEspanol.toLower());
    const auto id = m_campos.constFind(QStringLiteral("id"));
    if (m_ordenEspanol.isEmpty() || campo == m_campos.constEnd() || id == m_campos.constEnd())
        return;
    // As ORDER BY field COLLATE ESPANOL, id: empty (NULL) fields first, then the texts; equal ones by id.
    std::sort(m_filas.begin(), m_filas.end(), [&](const QVariantList& a, const QVariantList& b) {
        const bool nuloA = a.at(*campo).isNull();
        const bool nuloB = b.at(*campo).isNull();
        if (nuloA != nuloB)
            return nuloA;
        return a.at(*id).toLongLong() < b.at(*id).toLongLong();
    });
    const auto primerTexto =
        std::find_if(m_filas.begin(), m_filas.end(), [&](const QVariantList& f) { return !f.at(*campo).isNull(); });
    std::vector<QVariantList> filas(std::make_move_iterator(primerTexto), std::make_move_iterator(m_filas.end()));
    m_filas.erase(primerTexto, m_filas.end());
    std::vector<QString> textos;
    textos.reserve(filas.size());
    for (const QVariantList& f : filas)
        textos.push_back(f.at(*campo).toString());
    std::vector<int> orden(filas.size());
    for (int i = 0; i < int(orden.size()); ++i)
        orden[std::size_t(i)] = i;
    store::ordenarEspanol(textos, orden);
    for (const int i : orden)
        m_filas.push_back(std::move(filas[std::size_t(i)]));
}

void TablaConsulta::cerrar()
{
    beginResetModel();
    m_filas.clear();
    m_abierta = false;
    endResetModel();
}

QVariant TablaConsulta::valor(int fila, const QString& campo) const
{
    if (fila < 0 || fila >= int(m_filas.size()))
        return {};
    const auto it = m_campos.constFind(campo.toLower());
    return it == m_campos.constEnd() ? QVariant() : m_filas[fila].value(*it);
}

int TablaConsulta::buscar(const QString& campo, const QVariant& buscado) const
{
    for (int f = 0; f < int(m_filas.size()); ++f) {
        if (valor(f, campo) == buscado)
            return f;
    }
    return -1;
}

int TablaConsulta::columnaDe(const QString& campo) const
{
    for (int c = 0; c < int(m_columnas.size()); ++c) {
        if (m_columnas[c].campo.compare(campo, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void TablaConsulta::hacerEditable(const QString& campo, std::function<bool(int, const QVariant&)> grabar)
{
    m_editable = campo;
    m_grabar = std::move(grabar);
}

int TablaConsulta::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_filas.size());
}

int TablaConsulta::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columnas.size());
}

QVariant TablaConsulta::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return valor(index.row(), m_columnas[index.column()].campo);
}

QVariant TablaConsulta::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= int(m_columnas.size()))
        return {};
    const Columna& c = m_columnas[section];
    return c.titulo.isEmpty() ? c.campo : c.titulo;
}

Qt::ItemFlags TablaConsulta::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_editable.isEmpty() && m_columnas[index.column()].campo.compare(m_editable, Qt::CaseInsensitive) == 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TablaConsulta::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const auto it = m_campos.constFind(m_editable.toLower());
    if (it == m_campos.constEnd())
        return false;
    if (!m_grabar(index.row(), value))
        return false;
    m_filas[index.row()][*it] = value;
    emit dataChanged(index, index);
    return true;
}
