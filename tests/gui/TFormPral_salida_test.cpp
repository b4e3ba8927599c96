#include "gui/PralPruebas.h"

#include "calendars/TColorCalendar.h"
#include "support/Poppler.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QString kSeparador = QStringLiteral("----------------------------------");
const QString kCierre = QStringLiteral("Para cerrar: doble clic, Intro, Esc o «Cerrar»");

void tocar(const QString& ruta)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

} // namespace

class SalidaPralTest : public PralTest
{
protected:
    void SetUp() override
    {
        PralTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(m_rutaPdf));
        // A previous run's file, which is ours, and someone else's file, which is not.
        tocar(QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0202_201801.pdf")));
        tocar(QDir(m_rutaPdf).filePath(QStringLiteral("nomina.pdf")));
    }

    QStringList ficherosPdf() const
    {
        return QDir(m_rutaPdf).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }

    void imprimir() { QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton); }

    bool correo() { return control<QAction>("EnvioCorreos")->isEnabled(); }
    bool correoAuto() { return control<QAction>("EnvioCorreosAuto")->isEnabled(); }
    QStringList log() { return control<QPlainTextEdit>("MemoError")->toPlainText().split(QLatin1Char('\n')); }
};

TEST_F(SalidaPralTest, AllCentresAsPdfLogsTheCentreWithoutWorkers)
{
    abrir(QDate(2019, 5, 15));
    m_ventana->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_ventana.get()));
    elegir(lista("ComboCentros"), 1);
    opcion("CKTodosCentros")->click();
    EXPECT_FALSE(correo());
    EXPECT_FALSE(correoAuto());
    EXPECT_EQ(control<QPushButton>("BotImprimir")->text(), QStringLiteral("Generar/Imprimir ficheros"));

    imprimir();

    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_0101_201905.pdf"),
                                          QStringLiteral("Quorvel_0102_201905.pdf"), QStringLiteral("nomina.pdf")}));
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    auto* memo = control<QPlainTextEdit>("MemoError");
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(log(), QStringList({QStringLiteral("Centro: 0103  no tiene trabajadores"), kSeparador, kCierre}));
    // Below the body, inside the window: the month view and its buttons stay in sight and in reach.
    const auto dondeEsta = [this](QWidget* w) { return QRect(w->mapTo(m_ventana.get(), QPoint(0, 0)), w->size()); };
    const QRect panel = dondeEsta(control<QWidget>("PanelLog"));
    EXPECT_TRUE(m_ventana->rect().contains(panel));
    for (const char* nombre : {"ColorCalendar1", "BotMenos", "BotMas", "LEtiMes", "Panel1", "Panel4", "CKVariosMeses",
                               "BotCalendarioBase", "BotCalendarCentros", "BotImprimir", "BotPlanFestivos"})
        EXPECT_FALSE(panel.intersects(dondeEsta(control<QWidget>(nombre)))) << nombre;
    QTRY_VERIFY(memo->hasFocus());
    EXPECT_TRUE(correo());
    EXPECT_TRUE(correoAuto());
    EXPECT_TRUE(m_ventana->correoDisponible());
    EXPECT_EQ(m_guion.carpetasAbiertas, QStringList({m_rutaPdf}));
    // Back on the centre chosen before the run, with its workers.
    EXPECT_EQ(lista("ComboCentros")->currentIndex(), 1);
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0102"));
    EXPECT_EQ(lista("ComboTrabajadores")->count(), 11);

    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(memo->toPlainText().contains(kCierre)) << "Enter hides the log, it does not type into it";
}

TEST_F(SalidaPralTest, DoubleClickHidesTheLogAndANewRunEmptiesIt)
{
    abrir(QDate(2019, 5, 15));
    opcion("CKTodosCentros")->click();
    imprimir();
    auto* memo = control<QPlainTextEdit>("MemoError");
    ASSERT_TRUE(memo->isVisible());
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(memo->isVisible());
    imprimir();
    ASSERT_TRUE(memo->isVisible());
    QTest::keyClick(memo, Qt::Key_Escape);
    EXPECT_FALSE(memo->isVisible()) << "Escape closes it as well";
    imprimir();
    ASSERT_TRUE(memo->isVisible());
    QTest::mouseClick(control<QPushButton>("BotCerrarLog"), Qt::LeftButton);
    EXPECT_FALSE(memo->isVisible()) << "and so does its button";
    EXPECT_EQ(control<QPushButton>("BotCerrarLog")->text(), QStringLiteral("Cerrar"));

    // A path has nowhere to break: it goes on over the next lines instead of past the edge.
    m_ventana->VerMemoError(true);
    memo->appendPlainText(QStringLiteral("/home/gestoria/Documentos/Quorvel/PDF/") + QString(120, u'x') +
                          QStringLiteral(".pdf"));
    EXPECT_GT(memo->document()->lastBlock().layout()->lineCount(), 1);
    EXPECT_EQ(memo->horizontalScrollBar()->maximum(), 0);
    m_ventana->VerMemoError(false);

    // One centre with workers: nothing to log, the old lines go.
    opcion("CKTodosCentros")->click();
    imprimir();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_0101_201905.pdf"), QStringLiteral("nomina.pdf")}));
}

TEST_F(SalidaPralTest, APdfRunSaysWhatItWroteAndWhereWithAButtonToTheFolder)
{
    abrir(QDate(2019, 5, 15));
    auto* panel = control<QWidget>("PanelResumen");
    auto* texto = control<QLabel>("TextoResumen");
    auto* abrirCarpeta = control<QPushButton>("BotResumenCarpeta");
    EXPECT_FALSE(panel->isVisible()) << "nothing done yet";
    const QString carpeta = QDir::toNativeSeparators(QDir(m_rutaPdf).absolutePath());

    // One worker: one file of one sheet, in the singular.
    elegir(lista("ComboCentros"), 1);
    elegir(lista("ComboTrabajadores"), 2);
    imprimir();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(texto->text(), QStringLiteral("1 fichero PDF (1 hoja) en ") + carpeta);
    EXPECT_EQ(texto->toolTip(), texto->text());

    // Every centre: the sheets are the pages the files hold, over two months.
    opcion("CKTodosCentros")->click();
    opcion("CKVariosMeses")->click();
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    control<QRadioButton>("RSelSalida0")->click();
    imprimir();
    const QString rango0101 = QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0101_201905-201906.pdf"));
    const QString rango0102 = QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0102_201905-201906.pdf"));
    const int hojas = poppler::paginas(rango0101) + poppler::paginas(rango0102);
    ASSERT_GT(hojas, 2);
    EXPECT_EQ(texto->text(), QStringLiteral("2 ficheros PDF (%1 hojas) en %2").arg(hojas).arg(carpeta));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(control<QPlainTextEdit>("MemoError")->isVisible()) << "the summary and the log side by side";

    // The button opens the folder; a desktop that cannot says where the files are.
    m_guion.carpetasAbiertas.clear();
    QTest::mouseClick(abrirCarpeta, Qt::LeftButton);
    EXPECT_EQ(m_guion.carpetasAbiertas, QStringList({m_rutaPdf}));
    m_guion.escritorioAbreCarpetas = false;
    QTest::mouseClick(abrirCarpeta, Qt::LeftButton);
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("No se ha podido abrir la carpeta. Los ficheros PDF están en ") + carpeta}));

    // A run that writes no PDF takes the summary away: it would name files of another run.
    control<QRadioButton>("RSelSalida1")->click();
    imprimir();
    EXPECT_FALSE(panel->isVisible());

    // A folder longer than the window loses its middle on screen, not the window its size; the hint says it all.
    const QString larga = m_dir.file(QStringLiteral("hojas de registro horario de todos los centros de trabajo de "
                                                    "la empresa, de enero a diciembre/PDF"));
    ASSERT_TRUE(QDir().mkpath(larga));
    ajustar(QStringLiteral("RutaPDF = ?, generarPDF = 1"), larga);
    m_ventana->CargarConstantes();
    const int ancho = m_ventana->width();
    imprimir();
    ASSERT_TRUE(panel->isVisible());
    const QString cuantos = texto->toolTip().section(QStringLiteral(" en "), 0, 0);
    EXPECT_EQ(texto->toolTip(), cuantos + QStringLiteral(" en ") + QDir::toNativeSeparators(larga));
    EXPECT_TRUE(texto->text().startsWith(cuantos + QStringLiteral(" en "))) << texto->text().toStdString();
    EXPECT_TRUE(texto->text().contains(QChar(0x2026))) << texto->text().toStdString();
    EXPECT_TRUE(texto->text().endsWith(QStringLiteral("/PDF"))) << texto->text().toStdString();
    EXPECT_EQ(m_ventana->width(), ancho);
}

TEST_F(SalidaPralTest, RangeOfMonthsNamesBothInTheFile)
{
    abrir(QDate(2019, 5, 15));
    opcion("CKVariosMeses")->click();
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    imprimir();
    EXPECT_EQ(ficherosPdf(),
              QStringList({QStringLiteral("Quorvel_0101_201905-201907.pdf"), QStringLiteral("nomina.pdf")}));
}

TEST_F(SalidaPralTest, MailActionsFollowTheLastUninterruptedRun)
{
    abrir(QDate(2019, 5, 15));
    imprimir();
    ASSERT_TRUE(correo());
    ASSERT_TRUE(correoAuto());

    // On offer, though an account that has not passed its test still refuses.
    QTest::mouseClick(control<QPushButton>("BotXMail"), Qt::LeftButton);
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("La cuenta de correo de envío no está comprobada\n"
                                                            "    configúrela y compruébela en Constantes")}));
    EXPECT_EQ(control<QPushButton>("BotEnvioAuto")->text(), QStringLiteral("Envío mails automático"));

    control<QRadioButton>("RSelSalida1")->click();
    imprimir();
    EXPECT_EQ(m_guion.previsualizaciones.size(), 1);
    EXPECT_FALSE(correo());
    EXPECT_FALSE(correoAuto());
    EXPECT_FALSE(control<QPushButton>("BotXMail")->isEnabled());
    EXPECT_EQ(m_guion.carpetasAbiertas, QStringList({m_rutaPdf})) << "only the PDF run opens the folder";

    // Without a file manager the clerk is told where the files are.
    m_guion.mensajes.clear();
    m_guion.escritorioAbreCarpetas = false;
    QTest::mouseClick(control<QPushButton>("BotAbrirCarpeta"), Qt::LeftButton);
    EXPECT_EQ(m_guion.mensajes,
              QStringList{QStringLiteral("No se ha podido abrir la carpeta. Los ficheros PDF están en ") + m_rutaPdf});
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("nomina.pdf")})) << "a preview run still empties the folder";
}

TEST_F(SalidaPralTest, EscapeDuringAPrintStopsBeforeTheNextCentre)
{
    abrir(QDate(2019, 5, 15));
    imprimir();
    ASSERT_TRUE(correo());

    control<QRadioButton>("RSelSalida1")->click();
    opcion("CKTodosCentros")->click();
    // The user presses Escape on the main window while the first centre is in the preview. The key waits in
    // the queue, as one from the window system does, until the run lets events through.
    m_guion.alSalir = [this] {
        QCoreApplication::postEvent(m_ventana.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    imprimir();
    EXPECT_EQ(m_guion.previsualizaciones.size(), 1);
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("Se ha interrumpido el proceso de impresión")}));
    EXPECT_TRUE(correo()) << "an interrupted run leaves the mail actions as they were";
    EXPECT_FALSE(m_ventana->Interrumpir()) << "the request is cleared once acted on";
    EXPECT_EQ(lista("ComboCentros")->currentIndex(), 0);

    // The next run starts afresh.
    m_guion.alSalir = nullptr;
    imprimir();
    EXPECT_EQ(m_guion.previsualizaciones.size(), 3);
    EXPECT_FALSE(correo());
}

TEST_F(SalidaPralTest, RunShowsTheCentreBeingPrintedAndLocksTheWindow)
{
    abrir(QDate(2019, 5, 15));
    control<QRadioButton>("RSelSalida1")->click();
    opcion("CKTodosCentros")->click();
    QStringList vistos;
    m_guion.alSalir = [&] {
        vistos << control<QLabel>("TextoProgreso")->text();
        EXPECT_TRUE(control<QProgressBar>("Progreso")->isVisible());
        EXPECT_FALSE(control<QPushButton>("BotImprimir")->isEnabled());
        EXPECT_TRUE(m_ventana->ejecutando());
    };
    imprimir();
    EXPECT_EQ(vistos, QStringList({QStringLiteral("Imprimiendo el centro 0101 (1 de 3)... Esc para interrumpir"),
                                   QStringLiteral("Imprimiendo el centro 0102 (2 de 3)... Esc para interrumpir")}));
    EXPECT_FALSE(control<QProgressBar>("Progreso")->isVisible());
    EXPECT_TRUE(control<QLabel>("TextoProgreso")->text().isEmpty());
    EXPECT_TRUE(control<QPushButton>("BotImprimir")->isEnabled());
    EXPECT_FALSE(lista("ComboCentros")->isEnabled()) << "all centres still locks the list after the run";
}

TEST_F(SalidaPralTest, ClosingDuringARunStopsItAndThenCloses)
{
    abrir(QDate(2019, 5, 15));
    control<QRadioButton>("RSelSalida1")->click();
    opcion("CKTodosCentros")->click();
    m_guion.alSalir = [this] { m_ventana->close(); };
    imprimir();
    EXPECT_EQ(m_guion.previsualizaciones.size(), 1);
    EXPECT_FALSE(m_ventana->isVisible());
}

TEST_F(SalidaPralTest, CentreWithoutWorkersIsRefusedAndTouchesNothing)
{
    abrir(QDate(2019, 5, 15));
    elegir(lista("ComboCentros"), 2);
    ASSERT_EQ(lista("ComboTrabajadores")->count(), 0);
    imprimir();
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("No hay trabajadores en este centro")}));
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_0202_201801.pdf"), QStringLiteral("nomina.pdf")}));
    EXPECT_TRUE(m_guion.carpetasAbiertas.isEmpty());
    EXPECT_FALSE(correo());
}

TEST_F(SalidaPralTest, PrinterModeNeedsADefaultPrinter)
{
    ajustar(QStringLiteral("impresora = 1, generarPDF = 0"));
    abrir(QDate(2019, 5, 15));
    m_guion.impresora = false;
    imprimir();
    EXPECT_EQ(m_guion.mensajes, QStringList({TFormPral::textoSinImpresora()}));
    EXPECT_TRUE(TFormPral::textoSinImpresora().contains(QStringLiteral("Generar PDF")));
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_0202_201801.pdf"), QStringLiteral("nomina.pdf")}));

    m_guion.impresora = true;
    m_guion.mensajes.clear();
    opcion("CKTodosCentros")->click();
    imprimir();
    EXPECT_EQ(m_guion.impresiones.size(), 2);
    EXPECT_FALSE(correo());
    EXPECT_TRUE(m_guion.carpetasAbiertas.isEmpty());
}

TEST_F(SalidaPralTest, BlankTemplateCarriesOnlyTheStartMonth)
{
    abrir(QDate(2019, 5, 15));
    opcion("CKVariosMeses")->click();
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("BotHojaBlanco"), Qt::LeftButton);
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_blanco_201905.pdf"), QStringLiteral("nomina.pdf")}));
    EXPECT_EQ(m_guion.carpetasAbiertas, QStringList({m_rutaPdf}));
    EXPECT_FALSE(correo()) << "the template does not offer mail";
}

TEST_F(SalidaPralTest, EachCentreOwnCalendarOnlyWhileTheOptionIsTicked)
{
    // The window's switches shade Saturdays alone; each centre's own flags say more.
    ajustar(QStringLiteral("Calenxcentros = 1, autocentros = 1, sabados = 1, domingos = 0, festivos = 0, "
                           "todoscentros = 1, generarPDF = 1, impresora = 0"));
    abrir(QDate(2019, 5, 15));
    ASSERT_TRUE(opcion("CKSautocentros")->isChecked());
    const auto grises = [&](const char* nombre) {
        return poppler::diasGrises(QDir(m_rutaPdf).filePath(QString::fromLatin1(nombre)));
    };
    const QList<int> sabados{4, 11, 18, 25};
    imprimir();
    // May 2019: the 1st is a national holiday; the Madrid calendar adds the 2nd and 15th and opens Sunday 19.
    EXPECT_EQ(grises("Quorvel_0101_201905.pdf"), (QList<int>{1, 4, 5, 11, 12, 18, 19, 25, 26}));
    EXPECT_EQ(grises("Quorvel_0102_201905.pdf"), (QList<int>{1, 2, 5, 12, 15, 26}));
    QTest::mouseClick(control<QPushButton>("BotHojaBlanco"), Qt::LeftButton);
    EXPECT_EQ(grises("Quorvel_blanco_201905.pdf"), sabados) << "the template has no centre of its own";

    opcion("CKSautocentros")->click();
    imprimir();
    EXPECT_EQ(grises("Quorvel_0101_201905.pdf"), sabados);
    EXPECT_EQ(grises("Quorvel_0102_201905.pdf"), sabados);
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
}

TEST_F(SalidaPralTest, WithoutAFolderSettingPreviewAndPrinterDeleteNothingAnywhere)
{
    // Where an empty setting could be taken to point: the current folder and the database's.
    ajustar(QStringLiteral("RutaPDF = '', generarPDF = 0, impresora = 0"));
    TempDir aqui;
    const QStringList nuestros{QStringLiteral("Quorvel_0101_201801.pdf"), QStringLiteral("Quorvel_blanco_201801.pdf")};
    for (const QString& nombre : nuestros) {
        tocar(aqui.file(nombre));
        tocar(m_dir.file(nombre));
    }
    const QString antes = QDir::currentPath();
    QDir::setCurrent(aqui.path());
    abrir(QDate(2019, 5, 15));
    for (const char* modo : {"RSelSalida1", "RSelSalida2"}) {
        control<QRadioButton>(modo)->click();
        imprimir();
        QTest::mouseClick(control<QPushButton>("BotHojaBlanco"), Qt::LeftButton);
    }
    QDir::setCurrent(antes);
    EXPECT_EQ(m_guion.previsualizaciones.size(), 2);
    EXPECT_EQ(m_guion.impresiones.size(), 2);
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QDir(aqui.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name), nuestros);
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name), nuestros);
}

TEST_F(SalidaPralTest, UnwritablePdfIsReportedAndTheWindowGoesOn)
{
    // The folder setting names something under a plain file: no folder can be made there.
    const QString fichero = m_dir.file(QStringLiteral("no-es-carpeta"));
    tocar(fichero);
    ajustar(QStringLiteral("RutaPDF = ?"), QDir(fichero).filePath(QStringLiteral("PDF")));
    abrir(QDate(2019, 5, 15));
    opcion("CKTodosCentros")->click();
    elegir(lista("ComboEmpresas"), 1);
    imprimir();
    EXPECT_TRUE(m_guion.errores.isEmpty());
    EXPECT_EQ(m_guion.mensajes,
              QStringList{QStringLiteral("No se puede crear la carpeta de los PDF «%1». Compruebe que existe la "
                                         "carpeta que la contiene y que tiene permiso para escribir en ella.")
                              .arg(QDir(fichero).filePath(QStringLiteral("PDF")))});
    EXPECT_FALSE(control<QPlainTextEdit>("MemoError")->isVisible());
    EXPECT_FALSE(correo());
    EXPECT_FALSE(m_ventana->ejecutando());
    EXPECT_TRUE(control<QPushButton>("BotImprimir")->isEnabled()) << "the window is usable again";
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(control<TColorCalendar>("ColorCalendar1")->date(), QDate(2019, 6, 1));
}

TEST_F(SalidaPralTest, OpenFolderButtonHandsTheFolderToTheDesktop)
{
    abrir();
    auto* abrirCarpeta = control<QPushButton>("BotAbrirCarpeta");
    EXPECT_EQ(abrirCarpeta->toolTip(), QStringLiteral("Abrir la carpeta PDF,s"));
    QTest::mouseClick(abrirCarpeta, Qt::LeftButton);
    EXPECT_EQ(m_guion.carpetasAbiertas, QStringList({m_rutaPdf}));
}
