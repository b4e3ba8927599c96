#include "sheets/ListasSeleccion.h"

#include "base/TextHelpers.h"
#include "store/Database.h"

QString codigoEntrada(const QString& entrada)
{
    return ExtraerTokens(entrada, QStringLiteral(" "), 1, 1);
}

QStringList entradasEmpresas(store::Database& db, QList<qint64>* ids)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT id, nomempresa FROM empresas ORDER BY id"));
    QStringList out;
    while (st.step()) {
        out << st.text(1);
        if (ids)
            ids->append(st.integer(0));
    }
    return out;
}

QStringList entradasCentros(store::Database& db, qint64 idempresa, QStringList* codigos, QList<qint64>* ids)
{
    store::Statement st = db.prepare(
        QStringLiteral("SELECT codcentro, nomcentro, id FROM centros WHERE idempresa = :par1 ORDER BY codcentro, id"));
    st.bind(QStringLiteral(":par1"), idempresa);
    QStringList out;
    while (st.step()) {
        out << st.text(0) + QStringLiteral(" - ") + st.text(1);
        if (codigos)
            codigos->append(st.text(0));
        if (ids)
            ids->append(st.integer(2));
    }
    return out;
}

QStringList entradasTrabajadores(store::Database& db, const QString& codcentro)
{
    store::Statement st = db.prepare(
        QStringLiteral("SELECT trabajadores.id, trabajadores.nomtrabajador FROM trabajadores, ubicatrabajador "
                       "WHERE (ubicatrabajador.codcentro = :par1) AND (trabajadores.id = ubicatrabajador.idtrabajador) "
                       "ORDER BY trabajadores.nomtrabajador COLLATE ESPANOL, trabajadores.id"));
    st.bind(QStringLiteral(":par1"), codcentro);
    QStringList out;
    while (st.step())
        out << QString::number(st.integer(0)) + QStringLiteral(" - ") + st.text(1);
    return out;
}
