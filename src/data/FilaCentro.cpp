#include "data/FilaCentro.h"

#include "store/Database.h"

namespace centros {

const QString kColumnas =
    QStringLiteral("id, codcentro, codcentro2, nomcentro, idempresa, calendario, sabados, domingos, festivos");
const QString kMotivoBorrado = QStringLiteral("ya no existe (otra copia del programa lo ha borrado)");

namespace {

QString leerIndicador(const store::Statement& st, int columna, const QString& campo, bool& valor)
{
    valor = false;
    if (st.isNull(columna))
        return {};
    const QString texto = st.text(columna).trimmed();
    if (texto == QStringLiteral("1") || texto.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) {
        valor = true;
        return {};
    }
    if (texto == QStringLiteral("0") || texto.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
        return {};
    return QStringLiteral("el campo '%1' vale «%2», que no es 0 ni 1").arg(campo, st.text(columna));
}

QString leerCalendario(const store::Statement& st, int columna, int& numero)
{
    numero = 0;
    const QString texto = st.isNull(columna) ? QString() : st.text(columna).trimmed();
    if (texto.isEmpty())
        return QStringLiteral("el campo 'calendario' está vacío");
    bool ok = texto.size() <= 9;
    for (const QChar c : texto)
        ok = ok && c >= u'0' && c <= u'9';
    if (!ok)
        return QStringLiteral("el campo 'calendario' vale «%1», que no es un número de calendario")
            .arg(st.text(columna));
    numero = texto.toInt();
    return {};
}

} // namespace

QString leerFila(const store::Statement& st, FilaCentro& fila)
{
    fila.id = st.integer(0);
    fila.codcentro = st.text(1);
    fila.codcentro2 = st.text(2);
    fila.nomcentro = st.text(3);
    fila.idempresa = st.isNull(4) ? std::nullopt : std::optional<qint64>(st.value(4).toLongLong());
    QString motivo = leerCalendario(st, 5, fila.calendario);
    const QString campos[] = {QStringLiteral("sabados"), QStringLiteral("domingos"), QStringLiteral("festivos")};
    bool* valores[] = {&fila.sabados, &fila.domingos, &fila.festivos};
    for (int i = 0; i < 3; ++i) {
        const QString este = leerIndicador(st, 6 + i, campos[i], *valores[i]);
        if (motivo.isEmpty())
            motivo = este;
    }
    return motivo;
}

Lectura leerCentro(store::Database& db, qint64 id)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT %1 FROM centros WHERE id = ?").arg(kColumnas));
    st.bind(1, id);
    Lectura l;
    if (st.step()) {
        l.existe = true;
        l.motivo = leerFila(st, l.fila);
        st.reset();
    }
    return l;
}

QString lineaNoImpreso(const QString& codcentro, const QString& nomcentro, const QString& motivo)
{
    return QStringLiteral("Centro: %1 - %2  no impreso: %3").arg(codcentro, nomcentro, motivo);
}

} // namespace centros
