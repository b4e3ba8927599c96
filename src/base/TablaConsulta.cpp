#include "base/TablaConsulta.h"

#include "store/Database.h"
#include "store/Espanol.h"

#include <algorithm>
#include <cstring>

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

namespace {

enum : char { kNulo = 'n', kEntero = 'i', kReal = 'r', kTexto = 't', kBinario = 'b' };

template <typename T> void anadir(std::string& datos, T valor)
{
    datos.append(reinterpret_cast<const char*>(&valor), sizeof valor);
}

template <typename T> T leer(const std::string& datos, std::size_t& pos)
{
    T valor;
    std::memcpy(&valor, datos.data() + pos, sizeof valor);
    pos += sizeof valor;
    return valor;
}

} // namespace

void TablaConsulta::vaciar()
{
    m_datos.clear();
    m_inicio.clear();
    m_calculados.clear();
    m_calculado.clear();
    m_cambios.clear();
    m_abierta = false;
}

void TablaConsulta::reabrir()
{
    beginResetModel();
    vaciar();
    m_campos.clear();
    m_columnasSql = 0;
    try {
        store::Statement st = m_db.prepare(m_sql);
        for (int i = 0; i < m_parametros.size(); ++i)
            st.bind(i + 1, m_parametros.at(i));
        m_columnasSql = st.columnCount();
        for (int c = 0; c < m_columnasSql; ++c)
            m_campos.insert(st.columnName(c).toLower(), c);
        if (!campoCalculado.isEmpty())
            m_campos.insert(campoCalculado.toLower(), m_columnasSql);
        while (st.step()) {
            m_inicio.push_back(m_datos.size());
            for (int c = 0; c < m_columnasSql; ++c) {
                switch (st.tipo(c)) {
                case store::Statement::Tipo::Nulo:
                    m_datos += kNulo;
                    break;
                case store::Statement::Tipo::Entero:
                    m_datos += kEntero;
                    anadir(m_datos, st.integer(c));
                    break;
                case store::Statement::Tipo::Real:
                    m_datos += kReal;
                    anadir(m_datos, st.real(c));
                    break;
                case store::Statement::Tipo::Texto:
                case store::Statement::Tipo::Binario: {
                    const bool texto = st.tipo(c) == store::Statement::Tipo::Texto;
                    const QByteArrayView bytes = st.bytes(c);
                    m_datos += texto ? kTexto : kBinario;
                    anadir(m_datos, qint64(bytes.size()));
                    m_datos.append(bytes.data(), std::size_t(bytes.size()));
                    break;
                }
                }
            }
        }
        m_abierta = true;
        const auto campo = m_campos.constFind(m_ordenEspanol.toLower());
        const auto id = m_campos.constFind(QStringLiteral("id"));
        if (!m_ordenEspanol.isEmpty() && campo != m_campos.constEnd() && *campo < m_columnasSql &&
            id != m_campos.constEnd() && *id < m_columnasSql)
            ordenar(*campo, *id);
    } catch (...) {
        vaciar();
        endResetModel();
        throw;
    }
    m_calculados.resize(m_inicio.size());
    m_calculado.assign(m_inicio.size(), 0);
    endResetModel();
}

void TablaConsulta::ordenar(int campo, int id)
{
    // As ORDER BY field COLLATE ESPANOL, id: empty (NULL) fields first, by id, then the texts; equal ones by id.
    const int n = int(m_inicio.size());
    struct Fila
    {
        qint64 id;
        int puesto; // in the last full ordering; only for a row with text
        int fila;
        bool nulo;
    };
    std::vector<Fila> filas(static_cast<std::size_t>(n));
    // That order depends only on each row's text and id, so rows the last full ordering placed keep their
    // places among themselves: a keystroke that narrows or widens the same list needs no text compared.
    bool colocadas = !m_puestos.empty();
    for (int i = 0; i < n; ++i) {
        Fila& f = filas[std::size_t(i)];
        f.id = celda(i, id).toLongLong();
        f.fila = i;
        const std::string_view crudo = bytesDe(i, campo);
        f.nulo = crudo.front() == kNulo;
        f.puesto = 0;
        if (colocadas && !f.nulo) {
            const auto it = m_puestos.find(f.id);
            if (it == m_puestos.end() || it->second.crudo != crudo)
                colocadas = false;
            else
                f.puesto = it->second.puesto;
        }
    }
    const auto antes = [](const Fila& a, const Fila& b) {
        if (a.nulo != b.nulo)
            return a.nulo;
        if (a.nulo && a.id != b.id)
            return a.id < b.id;
        if (a.puesto != b.puesto)
            return a.puesto < b.puesto;
        return a.fila < b.fila;
    };
    if (!colocadas) {
        std::sort(filas.begin(), filas.end(), [](const Fila& a, const Fila& b) {
            if (a.nulo != b.nulo)
                return a.nulo;
            return a.id != b.id ? a.id < b.id : a.fila < b.fila;
        });
        const auto primerTexto = std::find_if(filas.begin(), filas.end(), [](const Fila& f) { return !f.nulo; });
        std::vector<QString> textos;
        textos.reserve(std::size_t(filas.end() - primerTexto));
        for (auto it = primerTexto; it != filas.end(); ++it)
            textos.push_back(celda(it->fila, campo).toString());
        std::vector<int> orden(textos.size());
        for (int i = 0; i < int(orden.size()); ++i)
            orden[std::size_t(i)] = i;
        store::ordenarEspanol(textos, orden);
        m_puestos.clear();
        m_puestos.reserve(orden.size());
        for (int k = 0; k < int(orden.size()); ++k) {
            Fila& f = primerTexto[orden[std::size_t(k)]];
            f.puesto = k;
            m_puestos[f.id] = {std::string(bytesDe(f.fila, campo)), k};
        }
    }
    std::sort(filas.begin(), filas.end(), antes);
    std::vector<std::size_t> inicio;
    inicio.reserve(m_inicio.size());
    for (const Fila& f : filas)
        inicio.push_back(m_inicio[std::size_t(f.fila)]);
    m_inicio = std::move(inicio);
}

std::string_view TablaConsulta::bytesDe(int fila, int columna) const
{
    std::size_t pos = m_inicio[std::size_t(fila)];
    for (int c = 0; c < columna; ++c) {
        const char tipo = m_datos[pos++];
        if (tipo == kEntero || tipo == kReal)
            pos += 8;
        else if (tipo == kTexto || tipo == kBinario)
            pos += std::size_t(leer<qint64>(m_datos, pos)); // leer() steps over the length itself
    }
    std::size_t fin = pos + 1;
    const char tipo = m_datos[pos];
    if (tipo == kEntero || tipo == kReal)
        fin += 8;
    else if (tipo == kTexto || tipo == kBinario) {
        std::size_t largo = pos + 1;
        fin += 8 + std::size_t(leer<qint64>(m_datos, largo));
    }
    return std::string_view(m_datos).substr(pos, fin - pos);
}

QVariant TablaConsulta::celda(int fila, int columna) const
{
    std::size_t pos = m_inicio[std::size_t(fila)];
    for (int c = 0;; ++c) {
        const char tipo = m_datos[pos++];
        if (c == columna) {
            switch (tipo) {
            case kEntero:
                return leer<qint64>(m_datos, pos);
            case kReal:
                return leer<double>(m_datos, pos);
            case kTexto:
            case kBinario: {
                const auto n = leer<qint64>(m_datos, pos);
                if (tipo == kTexto)
                    return QString::fromUtf8(m_datos.data() + pos, n);
                return QByteArray(m_datos.data() + pos, n);
            }
            default:
                return {};
            }
        }
        if (tipo == kEntero || tipo == kReal)
            pos += 8;
        else if (tipo == kTexto || tipo == kBinario)
            pos += std::size_t(leer<qint64>(m_datos, pos));
    }
}

void TablaConsulta::cerrar()
{
    beginResetModel();
    vaciar();
    endResetModel();
}

QVariant TablaConsulta::valor(int fila, const QString& campo) const
{
    if (fila < 0 || fila >= int(m_inicio.size()))
        return {};
    const auto it = m_campos.constFind(campo.toLower());
    if (it == m_campos.constEnd())
        return {};
    const auto cambio = m_cambios.find({fila, *it});
    if (cambio != m_cambios.end())
        return cambio->second;
    if (*it < m_columnasSql)
        return celda(fila, *it);
    if (!calcular)
        return {};
    if (!m_calculado[std::size_t(fila)]) {
        // Reached from a grid's painting: nothing may escape from here.
        try {
            m_calculados[std::size_t(fila)] = calcular(*this, fila);
        } catch (const std::exception& e) {
            qWarning("%s: %s", qPrintable(campoCalculado), e.what());
        } catch (...) {
            qWarning("%s", qPrintable(campoCalculado));
        }
        m_calculado[std::size_t(fila)] = 1;
    }
    return m_calculados[std::size_t(fila)];
}

int TablaConsulta::buscar(const QString& campo, const QVariant& buscado) const
{
    for (int f = 0; f < int(m_inicio.size()); ++f) {
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
    return parent.isValid() ? 0 : int(m_inicio.size());
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
    m_cambios[{index.row(), *it}] = value;
    emit dataChanged(index, index);
    return true;
}
