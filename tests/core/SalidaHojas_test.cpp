#include "base/TextHelpers.h"
#include "data/TMD.h"
#include "masterdata/Maestros.h"
#include "reports/Report.h"
#include "sheets/Listado.h"
#include "sheets/SalidaHojas.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/SalidaPruebas.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class SalidaTest : public ::testing::Test
{
protected:
    void SetUp() override { e = fixture::crearEjemplo(db()); }
    store::Database& db() { return md.Quorvel(); }

    // One centre of company 1, every worker, May 2019, PDF.
    PeticionSalida peticion(const fixture::Centro& centro)
    {
        PeticionSalida p;
        p.centros = entradasCentros(db(), e.empresa1, nullptr, &p.idsCentros);
        p.idempresa = e.empresa1;
        in.centros = p.centros;
        p.centroSeleccionado =
            int(p.centros.indexOf(QRegularExpression(QStringLiteral("%1 .*").arg(centro.codcentro))));
        p.trabajadores = in.trabajadoresDe(centro.codcentro);
        p.trabajadorSeleccionado = p.trabajadores.isEmpty() ? -1 : 0;
        p.todosTrabajadores = true;
        p.mesInicio = p.mesFin = QDate(2019, 5, 1);
        p.opciones = {true, true, true, false, false, true};
        p.rutaPdf = carpeta();
        return p;
    }

    QString carpeta() const { return dir.file(QStringLiteral("PDF")); }
    QStringList ficheros() const { return QDir(carpeta()).entryList(QDir::Files, QDir::Name); }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    InteraccionPruebas in{md.Quorvel()};
};

TEST_F(SalidaTest, FileNamesForOneMonthAndARange)
{
    EXPECT_EQ(nombrePdf(QStringLiteral("0102"), QDate(2019, 5, 1), QDate(2019, 5, 31)),
              QStringLiteral("Quorvel_0102_201905.pdf"));
    EXPECT_EQ(nombrePdf(QStringLiteral("0102"), QDate(2019, 5, 1), QDate(2019, 7, 1)),
              QStringLiteral("Quorvel_0102_201905-201907.pdf"));
    EXPECT_EQ(nombrePdf(QStringLiteral("blanco"), QDate(2019, 5, 1), QDate(2019, 7, 1)),
              QStringLiteral("Quorvel_blanco_201905.pdf"));
}

TEST_F(SalidaTest, FolderIsCreatedAndOnlyOurFilesDeleted)
{
    const QString sub = dir.file(QStringLiteral("a/b"));
    CreaCarpetayBorraArchivos(sub); // one level only: the parent is missing
    EXPECT_FALSE(QDir(sub).exists());

    QDir().mkpath(carpeta());
    for (const char* nombre : {"Quorvel_0101_201905.pdf", "Quorvel_blanco_201901.pdf", "nomina.pdf",
                               "Quorvel_0101_201905.txt", "Otro_0101.pdf"}) {
        QFile f(QDir(carpeta()).filePath(QString::fromLatin1(nombre)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    CreaCarpetayBorraArchivos(carpeta());
    EXPECT_EQ(ficheros(), (QStringList{QStringLiteral("Otro_0101.pdf"), QStringLiteral("Quorvel_0101_201905.txt"),
                                       QStringLiteral("nomina.pdf")}));
    const QString nueva = dir.file(QStringLiteral("nueva"));
    CreaCarpetayBorraArchivos(nueva);
    EXPECT_TRUE(QDir(nueva).exists());
}

TEST_F(SalidaTest, OneCentrePdfRunWritesOneFileWithASheetPerRow)
{
    auto p = peticion(e.almacen);
    p.mesFin = QDate(2019, 7, 1);
    const auto r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Terminada);
    EXPECT_EQ(r.correoHabilitado, true);
    EXPECT_TRUE(r.abrirCarpeta);
    EXPECT_TRUE(r.log.isEmpty());
    EXPECT_TRUE(in.mensajes.isEmpty());
    const QString nombre = QStringLiteral("Quorvel_%1_201905-201907.pdf").arg(e.almacen.codcentro);
    EXPECT_EQ(ficheros(), QStringList{nombre});
    EXPECT_EQ(poppler::paginas(QDir(carpeta()).filePath(nombre)), 3 * p.trabajadores.size());
    EXPECT_EQ(int(leerListado(db()).size()), 3 * p.trabajadores.size());
}

TEST_F(SalidaTest, SelectedWorkerOnly)
{
    auto p = peticion(e.almacen);
    p.todosTrabajadores = false;
    p.trabajadorSeleccionado = 1;
    GenerarFicheroImprimir(db(), p, in);
    const QString pdf = QDir(carpeta()).filePath(ficheros().value(0));
    EXPECT_EQ(poppler::paginas(pdf), 1);
    EXPECT_TRUE(poppler::texto(pdf).contains(p.trabajadores[1].section(QStringLiteral(" - "), 1)));
}

TEST_F(SalidaTest, AllCentresLogsTheCentreWithoutWorkers)
{
    auto p = peticion(e.almacen);
    p.todosCentros = true;
    const auto r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(in.centrosEnCurso, (QStringList{e.almacen.codcentro, e.oficinas.codcentro, e.tiendaVacia.codcentro}));
    EXPECT_EQ(r.log, (QStringList{QStringLiteral("Centro: %1  no tiene trabajadores").arg(e.tiendaVacia.codcentro),
                                  QStringLiteral("----------------------------------"),
                                  QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»")}));
    EXPECT_EQ(ficheros(), (QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro),
                                       QStringLiteral("Quorvel_%1_201905.pdf").arg(e.oficinas.codcentro)}));
    EXPECT_EQ(r.correoHabilitado, true);
}

TEST_F(SalidaTest, StopRequestBetweenCentres)
{
    auto p = peticion(e.almacen);
    p.todosCentros = true;
    const auto completa = GenerarFicheroImprimir(db(), p, in);
    ASSERT_EQ(completa.ficheros.size(), 2);

    // The stop arrives once the first centre has rows: that centre completes, no other centre starts.
    in.centrosEnCurso.clear();
    in.pararCuando = [&] { return !in.centrosEnCurso.isEmpty() && leerListado(db()).size() > 0; };
    const auto r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Interrumpida);
    EXPECT_FALSE(r.correoHabilitado.has_value());
    EXPECT_EQ(in.centrosEnCurso, QStringList{e.almacen.codcentro});
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral("Se ha interrumpido el proceso de impresión")});
    // Only the rows already built were printed: one worker, one month.
    EXPECT_EQ(ficheros(), QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro)});
    EXPECT_EQ(poppler::paginas(QDir(carpeta()).filePath(ficheros().value(0))), 1);
}

TEST_F(SalidaTest, RefusalsTouchNothing)
{
    QDir().mkpath(carpeta());
    QFile viejo(QDir(carpeta()).filePath(QStringLiteral("Quorvel_0101_201901.pdf")));
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.close();

    auto p = peticion(e.tiendaVacia);
    auto r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Rechazada);
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral("No hay trabajadores en este centro")});
    EXPECT_EQ(ficheros(), QStringList{QStringLiteral("Quorvel_0101_201901.pdf")});

    in.mensajes.clear();
    p = peticion(e.almacen);
    p.rutaPdf = QStringLiteral("  ");
    r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Rechazada);
    EXPECT_EQ(in.mensajes, QStringList{kTextoSinCarpeta});
    EXPECT_FALSE(r.correoHabilitado.has_value());
    r = HojaBlanco(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Rechazada);
}

TEST_F(SalidaTest, PreviewAndPrinterRunsStillEmptyTheFolder)
{
    GenerarFicheroImprimir(db(), peticion(e.almacen), in);
    ASSERT_EQ(ficheros().size(), 1);
    auto p = peticion(e.oficinas);
    p.modo = ModoSalida::Previsualizar;
    const auto r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_TRUE(ficheros().isEmpty());
    EXPECT_EQ(in.impresiones, QList<ModoSalida>{ModoSalida::Previsualizar});
    EXPECT_EQ(r.correoHabilitado, false);
    EXPECT_FALSE(r.abrirCarpeta);
    p.modo = ModoSalida::Impresora;
    GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(in.impresiones.last(), ModoSalida::Impresora);
}

TEST_F(SalidaTest, WithoutAFolderSettingPreviewAndPrinterRunsDeleteNothingWhereTheyStand)
{
    // An empty folder setting is "no folder", not the current one: these files are not the run's to delete.
    const QString aqui = dir.file(QStringLiteral("aqui"));
    const QStringList nuestros{QStringLiteral("Quorvel_0101_201801.pdf"), QStringLiteral("Quorvel_blanco_201801.pdf")};
    QDir().mkpath(aqui);
    for (const QString& nombre : nuestros) {
        QFile f(QDir(aqui).filePath(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString antes = QDir::currentPath();
    QDir::setCurrent(aqui);
    auto p = peticion(e.almacen);
    p.rutaPdf.clear();
    for (const ModoSalida modo : {ModoSalida::Previsualizar, ModoSalida::Impresora}) {
        p.modo = modo;
        EXPECT_EQ(GenerarFicheroImprimir(db(), p, in).estado, ResultadoSalida::Estado::Terminada);
        EXPECT_EQ(HojaBlanco(db(), p, in).estado, ResultadoSalida::Estado::Terminada);
    }
    QDir::setCurrent(antes);
    EXPECT_EQ(in.impresiones.size(), 4);
    EXPECT_EQ(QDir(aqui).entryList(QDir::Files, QDir::Name), nuestros);
}

TEST_F(SalidaTest, EachCentreFollowsItsOwnCalendarAndClosedDaysOnlyWhenAsked)
{
    auto p = peticion(e.almacen);
    p.todosCentros = true;
    p.opciones = {true, false, false, true, false, true}; // the window shades Saturdays alone
    const auto grises = [&](const fixture::Centro& centro) {
        return poppler::diasGrises(
            QDir(carpeta()).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(centro.codcentro)));
    };
    GenerarFicheroImprimir(db(), p, in);
    // May 2019: the 1st is a national holiday; the Madrid calendar adds the 2nd and 15th and opens Sunday 19.
    EXPECT_EQ(grises(e.almacen), (QList<int>{1, 4, 5, 11, 12, 18, 19, 25, 26}));
    EXPECT_EQ(grises(e.oficinas), (QList<int>{1, 2, 5, 12, 15, 26})) << "open on Saturdays, its own calendar";

    p.opciones.autocentros = false;
    GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(grises(e.almacen), (QList<int>{4, 11, 18, 25}));
    EXPECT_EQ(grises(e.oficinas), (QList<int>{4, 11, 18, 25}));

    // The template has no centre: the window's switches and the base calendar, whatever the option.
    p.opciones.autocentros = true;
    HojaBlanco(db(), p, in);
    EXPECT_EQ(poppler::diasGrises(QDir(carpeta()).filePath(QStringLiteral("Quorvel_blanco_201905.pdf"))),
              (QList<int>{4, 11, 18, 25}));
    EXPECT_TRUE(in.mensajes.isEmpty()) << in.mensajes.join(u'|').toStdString();
}

TEST_F(SalidaTest, UnreadableCentreRowsAreNamedInTheLogAndTheOtherCentresPrint)
{
    // Rows written by other tools: empty closed-day flags read as "not closed"; an empty calendar or a flag
    // that is neither 0 nor 1 cannot be read, and the run says so instead of stopping or guessing.
    const auto sinCierres = fixture::centro(db(), e.empresa1, QStringLiteral("08"), QStringLiteral("SIN CIERRES"));
    const auto sinCalendario =
        fixture::centro(db(), e.empresa1, QStringLiteral("10"), QStringLiteral("SIN CALENDARIO"));
    const auto cierreRaro = fixture::centro(db(), e.empresa1, QStringLiteral("11"), QStringLiteral("CIERRE RARO"));
    db().prepare(QStringLiteral("UPDATE centros SET sabados = NULL, domingos = NULL, festivos = NULL WHERE id = ?"))
        .bind(1, sinCierres.id)
        .run();
    db().prepare(QStringLiteral("UPDATE centros SET calendario = NULL WHERE id = ?")).bind(1, sinCalendario.id).run();
    db().prepare(QStringLiteral("UPDATE centros SET sabados = 'X' WHERE id = ?")).bind(1, cierreRaro.id).run();
    for (const auto& c : {sinCierres, sinCalendario, cierreRaro})
        fixture::asignar(db(), e.trabajadores[1], c.codcentro);

    auto p = peticion(e.almacen);
    p.todosCentros = true;
    p.opciones.autocentros = true;
    ResultadoSalida r;
    ASSERT_NO_THROW(r = GenerarFicheroImprimir(db(), p, in));
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Incompleta);
    EXPECT_EQ(r.log, (QStringList{QStringLiteral("Centro: %1  no tiene trabajadores").arg(e.tiendaVacia.codcentro),
                                  QStringLiteral("Centro: %1 - SIN CALENDARIO  no impreso: el campo 'calendario' "
                                                 "está vacío")
                                      .arg(sinCalendario.codcentro),
                                  QStringLiteral("Centro: %1 - CIERRE RARO  no impreso: el campo 'sabados' vale «X», "
                                                 "que no es 0 ni 1")
                                      .arg(cierreRaro.codcentro),
                                  kSeparadorLog, kCierreLog}));
    EXPECT_TRUE(in.mensajes.isEmpty()) << in.mensajes.join(u'|').toStdString();
    const QString pdfSinCierres =
        QDir(carpeta()).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(sinCierres.codcentro));
    EXPECT_EQ(ficheros(), (QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro),
                                       QStringLiteral("Quorvel_%1_201905.pdf").arg(e.oficinas.codcentro),
                                       QFileInfo(pdfSinCierres).fileName()}));
    EXPECT_EQ(poppler::diasGrises(pdfSinCierres), QList<int>{}) << "no closed day is known";

    // A centre without a company still prints, with the company fields empty and one message.
    const auto sinEmpresa = fixture::centro(db(), e.empresa1, QStringLiteral("09"), QStringLiteral("SIN EMPRESA"));
    db().prepare(QStringLiteral("UPDATE centros SET idempresa = NULL WHERE id = ?")).bind(1, sinEmpresa.id).run();
    fixture::asignar(db(), e.trabajadores[2], sinEmpresa.codcentro);
    p = peticion(e.almacen);
    p.centros = QStringList{sinEmpresa.codcentro + QStringLiteral(" - SIN EMPRESA")};
    p.idsCentros = {sinEmpresa.id};
    p.centroSeleccionado = 0;
    p.trabajadores = in.trabajadoresDe(sinEmpresa.codcentro);
    in.mensajes.clear();
    ASSERT_NO_THROW(r = GenerarFicheroImprimir(db(), p, in));
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Terminada);
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral("error empresa no encontrada")});
    ASSERT_EQ(r.ficheros.size(), 1);
    EXPECT_TRUE(poppler::texto(r.ficheros[0]).contains(QStringLiteral("SIN EMPRESA")));
}

// Another copy changes the centres while the run goes over them: the second connection acts when the run
// reaches the first centre, so the interleaving is the same every time.
TEST_F(SalidaTest, ACentreRecodedOrDeletedByAnotherCopyDuringTheRun)
{
    store::Database otra(db().path());
    auto p = peticion(e.almacen);
    p.todosCentros = true;
    const int hojasOficinas = int(in.trabajadoresDe(e.oficinas.codcentro).size());

    in.alCentro = [&](const QString& codigo) {
        if (codigo != e.almacen.codcentro)
            return;
        auto centro = maestros::leerCentro(otra, e.oficinas.id);
        ASSERT_TRUE(centro.has_value());
        centro->codcentro2 = QStringLiteral("09");
        centro->codcentro = maestros::codigoCentro(QString::number(e.empresa1), centro->codcentro2);
        maestros::grabarCentro(otra, *centro);
    };
    auto r = GenerarFicheroImprimir(db(), p, in);
    const QString nuevo = CerosIzquierda(e.empresa1, 2) + QStringLiteral("09");
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Terminada);
    EXPECT_EQ(r.log, (QStringList{QStringLiteral("Centro: %1  no tiene trabajadores").arg(e.tiendaVacia.codcentro),
                                  kSeparadorLog, kCierreLog}));
    ASSERT_EQ(ficheros(), (QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro),
                                       QStringLiteral("Quorvel_%1_201905.pdf").arg(nuevo)}))
        << "the recoded centre is printed under its new code";
    EXPECT_EQ(poppler::paginas(QDir(carpeta()).filePath(ficheros().at(1))), hojasOficinas);

    // Deleted before its turn: nothing to print, and the run does not say it went well.
    in.alCentro = [&](const QString& codigo) {
        if (codigo == e.almacen.codcentro)
            maestros::borrarCentro(otra, e.oficinas.id, nuevo);
    };
    r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Incompleta);
    EXPECT_TRUE(r.log.contains(QStringLiteral("Centro: %1 - OFICINAS CASTELLANA  no impreso: ya no existe (otra "
                                              "copia del programa lo ha borrado)")
                                   .arg(nuevo)))
        << r.log.join(u'|').toStdString();
    EXPECT_EQ(ficheros(), QStringList{QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro)});
}

namespace {

// A PDF as bytes, without what differs between two writes of the same pages: the dates and, in newer Qt (6.8),
// the random id Qt gives each document (in the metadata and the trailer).
QByteArray sinFecha(const QString& pdf)
{
    QFile f(pdf);
    f.open(QIODevice::ReadOnly);
    QByteArray bytes = f.readAll();
    static const QRegularExpression variable(
        QStringLiteral("/(CreationDate|ModDate) \\(D:[^)]*\\)|xmp:(CreateDate|ModifyDate|MetadataDate)=\"[^\"]*\"|"
                       "uuid:[0-9a-f-]{36}|/ID \\[ <[0-9a-f]*> <[0-9a-f]*> \\]"));
    return QString::fromLatin1(bytes).remove(variable).toLatin1();
}

} // namespace

TEST_F(SalidaTest, CentresWrittenAtOnceGiveTheSameFilesAsOneAtATime)
{
    // More centres than workers, so each worker writes several, and a range so each file has many pages.
    for (int c = 4; c <= 7; ++c) {
        const auto centro = fixture::centro(db(), e.empresa1, QStringLiteral("0%1").arg(c),
                                            QStringLiteral("CENTRO %1").arg(c), c % 2 ? e.calendarioMadrid : 0);
        for (int t = 0; t < c; ++t)
            fixture::asignar(db(), e.trabajadores[std::size_t(t)], centro.codcentro);
    }
    auto p = peticion(e.almacen);
    p.todosCentros = true;
    p.opciones.autocentros = true;
    p.mesFin = QDate(2019, 7, 1);
    const QString uno = dir.file(QStringLiteral("uno"));
    const QString dos = dir.file(QStringLiteral("dos"));
    p.rutaPdf = uno;
    p.hilos = 1;
    const auto r1 = GenerarFicheroImprimir(db(), p, in);
    const QStringList enCurso1 = in.centrosEnCurso;
    in.centrosEnCurso.clear();
    p.rutaPdf = dos;
    p.hilos = 3;
    const auto r2 = GenerarFicheroImprimir(db(), p, in);

    EXPECT_EQ(r2.estado, r1.estado);
    EXPECT_EQ(r2.log, r1.log) << "the log keeps the centres' order";
    EXPECT_EQ(in.centrosEnCurso, enCurso1);
    EXPECT_EQ(in.mensajes, QStringList{});
    const QStringList nombres = QDir(uno).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(nombres.size(), 6);
    ASSERT_EQ(QDir(dos).entryList(QDir::Files | QDir::Hidden, QDir::Name), nombres) << "nothing half-written left";
    QStringList ficheros1, ficheros2;
    for (const QString& nombre : nombres) {
        ficheros1 << QDir(uno).filePath(nombre);
        ficheros2 << QDir(dos).filePath(nombre);
    }
    EXPECT_EQ(r1.ficheros, ficheros1);
    EXPECT_EQ(r2.ficheros, ficheros2) << "files reported in centre order";
    for (const QString& nombre : nombres) {
        const QString a = QDir(uno).filePath(nombre);
        const QString b = QDir(dos).filePath(nombre);
        EXPECT_EQ(poppler::texto(a), poppler::texto(b)) << nombre.toStdString();
        const int paginas = poppler::paginas(a);
        EXPECT_EQ(poppler::paginas(b), paginas);
        for (int pagina = 1; pagina <= paginas; ++pagina) {
            const auto pa = poppler::palabras(a, pagina);
            const auto pb = poppler::palabras(b, pagina);
            ASSERT_EQ(pa.size(), pb.size()) << nombre.toStdString() << " page " << pagina;
            for (std::size_t i = 0; i < pa.size(); ++i) {
                EXPECT_EQ(pa[i].texto, pb[i].texto);
                EXPECT_DOUBLE_EQ(pa[i].x, pb[i].x);
                EXPECT_DOUBLE_EQ(pa[i].y, pb[i].y);
                EXPECT_DOUBLE_EQ(pa[i].x2, pb[i].x2);
            }
            EXPECT_EQ(poppler::diasGrises(a, pagina), poppler::diasGrises(b, pagina));
        }
        EXPECT_TRUE(sinFecha(a) == sinFecha(b)) << nombre.toStdString() << ": same bytes but the creation date";
    }
}

TEST_F(SalidaTest, StopDuringAParallelRunLeavesOnlyWholeFiles)
{
    for (int c = 4; c <= 9; ++c) {
        const auto centro =
            fixture::centro(db(), e.empresa1, QStringLiteral("0%1").arg(c), QStringLiteral("CENTRO %1").arg(c));
        for (int t = 0; t < 8; ++t)
            fixture::asignar(db(), e.trabajadores[std::size_t(t)], centro.codcentro);
    }
    auto p = peticion(e.almacen);
    p.todosCentros = true;
    p.mesFin = QDate(2019, 8, 1);
    p.hilos = 2;
    in.pararCuando = [&] { return !in.centrosEnCurso.isEmpty(); };
    const auto r = GenerarFicheroImprimir(db(), p, in);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Interrumpida);
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral("Se ha interrumpido el proceso de impresión")});
    const QStringList escritos = QDir(carpeta()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_GE(escritos.size(), 1);
    EXPECT_LT(escritos.size(), 8) << "centres not started when Escape came are not written";
    EXPECT_EQ(r.ficheros.size(), escritos.size());
    for (const QString& fichero : r.ficheros) {
        const QString codigo = QFileInfo(fichero).fileName().section(u'_', 1, 1);
        EXPECT_EQ(poppler::paginas(fichero), 4 * in.trabajadoresDe(codigo).size()) << fichero.toStdString();
    }
}

TEST_F(SalidaTest, BlankTemplateOfTheStartMonth)
{
    auto p = peticion(e.almacen);
    p.mesFin = QDate(2019, 8, 1);
    const auto r = HojaBlanco(db(), p, in);
    EXPECT_EQ(ficheros(), QStringList{QStringLiteral("Quorvel_blanco_201905.pdf")});
    EXPECT_FALSE(r.correoHabilitado.has_value());
    const QString pdf = QDir(carpeta()).filePath(ficheros().value(0));
    EXPECT_EQ(poppler::paginas(pdf), 1);
    const QString texto = poppler::texto(pdf);
    EXPECT_TRUE(texto.contains(QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO.")));
    EXPECT_FALSE(texto.contains(QStringLiteral("TIEMPO")));
    EXPECT_TRUE(texto.contains(QStringLiteral("MAYO - 2019")));
}

TEST_F(SalidaTest, UnwritablePdfEndsTheRunNamingTheFile)
{
    auto p = peticion(e.almacen);
    QDir().mkpath(carpeta());
    // A folder where the file should go makes it unwritable, even for root; the run deletes files only.
    const QString nombre = QStringLiteral("Quorvel_%1_201905.pdf").arg(e.almacen.codcentro);
    QDir().mkdir(QDir(carpeta()).filePath(nombre));
    try {
        GenerarFicheroImprimir(db(), p, in);
        FAIL() << "expected an error";
    } catch (const reports::ReportError& error) {
        EXPECT_TRUE(error.message().contains(nombre)) << error.message().toStdString();
    }
}

} // namespace
