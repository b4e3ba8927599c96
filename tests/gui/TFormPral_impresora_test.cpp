// "Directo impresora" from the main window, printing through a CUPS scheduler the test starts itself.
#include "gui/PralPruebas.h"
#include "support/ServidorCups.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kSinServicio = QStringLiteral(
    "El servicio de impresión no responde: no se puede imprimir. Compruebe que está en marcha o elija \"Generar "
    "PDF\" en \"Seleccionar salida\" para obtener las hojas en ficheros PDF.");
const QString kSinImpresora = QStringLiteral(
    "No hay ninguna impresora predeterminada instalada. Elija \"Generar PDF\" en \"Seleccionar salida\" para "
    "obtener las hojas en ficheros PDF.");

class ImpresoraPralTest : public PralTest
{
protected:
    void SetUp() override
    {
        m_cups.exigir();
        if (IsSkipped() || HasFatalFailure())
            return;
        PralTest::SetUp();
        ajustar(QStringLiteral("impresora = 1, generarPDF = 0"));
        m_guion.impresoraReal = true;
    }

    void imprimir() { QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton); }
    QStringList log() { return control<QPlainTextEdit>("MemoError")->toPlainText().split(QLatin1Char('\n')); }

    ServidorCups m_cups;
};

TEST_F(ImpresoraPralTest, AStoppedServiceIsNotCalledAMissingPrinter)
{
    abrir(QDate(2019, 5, 15));
    ASSERT_TRUE(QDir().mkpath(m_rutaPdf));
    QFile viejo(QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0101_201904.pdf")));
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.close();

    imprimir();
    EXPECT_EQ(m_guion.mensajes, QStringList{kSinImpresora});

    m_cups.parar();
    imprimir();
    EXPECT_EQ(m_guion.mensajes, QStringList({kSinImpresora, kSinServicio}));
    EXPECT_TRUE(viejo.exists()) << "a run that cannot print leaves the folder alone";
    EXPECT_TRUE(m_guion.impresiones.isEmpty());
    EXPECT_FALSE(control<QPlainTextEdit>("MemoError")->isVisible());
}

TEST_F(ImpresoraPralTest, RefusedAndPausedPrinterAsTheClerkSeesThem)
{
    ASSERT_TRUE(m_cups.crearCola(QStringLiteral("Oficina"))) << m_cups.ultimoError().toStdString();
    ASSERT_TRUE(m_cups.orden(QStringLiteral("cupsreject"), {QStringLiteral("Oficina")}));
    // A folder as a user would have it, for the picture; printing does not need it.
    ajustar(QStringLiteral("RutaPDF = ?"), QStringLiteral("/home/gestoria/Quorvel/PDF"));
    abrir(QDate(2019, 5, 15));
    opcion("CKTodosCentros")->click();

    imprimir();
    EXPECT_EQ(m_guion.mensajes,
              QStringList{QStringLiteral("No se han impreso las hojas del centro 0101: la impresora \"Oficina\" no "
                                         "admite trabajos. Los centros que no se han impreso quedan anotados en la "
                                         "lista.")});
    EXPECT_TRUE(control<QPlainTextEdit>("MemoError")->isVisible());
    EXPECT_EQ(log(),
              QStringList({QStringLiteral("Centro: 0101  no impreso: la impresora \"Oficina\" no admite trabajos"),
                           QStringLiteral("Centro: 0102  no impreso: la impresora \"Oficina\" no admite trabajos"),
                           QStringLiteral("Centro: 0103  no tiene trabajadores"),
                           QStringLiteral("----------------------------------"),
                           QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»")}));
    EXPECT_TRUE(m_guion.impresiones.isEmpty());
    EXPECT_TRUE(m_cups.trabajos().empty());
    // The picture of the README, with QUORVEL_CAPTURAS naming a folder.
    if (const QString carpeta = qEnvironmentVariable("QUORVEL_CAPTURAS"); !carpeta.isEmpty()) {
        QDir().mkpath(carpeta);
        EXPECT_TRUE(m_ventana->grab().save(QDir(carpeta).filePath(QStringLiteral("impresora-rechaza.png"))));
    }

    m_guion.mensajes.clear();
    QTest::mouseClick(control<QPushButton>("BotHojaBlanco"), Qt::LeftButton);
    EXPECT_EQ(m_guion.mensajes, QStringList{QStringLiteral("No se ha impreso la hoja en blanco: la impresora "
                                                           "\"Oficina\" no admite trabajos.")});

    // Accepting again but paused: the jobs wait in the queue and the clerk is told so once.
    m_guion.mensajes.clear();
    ASSERT_TRUE(m_cups.orden(QStringLiteral("cupsaccept"), {QStringLiteral("Oficina")}));
    ASSERT_TRUE(m_cups.orden(QStringLiteral("cupsdisable"), {QStringLiteral("Oficina")}));
    imprimir();
    EXPECT_EQ(m_guion.mensajes, QStringList{QStringLiteral("La impresora \"Oficina\" está en pausa: las hojas quedan "
                                                           "en su cola y no saldrán hasta que se reanude.")});
    EXPECT_EQ(m_guion.impresiones,
              QStringList({QStringLiteral("Quorvel_0101_201905"), QStringLiteral("Quorvel_0102_201905")}));
    EXPECT_EQ(log(), QStringList({QStringLiteral("Centro: 0103  no tiene trabajadores"),
                                  QStringLiteral("----------------------------------"),
                                  QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»")}));
    EXPECT_EQ(m_cups.trabajos().size(), 2u);
}

} // namespace
