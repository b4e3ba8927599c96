#include "data/Schema.h"

#include "data/Constantes.h"
#include "store/Database.h"

namespace schema {

namespace {

Field id()
{
    return {QStringLiteral("id"), QStringLiteral("INTEGER"), 0, true};
}
Field integer(const char* name)
{
    return {QString::fromLatin1(name), QStringLiteral("INTEGER")};
}
Field text(const char* name, int width = 0)
{
    return {QString::fromLatin1(name), QStringLiteral("TEXT"), width};
}

std::vector<Table> buildTables()
{
    std::vector<Table> t;
    t.push_back({QStringLiteral("empresas"), {id(), text("nomempresa"), text("cif"), text("ccc")}, {}});
    t.push_back({QStringLiteral("centros"),
                 {id(), text("codcentro", 10), text("codcentro2", 10), text("nomcentro", 25), integer("idempresa"),
                  text("email", 80), text("domicilio", 35), text("poblacion", 35), text("cp", 5), text("telefono", 20),
                  text("calendario", 20), integer("sabados"), integer("domingos"), integer("festivos")},
                 {{QStringLiteral("codcentro"), QStringLiteral("codcentro")},
                  {QStringLiteral("idempresa"), QStringLiteral("idempresa")}}});
    t.push_back({QStringLiteral("trabajadores"),
                 {id(), text("nomtrabajador", 100), text("nif", 20), text("nss", 20), text("telef", 20),
                  text("tipojornada", 2), text("email", 20), text("alias", 30), text("contrato", 30), text("falta"),
                  text("fbaja"), text("observaciones"), text("centros", 25)},
                 {}});
    t.push_back({QStringLiteral("ubicatrabajador"),
                 {integer("idtrabajador"), text("codcentro", 10)},
                 {{QStringLiteral("trabcentro"), QStringLiteral("idtrabajador, codcentro"), true},
                  {QStringLiteral("codcentro"), QStringLiteral("codcentro")}}});
    t.push_back({QStringLiteral("Calendarios"), {id(), text("descripcion"), text("comunidad")}, {}});
    t.push_back({QStringLiteral("calendar"),
                 {text("fecha"), text("codreduc", 20)},
                 {{QStringLiteral("fecha"), QStringLiteral("fecha"), true}}});
    t.push_back({QStringLiteral("calendar2"),
                 {integer("num"), text("fecha"), text("codreduc", 20)},
                 {{QStringLiteral("fecha"), QStringLiteral("fecha, num"), true}}});
    t.push_back({QStringLiteral("constantes"),
                 {integer("empresa"),
                  integer("sabados"),
                  integer("domingos"),
                  integer("festivos"),
                  integer("autocentros"),
                  integer("diasemana"),
                  integer("todostrabajadores"),
                  integer("todoscentros"),
                  integer("impresora"),
                  integer("generarPDF"),
                  integer("Multiempresa"),
                  integer("Calenxcentros"),
                  integer("VerHoras"),
                  integer("E-OK"),
                  text("RutaPDF"),
                  text("e-nombreenvio"),
                  text("e-direccionenvio"),
                  text("e-host"),
                  text("e-puerto"),
                  text("e-usuario"),
                  text("e-password"),
                  text("e-certificado"),
                  integer("e-conexiones")},
                 {}});
    t.push_back({QStringLiteral("Listado"),
                 {integer("idempresa"), integer("idcentro"), integer("idcalendario"), text("e_nombre"), text("e_nif"),
                  text("e_ccc"), text("e_nomcentro"), text("t_nombre"), text("t_nif"), text("t_nss"),
                  text("t_tipojornada"), text("t_contrato"), text("mes", 6)},
                 {{QStringLiteral("mes"), QStringLiteral("mes")}}});
    Table plan{QStringLiteral("PlanFestivos"),
               {text("codcentro"), text("nomcentro"), text("calendario")},
               {{QStringLiteral("CODCENTRO"), QStringLiteral("codcentro")}}};
    for (int d = 1; d <= 31; ++d)
        plan.fields.push_back({QStringLiteral("D%1").arg(d, 2, 10, QLatin1Char('0')), QStringLiteral("TEXT"), 1});
    t.push_back(plan);
    // One row per message attempt: what went where and when, and whether the server took it.
    t.push_back({QStringLiteral("envios"),
                 {id(), text("codcentro", 10), integer("idcentro"), text("fichero"), integer("tamano"), text("sha256"),
                  text("messageid"), text("destinatarios"), text("fecha"), text("resultado"), integer("aceptado")},
                 {{QStringLiteral("sha256"), QStringLiteral("sha256")},
                  {QStringLiteral("codcentro"), QStringLiteral("codcentro")}}});
    // One row per PDF a run wrote: the centre it is for, found again by the file's bytes when mailed.
    t.push_back({QStringLiteral("ficheros"),
                 {id(), text("fichero"), text("sha256"), integer("idcentro"), text("fecha")},
                 {{QStringLiteral("sha256"), QStringLiteral("sha256")}}});
    return t;
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table& tabla(const QString& name)
{
    for (const Table& t : tables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    throw store::StoreError(QStringLiteral("no such table: %1").arg(name));
}

QStringList ddl(const Table& table)
{
    QStringList out;
    QStringList columns;
    QStringList cuts;
    for (const Field& f : table.fields) {
        columns << (f.autoId ? quoted(f.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")
                             : quoted(f.name) + QLatin1Char(' ') + f.type);
        if (f.width > 0)
            cuts << QStringLiteral("%1 = substr(%1, 1, %2)").arg(quoted(f.name)).arg(f.width);
    }
    out << QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table.name), columns.join(QStringLiteral(", ")));
    // SQLite index names are database-wide, so the table name goes in front of the window's name.
    for (const Index& index : table.indexes) {
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                        quoted(table.name + QLatin1Char('_') + index.name), quoted(table.name), index.fields);
    }
    // A text longer than its field's width is cut when stored, whoever stores it.
    if (!cuts.isEmpty()) {
        for (const char* event : {"INSERT", "UPDATE"}) {
            out << QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 BEGIN UPDATE %3 SET %4 WHERE rowid = "
                                  "NEW.rowid; END")
                       .arg(quoted(table.name + QStringLiteral("_ancho_") + QString::fromLatin1(event).toLower()),
                            QString::fromLatin1(event), quoted(table.name), cuts.join(QStringLiteral(", ")));
        }
    }
    return out;
}

QStringList ddl()
{
    QStringList out;
    for (const Table& table : tables())
        out << ddl(table);
    return out;
}

void usarTablaPropia(store::Database& db, const QString& tabla)
{
    for (const Table& t : tables()) {
        if (t.name.compare(tabla, Qt::CaseInsensitive) != 0)
            continue;
        QStringList columns;
        for (const Field& f : t.fields)
            columns << quoted(f.name) + QLatin1Char(' ') + f.type;
        QString sql = QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS %1 (%2);")
                          .arg(quoted(t.name), columns.join(QStringLiteral(", ")));
        for (const Index& index : t.indexes)
            sql += QStringLiteral("CREATE INDEX IF NOT EXISTS temp.%1 ON %2 (%3);")
                       .arg(quoted(t.name + QLatin1Char('_') + index.name), quoted(t.name), index.fields);
        db.exec(sql);
        return;
    }
    throw store::StoreError(QStringLiteral("no such table: %1").arg(tabla));
}

namespace {

bool existeTabla(store::Database& db, const QString& nombre)
{
    store::Statement st =
        db.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    st.bind(1, nombre);
    return st.step();
}

bool existeCampo(store::Database& db, const QString& tablaNombre, const QString& campo)
{
    store::Statement st = db.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(tablaNombre)));
    while (st.step()) {
        if (st.text(1).compare(campo, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Version 2: the register of sent mail and the account's own authority file. Older copies of the program
// read the settings by name and never touch the new table, so they keep working on the file.
void pasoEnvios(store::Database& db)
{
    if (!existeTabla(db, QStringLiteral("envios"))) {
        for (const QString& statement : ddl(tabla(QStringLiteral("envios"))))
            db.exec(statement);
    }
    if (!existeCampo(db, QStringLiteral("constantes"), QStringLiteral("e-certificado")))
        db.exec(QStringLiteral("ALTER TABLE constantes ADD COLUMN \"e-certificado\" TEXT"));
}

// Version 3: Calendarios.comunidad, empty for the calendars an older release made.
void pasoComunidad(store::Database& db)
{
    if (!existeCampo(db, QStringLiteral("Calendarios"), QStringLiteral("comunidad")))
        db.exec(QStringLiteral("ALTER TABLE \"Calendarios\" ADD COLUMN \"comunidad\" TEXT"));
}

// Version 4: the register of written PDF files.
void pasoFicheros(store::Database& db)
{
    if (!existeTabla(db, QStringLiteral("ficheros"))) {
        for (const QString& statement : ddl(tabla(QStringLiteral("ficheros"))))
            db.exec(statement);
    }
}

// Version 5: how many messages go out at once. Existing rows get the default; older copies never read it.
void pasoConexiones(store::Database& db)
{
    if (!existeCampo(db, QStringLiteral("constantes"), QStringLiteral("e-conexiones")))
        db.exec(QStringLiteral("ALTER TABLE constantes ADD COLUMN \"e-conexiones\" INTEGER DEFAULT %1")
                    .arg(kConexionesDefecto));
}

struct Paso
{
    int version;
    void (*aplicar)(store::Database&);
};

// In version order. Each step checks what is there before it adds it, so it is harmless on a file that has
// it already and steps can be renumbered.
const Paso kPasos[] = {{2, &pasoEnvios}, {3, &pasoComunidad}, {4, &pasoFicheros}, {5, &pasoConexiones}};

} // namespace

void actualizar(store::Database& db)
{
    if (db.userVersion() >= kVersion)
        return;
    store::Transaction tx(db);
    const int actual = db.userVersion(); // another copy may have done it meanwhile
    if (actual >= kVersion)
        return;
    for (const Paso& paso : kPasos) {
        if (paso.version > actual) {
            paso.aplicar(db);
            db.exec(QStringLiteral("PRAGMA user_version = %1").arg(paso.version));
        }
    }
    tx.commit();
}

void createDatabase(store::Database& db, const QString& rutaPdf)
{
    db.create();
    store::Transaction tx(db);
    if (db.userVersion() != 0)
        return; // another copy created it first
    for (const QString& statement : ddl())
        db.exec(statement);
    db
        .prepare(QStringLiteral(
            "INSERT INTO constantes (empresa, sabados, domingos, festivos, autocentros, diasemana, "
            "todostrabajadores, todoscentros, impresora, generarPDF, Multiempresa, Calenxcentros, VerHoras, "
            "\"E-OK\", RutaPDF, \"e-nombreenvio\", \"e-direccionenvio\", \"e-host\", \"e-puerto\", "
            "\"e-usuario\", \"e-password\", \"e-conexiones\") VALUES (0, 1, 1, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, ?, '', "
            "'', '', '', '', '', ?)"))
        .bind(1, rutaPdf)
        .bind(2, kConexionesDefecto)
        .run();
    db.exec(QStringLiteral("PRAGMA user_version = %1").arg(kVersion));
    tx.commit();
}

} // namespace schema
