#include "masterdata/Consultas.h"

#include "base/TablaConsulta.h"
#include "store/Database.h"
#include "store/Espanol.h"

#include <QHash>
#include <memory>

namespace consultas {

void empresas(TablaConsulta& t)
{
    t.abrir(QStringLiteral("SELECT id, cif, ccc, nomempresa FROM empresas ORDER BY id"));
}

void centrosDeEmpresa(TablaConsulta& t, qint64 idempresa)
{
    t.abrir(QStringLiteral("SELECT id, codcentro, codcentro2, nomcentro, calendario, idempresa FROM centros "
                           "WHERE idempresa = :par1 ORDER BY codcentro, id"),
            {idempresa});
}

void trabajadoresDeCentro(TablaConsulta& t, const QString& codcentro)
{
    t.abrir(QStringLiteral("SELECT trabajadores.id AS id, ubicatrabajador.codcentro AS codcentro, alias, "
                           "nomtrabajador, tipojornada, contrato FROM trabajadores, ubicatrabajador "
                           "WHERE (trabajadores.id = ubicatrabajador.idtrabajador) "
                           "AND (ubicatrabajador.codcentro = :par1) "
                           "ORDER BY nomtrabajador COLLATE ESPANOL, trabajadores.id"),
            {codcentro});
}

const QString kSinCentro = QStringLiteral("(sin centro)");

void trabajadoresDeCentroYSinCentro(TablaConsulta& t, const QString& codcentro)
{
    t.abrir(
        QStringLiteral("SELECT * FROM ("
                       "SELECT trabajadores.id AS id, ubicatrabajador.codcentro AS codcentro, alias, nomtrabajador, "
                       "tipojornada, contrato, 0 AS suelto FROM trabajadores, ubicatrabajador "
                       "WHERE (trabajadores.id = ubicatrabajador.idtrabajador) "
                       "AND (ubicatrabajador.codcentro = :par1) "
                       "UNION ALL SELECT t1.id, :par2, t1.alias, t1.nomtrabajador, t1.tipojornada, t1.contrato, 1 "
                       "FROM trabajadores t1 LEFT JOIN ubicatrabajador t2 ON t2.idtrabajador = t1.id "
                       "WHERE t2.idtrabajador IS NULL) "
                       "ORDER BY suelto, nomtrabajador COLLATE ESPANOL, id"),
        {codcentro, kSinCentro});
}

namespace {

const QString kCamposTrabajador =
    QStringLiteral("t1.id AS id, t1.nomtrabajador AS nomtrabajador, t1.nif AS nif, t1.nss AS nss, t1.alias AS alias, "
                   "t1.telef AS telef, t1.tipojornada AS tipojornada, t1.email AS email, t1.contrato AS contrato, "
                   "t1.observaciones AS observaciones");

} // namespace

void buscarTrabajadores(TablaConsulta& t, const QString& texto)
{
    // Every text holds the empty one: no field needs folding to list everybody with a value.
    if (texto.isEmpty()) {
        t.abrir(QStringLiteral("SELECT ") + kCamposTrabajador +
                    QStringLiteral(" FROM trabajadores t1 WHERE t1.nomtrabajador IS NOT NULL OR t1.nss IS NOT NULL OR "
                                   "t1.nif IS NOT NULL OR t1.telef IS NOT NULL OR t1.alias IS NOT NULL OR "
                                   "t1.email IS NOT NULL"),
                {}, QStringLiteral("nomtrabajador"));
        return;
    }
    // instr() on folded texts: the typed text is never a pattern, so % _ " ' ; match themselves. The text is
    // folded once here rather than once per row, and the six fields of a row in one call, kept apart by a
    // character the folded text cannot hold, so no match spans two fields.
    const QString plegado = store::plegar(texto);
    if (!plegado.contains(QChar(0x1F))) {
        t.abrir(QStringLiteral("SELECT ") + kCamposTrabajador +
                    QStringLiteral(" FROM trabajadores t1 WHERE instr(PLEGAR(coalesce(t1.nomtrabajador, '') || "
                                   "char(31) || coalesce(t1.nss, '') || char(31) || coalesce(t1.nif, '') || char(31) "
                                   "|| coalesce(t1.telef, '') || char(31) || coalesce(t1.alias, '') || char(31) || "
                                   "coalesce(t1.email, '')), :par1) > 0"),
                {plegado}, QStringLiteral("nomtrabajador"));
        return;
    }
    t.abrir(QStringLiteral("SELECT ") + kCamposTrabajador +
                QStringLiteral(" FROM trabajadores t1 WHERE "
                               "instr(PLEGAR(t1.nomtrabajador), :par1) > 0 OR "
                               "instr(PLEGAR(t1.nss), :par1) > 0 OR "
                               "instr(PLEGAR(t1.nif), :par1) > 0 OR "
                               "instr(PLEGAR(t1.telef), :par1) > 0 OR "
                               "instr(PLEGAR(t1.alias), :par1) > 0 OR "
                               "instr(PLEGAR(t1.email), :par1) > 0"),
            {plegado}, QStringLiteral("nomtrabajador"));
}

void trabajadoresSinCentro(TablaConsulta& t)
{
    t.abrir(QStringLiteral("SELECT ") + kCamposTrabajador +
            QStringLiteral(" FROM trabajadores t1 LEFT JOIN ubicatrabajador t2 ON t2.idtrabajador = t1.id "
                           "WHERE t2.idtrabajador IS NULL ORDER BY t1.nomtrabajador COLLATE ESPANOL, t1.id"));
}

void calcularCentros(TablaConsulta& t)
{
    // Asked for each row the grid shows, as the list is read: one statement, kept ready.
    auto consulta = std::make_shared<std::unique_ptr<store::Statement>>();
    t.campoCalculado = QStringLiteral("Centros");
    t.calcular = [consulta](const TablaConsulta& tabla, int fila) -> QVariant {
        if (!*consulta)
            *consulta = std::make_unique<store::Statement>(
                tabla.baseDatos().prepare(QStringLiteral("SELECT codcentro FROM ubicatrabajador "
                                                         "WHERE idtrabajador = :par1 ORDER BY rowid")));
        store::Statement& st = **consulta;
        st.bind(1, tabla.id(fila));
        QStringList codigos;
        try {
            while (st.step())
                codigos << st.text(0);
        } catch (...) {
            st.reset();
            throw;
        }
        st.reset();
        return codigos.join(QStringLiteral(" / "));
    };
}

void centrosParaElegir(TablaConsulta& t, std::optional<qint64> idempresa)
{
    if (idempresa) {
        t.abrir(QStringLiteral("SELECT id, codcentro, nomcentro, idempresa FROM centros WHERE idempresa = :par1 "
                               "ORDER BY idempresa, codcentro, id"),
                {*idempresa});
    } else {
        t.abrir(QStringLiteral("SELECT id, codcentro, nomcentro, idempresa FROM centros "
                               "ORDER BY idempresa, codcentro, id"));
    }
}

void asignaciones(TablaConsulta& t, qint64 idtrabajador)
{
    // The centre's name beside its code; an assignment to a centre that no longer exists shows the code alone.
    t.abrir(QStringLiteral("SELECT u.idtrabajador AS idtrabajador, u.codcentro AS codcentro, "
                           "(SELECT c.nomcentro FROM centros c WHERE c.codcentro = u.codcentro ORDER BY c.id LIMIT 1) "
                           "AS nomcentro FROM ubicatrabajador u WHERE u.idtrabajador = :par1 ORDER BY u.rowid"),
            {idtrabajador});
}

} // namespace consultas
