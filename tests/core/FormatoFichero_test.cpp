#include "data/TMD.h"
#include "store/Database.h"
#include "store/Formato4.h"
#include "store/Key.h"
#include "store/StoreError.h"
#include "support/TempDir.h"
#include "support/Textos.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kDatos = QStringLiteral(QUORVEL_DATOS_PRUEBAS);

QString copia(const TempDir& dir, const QString& nombre)
{
    const QString ruta = dir.file(QStringLiteral("Quorvel.abs"));
    EXPECT_TRUE(QFile::copy(kDatos + u'/' + nombre, ruta));
    QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner);
    return ruta;
}

QStringList filas(store::Database& db, const QString& sql)
{
    QStringList resultado;
    store::Statement st = db.prepare(sql);
    while (st.step()) {
        QStringList campos;
        for (int i = 0; i < st.columnCount(); ++i)
            campos << st.text(i);
        resultado << campos.join(u'|');
    }
    return resultado;
}

int versionSqlcipher()
{
    TempDir dir;
    store::Database db(dir.file(QStringLiteral("version.abs")));
    db.create();
    return filas(db, QStringLiteral("PRAGMA cipher_version")).value(0).section(u'.', 0, 0).toInt();
}

} // namespace

// A file written by SQLCipher 3.4 (Debian 12) holds these rows; every build reads them and keeps the format.
TEST(FormatoFichero, FileOfSqlcipher34IsReadAndStaysInItsFormat)
{
    TempDir dir;
    const QString ruta = copia(dir, QStringLiteral("sqlcipher34.abs"));
    EXPECT_FALSE(store::esFormatoSqlcipher4(ruta, store::databaseKey()));
    {
        TMD md(ruta);
        store::Database& db = md.Quorvel();
        EXPECT_EQ(filas(db, QStringLiteral("SELECT id, nomempresa, cif, ccc FROM empresas")),
                  QStringList{QStringLiteral("1|TALLERES NÚÑEZ, S.L.|B12345678|28/1234567/89")});
        EXPECT_EQ(filas(db, QStringLiteral("SELECT codcentro, nomcentro, idempresa, email, poblacion, calendario, "
                                           "sabados FROM centros")),
                  QStringList{QStringLiteral("0101|TALLER CENTRAL|1|taller@ejemplo.es|ÁVILA|0|1")});
        EXPECT_EQ(filas(db, QStringLiteral("SELECT nomtrabajador, nif, tipojornada, contrato FROM trabajadores")),
                  QStringList{QStringLiteral("PEÑA GÓMEZ, ÁNGELA|12345678Z|C|40 HORAS SEMANA")});
        EXPECT_EQ(filas(db, QStringLiteral("SELECT idtrabajador, codcentro FROM ubicatrabajador")),
                  QStringList{QStringLiteral("1|0101")});
        EXPECT_EQ(filas(db, QStringLiteral("SELECT fecha, codreduc FROM calendar")),
                  QStringList{QStringLiteral("2019-05-01|0")});
        EXPECT_EQ(filas(db, QStringLiteral("SELECT RutaPDF FROM constantes")), QStringList{QStringLiteral("PDF")});
        EXPECT_EQ(filas(db, QStringLiteral("PRAGMA cipher_page_size")), QStringList{QStringLiteral("1024")});
        db.exec(QStringLiteral("INSERT INTO empresas (nomempresa) VALUES ('SEGUNDA')"));
    }
    // Written to and still the old format, so copies with SQLCipher 3 keep reading it.
    EXPECT_FALSE(store::esFormatoSqlcipher4(ruta, store::databaseKey()));
    TMD otra(ruta);
    EXPECT_EQ(filas(otra.Quorvel(), QStringLiteral("SELECT nomempresa FROM empresas ORDER BY id")),
              (QStringList{QStringLiteral("TALLERES NÚÑEZ, S.L."), QStringLiteral("SEGUNDA")}));

    // A file this build creates is in the same format, whichever SQLCipher it has.
    const QString nueva = dir.file(QStringLiteral("nueva.abs"));
    TMD(nueva).Quorvel();
    EXPECT_FALSE(store::esFormatoSqlcipher4(nueva, store::databaseKey()));
    QFile f(nueva);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size() % 1024, 0);
}

// A file in SQLCipher 4's own format (written on Debian 13 before the shared format) opens where the library
// can read it, is not migrated, and elsewhere is named for what it is, not as a wrong password.
TEST(FormatoFichero, FileOfSqlcipher4OpensOnSqlcipher4AndIsNamedOnSqlcipher3)
{
    TempDir dir;
    const QString ruta = copia(dir, QStringLiteral("sqlcipher46.abs"));
    EXPECT_TRUE(store::esFormatoSqlcipher4(ruta, store::databaseKey()));
    EXPECT_FALSE(store::esFormatoSqlcipher4(ruta, QByteArrayLiteral("otraclave")));
    const QByteArray antes = contenido(ruta);
    TMD md(ruta);
    if (versionSqlcipher() >= 4) {
        store::Database& db = md.Quorvel();
        EXPECT_EQ(filas(db, QStringLiteral("SELECT nomempresa, cif FROM empresas")),
                  QStringList{QStringLiteral("ASESORÍA CUATRO, S.A.|A87654321")});
        EXPECT_EQ(filas(db, QStringLiteral("SELECT codcentro, nomcentro FROM centros")),
                  QStringList{QStringLiteral("0144|OFICINA NUEVA")});
        db.exec(QStringLiteral("INSERT INTO empresas (nomempresa) VALUES ('SEGUNDA')"));
        EXPECT_TRUE(store::esFormatoSqlcipher4(ruta, store::databaseKey()));
        return;
    }
    try {
        md.Quorvel();
        ADD_FAILURE() << "abierto con SQLCipher 3";
    } catch (const store::StoreError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("El fichero es de Quorvel, pero está guardado en el formato de SQLCipher 4, que la "
                                 "versión de SQLCipher de este equipo no sabe leer. No se ha modificado; ábralo con "
                                 "una copia de Quorvel hecha con SQLCipher 4 (por ejemplo, en Debian 13) "
                                 "(file is in SQLCipher 4 format)"));
    }
    EXPECT_EQ(contenido(ruta), antes);
}
