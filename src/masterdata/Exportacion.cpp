#include "masterdata/Exportacion.h"

#include "masterdata/Importacion.h"
#include "store/Database.h"
#include "store/Espanol.h"

#include <QStringList>

namespace exportacion {

namespace {

// Quoted only when the spreadsheet needs it: a separator, a quote, a line break or edge spaces.
QString campo(const QString& valor)
{
    const bool comillas = valor.contains(u';') || valor.contains(u'"') || valor.contains(u'\n') ||
                          valor.contains(u'\r') ||
                          (!valor.isEmpty() && (valor.front().isSpace() || valor.back().isSpace()));
    if (!comillas)
        return valor;
    QString doblado = valor;
    doblado.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + doblado + u'"';
}

struct Salida
{
    QByteArray bytes = QByteArray("\xEF\xBB\xBF");

    void fila(const QStringList& empresa, const QStringList& centro, const QStringList& trabajador)
    {
        QStringList campos;
        for (const QStringList* parte : {&empresa, &centro, &trabajador})
            for (const QString& v : *parte)
                campos << campo(v);
        bytes += campos.join(u';').toUtf8() + "\r\n";
    }
};

const QStringList kSinEmpresa(3);
const QStringList kSinCentro(7);
const QStringList kSinTrabajador(8);

const QString kCamposTrabajador =
    QStringLiteral("t.nif, t.nomtrabajador, t.nss, t.tipojornada, t.contrato, t.telef, t.email, t.alias");

QStringList trabajador(const store::Statement& st)
{
    QStringList t;
    for (int i = 0; i < 8; ++i)
        t << st.text(i);
    return t;
}

} // namespace

QByteArray exportar(store::Database& db, std::optional<qint64> idempresa)
{
    Salida s;
    s.bytes += importacion::nombresColumnas().join(u';').toUtf8() + "\r\n";

    store::Statement empresas = db.prepare(
        QStringLiteral("SELECT id, cif, nomempresa, ccc FROM empresas WHERE ? IS NULL OR id = ? ORDER BY id"));
    const QVariant filtro = idempresa ? QVariant(*idempresa) : QVariant();
    empresas.bindAll(filtro, filtro);
    store::Statement centros =
        db.prepare(QStringLiteral("SELECT codcentro, codcentro2, nomcentro, email, domicilio, poblacion, cp, telefono "
                                  "FROM centros WHERE idempresa = ? ORDER BY codcentro2, id"));
    store::Statement trabajadores = db.prepare(
        QStringLiteral("SELECT ") + kCamposTrabajador +
        QStringLiteral(" FROM ubicatrabajador u JOIN trabajadores t ON t.id = u.idtrabajador WHERE u.codcentro = ? "
                       "ORDER BY t.nomtrabajador COLLATE ") +
        store::kColacionEspanol + QStringLiteral(", t.id"));
    while (empresas.step()) {
        const QStringList empresa{empresas.text(1), empresas.text(2), empresas.text(3)};
        centros.reset();
        centros.bind(1, empresas.integer(0));
        bool conCentros = false;
        while (centros.step()) {
            conCentros = true;
            QStringList centro;
            for (int i = 1; i < 8; ++i)
                centro << centros.text(i);
            trabajadores.reset();
            trabajadores.bind(1, centros.text(0));
            bool conTrabajadores = false;
            while (trabajadores.step()) {
                conTrabajadores = true;
                s.fila(empresa, centro, trabajador(trabajadores));
            }
            if (!conTrabajadores)
                s.fila(empresa, centro, kSinTrabajador);
        }
        if (!conCentros)
            s.fila(empresa, kSinCentro, kSinTrabajador);
    }
    if (!idempresa) {
        // An assignment to a centre that no longer exists gives the worker no centre either.
        store::Statement sueltos = db.prepare(
            QStringLiteral("SELECT ") + kCamposTrabajador +
            QStringLiteral(" FROM trabajadores t WHERE NOT EXISTS (SELECT 1 FROM ubicatrabajador u JOIN centros c ON "
                           "c.codcentro = u.codcentro WHERE u.idtrabajador = t.id) ORDER BY t.nomtrabajador COLLATE ") +
            store::kColacionEspanol + QStringLiteral(", t.id"));
        while (sueltos.step())
            s.fila(kSinEmpresa, kSinCentro, trabajador(sueltos));
    }
    return s.bytes;
}

} // namespace exportacion
