#include "data/TMD.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray hashOf(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class StoreTest : public ::testing::Test
{
protected:
    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    store::Database& db() { return md.Quorvel(); }
};

TEST_F(StoreTest, FirstAccessCreatesEncryptedFileWithSchemaAndSettingsRow)
{
    db();
    const QString path = dir.file(QStringLiteral("Quorvel.abs"));
    ASSERT_TRUE(QFile::exists(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3"));

    store::Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM constantes"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.integer(0), 1);
}

TEST_F(StoreTest, NamesMatchWithoutRegardToCase)
{
    fixture::empresa(db(), QStringLiteral("ACME"), QStringLiteral("B1"), QStringLiteral("C1"));
    store::Statement st = db().prepare(QStringLiteral("SELECT NomEmpresa, ID FROM Empresas WHERE Id = :par1"));
    st.bind(QStringLiteral(":par1"), 1);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(QStringLiteral("NOMEMPRESA")), QStringLiteral("ACME"));
    EXPECT_EQ(st.integer(QStringLiteral("id")), 1);
    store::Statement c = db().prepare(QStringLiteral("SELECT * FROM Centros WHERE idEmpresa = ?"));
    c.bind(1, 1);
    EXPECT_FALSE(c.step());
}

TEST_F(StoreTest, TypedReadingAndParameters)
{
    fixture::festivo(db(), 0, QDate(2019, 5, 1), 0);
    store::Statement st =
        db().prepare(QStringLiteral("SELECT fecha, codreduc, NULL, 'x' FROM calendar WHERE fecha = ?"));
    st.bind(1, QDate(2019, 5, 1));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.date(0), QDate(2019, 5, 1));
    EXPECT_EQ(st.text(0), QStringLiteral("2019-05-01"));
    EXPECT_EQ(st.integer(1), 0);
    EXPECT_TRUE(st.isNull(2));
    EXPECT_FALSE(st.date(2).isValid());
    EXPECT_THROW(st.integer(2), store::ConversionError);
    EXPECT_THROW(st.boolean(2), store::ConversionError);
    EXPECT_THROW(st.integer(3), store::ConversionError);
    EXPECT_THROW(st.text(QStringLiteral("nope")), store::StoreError);
    st.reset();
    // A text compared with the integer column reads by value, as the join queries need.
    fixture::asignar(db(), 3, QStringLiteral("0101"));
    store::Statement u =
        db().prepare(QStringLiteral("SELECT count(*) FROM ubicatrabajador WHERE idtrabajador = :par1"));
    u.bind(QStringLiteral(":par1"), QStringLiteral("3"));
    ASSERT_TRUE(u.step());
    EXPECT_EQ(u.integer(0), 1);
}

TEST_F(StoreTest, StoreErrorsCarryTheStoresText)
{
    try {
        db().prepare(QStringLiteral("SELECT * FROM tabla_que_no_existe"));
        FAIL();
    } catch (const store::StoreError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("no such table")));
    }
}

TEST_F(StoreTest, NewIdExistsOnlyAfterStoring)
{
    {
        store::Transaction tx(db());
        fixture::empresa(db(), QStringLiteral("A"), QString(), QString());
        // Rolled back: the id is not kept.
    }
    store::Statement count = db().prepare(QStringLiteral("SELECT count(*) FROM empresas"));
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.integer(0), 0);
    count.reset();
    const qint64 first = fixture::empresa(db(), QStringLiteral("B"), QString(), QString());
    const qint64 second = fixture::empresa(db(), QStringLiteral("C"), QString(), QString());
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
}

TEST_F(StoreTest, LongTextsAreCutToTheFieldWidth)
{
    const auto c = fixture::centro(db(), 1, QStringLiteral("01"), QString(40, u'N'), 0);
    db().prepare(QStringLiteral("UPDATE centros SET cp = ? WHERE id = ?"))
        .bindAll(QStringLiteral("280010"), c.id)
        .run();
    const qint64 t = fixture::trabajador(db(), QStringLiteral("ÑÚÑEZ"), QString(), QString(), QStringLiteral("CCC"),
                                         QString(35, u'é'));
    store::Statement st = db().prepare(QStringLiteral("SELECT nomcentro, cp FROM centros WHERE id = ?"));
    st.bind(1, c.id);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), QString(25, u'N'));
    EXPECT_EQ(st.text(1), QStringLiteral("28001"));
    store::Statement w = db().prepare(QStringLiteral("SELECT tipojornada, contrato FROM trabajadores WHERE id = ?"));
    w.bind(1, t);
    ASSERT_TRUE(w.step());
    EXPECT_EQ(w.text(0), QStringLiteral("CC"));
    EXPECT_EQ(w.text(1), QString(30, u'é'));
}

TEST(StoreOpen, FileThatCannotBeOpenedIsLeftUntouched)
{
    TempDir dir;
    const QString otra = dir.file(QStringLiteral("otra.abs"));
    {
        // Same schema, another password.
        store::Database db(otra);
        db.create();
        db.exec(QStringLiteral("CREATE TABLE t (a INTEGER)"));
        db.exec(QStringLiteral("PRAGMA rekey = 'otraclave'"));
    }
    const QString basura = dir.file(QStringLiteral("basura.abs"));
    {
        QFile f(basura);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    const QString truncada = dir.file(QStringLiteral("truncada.abs"));
    {
        TMD buena(dir.file(QStringLiteral("buena.abs")));
        fixture::crearEjemplo(buena.Quorvel());
        QFile f(buena.rutaBaseDatos());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QFile t(truncada);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write(f.read(1500));
    }
    const QString vacia = dir.file(QStringLiteral("vacia.abs"));
    {
        QFile f(vacia);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const QString& path : {otra, basura, truncada, vacia}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = hashOf(path);
        TMD md(path);
        EXPECT_THROW(md.Quorvel(), store::StoreError);
        EXPECT_EQ(hashOf(path), before);
    }
}

// What the user reads: a Spanish explanation first, the store's own text after it for support.
TEST(StoreOpen, FailuresAreExplainedInSpanishWithTheStoresTextKept)
{
    TempDir dir;
    const auto mensaje = [](const std::function<void()>& accion) {
        try {
            accion();
        } catch (const store::StoreError& e) {
            return e.message();
        }
        return QString();
    };
    const auto explicado = [](const QString& texto, const char* comienzo, const char* original) {
        EXPECT_TRUE(texto.startsWith(QString::fromUtf8(comienzo))) << texto.toStdString();
        EXPECT_TRUE(texto.endsWith(QStringLiteral(" (%1)").arg(QString::fromUtf8(original)))) << texto.toStdString();
    };

    const QString otra = dir.file(QStringLiteral("otra.abs"));
    {
        store::Database db(otra);
        db.create();
        db.exec(QStringLiteral("CREATE TABLE t (a INTEGER)"));
        db.exec(QStringLiteral("PRAGMA rekey = 'otraclave'"));
    }
    // SQLite's text for it changed: SQLCipher 4 (Debian 13) says only "file is not a database".
    const QString otraClave = mensaje([&] { TMD(otra).Quorvel(); });
    EXPECT_TRUE(otraClave.startsWith(
        QStringLiteral("El fichero no es una base de datos de Quorvel o está protegido con otra contraseña")))
        << otraClave.toStdString();
    EXPECT_TRUE(otraClave.endsWith(QStringLiteral(" (file is encrypted or is not a database)")) ||
                otraClave.endsWith(QStringLiteral(" (file is not a database)")))
        << otraClave.toStdString();

    const QString ajena = dir.file(QStringLiteral("ajena.abs"));
    {
        store::Database db(ajena);
        db.create();
        db.exec(QStringLiteral("CREATE TABLE t (a INTEGER)"));
    }
    explicado(mensaje([&] { TMD(ajena).Quorvel(); }), "El fichero es una base de datos, pero no de Quorvel",
              "file is not a Quorvel database");

    explicado(mensaje([&] { store::Database(dir.file(QStringLiteral("no/existe/Quorvel.abs"))).create(); }),
              "No se puede abrir el fichero de la base de datos", "unable to open database file");

    TMD md(dir.file(QStringLiteral("Quorvel.abs")));
    store::Database& db = md.Quorvel();
    db.exec(QStringLiteral("PRAGMA query_only = 1"));
    explicado(mensaje([&] { db.exec(QStringLiteral("DELETE FROM empresas")); }),
              "No se puede escribir en la base de datos", "attempt to write a readonly database");
    db.exec(QStringLiteral("PRAGMA query_only = 0"));

    // Another copy in the middle of a write; this one does not wait.
    TMD otraCopia(md.rutaBaseDatos());
    otraCopia.Quorvel().exec(QStringLiteral("BEGIN EXCLUSIVE"));
    db.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    explicado(mensaje([&] { db.exec(QStringLiteral("SELECT count(*) FROM empresas")); }),
              "La base de datos está ocupada por otra copia de Quorvel", "database is locked");
    otraCopia.Quorvel().exec(QStringLiteral("ROLLBACK"));

    // A value over the store's size limit, and a folder where the store must write its journal.
    explicado(mensaje([&] { db.exec(QStringLiteral("SELECT zeroblob(2000000000)")); }),
              "El dato es demasiado grande para guardarlo en la base de datos", "string or blob too big");
    ASSERT_TRUE(QDir().mkpath(md.rutaBaseDatos() + QStringLiteral("-journal")));
    explicado(mensaje([&] { db.exec(QStringLiteral("DELETE FROM empresas")); }),
              "Ha fallado la lectura o la escritura en el disco", "disk I/O error");
    QDir().rmdir(md.rutaBaseDatos() + QStringLiteral("-journal"));

    // The code decides, whatever words a release of the store uses; without one, the text does.
    EXPECT_TRUE(store::explicarError(QStringLiteral("some other wording"), 13)
                    .startsWith(QStringLiteral("El disco de la base de datos está lleno")));
    EXPECT_TRUE(store::explicarError(QStringLiteral("database disk image is malformed"))
                    .startsWith(QStringLiteral("El fichero de la base de datos está dañado")));
    EXPECT_TRUE(store::explicarError(QStringLiteral("disk I/O error"))
                    .startsWith(QStringLiteral("Ha fallado la lectura o la escritura en el disco")));
    // Texts the user cannot act on stay as the store wrote them.
    EXPECT_EQ(store::explicarError(QStringLiteral("no such table: x")), QStringLiteral("no such table: x"));
}

TEST(StoreConcurrency, TwoProcessesWritingLoseNoRow)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("Quorvel.abs"));
    TMD md(path);
    md.Quorvel();
    QProcess a;
    QProcess b;
    const QString writer = QStringLiteral(QUORVEL_STORE_WRITER);
    a.start(writer, {path, QStringLiteral("a"), QStringLiteral("500")});
    b.start(writer, {path, QStringLiteral("b"), QStringLiteral("500")});
    // Meanwhile this process writes too, as a third copy of the program would.
    for (int i = 0; i < 100; ++i) {
        md.Quorvel()
            .prepare(QStringLiteral("INSERT INTO Listado (e_nombre, mes) VALUES (?, '201905')"))
            .bind(1, QStringLiteral("c%1").arg(i))
            .run();
    }
    ASSERT_TRUE(a.waitForFinished(120000));
    ASSERT_TRUE(b.waitForFinished(120000));
    EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    store::Statement st = md.Quorvel().prepare(
        QStringLiteral("SELECT substr(e_nombre, 1, 1), count(DISTINCT e_nombre) FROM Listado GROUP BY 1 ORDER BY 1"));
    QStringList counts;
    while (st.step())
        counts << st.text(0) + QString::number(st.integer(1));
    EXPECT_EQ(counts, (QStringList{QStringLiteral("a500"), QStringLiteral("b500"), QStringLiteral("c100")}));
}

} // namespace

TEST_F(StoreTest, SpanishOrderAndAccentFreeSearchOnTheConnection)
{
    db().exec(QStringLiteral("CREATE TEMP TABLE nombres (n TEXT)"));
    const QStringList mezclados = {QStringLiteral("OCAÑA"),   QStringLiteral("ÑORA"),    QStringLiteral("vidal"),
                                   QStringLiteral("NÚÑEZ"),   QStringLiteral("ÁLVAREZ"), QStringLiteral("NAVARRO"),
                                   QStringLiteral("BENÍTEZ"), QStringLiteral("alonso")};
    for (const QString& n : mezclados)
        db().prepare(QStringLiteral("INSERT INTO nombres VALUES (?)")).bind(1, n).run();

    QStringList orden;
    store::Statement st = db().prepare(QStringLiteral("SELECT n FROM nombres ORDER BY n COLLATE ESPANOL"));
    while (st.step())
        orden << st.text(0);
    EXPECT_EQ(orden, (QStringList{QStringLiteral("alonso"), QStringLiteral("ÁLVAREZ"), QStringLiteral("BENÍTEZ"),
                                  QStringLiteral("NAVARRO"), QStringLiteral("NÚÑEZ"), QStringLiteral("ÑORA"),
                                  QStringLiteral("OCAÑA"), QStringLiteral("vidal")}));

    // Case and accents are ignored; the text is a parameter, so quotes and wildcards match only themselves.
    const auto encontrados = [this](const QString& buscado) {
        store::Statement b =
            db().prepare(QStringLiteral("SELECT count(*) FROM nombres WHERE instr(PLEGAR(n), PLEGAR(:par1)) > 0"));
        b.bind(QStringLiteral(":par1"), buscado);
        b.step();
        return b.integer(0);
    };
    EXPECT_EQ(encontrados(QStringLiteral("nuñez")), 1);
    EXPECT_EQ(encontrados(QStringLiteral("NUNEZ")), 1);
    EXPECT_EQ(encontrados(QStringLiteral("Álv")), 1);
    EXPECT_EQ(encontrados(QStringLiteral("ocana")), 1);
    EXPECT_EQ(encontrados(QStringLiteral("%")), 0);
    EXPECT_EQ(encontrados(QStringLiteral("_")), 0);
    EXPECT_EQ(encontrados(QStringLiteral("\" OR 1=1 --")), 0);
}
