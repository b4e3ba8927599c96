#include "data/Constantes.h"
#include "data/TMD.h"
#include "store/Database.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(EmailValido, AcceptsPlainAddresses)
{
    EXPECT_TRUE(TMD::emailValido(QStringLiteral("nominas@empresa.es")));
    EXPECT_TRUE(TMD::emailValido(QStringLiteral("Ana.Perez-Gil_2@Mail.Empresa.COM")));
    EXPECT_TRUE(TMD::emailValido(QStringLiteral("a-b@x-y.b-c.es")));
    EXPECT_TRUE(TMD::emailValido(QStringLiteral("a@b.es")));
}

TEST(EmailValido, RefusesWhatTheRulesRefuse)
{
    for (const char* address : {"", "sin-arroba.es", "a..b@empresa.es", "a@empresa..es", "a@b.c", "a@abc",
                                "a@empresa.e", "a@.empresa.es", "a@empresa.es.", "a@empresa", "josé@empresa.es",
                                "a+b@empresa.es", "a b@empresa.es", "a@b@empresa.es", "a@empresa.es ", "a@ñu.es",
                                // No one to deliver to, a dot at an edge of the local part, a label that a
                                // host name cannot have.
                                "@empresa.es", "@b.mm", ".@b.mm", ".a@b.mm", "a.@b.mm", ".-m@b-.-m", "a@-b.es",
                                "a@b-.es", "a@b.-es", "a@b.es-"}) {
        EXPECT_FALSE(TMD::emailValido(QString::fromUtf8(address))) << address;
    }
}

TEST(EmailValido, CharacterTest)
{
    EXPECT_TRUE(TMD::caracteresValidos(QString()));
    EXPECT_TRUE(TMD::caracteresValidos(QStringLiteral("aZ09-._")));
    EXPECT_FALSE(TMD::caracteresValidos(QStringLiteral("a@b")));
    EXPECT_FALSE(TMD::caracteresValidos(QStringLiteral("\u00e1")));
}

TEST(DataModule, StartsWithItsInitialValuesAndNoConnection)
{
    TempDir dir;
    TMD md(dir.file(QStringLiteral("Quorvel.abs")));
    EXPECT_FALSE(md.Multiempresa);
    EXPECT_FALSE(md.Calenxcentros);
    EXPECT_TRUE(md.VerHoras);
    EXPECT_FALSE(md.CorreoOK);
    EXPECT_EQ(md.IdEmpresaActiva, 0);
    EXPECT_FALSE(QFile::exists(md.rutaBaseDatos())); // created at the first access only
    EXPECT_TRUE(TMD::rutaPorDefecto().endsWith(QStringLiteral("/Quorvel.abs")));
}

class SettingsTest : public ::testing::Test
{
protected:
    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    store::Database& db() { return md.Quorvel(); }
};

TEST_F(SettingsTest, NewDatabaseHasSensibleDefaults)
{
    const Constantes c = leerConstantes(db());
    EXPECT_EQ(c.empresa, 0);
    EXPECT_FALSE(c.eOK);
    EXPECT_TRUE(c.VerHoras);
    EXPECT_TRUE(c.generarPDF);
    EXPECT_FALSE(c.impresora);
    // Stored relative, so the file and its folder can move together; used beside the database file.
    EXPECT_EQ(c.RutaPDF, QStringLiteral("PDF"));
    EXPECT_EQ(rutaPdfResuelta(md.rutaBaseDatos(), c.RutaPDF), QDir(dir.path()).filePath(QStringLiteral("PDF")));
    EXPECT_TRUE(c.eHost.isEmpty());
    EXPECT_TRUE(c.eUsuario.isEmpty());
    EXPECT_TRUE(c.ePassword.isEmpty());
}

TEST_F(SettingsTest, WrittenRowReadsBack)
{
    Constantes c = leerConstantes(db());
    c.empresa = 2;
    c.sabados = false;
    c.autocentros = true;
    c.eOK = true;
    c.RutaPDF = QStringLiteral("/srv/nóminas/pdf");
    c.eHost = QStringLiteral("smtp.example.com");
    c.ePuerto = QStringLiteral("465");
    c.ePassword = QStringLiteral("contraseña");
    grabarConstantes(db(), c);
    const Constantes leida = leerConstantes(db());
    EXPECT_EQ(leida.empresa, 2);
    EXPECT_FALSE(leida.sabados);
    EXPECT_TRUE(leida.autocentros);
    EXPECT_TRUE(leida.eOK);
    EXPECT_EQ(leida.RutaPDF, c.RutaPDF);
    EXPECT_EQ(leida.ePuerto, c.ePuerto);
    EXPECT_EQ(leida.ePassword, c.ePassword);
}

TEST_F(SettingsTest, FieldNamesInAnyCase)
{
    db().exec(QStringLiteral("UPDATE constantes SET \"e-ok\" = 1, generarpdf = 0, rutapdf = 'D:\\Hojas'"));
    const FilaConstantes fila(db());
    EXPECT_TRUE(fila.logico(QStringLiteral("E-OK")));
    EXPECT_FALSE(fila.logico(QStringLiteral("GenerarPDF")));
    EXPECT_EQ(fila.texto(QStringLiteral("RUTAPDF")), QStringLiteral("D:\\Hojas"));
    EXPECT_EQ(fila.texto(QStringLiteral("rutapdf")), QStringLiteral("D:\\Hojas"));
}

TEST_F(SettingsTest, EmptyBooleanOrIntegerFailsWithConversionError)
{
    db().exec(QStringLiteral("UPDATE constantes SET festivos = NULL"));
    try {
        leerConstantes(db());
        FAIL() << "expected a conversion error";
    } catch (const store::ConversionError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("festivos")));
    }
    // The fields before it were readable: a load reads in order and stops at the empty one.
    const FilaConstantes fila(db());
    EXPECT_TRUE(fila.logico(QStringLiteral("domingos")));
    EXPECT_THROW(fila.logico(QStringLiteral("festivos")), store::ConversionError);

    db().exec(QStringLiteral("UPDATE constantes SET festivos = 1, empresa = NULL"));
    EXPECT_THROW(leerConstantes(db()), store::ConversionError);
    // An empty folder is just an empty text.
    db().exec(QStringLiteral("UPDATE constantes SET empresa = -1, RutaPDF = NULL"));
    EXPECT_EQ(leerConstantes(db()).RutaPDF, QString());
    EXPECT_EQ(leerConstantes(db()).empresa, -1);
}

TEST_F(SettingsTest, MissingRowIsReported)
{
    db().exec(QStringLiteral("DELETE FROM constantes"));
    EXPECT_THROW(FilaConstantes{db()}, store::StoreError);
    EXPECT_THROW(grabarConstantes(db(), Constantes{}), store::StoreError);
}

} // namespace

// A portable copy keeps its file beside the program; an installed one, whose folder the user cannot write,
// keeps it in the user's data folder, created for it.
TEST(RutaPorDefecto, BesideTheProgramWhenItsFolderIsWritableElseInTheUsersDataFolder)
{
    TempDir dir;
    const QString programa = dir.file(QStringLiteral("programa"));
    const QString datos = dir.file(QStringLiteral("casa/.local/share/Quorvel"));
    ASSERT_TRUE(QDir().mkpath(programa));
    EXPECT_EQ(TMD::rutaPorDefecto(programa, datos), programa + QStringLiteral("/Quorvel.abs"));
    EXPECT_FALSE(QFileInfo::exists(datos));

    const QString sinCarpeta = dir.file(QStringLiteral("no-existe"));
    EXPECT_EQ(TMD::rutaPorDefecto(sinCarpeta, datos), datos + QStringLiteral("/Quorvel.abs"));
    EXPECT_TRUE(QFileInfo(datos).isDir());

    // Root writes anywhere, so the read-only case is only checked for an ordinary user.
    if (geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(programa, QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_EQ(TMD::rutaPorDefecto(programa, datos), datos + QStringLiteral("/Quorvel.abs"));
        QFile::setPermissions(programa, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}
