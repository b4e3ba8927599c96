#include "masterdata/Maestros.h"

#include "base/TextHelpers.h"
#include "calendars/GestionCalendarios.h"
#include "store/Database.h"

#include <QHash>

namespace maestros {

namespace {

// Empty texts are stored as NULL, as a cleared field of the old screens was.
QVariant texto(const QString& valor)
{
    return valor.isEmpty() ? QVariant() : QVariant(valor);
}

// Another copy of the program may have deleted the row while it was on screen: say so rather than report a
// store that changed nothing.
void comprobarModificada(store::Database& db)
{
    if (db.changes() == 0)
        throw Rechazo(QStringLiteral("ERROR: el registro ya no existe; otro usuario lo ha borrado."));
}

bool hayFila(store::Database& db, const QString& sql, const QVariant& clave)
{
    store::Statement st = db.prepare(sql);
    st.bind(1, clave);
    return st.step();
}

// What a form links to may have gone since it was read: another copy renamed or deleted it. Checked inside the
// write's own transaction, so no other copy can take it away between the check and the write.
void comprobarCentroExiste(store::Database& db, const QString& codcentro)
{
    if (!hayFila(db, QStringLiteral("SELECT 1 FROM centros WHERE codcentro = ?"), codcentro))
        throw Rechazo(QStringLiteral("El centro %1 ya no existe: otra copia lo ha cambiado o borrado").arg(codcentro));
}

void comprobarTrabajadorExiste(store::Database& db, qint64 idtrabajador)
{
    if (!hayFila(db, QStringLiteral("SELECT 1 FROM trabajadores WHERE id = ?"), idtrabajador))
        throw Rechazo(QStringLiteral("El trabajador %1 ya no existe: otra copia lo ha borrado").arg(idtrabajador));
}

// Only links the write makes anew are checked: a row already holding the same link keeps it, so an old file
// with an inconsistent row stays editable.
void comprobarEnlacesCentro(store::Database& db, const Centro& c, const std::optional<Centro>& guardado)
{
    if (!guardado || guardado->idempresa != c.idempresa) {
        if (!hayFila(db, QStringLiteral("SELECT 1 FROM empresas WHERE id = ?"), *c.idempresa))
            throw Rechazo(QStringLiteral("La empresa %1 ya no existe: otra copia la ha borrado").arg(*c.idempresa),
                          QStringLiteral("idempresa"));
    }
    if (!guardado || guardado->calendario != c.calendario) {
        bool numero = false;
        const int calendario = c.calendario.trimmed().toInt(&numero);
        if (!numero || calendario < 0)
            throw Rechazo(QStringLiteral("'%1' no es un número de calendario").arg(c.calendario),
                          QStringLiteral("calendario"));
        if (!calendarios::existeCalendario(db, calendario))
            throw Rechazo(calendarios::textoCalendarioInexistente(calendario), QStringLiteral("calendario"));
    }
}

} // namespace

QString mayusculas(const QString& texto)
{
    return texto.toUpper();
}

std::optional<Empresa> leerEmpresa(store::Database& db, qint64 id)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT id, nomempresa, cif, ccc FROM empresas WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return Empresa{st.integer(0), st.text(1), st.text(2), st.text(3)};
}

void grabarEmpresa(store::Database& db, Empresa& e)
{
    if (const QString vacio = campoVacio(e); !vacio.isEmpty())
        throw Rechazo(textoFalta(vacio), vacio);
    store::Transaction tx(db);
    if (e.id == 0) {
        db.prepare(QStringLiteral("INSERT INTO empresas (nomempresa, cif, ccc) VALUES (?, ?, ?)"))
            .bindAll(texto(e.nomempresa), texto(e.cif), texto(e.ccc))
            .run();
        e.id = db.lastInsertId();
    } else {
        db.prepare(QStringLiteral("UPDATE empresas SET nomempresa = ?, cif = ?, ccc = ? WHERE id = ?"))
            .bindAll(texto(e.nomempresa), texto(e.cif), texto(e.ccc), e.id)
            .run();
        comprobarModificada(db);
    }
    tx.commit();
}

int contarCentros(store::Database& db, qint64 idempresa)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT count(*) FROM centros WHERE idempresa = ?"));
    st.bind(1, idempresa);
    st.step();
    return int(st.integer(0));
}

QString textoEmpresaConCentros(int centros)
{
    return QStringLiteral("Esta empresa tiene %1 centro/s.\nBorre antes los centros").arg(centros);
}

void borrarEmpresa(store::Database& db, qint64 id)
{
    store::Transaction tx(db);
    // Another copy may have given it a centre since the question was asked.
    if (const int centros = contarCentros(db, id); centros > 0)
        throw Rechazo(textoEmpresaConCentros(centros));
    db.prepare(QStringLiteral("DELETE FROM empresas WHERE id = ?")).bind(1, id).run();
    tx.commit();
}

Centro centroNuevo(std::optional<qint64> idempresa)
{
    Centro c;
    c.idempresa = idempresa;
    c.sabados = c.domingos = c.festivos = true;
    c.calendario = QStringLiteral("0");
    return c;
}

QString codigoCentro(const QString& textoEmpresa, const QString& codcentro2)
{
    bool numero = false;
    const qint64 id = textoEmpresa.trimmed().toLongLong(&numero);
    if (!numero)
        return {};
    return CerosIzquierda(id, 2) + codcentro2;
}

QString campoVacio(const Centro& c)
{
    if (c.codcentro.trimmed().isEmpty())
        return QStringLiteral("codcentro");
    if (c.codcentro2.trimmed().isEmpty())
        return QStringLiteral("codcentro2");
    if (c.nomcentro.trimmed().isEmpty())
        return QStringLiteral("nomcentro");
    if (!c.idempresa)
        return QStringLiteral("idempresa");
    if (c.calendario.trimmed().isEmpty())
        return QStringLiteral("calendario");
    return {};
}

QString campoVacio(const Empresa& e)
{
    return e.nomempresa.trimmed().isEmpty() ? QStringLiteral("nomempresa") : QString();
}

QString campoVacio(const Trabajador& t)
{
    return t.nomtrabajador.trimmed().isEmpty() ? QStringLiteral("nomtrabajador") : QString();
}

QString textoFalta(const QString& campo)
{
    static const QHash<QString, QString> kRotulos = {
        {QStringLiteral("nomempresa"), QStringLiteral("el nombre de la empresa")},
        {QStringLiteral("codcentro"), QStringLiteral("el código del centro (la empresa no tiene número)")},
        {QStringLiteral("codcentro2"), QStringLiteral("el código del centro")},
        {QStringLiteral("nomcentro"), QStringLiteral("el nombre del centro")},
        {QStringLiteral("idempresa"), QStringLiteral("la empresa del centro")},
        {QStringLiteral("calendario"), QStringLiteral("el calendario del centro")},
        {QStringLiteral("nomtrabajador"), QStringLiteral("el nombre del trabajador")},
    };
    return QStringLiteral("Falta ") + kRotulos.value(campo, campo);
}

QString textoCpNoNumero(const QString& cp)
{
    const QString limpio = cp.trimmed();
    for (QChar c : limpio)
        if (c < u'0' || c > u'9')
            return QStringLiteral("El código postal debe ser un número: «%1»").arg(limpio);
    return {};
}

namespace {

const QString kCamposCentro = QStringLiteral(
    "id, codcentro, codcentro2, nomcentro, idempresa, email, domicilio, poblacion, cp, telefono, calendario, sabados, "
    "domingos, festivos");

Centro leerFilaCentro(const store::Statement& st)
{
    Centro c;
    c.id = st.integer(0);
    c.codcentro = st.text(1);
    c.codcentro2 = st.text(2);
    c.nomcentro = st.text(3);
    if (!st.isNull(4))
        c.idempresa = st.integer(4);
    c.email = st.text(5);
    c.domicilio = st.text(6);
    c.poblacion = st.text(7);
    c.cp = st.text(8);
    c.telefono = st.text(9);
    c.calendario = st.text(10);
    // An empty flag reads as open, not as a failure: these fields are not required.
    c.sabados = !st.isNull(11) && st.boolean(11);
    c.domingos = !st.isNull(12) && st.boolean(12);
    c.festivos = !st.isNull(13) && st.boolean(13);
    return c;
}

} // namespace

std::optional<Centro> leerCentro(store::Database& db, qint64 id)
{
    store::Statement st =
        db.prepare(QStringLiteral("SELECT ") + kCamposCentro + QStringLiteral(" FROM centros WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return leerFilaCentro(st);
}

std::optional<Centro> leerCentroPorCodigo(store::Database& db, const QString& codcentro)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT ") + kCamposCentro +
                                     QStringLiteral(" FROM centros WHERE codcentro = ? ORDER BY id"));
    st.bind(1, codcentro);
    if (!st.step())
        return std::nullopt;
    return leerFilaCentro(st);
}

std::optional<qint64> idCentro(store::Database& db, const QString& codcentro)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT id FROM centros WHERE codcentro = ? ORDER BY id"));
    st.bind(1, codcentro);
    if (!st.step())
        return std::nullopt;
    const qint64 id = st.integer(0);
    st.reset();
    return id;
}

std::optional<QString> codigoDeCentro(store::Database& db, qint64 id)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT codcentro FROM centros WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return st.text(0);
}

void grabarCentro(store::Database& db, Centro& c)
{
    const QString vacio = campoVacio(c);
    if (!vacio.isEmpty())
        throw Rechazo(textoFalta(vacio), vacio);
    if (const QString cp = textoCpNoNumero(c.cp); !cp.isEmpty())
        throw Rechazo(cp, QStringLiteral("cp"));

    store::Transaction tx(db);
    // Two centres with one code would share workers, PDF files and mails.
    store::Statement otro =
        db.prepare(QStringLiteral("SELECT nomcentro FROM centros WHERE codcentro = ? AND id <> ? ORDER BY id"));
    otro.bindAll(c.codcentro, c.id);
    if (otro.step())
        throw Rechazo(QStringLiteral("Ya existe un centro con el código %1: %2").arg(c.codcentro, otro.text(0)),
                      QStringLiteral("codcentro2"));
    comprobarEnlacesCentro(db, c, c.id == 0 ? std::nullopt : leerCentro(db, c.id));

    if (c.id == 0) {
        db.prepare(QStringLiteral("INSERT INTO centros (codcentro, codcentro2, nomcentro, idempresa, email, domicilio, "
                                  "poblacion, cp, telefono, calendario, sabados, domingos, festivos) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
            .bindAll(c.codcentro, c.codcentro2, c.nomcentro, *c.idempresa, texto(c.email), texto(c.domicilio),
                     texto(c.poblacion), texto(c.cp), texto(c.telefono), c.calendario, c.sabados, c.domingos,
                     c.festivos)
            .run();
        c.id = db.lastInsertId();
    } else {
        store::Statement antes = db.prepare(QStringLiteral("SELECT codcentro FROM centros WHERE id = ?"));
        antes.bind(1, c.id);
        const QString codigoAnterior = antes.step() ? antes.text(0) : QString();
        db.prepare(QStringLiteral("UPDATE centros SET codcentro = ?, codcentro2 = ?, nomcentro = ?, idempresa = ?, "
                                  "email = ?, domicilio = ?, poblacion = ?, cp = ?, telefono = ?, calendario = ?, "
                                  "sabados = ?, domingos = ?, festivos = ? WHERE id = ?"))
            .bindAll(c.codcentro, c.codcentro2, c.nomcentro, *c.idempresa, texto(c.email), texto(c.domicilio),
                     texto(c.poblacion), texto(c.cp), texto(c.telefono), c.calendario, c.sabados, c.domingos,
                     c.festivos, c.id)
            .run();
        comprobarModificada(db);
        // The workers follow their centre to its new code.
        if (!codigoAnterior.isEmpty() && codigoAnterior != c.codcentro) {
            db.prepare(QStringLiteral("UPDATE OR IGNORE ubicatrabajador SET codcentro = ? WHERE codcentro = ?"))
                .bindAll(c.codcentro, codigoAnterior)
                .run();
            db.prepare(QStringLiteral("DELETE FROM ubicatrabajador WHERE codcentro = ?")).bind(1, codigoAnterior).run();
        }
    }
    tx.commit();
}

int contarAsignacionesCentro(store::Database& db, const QString& codcentro)
{
    store::Statement st = db.prepare(QStringLiteral("SELECT count(*) FROM ubicatrabajador WHERE codcentro = ?"));
    st.bind(1, codcentro);
    st.step();
    return int(st.integer(0));
}

void borrarCentro(store::Database& db, qint64 id, const QString& codcentro)
{
    store::Transaction tx(db);
    db.prepare(QStringLiteral("DELETE FROM ubicatrabajador WHERE codcentro = ?")).bind(1, codcentro).run();
    db.prepare(QStringLiteral("DELETE FROM centros WHERE id = ?")).bind(1, id).run();
    tx.commit();
}

std::optional<Trabajador> leerTrabajador(store::Database& db, qint64 id)
{
    store::Statement st = db.prepare(
        QStringLiteral("SELECT id, nomtrabajador, nif, nss, telef, tipojornada, email, alias, contrato, falta, fbaja, "
                       "observaciones FROM trabajadores WHERE id = ?"));
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return Trabajador{st.integer(0), st.text(1), st.text(2), st.text(3), st.text(4),  st.text(5),
                      st.text(6),    st.text(7), st.text(8), st.text(9), st.text(10), st.text(11)};
}

void grabarTrabajador(store::Database& db, Trabajador& t)
{
    if (const QString vacio = campoVacio(t); !vacio.isEmpty())
        throw Rechazo(textoFalta(vacio), vacio);
    store::Transaction tx(db);
    if (t.id == 0) {
        db.prepare(
              QStringLiteral("INSERT INTO trabajadores (nomtrabajador, nif, nss, telef, tipojornada, email, alias, "
                             "contrato, falta, fbaja, observaciones) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
            .bindAll(texto(t.nomtrabajador), texto(t.nif), texto(t.nss), texto(t.telef), texto(t.tipojornada),
                     texto(t.email), texto(t.alias), texto(t.contrato), texto(t.falta), texto(t.fbaja),
                     texto(t.observaciones))
            .run();
        t.id = db.lastInsertId();
    } else {
        db.prepare(QStringLiteral("UPDATE trabajadores SET nomtrabajador = ?, nif = ?, nss = ?, telef = ?, "
                                  "tipojornada = ?, email = ?, alias = ?, contrato = ?, falta = ?, fbaja = ?, "
                                  "observaciones = ? WHERE id = ?"))
            .bindAll(texto(t.nomtrabajador), texto(t.nif), texto(t.nss), texto(t.telef), texto(t.tipojornada),
                     texto(t.email), texto(t.alias), texto(t.contrato), texto(t.falta), texto(t.fbaja),
                     texto(t.observaciones), t.id)
            .run();
        comprobarModificada(db);
    }
    tx.commit();
}

QStringList centrosDeTrabajador(store::Database& db, qint64 idtrabajador)
{
    store::Statement st =
        db.prepare(QStringLiteral("SELECT codcentro FROM ubicatrabajador WHERE idtrabajador = ? ORDER BY rowid"));
    st.bind(1, idtrabajador);
    QStringList out;
    while (st.step())
        out << st.text(0);
    return out;
}

bool asignar(store::Database& db, qint64 idtrabajador, const QString& codcentro)
{
    store::Transaction tx(db);
    comprobarTrabajadorExiste(db, idtrabajador);
    comprobarCentroExiste(db, codcentro);
    store::Statement existe =
        db.prepare(QStringLiteral("SELECT 1 FROM ubicatrabajador WHERE idtrabajador = ? AND codcentro = ?"));
    existe.bindAll(idtrabajador, codcentro);
    if (existe.step())
        return false;
    db.prepare(QStringLiteral("INSERT INTO ubicatrabajador (idtrabajador, codcentro) VALUES (?, ?)"))
        .bindAll(idtrabajador, codcentro)
        .run();
    tx.commit();
    return true;
}

void quitarAsignacion(store::Database& db, qint64 idtrabajador, const QString& codcentro)
{
    store::Transaction tx(db);
    db.prepare(QStringLiteral("DELETE FROM ubicatrabajador WHERE idtrabajador = ? AND codcentro = ?"))
        .bindAll(idtrabajador, codcentro)
        .run();
    tx.commit();
}

void borrarTrabajador(store::Database& db, qint64 id)
{
    store::Transaction tx(db);
    db.prepare(QStringLiteral("DELETE FROM ubicatrabajador WHERE idtrabajador = ?")).bind(1, id).run();
    db.prepare(QStringLiteral("DELETE FROM trabajadores WHERE id = ?")).bind(1, id).run();
    tx.commit();
}

} // namespace maestros
