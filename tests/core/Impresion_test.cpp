// Printer mode against a real CUPS scheduler that each test starts for itself.
#include "data/TMD.h"
#include "reports/PrintQueue.h"
#include "sheets/SalidaHojas.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/SalidaPruebas.h"
#include "support/ServidorCups.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kSeparador = QString(34, u'-');
const QString kCierre = QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»");

class ImpresionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cups.exigir();
        if (IsSkipped() || HasFatalFailure())
            return;
        e = fixture::crearEjemplo(md.Quorvel());
        in.impresoraReal = true;
    }

    // Company 1 in May 2019 on the printer: 0101 and 0102 have workers, 0103 has none.
    PeticionSalida peticion(bool todos)
    {
        PeticionSalida p;
        p.centros = in.centrosDe(e.empresa1);
        p.idempresa = e.empresa1;
        in.centros = p.centros;
        p.centroSeleccionado = 0;
        p.todosCentros = todos;
        p.trabajadores = in.trabajadoresDe(e.almacen.codcentro);
        p.trabajadorSeleccionado = 0;
        p.todosTrabajadores = true;
        p.mesInicio = p.mesFin = QDate(2019, 5, 1);
        p.opciones = {true, true, true, false, true, true};
        p.modo = ModoSalida::Impresora;
        p.rutaPdf = dir.file(QStringLiteral("PDF"));
        return p;
    }

    ResultadoSalida ejecutar(bool todos) { return GenerarFicheroImprimir(md.Quorvel(), peticion(todos), in); }

    QStringList titulos() const
    {
        QStringList t;
        for (const auto& j : cups.trabajos())
            t << j.titulo;
        return t;
    }

    int trabajadores(const fixture::Centro& c) { return int(in.trabajadoresDe(c.codcentro).size()); }

    ServidorCups cups;
    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    InteraccionPruebas in{md.Quorvel()};
};

QString info(const QString& pdf)
{
    return poppler::run(QStringLiteral("pdfinfo"), {pdf});
}

TEST_F(ImpresionTest, EachCentreIsOneA4JobNamedAfterItsPdf)
{
    ASSERT_TRUE(cups.crearCola(QStringLiteral("Oficina"))) << cups.ultimoError().toStdString();

    auto r = ejecutar(false);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Terminada);
    EXPECT_TRUE(in.mensajes.isEmpty()) << in.mensajes.join(u'|').toStdString();
    EXPECT_EQ(titulos(), QStringList{QStringLiteral("Quorvel_0101_201905")});

    r = ejecutar(true);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Terminada);
    EXPECT_TRUE(in.mensajes.isEmpty()) << in.mensajes.join(u'|').toStdString();
    EXPECT_EQ(r.log, QStringList({QStringLiteral("Centro: 0103  no tiene trabajadores"), kSeparador, kCierre}));
    EXPECT_EQ(titulos(), QStringList({QStringLiteral("Quorvel_0101_201905"), QStringLiteral("Quorvel_0101_201905"),
                                      QStringLiteral("Quorvel_0102_201905")}));

    ASSERT_TRUE(cups.esperarTrabajos());
    const auto jobs = cups.trabajos();
    const int hojas[] = {trabajadores(e.almacen), trabajadores(e.almacen), trabajadores(e.oficinas)};
    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(jobs[i].estado, IPP_JSTATE_COMPLETED) << jobs[i].titulo.toStdString();
        const QString doc = cups.documento(jobs[i].id);
        EXPECT_EQ(poppler::paginas(doc), hojas[i]) << "one sheet per worker";
        const QString datos = info(doc);
        EXPECT_TRUE(datos.contains(QRegularExpression(QStringLiteral("Page size:.*\\(A4\\)")))) << datos.toStdString();
        EXPECT_TRUE(datos.contains(QRegularExpression(QStringLiteral("Creator:\\s+Quorvel\\n"))));
    }
    // The printed sheet is the PDF mode's sheet, to the tenth of a millimetre.
    auto pdf = peticion(false);
    pdf.modo = ModoSalida::Pdf;
    ASSERT_EQ(GenerarFicheroImprimir(md.Quorvel(), pdf, in).ficheros.size(), 1);
    const auto enPdf = poppler::palabras(QDir(pdf.rutaPdf).filePath(QStringLiteral("Quorvel_0101_201905.pdf")), 2);
    const auto impresas = poppler::palabras(cups.documento(jobs[0].id), 2);
    ASSERT_EQ(impresas.size(), enPdf.size());
    ASSERT_FALSE(enPdf.empty());
    for (size_t i = 0; i < enPdf.size(); ++i) {
        EXPECT_EQ(impresas[i].texto, enPdf[i].texto);
        EXPECT_NEAR(impresas[i].x, enPdf[i].x, 0.1) << enPdf[i].texto.toStdString();
        EXPECT_NEAR(impresas[i].y, enPdf[i].y, 0.1) << enPdf[i].texto.toStdString();
    }
    // The queue's device got the same sheet, on A4, title line first.
    const QString salida = cups.impreso(QStringLiteral("Oficina"));
    EXPECT_TRUE(info(salida).contains(QStringLiteral("(A4)")));
    EXPECT_TRUE(poppler::texto(salida, 1).contains(QStringLiteral("MAYO - 2019")));
}

TEST_F(ImpresionTest, RefusedJobsAreToldLoggedAndTheRunIsNotASuccess)
{
    ASSERT_TRUE(cups.crearCola(QStringLiteral("Oficina")));
    ASSERT_TRUE(cups.orden(QStringLiteral("cupsreject"), {QStringLiteral("Oficina")}));
    EXPECT_FALSE(reports::defaultPrinterStatus().accepting);

    const auto r = ejecutar(true);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Incompleta);
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral(
                               "No se han impreso las hojas del centro 0101: la impresora \"Oficina\" no admite "
                               "trabajos. Los centros que no se han impreso quedan anotados en la lista.")});
    EXPECT_EQ(r.log,
              QStringList({QStringLiteral("Centro: 0101  no impreso: la impresora \"Oficina\" no admite trabajos"),
                           QStringLiteral("Centro: 0102  no impreso: la impresora \"Oficina\" no admite trabajos"),
                           QStringLiteral("Centro: 0103  no tiene trabajadores"), kSeparador, kCierre}));
    EXPECT_TRUE(cups.trabajos().empty());

    // Once the queue takes jobs again, so does the next run.
    in.mensajes.clear();
    ASSERT_TRUE(cups.orden(QStringLiteral("cupsaccept"), {QStringLiteral("Oficina")}));
    EXPECT_EQ(ejecutar(false).estado, ResultadoSalida::Estado::Terminada);
    EXPECT_TRUE(in.mensajes.isEmpty());
    EXPECT_EQ(cups.trabajos().size(), 1u);
}

TEST_F(ImpresionTest, PausedPrinterHoldsTheJobsAndIsToldOncePerRun)
{
    ASSERT_TRUE(cups.crearCola(QStringLiteral("Oficina")));
    ASSERT_TRUE(cups.orden(QStringLiteral("cupsdisable"), {QStringLiteral("Oficina")}));
    EXPECT_TRUE(reports::defaultPrinterStatus().paused);

    const auto r = ejecutar(true);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Terminada);
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral("La impresora \"Oficina\" está en pausa: las hojas quedan en su "
                                                      "cola y no saldrán hasta que se reanude.")});
    const auto jobs = cups.trabajos();
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& j : jobs)
        EXPECT_EQ(j.estado, IPP_JSTATE_PENDING);

    ASSERT_TRUE(cups.orden(QStringLiteral("cupsenable"), {QStringLiteral("Oficina")}));
    EXPECT_TRUE(cups.esperarTrabajos()) << "the held sheets come out once the printer is resumed";
}

TEST_F(ImpresionTest, LetterQueuesNeverCutTheSheet)
{
    // Letter by default but A4 on offer: the sheet comes out on A4.
    ASSERT_TRUE(cups.crearCola(QStringLiteral("Carta"), QStringLiteral("Letter")));
    ASSERT_EQ(ejecutar(false).estado, ResultadoSalida::Estado::Terminada);
    ASSERT_TRUE(cups.esperarTrabajos());
    QString salida = cups.impreso(QStringLiteral("Carta"));
    EXPECT_TRUE(info(salida).contains(QStringLiteral("(A4)"))) << info(salida).toStdString();
    EXPECT_TRUE(poppler::texto(salida, 1).contains(QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO")));

    // Letter only: the whole sheet is scaled onto the Letter page, title line to signatures.
    ASSERT_TRUE(cups.crearCola(QStringLiteral("SoloCarta"), QStringLiteral("Letter"), false));
    EXPECT_FALSE(reports::defaultPrinterStatus().hasA4);
    ASSERT_EQ(ejecutar(false).estado, ResultadoSalida::Estado::Terminada);
    ASSERT_TRUE(cups.esperarTrabajos());
    salida = cups.impreso(QStringLiteral("SoloCarta"));
    EXPECT_TRUE(info(salida).contains(QStringLiteral("(letter)"))) << info(salida).toStdString();
    const auto palabras = poppler::palabras(salida, 1);
    const auto primera = [&](const QString& t) {
        for (const auto& p : palabras)
            if (p.texto == t)
                return p;
        ADD_FAILURE() << "no está " << t.toStdString();
        return poppler::Palabra{};
    };
    const auto titulo = primera(QStringLiteral("RESUMEN"));
    const auto empresa = primera(QStringLiteral("Empresa:"));
    EXPECT_GT(titulo.y, 0.0);
    EXPECT_LT(titulo.y, empresa.y);
    EXPECT_LT(primera(QStringLiteral("Firmado,")).y2, 279.4) << "the footer stays on the page";
    EXPECT_GE(empresa.x, 0.0);
}

TEST_F(ImpresionTest, StoppedServiceIsToldApartFromAMissingPrinter)
{
    reports::PrinterStatus estado = reports::defaultPrinterStatus();
    EXPECT_EQ(estado.service, reports::PrinterStatus::Service::Answers);
    EXPECT_TRUE(estado.printer.isEmpty());
    EXPECT_FALSE(estado.ready());

    ASSERT_TRUE(cups.crearCola(QStringLiteral("Oficina")));
    estado = reports::defaultPrinterStatus();
    EXPECT_TRUE(estado.ready());
    EXPECT_EQ(estado.printer, QStringLiteral("Oficina"));
    EXPECT_TRUE(estado.hasA4);
    EXPECT_FALSE(estado.paused);

    cups.parar();
    EXPECT_EQ(reports::defaultPrinterStatus().service, reports::PrinterStatus::Service::NoAnswer);
    // Gone in the middle of a run: said once, and the centres left are not tried against a silent service.
    const auto r = ejecutar(true);
    EXPECT_EQ(r.estado, ResultadoSalida::Estado::Incompleta);
    EXPECT_EQ(in.mensajes, QStringList{QStringLiteral(
                               "No se han impreso las hojas del centro 0101: el servicio de impresión no responde. "
                               "Los centros que no se han impreso quedan anotados en la lista.")});
    EXPECT_EQ(r.log, QStringList({QStringLiteral("Centro: 0101  no impreso: el servicio de impresión no responde"),
                                  QStringLiteral("Centro: 0102  no impreso: el servicio de impresión no responde"),
                                  QStringLiteral("Centro: 0103  no tiene trabajadores"), kSeparador, kCierre}));
}

} // namespace
