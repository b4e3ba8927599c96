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
    // instr() on folded texts: the typed text is never a pattern, so % _ " ' ; match themselves. The text is
    // folded once here rather than once per row.
    t.abrir(QStringLiteral("SELECT ") + kCamposTrabajador +
                QStringLiteral(" FROM trabajadores t1 WHERE "
                               "instr(PLEGAR(t1.nomtrabajador), :par1) > 0 OR "
                               "instr(PLEGAR(t1.nss), :par1) > 0 OR "
                               "instr(PLEGAR(t1.nif), :par1) > 0 OR "
                               "instr(PLEGAR(t1.telef), :par1) > 0 OR "
                               "instr(PLEGAR(t1.alias), :par1) > 0 OR "
                               "instr(PLEGAR(t1.email), :par1) > 0"),
            {store::plegar(texto)}, QStringLiteral("nomtrabajador"));
}

void trabajadoresSinCentro(TablaConsulta& t)
{
    t.abrir(QStringLiteral("SELECT ") + kCamposTrabajador +
            QStringLiteral(" FROM trabajadores t1 LEFT JOIN ubicatrabajador t2 ON t2.idtrabajador = t1.id "
                           "WHERE t2.idtrabajador IS NULL ORDER BY t1.nomtrabajador COLLATE ESPANOL, t1.id"));
}

void calcularCentros(TablaConsulta& t)
{
    // One read of the assignments for the whole list rather than one per row.
    auto codigos = std::make_shared<QHash<qint64, QStringList>>();
    t.campoCalculado = QStringLiteral("Centros");
    t.calcular = [codigos](const TablaConsulta& tabla, int fila) -> QVariant {
        if (fila == 0) {
            codigos->clear();
            // The model's own database: the rows were read from it a moment ago.
            store::Statement st = tabla.baseDatos().prepare(
                QStringLiteral("SELECT idtrabajador, codcentro FROM ubicatrabajador ORDER BY rowid"));
            while (st.step())
                (*codigos)[st.integer(0)] << st.text(1);
        }
        return codigos->value(tabla.id(fila)).join(QStringLiteral(" / "));
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
