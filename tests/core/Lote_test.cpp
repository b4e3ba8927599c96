#include "data/Constantes.h"
#include "data/TMD.h"
#include "sheets/Lote.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include <QDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

class LoteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        e = fixture::crearEjemplo(md.Quorvel());
        Constantes c = leerConstantes(md.Quorvel());
        c.RutaPDF = dir.file(QStringLiteral("PDF"));
        grabarConstantes(md.Quorvel(), c);
    }

    int lote(QStringList args)
    {
        salida.clear();
        errores.clear();
        QTextStream out(&salida);
        QTextStream err(&errores);
        return ejecutarLote(args, base(), out, err);
    }
    QString base() const { return dir.file(QStringLiteral("Quorvel.abs")); }
    QStringList pdfs(const QString& carpeta) const { return QDir(carpeta).entryList({QStringLiteral("*.pdf")}); }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    QString salida;
    QString errores;
};

TEST_F(LoteTest, EveryCentreOfACompanyIntoTheSettingsFolder)
{
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QString::number(e.empresa1), QStringLiteral("--mes"),
                    QStringLiteral("201905")}),
              0)
        << errores.toStdString();
    const QString carpeta = dir.file(QStringLiteral("PDF"));
    EXPECT_EQ(pdfs(carpeta), (QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro),
                                          QStringLiteral("Quorvel_%1_201905.pdf").arg(e.oficinas.codcentro)}));
    EXPECT_TRUE(salida.contains(QStringLiteral("Centro: %1  no tiene trabajadores\n").arg(e.tiendaVacia.codcentro)));
    EXPECT_TRUE(salida.contains(QString(34, u'-') + u'\n'));
}

TEST_F(LoteTest, OneCentreRangeIntoAnotherFolderWithShadingOptions)
{
    const QString carpeta = dir.file(QStringLiteral("otra"));
    EXPECT_EQ(lote({QStringLiteral("--centro"), e.oficinas.codcentro, QStringLiteral("--mes=201911"),
                    QStringLiteral("--hasta"), QStringLiteral("202002"), QStringLiteral("--carpeta"), carpeta,
                    QStringLiteral("--diasemana"), QStringLiteral("no")}),
              0)
        << errores.toStdString();
    const QString nombre = QStringLiteral("Quorvel_%1_201911-202002.pdf").arg(e.oficinas.codcentro);
    EXPECT_EQ(pdfs(carpeta), QStringList{nombre});
    const QString pdf = QDir(carpeta).filePath(nombre);
    store::Statement st = md.Quorvel().prepare(
        QStringLiteral("SELECT count(*) FROM ubicatrabajador WHERE codcentro = ?"));
    st.bind(1, e.oficinas.codcentro);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(poppler::paginas(pdf), 4 * st.integer(0));
    EXPECT_FALSE(poppler::texto(pdf, 1).contains(QStringLiteral(" - V")));
}

TEST_F(LoteTest, ArgumentAndDataErrorsInSpanish)
{
    EXPECT_EQ(lote({QStringLiteral("--help")}), 0);
    EXPECT_TRUE(salida.startsWith(QStringLiteral("Uso: quorvel-lote")));

    EXPECT_EQ(lote({QStringLiteral("--mes"), QStringLiteral("201905")}), 2);
    EXPECT_TRUE(errores.contains(QStringLiteral("Indique --empresa o --centro")));
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("2019-5")}), 2);
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("201905"),
                    QStringLiteral("--hasta"), QStringLiteral("201904")}),
              2);
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("201905"),
                    QStringLiteral("--sabados"), QStringLiteral("quizá")}),
              2);
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("201905"),
                    QStringLiteral("--colores")}),
              2);
    EXPECT_TRUE(errores.contains(QStringLiteral("Opción desconocida: --colores.")));

    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("77"), QStringLiteral("--mes"), QStringLiteral("201905")}), 3);
    EXPECT_TRUE(errores.contains(QStringLiteral("No existe la empresa 77.")));
    EXPECT_EQ(lote({QStringLiteral("--centro"), QStringLiteral("7701"), QStringLiteral("--mes"), QStringLiteral("201905")}), 3);
    EXPECT_TRUE(errores.contains(QStringLiteral("No existe el centro 7701.")));
    EXPECT_EQ(lote({QStringLiteral("--centro"), e.tiendaVacia.codcentro, QStringLiteral("--mes"), QStringLiteral("201905")}), 1);
    EXPECT_TRUE(errores.contains(QStringLiteral("No hay trabajadores en este centro")));
}

TEST_F(LoteTest, DatabaseThatCannotBeOpened)
{
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("201905"),
                    QStringLiteral("--base"), dir.file(QStringLiteral("no-existe.abs"))}),
              3);
    EXPECT_TRUE(errores.contains(QStringLiteral("No existe la base de datos")));
    QFile basura(dir.file(QStringLiteral("basura.abs")));
    ASSERT_TRUE(basura.open(QIODevice::WriteOnly));
    basura.write(QByteArray(4096, 'z'));
    basura.close();
    EXPECT_EQ(lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("201905"),
                    QStringLiteral("--base"), basura.fileName()}),
              3);
    EXPECT_TRUE(errores.contains(QStringLiteral("No se puede abrir la base de datos")));
}

} // namespace
