#include "calendars/GestionCalendarios.h"

#include "base/TablaConsulta.h"
#include "calendars/Festivos.h"
#include "store/Database.h"

#include <QRegularExpression>
#include <stdexcept>

namespace calendarios {

QColor colorAnual(QDate dia, std::optional<int> codigo)
{
    QColor color;
    if (dia.dayOfWeek() == Qt::Sunday)
        color = festivos::colorSombreado();
    else if (codigo)
        color = festivos::colorCodigo(*codigo);
    // An open holiday shows whatever the weekday; other codes never colour a Sunday.
    if (codigo == festivos::kAbierto)
        color = festivos::colorCodigo(festivos::kAbierto);
    return color;
}

QString textoCalendarioInexistente(int numero)
{
    return QStringLiteral("El calendario %1 ya no existe: otra copia lo ha borrado").arg(numero);
}

bool existeCalendario(store::Database& db, int numero)
{
    if (numero == festivos::kCalendarioBase)
        return true;
    store::Statement st = db.prepare(QStringLiteral("SELECT 1 FROM Calendarios WHERE id = ?"));
    st.bind(1, numero);
    return st.step();
}

void listarCalendarios(TablaConsulta& t)
{
    t.abrir(QStringLiteral("SELECT id, descripcion FROM Calendarios ORDER BY id"));
}

void renombrarCalendario(store::Database& db, qint64 numero, const QString& descripcion)
{
    store::Transaction tx(db);
    db.prepare(QStringLiteral("UPDATE Calendarios SET descripcion = ? WHERE id = ?"))
        .bindAll(descripcion, numero)
        .run();
    if (db.changes() == 0)
        throw CalendarioInexistente(int(numero));
    tx.commit();
}

std::optional<int> cambiarDia(store::Database& db, int numero, QDate dia, int tipo)
{
    if (tipo < 0 || tipo > festivos::kAbierto)
        throw std::invalid_argument("tipo de festivo fuera de 0..3");
    const bool base = numero == festivos::kCalendarioBase;
    store::Transaction tx(db);
    if (!existeCalendario(db, numero))
        throw CalendarioInexistente(numero);
    const QString codigo = QString::number(tipo);
    bool insertar = true;
    {
        store::Statement st =
            base ? db.prepare(QStringLiteral("SELECT codreduc FROM calendar WHERE fecha = ?"))
                 : db.prepare(QStringLiteral("SELECT codreduc FROM calendar2 WHERE fecha = ? AND num = ?"));
        st.bind(1, dia);
        if (!base)
            st.bind(2, numero);
        if (st.step()) {
            insertar = st.text(0) != codigo;
            st.reset();
            store::Statement borrar =
                base ? db.prepare(QStringLiteral("DELETE FROM calendar WHERE fecha = ?"))
                     : db.prepare(QStringLiteral("DELETE FROM calendar2 WHERE fecha = ? AND num = ?"));
            borrar.bind(1, dia);
            if (!base)
                borrar.bind(2, numero);
            borrar.run();
        }
    }
    if (insertar) {
        if (base) {
            db.prepare(QStringLiteral("INSERT INTO calendar (fecha, codreduc) VALUES (?, ?)"))
                .bindAll(dia, codigo)
                .run();
        } else {
            db.prepare(QStringLiteral("INSERT INTO calendar2 (num, fecha, codreduc) VALUES (?, ?, ?)"))
                .bindAll(numero, dia, codigo)
                .run();
        }
    }
    tx.commit();
    return insertar ? std::optional<int>(tipo) : std::nullopt;
}

std::vector<std::pair<QDate, int>> diasCalendario(store::Database& db, int numero, QDate desde, QDate hasta)
{
    const festivos::Calendario c = festivos::Calendario::cargar(db, numero, desde, hasta);
    std::vector<std::pair<QDate, int>> dias;
    for (QDate d = desde; d <= hasta; d = d.addDays(1)) {
        if (const auto codigo = c.codigo(d))
            dias.emplace_back(d, *codigo);
    }
    return dias;
}

QStringList centrosConCalendario(store::Database& db, int numero)
{
    // calendario is text: compare it as the number it holds, so "03" or " 3" still count.
    store::Statement st = db.prepare(
        QStringLiteral("SELECT codcentro, nomcentro FROM centros WHERE CAST(trim(calendario) AS INTEGER) = ? "
                       "AND trim(calendario) GLOB '[0-9]*' ORDER BY codcentro, id"));
    st.bind(1, numero);
    QStringList centros;
    while (st.step())
        centros << st.text(0) + QStringLiteral(" - ") + st.text(1);
    return centros;
}

QStringList borrarCalendario(store::Database& db, int numero)
{
    store::Transaction tx(db);
    const QStringList centros = centrosConCalendario(db, numero);
    if (!centros.isEmpty())
        return centros;
    db.prepare(QStringLiteral("DELETE FROM calendar2 WHERE num = ?")).bind(1, numero).run();
    db.prepare(QStringLiteral("DELETE FROM Calendarios WHERE id = ?")).bind(1, numero).run();
    tx.commit();
    return {};
}

std::optional<int> anyoValido(const QString& texto)
{
    static const QRegularExpression cuatroCifras(QStringLiteral("^\\d{4}$"));
    const QString limpio = texto.trimmed();
    if (!cuatroCifras.match(limpio).hasMatch())
        return std::nullopt;
    const int anyo = limpio.toInt();
    if (anyo < 1900 || anyo > 2999)
        return std::nullopt;
    return anyo;
}

void copiarAnyoBase(store::Database& db, int anyo)
{
    const QDate desde(anyo, 1, 1);
    const QDate hasta(anyo, 12, 31);
    store::Transaction tx(db);
    db.prepare(QStringLiteral("DELETE FROM calendar2 WHERE fecha >= ? AND fecha <= ?")).bindAll(desde, hasta).run();
    db.prepare(QStringLiteral("INSERT INTO calendar2 (num, fecha, codreduc) "
                              "SELECT c.id, b.fecha, b.codreduc FROM calendar b, Calendarios c "
                              "WHERE b.fecha >= ? AND b.fecha <= ? ORDER BY b.fecha, c.id"))
        .bindAll(desde, hasta)
        .run();
    tx.commit();
}

int crearCalendario(store::Database& db, const QString& descripcion, Relleno relleno, int origen, QDate hoy)
{
    if (relleno == Relleno::Ninguno)
        throw std::invalid_argument("crearCalendario sin forma de relleno");
    store::Transaction tx(db);
    // A source deleted by another copy since the list was read would give an empty calendar without a word.
    if (relleno == Relleno::Seleccionado && !existeCalendario(db, origen))
        throw CalendarioInexistente(origen);
    db.prepare(QStringLiteral("INSERT INTO Calendarios (descripcion) VALUES (?)")).bind(1, descripcion).run();
    const int nuevo = int(db.lastInsertId());
    const QDate desde(hoy.year(), 1, 1);
    if (relleno == Relleno::Base) {
        db.prepare(QStringLiteral("INSERT INTO calendar2 (num, fecha, codreduc) "
                                  "SELECT ?, fecha, codreduc FROM calendar WHERE fecha >= ? ORDER BY fecha"))
            .bindAll(nuevo, desde)
            .run();
    } else if (relleno == Relleno::Seleccionado) {
        db.prepare(QStringLiteral("INSERT INTO calendar2 (num, fecha, codreduc) "
                                  "SELECT ?, fecha, codreduc FROM calendar2 WHERE fecha >= ? AND num = ? "
                                  "ORDER BY fecha"))
            .bindAll(nuevo, desde, origen)
            .run();
    }
    tx.commit();
    return nuevo;
}

ModeloListaCalendarios::ModeloListaCalendarios(store::Database& db, QObject* parent)
    : QAbstractTableModel(parent), m_db(db)
{
    recargar();
}

void ModeloListaCalendarios::recargar()
{
    beginResetModel();
    m_filas.clear();
    store::Statement st = m_db.prepare(QStringLiteral("SELECT id, descripcion FROM Calendarios ORDER BY id"));
    while (st.step())
        m_filas.emplace_back(int(st.integer(0)), st.text(1));
    endResetModel();
}

int ModeloListaCalendarios::id(int fila) const
{
    return fila >= 0 && fila < int(m_filas.size()) ? m_filas[std::size_t(fila)].first : -1;
}

QString ModeloListaCalendarios::descripcion(int fila) const
{
    return fila >= 0 && fila < int(m_filas.size()) ? m_filas[std::size_t(fila)].second : QString();
}

int ModeloListaCalendarios::fila(int numero) const
{
    for (std::size_t i = 0; i < m_filas.size(); ++i) {
        if (m_filas[i].first == numero)
            return int(i);
    }
    return -1;
}

int ModeloListaCalendarios::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_filas.size());
}

int ModeloListaCalendarios::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ModeloListaCalendarios::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_filas.size()))
        return {};
    const auto& fila = m_filas[std::size_t(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? QVariant(fila.first) : QVariant(fila.second);
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ModeloListaCalendarios::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (titulosCampos)
        return section == 0 ? QStringLiteral("id") : QStringLiteral("descripcion");
    return section == 0 ? QStringLiteral("Núm.") : QStringLiteral("Descripción calendario");
}

} // namespace calendarios
