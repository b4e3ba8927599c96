#include "calendars/Festivos.h"

#include "store/Database.h"

namespace festivos {

const std::array<TipoDia, 4>& tiposDia()
{
    static const std::array<TipoDia, 4> tipos{{
        {0, QStringLiteral("Nacional"), QStringLiteral("Festivo nacional"), QStringLiteral("Nacional"),
         QColor(0xFF, 0x00, 0x00)},
        {1, QStringLiteral("CC.AA."), QStringLiteral("Festivo CCAA o provincial"), QStringLiteral("Comunidad Autón."),
         QColor(0xFF, 0xFF, 0x00)},
        {2, QStringLiteral("Local"), QStringLiteral("Festivo local"), QStringLiteral("Local"),
         QColor(0x00, 0xFF, 0xFF)},
        {3, QStringLiteral("Abierto"), QStringLiteral("Festivo abierto"), QStringLiteral("Abierto"),
         QColor(0x00, 0xFF, 0x00)},
    }};
    return tipos;
}

QColor colorCodigo(int codigo)
{
    if (codigo < 0 || codigo > 3)
        return {};
    return tiposDia()[std::size_t(codigo)].color;
}

QColor colorSombreado()
{
    return QColor(0xC0, 0xC0, 0xC0);
}

QColor colorBlanco()
{
    return QColor(0xFF, 0xFF, 0xFF);
}

namespace {

// Codes are stored as decimal text; anything else reads as no code at all rather than failing a print.
std::optional<int> leerCodigo(const store::Statement& st)
{
    bool ok = false;
    const int codigo = st.text(0).trimmed().toInt(&ok);
    return ok ? std::optional<int>(codigo) : std::nullopt;
}

} // namespace

std::optional<int> buscarDia(store::Database& db, int numero, QDate dia)
{
    store::Statement st =
        numero == kCalendarioBase
            ? db.prepare(QStringLiteral("SELECT codreduc FROM calendar WHERE fecha = ?"))
            : db.prepare(QStringLiteral("SELECT codreduc FROM calendar2 WHERE fecha = ? AND num = ?"));
    st.bind(1, dia);
    if (numero != kCalendarioBase)
        st.bind(2, numero);
    if (!st.step())
        return std::nullopt;
    const auto codigo = leerCodigo(st);
    st.reset();
    return codigo;
}

CalendarioBaseAbierto::CalendarioBaseAbierto(store::Database& db)
    : m_consulta(std::make_unique<store::Statement>(
          db.prepare(QStringLiteral("SELECT codreduc FROM calendar WHERE fecha = ?"))))
{
}

CalendarioBaseAbierto::~CalendarioBaseAbierto() = default;

std::optional<int> CalendarioBaseAbierto::codigo(QDate dia)
{
    m_consulta->reset();
    m_consulta->bind(1, dia);
    std::optional<int> codigo;
    if (m_consulta->step())
        codigo = leerCodigo(*m_consulta);
    m_consulta->reset();
    return codigo;
}

int calendarioDeCentro(store::Database& db, const QString& codcentro)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT calendario FROM centros WHERE codcentro = ? ORDER BY id"));
    st.bind(1, codcentro);
    int numero = kCalendarioBase;
    if (st.step())
        numero = int(st.integer(0));
    st.reset();
    return numero;
}

Calendario Calendario::cargar(store::Database& db, int numero, QDate desde, QDate hasta)
{
    const QString tabla = numero == kCalendarioBase ? QStringLiteral("calendar") : QStringLiteral("calendar2");
    QString sql = QStringLiteral("SELECT codreduc, fecha FROM %1 WHERE fecha >= ? AND fecha <= ?").arg(tabla);
    if (numero != kCalendarioBase)
        sql += QStringLiteral(" AND num = ?");
    store::Statement st = db.prepare(sql);
    st.bind(1, desde.isValid() ? desde.toString(Qt::ISODate) : QStringLiteral("0000-01-01"));
    st.bind(2, hasta.isValid() ? hasta.toString(Qt::ISODate) : QStringLiteral("9999-12-31"));
    if (numero != kCalendarioBase)
        st.bind(3, numero);
    Calendario c;
    c.m_numero = numero;
    while (st.step()) {
        if (const auto codigo = leerCodigo(st))
            c.m_dias.insert(st.date(1), *codigo);
    }
    return c;
}

std::optional<int> Calendario::codigo(QDate dia) const
{
    const auto it = m_dias.constFind(dia);
    if (it == m_dias.constEnd())
        return std::nullopt;
    return *it;
}

CalendarioHoja calendarioParaHoja(int idcalendario, bool calendarioCentro, bool plantilla, const Sombreado& ventana,
                                  const Sombreado& centro)
{
    if (calendarioCentro && !plantilla)
        return {idcalendario, centro};
    return {kCalendarioBase, ventana};
}

bool diaSombreado(QDate dia, const Sombreado& s, std::optional<int> codigo)
{
    bool sombra = false;
    if (dia.dayOfWeek() == Qt::Saturday && s.sabados)
        sombra = true;
    if (dia.dayOfWeek() == Qt::Sunday && s.domingos)
        sombra = true;
    if (s.festivos && codigo)
        sombra = *codigo != kAbierto;
    return sombra;
}

QString marcaPlan(std::optional<int> codigo)
{
    if (!codigo)
        return {};
    return *codigo == kAbierto ? QStringLiteral("A") : QStringLiteral("X");
}

} // namespace festivos
