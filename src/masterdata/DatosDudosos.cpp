#include "masterdata/DatosDudosos.h"

#include "masterdata/Identificadores.h"
#include "store/Database.h"
#include "store/Espanol.h"

namespace {

void anotar(QStringList& lineas, const QString& quien, QStringList problemas)
{
    problemas.removeAll(QString());
    if (!problemas.isEmpty())
        lineas << quien + QStringLiteral(": ") + problemas.join(QStringLiteral("; "));
}

QString faltaSiVacio(const QString& valor, const QString& que)
{
    return valor.trimmed().isEmpty() ? QStringLiteral("falta ") + que : QString();
}

} // namespace

QStringList datosDudosos(store::Database& db)
{
    QStringList lineas;
    store::Statement empresas = db.prepare(QStringLiteral("SELECT id, nomempresa, cif, ccc FROM empresas ORDER BY id"));
    while (empresas.step()) {
        const QString cif = empresas.text(2), ccc = empresas.text(3);
        anotar(lineas, QStringLiteral("Empresa %1 «%2»").arg(empresas.text(0), empresas.text(1)),
               {faltaSiVacio(cif, QStringLiteral("el CIF")), identificadores::avisoCif(cif),
                faltaSiVacio(ccc, QStringLiteral("el CCC")), identificadores::avisoCcc(ccc)});
    }
    // A centre prints its name and reaches its clerk by mail; neither identifier is checked, only their presence.
    store::Statement centros =
        db.prepare(QStringLiteral("SELECT codcentro, nomcentro, email FROM centros ORDER BY codcentro, id"));
    while (centros.step())
        anotar(lineas, QStringLiteral("Centro %1 «%2»").arg(centros.text(0), centros.text(1)),
               {faltaSiVacio(centros.text(1), QStringLiteral("el nombre")),
                faltaSiVacio(centros.text(2), QStringLiteral("el correo (no se le pueden enviar las hojas)"))});
    store::Statement trabajadores =
        db.prepare(QStringLiteral("SELECT id, nomtrabajador, nif, nss, tipojornada FROM trabajadores ORDER BY "
                                  "nomtrabajador COLLATE ") +
                   store::kColacionEspanol + QStringLiteral(", id"));
    while (trabajadores.step()) {
        const QString nif = trabajadores.text(2), nss = trabajadores.text(3), tipo = trabajadores.text(4);
        const QString jornada = tipo.trimmed().isEmpty() ? QStringLiteral("falta el tipo de jornada")
                                : (tipo != QStringLiteral("C") && tipo != QStringLiteral("P"))
                                    ? QStringLiteral("tipo de jornada «%1»: debe ser C o P").arg(tipo)
                                    : QString();
        anotar(lineas, QStringLiteral("Trabajador %1 «%2»").arg(trabajadores.text(0), trabajadores.text(1)),
               {faltaSiVacio(nif, QStringLiteral("el NIF")), identificadores::avisoNif(nif),
                faltaSiVacio(nss, QStringLiteral("el NSS")), identificadores::avisoNss(nss), jornada});
    }
    return lineas;
}
