#include "mail/RegistroEnvios.h"

#include "store/Database.h"

#include <algorithm>

const QString kEnvioInterrumpido = QStringLiteral("Envío interrumpido: no se sabe si el servidor lo aceptó");

namespace {

const QString kFormatoFecha = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

} // namespace

QString claveDestinatarios(const QStringList& direcciones)
{
    QStringList d;
    for (const QString& a : direcciones) {
        const QString l = a.trimmed().toLower();
        if (!l.isEmpty() && !d.contains(l))
            d << l;
    }
    std::sort(d.begin(), d.end());
    return d.join(QStringLiteral(", "));
}

RegistroEnvios::RegistroEnvios(store::Database& db) : m_db(db) {}

qint64 RegistroEnvios::anotarIntento(const Envio& e)
{
    m_db.prepare(QStringLiteral("INSERT INTO envios (codcentro, idcentro, fichero, tamano, sha256, messageid, "
                                "destinatarios, fecha, resultado, aceptado) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"))
        .bindAll(e.codcentro, e.idcentro, e.fichero, e.tamano, e.sha256, e.messageId, e.destinatarios,
                 e.fecha.toString(kFormatoFecha), kEnvioInterrumpido)
        .run();
    return m_db.lastInsertId();
}

void RegistroEnvios::anotarResultado(qint64 id, bool aceptado, const QString& messageId, const QString& resultado)
{
    m_db.prepare(QStringLiteral("UPDATE envios SET aceptado = ?, messageid = ?, resultado = ?, fecha = ? WHERE id = ?"))
        .bindAll(aceptado, messageId, resultado, QDateTime::currentDateTime().toString(kFormatoFecha), id)
        .run();
}

std::optional<QDateTime> RegistroEnvios::yaEnviado(const QString& sha256, const QString& destinatarios)
{
    store::Statement st = m_db.prepare(QStringLiteral(
        "SELECT fecha FROM envios WHERE sha256 = ? AND destinatarios = ? AND aceptado = 1 ORDER BY id LIMIT 1"));
    st.bindAll(sha256, destinatarios);
    if (!st.step())
        return std::nullopt;
    return QDateTime::fromString(st.text(0), kFormatoFecha);
}

std::optional<qint64> RegistroEnvios::centroDeFichero(const QString& fichero, const QString& sha256)
{
    store::Statement st =
        m_db.prepare(QStringLiteral("SELECT DISTINCT idcentro FROM envios WHERE sha256 = ? AND "
                                    "fichero = ? AND idcentro IS NOT NULL AND idcentro <> 0 LIMIT 2"));
    st.bindAll(sha256, fichero);
    return st.unicoEntero();
}

QString RegistroEnvios::codigoActual(const QString& codcentro)
{
    store::Statement st =
        m_db.prepare(QStringLiteral("SELECT c.codcentro FROM envios e JOIN centros c ON c.id = e.idcentro "
                                    "WHERE e.codcentro = ? AND c.codcentro <> e.codcentro ORDER BY e.id DESC LIMIT 1"));
    st.bind(1, codcentro);
    return st.step() ? st.text(0) : QString();
}

QList<Envio> RegistroEnvios::lista(const QString& codcentro, const QDate& mes)
{
    QString sql = QStringLiteral("SELECT id, codcentro, idcentro, fichero, tamano, sha256, messageid, destinatarios, "
                                 "fecha, resultado, aceptado FROM envios WHERE 1 = 1");
    if (!codcentro.isEmpty())
        sql += QStringLiteral(" AND codcentro = :codcentro");
    if (mes.isValid())
        sql += QStringLiteral(" AND substr(fecha, 1, 7) = :mes");
    sql += QStringLiteral(" ORDER BY id DESC");
    store::Statement st = m_db.prepare(sql);
    if (!codcentro.isEmpty())
        st.bind(QStringLiteral(":codcentro"), codcentro);
    if (mes.isValid())
        st.bind(QStringLiteral(":mes"), mes.toString(QStringLiteral("yyyy-MM")));
    QList<Envio> salida;
    while (st.step()) {
        Envio e;
        e.id = st.integer(0);
        e.codcentro = st.text(1);
        e.idcentro = st.isNull(2) ? 0 : st.integer(2);
        e.fichero = st.text(3);
        e.tamano = st.isNull(4) ? 0 : st.integer(4);
        e.sha256 = st.text(5);
        e.messageId = st.text(6);
        e.destinatarios = st.text(7);
        e.fecha = QDateTime::fromString(st.text(8), kFormatoFecha);
        e.resultado = st.text(9);
        e.aceptado = !st.isNull(10) && st.integer(10) != 0;
        salida << e;
    }
    return salida;
}
