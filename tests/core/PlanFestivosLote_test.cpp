#include "calendars/PlanFestivos.h"
#include "data/Constantes.h"
#include "data/TMD.h"
#include "sheets/Lote.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

class PlanFestivosLoteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        e = fixture::crearEjemplo(md->Quorvel());
        Constantes c = leerConstantes(md->Quorvel());
        // As a new database stores it: beside the database, wherever the batch is started from.
        c.RutaPDF = QStringLiteral("PDF");
        grabarConstantes(md->Quorvel(), c);
        md.reset(); // the batch opens the file on its own
    }

    QString base() const { return dir.file(QStringLiteral("Quorvel.abs")); }
    QString carpeta() const { return dir.file(QStringLiteral("PDF")); }

    // The real batch program, as a scheduled task would start it.
    int lote(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(QUORVEL_LOTE), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        salida = QString::fromUtf8(p.readAllStandardOutput());
        errores = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    }

    int enProceso(const QStringList& args)
    {
        salida.clear();
        errores.clear();
        QTextStream out(&salida);
        QTextStream err(&errores);
        return ejecutarLote(args, base(), out, err);
    }

    TempDir dir;
    std::unique_ptr<TMD> md = std::make_unique<TMD>(dir.file(QStringLiteral("Quorvel.abs")));
    fixture::Ejemplo e;
    QString salida;
    QString errores;
};

void escribir(const QString& ruta, const QByteArray& contenido)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenido);
}

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(PlanFestivosLoteTest, WritesThePlanIntoTheSettingsFolderAndTouchesNothingElse)
{
    QDir().mkpath(carpeta());
    const QString hoja = QDir(carpeta()).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro));
    escribir(hoja, "%PDF-1.4 hoja de otro proceso");
    escribir(QDir(carpeta()).filePath(QStringLiteral("notas.txt")), "no tocar");

    ASSERT_EQ(lote({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QString::number(e.empresa1),
                    QStringLiteral("--mes"), QStringLiteral("201905"), QStringLiteral("--base"), base()}),
              0)
        << errores.toStdString();
    const QString fichero = QDir(carpeta()).filePath(QStringLiteral("PlanFestivos_%1_201905.pdf").arg(e.empresa1));
    EXPECT_EQ(salida, QStringLiteral("PDF: ") + fichero + u'\n');
    EXPECT_EQ(
        QDir(carpeta()).entryList(QDir::Files, QDir::Name),
        (QStringList{QStringLiteral("PlanFestivos_%1_201905.pdf").arg(e.empresa1),
                     QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro), QStringLiteral("notas.txt")}));
    EXPECT_EQ(leer(hoja), QByteArray("%PDF-1.4 hoja de otro proceso"));
    EXPECT_EQ(poppler::paginas(fichero), 1);
    const QString texto = poppler::texto(fichero);
    EXPECT_TRUE(texto.contains(QStringLiteral("mayo / 2019")));
    EXPECT_TRUE(texto.contains(QStringLiteral("03 - TIENDA ÑORA")));
    if (const QString capturas = qEnvironmentVariable("QUORVEL_CAPTURAS"); !capturas.isEmpty())
        QFile::copy(fichero, QDir(capturas).filePath(QStringLiteral("plan-festivos.pdf")));
}

TEST_F(PlanFestivosLoteTest, AnUnreadableCentreIsLeftOutNamedAndTheBatchDoesNotSucceed)
{
    {
        store::Database db(base());
        db.prepare(QStringLiteral("UPDATE centros SET sabados = 'SI' WHERE id = ?")).bind(1, e.oficinas.id).run();
    }
    EXPECT_EQ(lote({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QString::number(e.empresa1),
                    QStringLiteral("--mes"), QStringLiteral("201905"), QStringLiteral("--base"), base()}),
              1);
    EXPECT_TRUE(errores.contains(QStringLiteral("Centro: %1 - OFICINAS CASTELLANA  no impreso: el campo 'sabados' "
                                                "vale «SI», que no es 0 ni 1\n")
                                     .arg(e.oficinas.codcentro)))
        << errores.toStdString();
    const QString texto =
        poppler::texto(QDir(carpeta()).filePath(QStringLiteral("PlanFestivos_%1_201905.pdf").arg(e.empresa1)));
    EXPECT_TRUE(texto.contains(QStringLiteral("03 - TIENDA ÑORA")));
    EXPECT_FALSE(texto.contains(QStringLiteral("OFICINAS")));
}

TEST_F(PlanFestivosLoteTest, AnotherFolderIsCreatedAndBadRequestsAreRefusedWithTheirStatus)
{
    const QString otra = dir.file(QStringLiteral("planes/2024"));
    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa=%1").arg(e.empresa2),
                         QStringLiteral("--mes=202402"), QStringLiteral("--carpeta"), otra}),
              0)
        << errores.toStdString();
    EXPECT_TRUE(QFile::exists(QDir(otra).filePath(QStringLiteral("PlanFestivos_%1_202402.pdf").arg(e.empresa2))));
    EXPECT_FALSE(QDir(carpeta()).exists()) << "the settings folder is not needed";

    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QStringLiteral("99"),
                         QStringLiteral("--mes"), QStringLiteral("201905")}),
              3);
    EXPECT_EQ(errores, QStringLiteral("No existe la empresa 99.\n"));
    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QStringLiteral("1"),
                         QStringLiteral("--mes"), QStringLiteral("201913")}),
              2);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("El mes de --mes debe tener la forma AAAAMM")));
    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--mes"), QStringLiteral("201905")}), 2);
    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QStringLiteral("1"),
                         QStringLiteral("--mes"), QStringLiteral("201905"), QStringLiteral("--centro"),
                         QStringLiteral("0101")}),
              2);
    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QStringLiteral("1"),
                         QStringLiteral("--mes"), QStringLiteral("201905"), QStringLiteral("--base"),
                         dir.file(QStringLiteral("no-existe.abs"))}),
              3);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("no-existe.abs"))));

    EXPECT_EQ(enProceso({QStringLiteral("--plan-festivos"), QStringLiteral("--help")}), 0);
    EXPECT_TRUE(salida.startsWith(QStringLiteral("Uso: quorvel-lote --plan-festivos --empresa ID --mes AAAAMM")));
}

TEST_F(PlanFestivosLoteTest, TwoPlansAtOnceEachListOnlyTheirOwnCentres)
{
    std::vector<std::unique_ptr<QProcess>> procesos;
    for (const qint64 empresa : {e.empresa1, e.empresa2, e.empresa1, e.empresa2}) {
        auto& p = procesos.emplace_back(std::make_unique<QProcess>());
        const QString carpetaPropia = dir.file(QStringLiteral("p%1").arg(procesos.size()));
        p->start(QStringLiteral(QUORVEL_LOTE),
                 {QStringLiteral("--plan-festivos"), QStringLiteral("--empresa"), QString::number(empresa),
                  QStringLiteral("--mes"), QStringLiteral("201905"), QStringLiteral("--base"), base(),
                  QStringLiteral("--carpeta"), carpetaPropia});
    }
    for (std::size_t i = 0; i < procesos.size(); ++i) {
        QProcess& p = *procesos[i];
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const qint64 empresa = i % 2 == 0 ? e.empresa1 : e.empresa2;
        const QString texto = poppler::texto(
            QDir(dir.file(QStringLiteral("p%1").arg(i + 1))).filePath(plan::nombreFichero(empresa, QDate(2019, 5, 1))));
        EXPECT_EQ(texto.contains(QStringLiteral("Almacén sur")), empresa == e.empresa1) << i;
        EXPECT_EQ(texto.contains(QStringLiteral("OBRADOR")), empresa == e.empresa2) << i;
    }
}
