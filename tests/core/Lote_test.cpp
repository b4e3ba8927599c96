#include "data/Constantes.h"
#include "data/TMD.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/Lote.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include "base/Meses.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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
    QString carpetaConfig() const { return dir.file(QStringLiteral("PDF")); }
    void ejecutar(const QString& sql) { md.Quorvel().exec(sql); }

    static void escribir(const QString& ruta, const QByteArray& contenido)
    {
        QDir().mkpath(QFileInfo(ruta).absolutePath());
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    // Every file of a folder with a checksum of its content.
    static QMap<QString, QByteArray> huellas(const QString& carpeta)
    {
        QMap<QString, QByteArray> out;
        for (const QString& nombre : QDir(carpeta).entryList(QDir::Files | QDir::Hidden)) {
            QFile f(QDir(carpeta).filePath(nombre));
            if (f.open(QIODevice::ReadOnly))
                out.insert(nombre, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
        }
        return out;
    }
    // A folder as a previous run and other programs left it.
    void carpetaAnterior(const QString& carpeta)
    {
        for (const char* nombre : {"Quorvel_0101_201801.pdf", "Quorvel_blanco_201801.pdf", "QUORVEL_0101_201801.PDF",
                                   "quorvel_0101_201801.pdf", "Quorvel_0101_201801.PDF", "otro.pdf"})
            escribir(QDir(carpeta).filePath(QString::fromLatin1(nombre)), QByteArray("contenido de ") + nombre);
    }

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

TEST_F(LoteTest, OneCentreRangeIntoAnotherFolderWithoutWeekdayLetters)
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
    store::Statement st =
        md.Quorvel().prepare(QStringLiteral("SELECT count(*) FROM ubicatrabajador WHERE codcentro = ?"));
    st.bind(1, e.oficinas.codcentro);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(poppler::paginas(pdf), 4 * st.integer(0));
    EXPECT_FALSE(poppler::texto(pdf, 1).contains(QStringLiteral(" - V")));
}

TEST_F(LoteTest, ShadingOptionsOverrideTheSettingsAndFallBackToThem)
{
    // The settings shade Sundays and holidays, not Saturdays, on the base calendar for every centre.
    ejecutar(QStringLiteral("UPDATE constantes SET sabados = 0, domingos = 1, festivos = 1, autocentros = 0"));
    const auto grises = [&](const fixture::Centro& centro, const QStringList& opciones) {
        const int r = lote(QStringList{QStringLiteral("--centro"), centro.codcentro, QStringLiteral("--mes"),
                                       QStringLiteral("201905")} +
                           opciones);
        EXPECT_EQ(r, 0) << errores.toStdString();
        return poppler::diasGrises(
            QDir(carpetaConfig()).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(centro.codcentro)));
    };
    const auto si = [](const char* opcion) { return QStringList{QString::fromLatin1(opcion), QStringLiteral("si")}; };
    const auto no = [](const char* opcion) { return QStringList{QString::fromLatin1(opcion), QStringLiteral("no")}; };
    // May 2019: the 1st is a national holiday.
    EXPECT_EQ(grises(e.almacen, {}), (QList<int>{1, 5, 12, 19, 26}));
    EXPECT_EQ(grises(e.almacen, si("--sabados")), (QList<int>{1, 4, 5, 11, 12, 18, 19, 25, 26}));
    EXPECT_EQ(grises(e.almacen, no("--domingos")), QList<int>{1});
    EXPECT_EQ(grises(e.almacen, no("--festivos")), (QList<int>{5, 12, 19, 26}));
    // The centre's own calendar (the 2nd and 15th added, Sunday 19 open) and its flags (open on Saturdays).
    const QList<int> propios{1, 2, 5, 12, 15, 26};
    EXPECT_EQ(grises(e.oficinas, si("--autocentros") + si("--sabados") + no("--festivos")), propios);
    ejecutar(QStringLiteral("UPDATE constantes SET autocentros = 1"));
    EXPECT_EQ(grises(e.oficinas, {}), propios);
    EXPECT_EQ(grises(e.oficinas, no("--autocentros")), (QList<int>{1, 5, 12, 19, 26}));
}

TEST_F(LoteTest, ArgumentAndDataErrorsInSpanish)
{
    EXPECT_EQ(lote({QStringLiteral("--help")}), 0);
    EXPECT_TRUE(salida.startsWith(QStringLiteral("Uso: quorvel-lote")));
    EXPECT_TRUE(salida.contains(QStringLiteral("--enviar")) && salida.contains(QStringLiteral("--plan-festivos")))
        << "every mode is named in the help";

    EXPECT_EQ(lote({QStringLiteral("--mes"), QStringLiteral("201905")}), 2);
    EXPECT_TRUE(errores.contains(QStringLiteral("Indique --empresa o --centro")));
    EXPECT_EQ(
        lote({QStringLiteral("--empresa"), QStringLiteral("1"), QStringLiteral("--mes"), QStringLiteral("2019-5")}), 2);
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

    EXPECT_EQ(
        lote({QStringLiteral("--empresa"), QStringLiteral("77"), QStringLiteral("--mes"), QStringLiteral("201905")}),
        3);
    EXPECT_TRUE(errores.contains(QStringLiteral("No existe la empresa 77.")));
    EXPECT_EQ(
        lote({QStringLiteral("--centro"), QStringLiteral("7701"), QStringLiteral("--mes"), QStringLiteral("201905")}),
        3);
    EXPECT_TRUE(errores.contains(QStringLiteral("No existe el centro 7701.")));
    EXPECT_EQ(
        lote({QStringLiteral("--centro"), e.tiendaVacia.codcentro, QStringLiteral("--mes"), QStringLiteral("201905")}),
        1);
    EXPECT_TRUE(errores.contains(QStringLiteral("No hay trabajadores en este centro")));
}

TEST_F(LoteTest, MonthLimitsAndLongRangesAreRefusedBeforeAnythingIsTouched)
{
    carpetaAnterior(carpetaConfig());
    const auto antes = huellas(carpetaConfig());
    const QString centro = e.almacen.codcentro;
    EXPECT_EQ(lote({QStringLiteral("--centro"), centro, QStringLiteral("--mes"), QStringLiteral("189912")}), 2);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("El mes de --mes debe estar entre 190001 y 999912, no «189912».")))
        << errores.toStdString();
    EXPECT_EQ(lote({QStringLiteral("--centro"), centro, QStringLiteral("--mes"), QStringLiteral("999912"),
                    QStringLiteral("--hasta"), QStringLiteral("1000001")}),
              2);
    // 121 months, first and last included.
    EXPECT_EQ(lote({QStringLiteral("--centro"), centro, QStringLiteral("--mes"), QStringLiteral("200001"),
                    QStringLiteral("--hasta"), QStringLiteral("201001")}),
              2);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("El intervalo no puede pasar de 120 meses\n")))
        << errores.toStdString();
    EXPECT_EQ(huellas(carpetaConfig()), antes);

    EXPECT_EQ(meses::comprobar(QDate(2000, 1, 31), QDate(2009, 12, 1)), QString());
    EXPECT_EQ(meses::comprobar(QDate(2000, 1, 1), QDate(2010, 1, 1)),
              QStringLiteral("El intervalo no puede pasar de 120 meses"));
    EXPECT_EQ(meses::comprobar(QDate(1899, 12, 31), QDate(1900, 1, 1)), meses::kTextoFueraDeLimites);
    EXPECT_EQ(meses::comprobar(QDate(9999, 12, 31), QDate(9999, 12, 31)), QString());

    // The last two months there are: the run ends, with one sheet per worker and month.
    ASSERT_EQ(lote({QStringLiteral("--centro"), centro, QStringLiteral("--mes"), QStringLiteral("999911"),
                    QStringLiteral("--hasta"), QStringLiteral("999912")}),
              0)
        << errores.toStdString();
    const QString pdf = QDir(carpetaConfig()).filePath(QStringLiteral("Quorvel_%1_999911-999912.pdf").arg(centro));
    store::Statement st =
        md.Quorvel().prepare(QStringLiteral("SELECT count(*) FROM ubicatrabajador WHERE codcentro = ?"));
    st.bind(1, centro);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(poppler::paginas(pdf), 2 * st.integer(0));
    EXPECT_TRUE(poppler::texto(pdf).contains(QStringLiteral("DICIEMBRE - 9999")));
}

TEST_F(LoteTest, FolderProblemsNameTheFolderGivenAndLeaveEveryFileAlone)
{
    carpetaAnterior(carpetaConfig());
    const auto antes = huellas(carpetaConfig());
    const QStringList centro{QStringLiteral("--empresa"), QString::number(e.empresa1), QStringLiteral("--mes"),
                             QStringLiteral("201905")};

    EXPECT_EQ(lote(centro + QStringList{QStringLiteral("--carpeta"), QString()}), 2);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("La carpeta de --carpeta está vacía"))) << errores.toStdString();
    EXPECT_FALSE(errores.contains(QStringLiteral("configuración")));

    const QString fichero = dir.file(QStringLiteral("keep.pdf"));
    escribir(fichero, "no es una carpeta");
    EXPECT_EQ(lote(centro + QStringList{QStringLiteral("--carpeta"), fichero}), 2);
    EXPECT_TRUE(errores.startsWith(
        QStringLiteral("La carpeta de --carpeta, «%1», es un fichero y no una carpeta.").arg(fichero)))
        << errores.toStdString();

    // A folder that cannot be made (its parent is a file) is said before the settings folder is looked at.
    EXPECT_EQ(lote(centro + QStringList{QStringLiteral("--carpeta"), QDir(fichero).filePath(QStringLiteral("PDF"))}),
              1);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("No se puede crear la carpeta de los PDF «%1/PDF».").arg(fichero)))
        << errores.toStdString();

    // A table the run reads is damaged: the last run's files are still there afterwards.
    ejecutar(QStringLiteral("ALTER TABLE trabajadores RENAME TO trabajadores_roto"));
    EXPECT_EQ(lote(centro), 1);
    EXPECT_TRUE(errores.contains(QStringLiteral("no such table: trabajadores"))) << errores.toStdString();
    EXPECT_EQ(huellas(carpetaConfig()), antes);
    ejecutar(QStringLiteral("ALTER TABLE trabajadores_roto RENAME TO trabajadores"));

    // A run that works clears exactly its own names, letter case included.
    ASSERT_EQ(lote(centro), 0) << errores.toStdString();
    auto despues = antes;
    despues.remove(QStringLiteral("Quorvel_0101_201801.pdf"));
    despues.remove(QStringLiteral("Quorvel_blanco_201801.pdf"));
    const auto ahora = huellas(carpetaConfig());
    for (auto it = despues.cbegin(); it != despues.cend(); ++it)
        EXPECT_EQ(ahora.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_FALSE(ahora.contains(QStringLiteral("Quorvel_0101_201801.pdf")));
    EXPECT_FALSE(ahora.contains(QStringLiteral("Quorvel_blanco_201801.pdf")));
    EXPECT_TRUE(ahora.contains(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro)));
}

TEST_F(LoteTest, BrokenSettingsRowIsDatabaseNotAvailableEitherWay)
{
    const QStringList args{QStringLiteral("--centro"), e.almacen.codcentro, QStringLiteral("--mes"),
                           QStringLiteral("201905")};
    ejecutar(QStringLiteral("UPDATE constantes SET sabados = NULL"));
    EXPECT_EQ(lote(args), 3);
    EXPECT_TRUE(errores.contains(QStringLiteral("sabados"))) << errores.toStdString();
    ejecutar(QStringLiteral("DELETE FROM constantes"));
    EXPECT_EQ(lote(args), 3);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("No se puede leer la configuración de la base de datos")))
        << errores.toStdString();
}

TEST_F(LoteTest, CentreCodesAreKeptWholeAndMissingDataIsNotSuccess)
{
    store::Database& db = md.Quorvel();
    // The short code " 7" makes a centre code with a space in it.
    const auto norte = fixture::centro(db, e.empresa1, QStringLiteral(" 7"), QStringLiteral("ALMACÉN NORTE"));
    ASSERT_TRUE(norte.codcentro.contains(u' '));
    fixture::asignar(db,
                     fixture::trabajador(db, QStringLiteral("QUIROGA SOTO, LUIS"), QStringLiteral("11111111H"),
                                         QStringLiteral("281234567890"), QStringLiteral("C"), QStringLiteral("40 H")),
                     norte.codcentro);
    ASSERT_EQ(lote({QStringLiteral("--centro"), norte.codcentro, QStringLiteral("--mes"), QStringLiteral("202505")}), 0)
        << errores.toStdString();
    const QString pdf = QDir(carpetaConfig()).filePath(QStringLiteral("Quorvel_%1_202505.pdf").arg(norte.codcentro));
    ASSERT_TRUE(QFileInfo::exists(pdf)) << pdfs(carpetaConfig()).join(u',').toStdString();
    const QString texto = poppler::texto(pdf);
    EXPECT_TRUE(texto.contains(QStringLiteral("TRANSPORTES ÁLAMO"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("7 - ALMACÉN NORTE"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("QUIROGA SOTO, LUIS")));

    ASSERT_EQ(lote({QStringLiteral("--empresa"), QString::number(e.empresa1), QStringLiteral("--mes"),
                    QStringLiteral("202505")}),
              0)
        << errores.toStdString();
    EXPECT_FALSE(salida.contains(QStringLiteral("Centro: %1").arg(norte.codcentro))) << salida.toStdString();
    EXPECT_TRUE(QFileInfo::exists(pdf));

    // A short code ending in a space, and a code typed with a space too many.
    const auto sur = fixture::centro(db, e.empresa1, QStringLiteral("8 "), QStringLiteral("SUR"));
    fixture::asignar(db, e.trabajadores.front(), sur.codcentro);
    EXPECT_EQ(lote({QStringLiteral("--centro"), sur.codcentro, QStringLiteral("--mes"), QStringLiteral("202505")}), 0)
        << errores.toStdString();
    EXPECT_TRUE(pdfs(carpetaConfig()).contains(QStringLiteral("Quorvel_%1_202505.pdf").arg(sur.codcentro)));
    EXPECT_EQ(lote({QStringLiteral("--centro"), e.almacen.codcentro + u' ', QStringLiteral("--mes"),
                    QStringLiteral("202505")}),
              0)
        << errores.toStdString();

    // A centre whose company is gone prints sheets without the company: said, and not reported as success.
    const auto huerfano = fixture::centro(db, 99, QStringLiteral("01"), QStringLiteral("SIN EMPRESA"));
    fixture::asignar(db, e.trabajadores.front(), huerfano.codcentro);
    EXPECT_EQ(lote({QStringLiteral("--centro"), huerfano.codcentro, QStringLiteral("--mes"), QStringLiteral("202505")}),
              1);
    EXPECT_TRUE(errores.contains(QStringLiteral("error empresa no encontrada"))) << errores.toStdString();
}

TEST_F(LoteTest, RelativeFolderSettingIsBesideTheDatabaseWhereverTheToolStarts)
{
    ejecutar(QStringLiteral("UPDATE constantes SET RutaPDF = 'hojas'"));
    TempDir otra;
    const QString antes = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(otra.path()));
    const int r =
        lote({QStringLiteral("--centro"), e.almacen.codcentro, QStringLiteral("--mes"), QStringLiteral("201905")});
    QDir::setCurrent(antes);
    ASSERT_EQ(r, 0) << errores.toStdString();
    const QString carpeta = dir.file(QStringLiteral("hojas"));
    EXPECT_EQ(pdfs(carpeta), QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro)});
    EXPECT_TRUE(QDir(otra.path()).isEmpty());
    EXPECT_TRUE(salida.startsWith(QStringLiteral("Carpeta de los PDF: %1\n").arg(carpeta))) << salida.toStdString();
}

TEST_F(LoteTest, WorkersInSpanishOrderInTheListAndOnThePages)
{
    store::Database& db = md.Quorvel();
    const auto centro = fixture::centro(db, e.empresa2, QStringLiteral("09"), QStringLiteral("ORDEN"));
    const QStringList desordenados{QStringLiteral("OCAÑA RUIZ, EVA"),   QStringLiteral("ÑORA GIL, PEDRO"),
                                   QStringLiteral("BENÍTEZ SOL, ANA"),  QStringLiteral("NÚÑEZ PAZ, LUIS"),
                                   QStringLiteral("ZAPATA RÍO, JUAN"),  QStringLiteral("NAVARRO LUZ, MARÍA"),
                                   QStringLiteral("ÁLVAREZ MAR, ROSA"), QStringLiteral("álvarez mar, rosa")};
    for (const QString& nombre : desordenados)
        fixture::asignar(db,
                         fixture::trabajador(db, nombre, QStringLiteral("1Z"), QStringLiteral("2"), QStringLiteral("C"),
                                             QStringLiteral("40")),
                         centro.codcentro);
    const QStringList esperado{QStringLiteral("ÁLVAREZ MAR, ROSA"), QStringLiteral("álvarez mar, rosa"),
                               QStringLiteral("BENÍTEZ SOL, ANA"),  QStringLiteral("NAVARRO LUZ, MARÍA"),
                               QStringLiteral("NÚÑEZ PAZ, LUIS"),   QStringLiteral("ÑORA GIL, PEDRO"),
                               QStringLiteral("OCAÑA RUIZ, EVA"),   QStringLiteral("ZAPATA RÍO, JUAN")};
    QStringList lista;
    for (const QString& entrada : entradasTrabajadores(db, centro.codcentro))
        lista << entrada.section(QStringLiteral(" - "), 1);
    EXPECT_EQ(lista, esperado);

    ASSERT_EQ(lote({QStringLiteral("--centro"), centro.codcentro, QStringLiteral("--mes"), QStringLiteral("201905")}),
              0)
        << errores.toStdString();
    const QString pdf = QDir(carpetaConfig()).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(centro.codcentro));
    ASSERT_EQ(poppler::paginas(pdf), int(esperado.size()));
    for (int pagina = 1; pagina <= int(esperado.size()); ++pagina)
        EXPECT_TRUE(poppler::texto(pdf, pagina).contains(esperado.at(pagina - 1))) << "page " << pagina;
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
