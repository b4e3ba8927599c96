// What the main window shows and keeps once an output run has ended, however it ended.
#include "gui/PralPruebas.h"

#include "calendars/TColorCalendar.h"
#include "support/Modales.h"
#include "support/Poppler.h"
#include "support/QtPrint.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kInterrumpido = QStringLiteral("Se ha interrumpido el proceso de impresión");

} // namespace

class FinEjecucionTest : public PralTest
{
protected:
    void SetUp() override
    {
        PralTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(m_rutaPdf));
    }

    void imprimir() { QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton); }
    QString pdf(const char* nombre) const { return QDir(m_rutaPdf).filePath(QString::fromLatin1(nombre)); }
    QStringList ficherosPdf() const
    {
        return QDir(m_rutaPdf).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }
    QString textoProgreso() { return control<QLabel>("TextoProgreso")->text(); }
    bool barraVisible() { return control<QProgressBar>("Progreso")->isVisible(); }
    QRadioButton* salida(int i) { return control<QRadioButton>(QStringLiteral("RSelSalida%1").arg(i).toLatin1()); }
};

TEST_F(FinEjecucionTest, TheChosenWorkerStaysChosenForTheNextRun)
{
    abrir();
    elegir(lista("ComboCentros"), 1);
    elegir(lista("ComboTrabajadores"), 4);
    ASSERT_FALSE(opcion("CKTodosTrabajadores")->isChecked());
    const QString elegido = lista("ComboTrabajadores")->currentText();
    const QString nombre = elegido.section(QStringLiteral(" - "), 1);

    for (int vez = 1; vez <= 2; ++vez) {
        imprimir();
        const QString hoja = pdf("Quorvel_0102_201905.pdf");
        EXPECT_EQ(poppler::paginas(hoja), 1) << "run " << vez;
        EXPECT_TRUE(poppler::texto(hoja).contains(nombre)) << "run " << vez << " printed someone else";
        EXPECT_EQ(lista("ComboTrabajadores")->currentText(), elegido) << "after run " << vez;
        EXPECT_FALSE(opcion("CKTodosTrabajadores")->isChecked());
        EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), 0);
        EXPECT_EQ(lista("ComboCentros")->currentIndex(), 1);
        EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0102"));
    }

    // A run over every centre moves the lists through all of them and still gives the choice back.
    opcion("CKTodosCentros")->click();
    imprimir();
    EXPECT_EQ(ficherosPdf(),
              QStringList({QStringLiteral("Quorvel_0101_201905.pdf"), QStringLiteral("Quorvel_0102_201905.pdf")}));
    EXPECT_EQ(lista("ComboCentros")->currentIndex(), 1);
    EXPECT_EQ(lista("ComboTrabajadores")->currentText(), elegido);
    EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), 0);

    // Another copy of the program renames the worker while the preview is open: the id still names them.
    opcion("CKTodosCentros")->click();
    salida(1)->click();
    const QString id = elegido.section(QStringLiteral(" - "), 0, 0);
    m_guion.alSalir = [&] {
        store::Statement st = db().prepare(QStringLiteral("UPDATE trabajadores SET nomtrabajador = ? WHERE id = ?"));
        st.bind(1, QStringLiteral("ZUBIZARRETA ÚBEDA, NOA"));
        st.bind(2, id.toLongLong());
        st.run();
    };
    imprimir();
    m_guion.alSalir = nullptr;
    EXPECT_EQ(lista("ComboTrabajadores")->currentText(), id + QStringLiteral(" - ZUBIZARRETA ÚBEDA, NOA"));
}

TEST_F(FinEjecucionTest, AnUntickedRangePrintsTheStartMonthAlone)
{
    abrir();
    const int trabajadores = lista("ComboTrabajadores")->count();
    ASSERT_GT(trabajadores, 1);
    opcion("CKVariosMeses")->click();
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    salida(0)->click();
    opcion("CKVariosMeses")->click();
    imprimir();
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_0101_201905.pdf")}));
    EXPECT_EQ(poppler::paginas(pdf("Quorvel_0101_201905.pdf")), trabajadores) << "one sheet per worker, May only";

    // Ticked again, the end month chosen before counts again.
    opcion("CKVariosMeses")->click();
    salida(0)->click();
    imprimir();
    EXPECT_EQ(ficherosPdf(), QStringList({QStringLiteral("Quorvel_0101_201905-201907.pdf")}));
    EXPECT_EQ(poppler::paginas(pdf("Quorvel_0101_201905-201907.pdf")), 3 * trabajadores);
}

TEST_F(FinEjecucionTest, TheOutputSelectorShowsTheModeOfTheNextRun)
{
    abrir();
    salida(1)->click();
    opcion("CKVariosMeses")->click();
    EXPECT_TRUE(salida(2)->isChecked()) << "a range goes to the printer";
    opcion("CKVariosMeses")->click();
    EXPECT_TRUE(salida(1)->isChecked());
    EXPECT_EQ(salida(1)->text(), QStringLiteral("Previsualizar x pantalla"));
    imprimir();
    EXPECT_EQ(m_guion.previsualizaciones.size(), 1);
    EXPECT_TRUE(m_guion.impresiones.isEmpty());

    // A settings load that turns the printer off leaves the selector on what it set.
    salida(2)->click();
    ajustar(QStringLiteral("impresora = 0, generarPDF = 0"));
    m_ventana->CargarConstantes();
    EXPECT_TRUE(salida(1)->isChecked());
    imprimir();
    EXPECT_EQ(m_guion.previsualizaciones.size(), 2);
    EXPECT_TRUE(m_guion.impresiones.isEmpty());
}

TEST_F(FinEjecucionTest, EveryEndingClearsTheProgress)
{
    abrir();
    opcion("CKTodosCentros")->click();
    // What the status bar says while the run lets events through.
    QStringList vistos;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        const QString texto = textoProgreso();
        if (!texto.isEmpty() && !vistos.contains(texto))
            vistos << texto;
    });
    vigia.start(0);
    imprimir();
    vigia.stop();
    EXPECT_TRUE(vistos.contains(QStringLiteral("Generando el centro 0102 (2 de 3)... Esc para interrumpir")))
        << vistos.join(u'|').toStdString();
    EXPECT_TRUE(textoProgreso().isEmpty());
    EXPECT_FALSE(barraVisible());

    // Stopped with Escape during the first preview.
    salida(1)->click();
    m_guion.alSalir = [this] {
        EXPECT_EQ(textoProgreso(), QStringLiteral("Imprimiendo el centro 0101 (1 de 3)... Esc para interrumpir"));
        QCoreApplication::postEvent(m_ventana.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    imprimir();
    m_guion.alSalir = nullptr;
    EXPECT_EQ(m_guion.mensajes, QStringList({kInterrumpido}));
    EXPECT_TRUE(textoProgreso().isEmpty());
    EXPECT_FALSE(barraVisible());

    // Ended by an error half-way: the second centre's file cannot be written over a folder of its name.
    salida(0)->click();
    ASSERT_TRUE(QDir().mkpath(pdf("Quorvel_0102_201905.pdf")));
    m_ventana->CargarConstantes();
    ASSERT_FALSE(opcion("CKTodosCentros")->isChecked()) << "the settings load unticks it";
    elegir(lista("ComboCentros"), 0);
    opcion("CKTodosCentros")->click();
    imprimir();
    ASSERT_EQ(m_guion.errores.size(), 1);
    EXPECT_TRUE(m_guion.errores.first().startsWith(QStringLiteral("No se puede crear el fichero")));
    EXPECT_TRUE(textoProgreso().isEmpty());
    EXPECT_FALSE(barraVisible());
    EXPECT_EQ(lista("ComboCentros")->currentIndex(), 0) << "the chosen centre, not the one that failed";
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0101"));
}

TEST_F(FinEjecucionTest, LeavingAPreviewStopsARunOverEveryCentre)
{
    m_guion.vistaPreviaReal = true;
    abrir();
    salida(1)->click();
    opcion("CKTodosCentros")->click();
    const auto siguiente = [](QPrintPreviewDialog* vista) {
        QAction* accion = vista->findChild<QAction*>(QStringLiteral("continueAction"));
        ASSERT_TRUE(accion) << vista->windowTitle().toStdString();
        EXPECT_EQ(accion->text(), QStringLiteral("Siguiente centro"));
        accion->trigger();
    };

    {
        Modales<QPrintPreviewDialog> usuario({[](QPrintPreviewDialog* vista) { pulsarEscape(vista); }});
        imprimir();
        EXPECT_EQ(usuario.pendientes(), 0);
    }
    EXPECT_EQ(m_guion.previsualizaciones.size(), 1);
    EXPECT_EQ(m_guion.mensajes, QStringList({kInterrumpido}));
    EXPECT_FALSE(m_ventana->Interrumpir());

    // Going on through every preview runs to the end: the empty third centre is logged.
    m_guion.mensajes.clear();
    {
        const auto mirarYSeguir = [&](QPrintPreviewDialog* vista) {
            // With QUORVEL_CAPTURAS naming a folder, the preview is saved there as the user sees it.
            const QString carpeta = qEnvironmentVariable("QUORVEL_CAPTURAS");
            if (!carpeta.isEmpty()) {
                vista->resize(1000, 700);
                QTest::qWait(200);
                EXPECT_TRUE(vista->grab().save(QDir(carpeta).filePath(QStringLiteral("vista-previa.png"))));
            }
            siguiente(vista);
        };
        Modales<QPrintPreviewDialog> usuario({mirarYSeguir, siguiente});
        imprimir();
        EXPECT_EQ(usuario.pendientes(), 0);
    }
    EXPECT_EQ(m_guion.previsualizaciones.size(), 3);
    EXPECT_TRUE(m_guion.mensajes.isEmpty());
    EXPECT_TRUE(control<QPlainTextEdit>("MemoError")->isVisible());

    // Closing the window of a preview is leaving it too.
    {
        Modales<QPrintPreviewDialog> usuario({siguiente, [](QPrintPreviewDialog* vista) { vista->close(); }});
        imprimir();
        EXPECT_EQ(usuario.pendientes(), 0);
    }
    EXPECT_EQ(m_guion.previsualizaciones.size(), 5);
    EXPECT_EQ(m_guion.mensajes, QStringList({kInterrumpido}));
    EXPECT_FALSE(control<QPlainTextEdit>("MemoError")->isVisible()) << "the stop came before the empty centre";

    // One centre alone: closing its preview is simply the end.
    m_guion.mensajes.clear();
    opcion("CKTodosCentros")->click();
    bool conSiguiente = true;
    {
        Modales<QPrintPreviewDialog> usuario({[&](QPrintPreviewDialog* vista) {
            conSiguiente = vista->findChild<QAction*>(QStringLiteral("continueAction")) != nullptr;
            pulsarEscape(vista);
        }});
        imprimir();
    }
    EXPECT_FALSE(conSiguiente);
    EXPECT_TRUE(m_guion.mensajes.isEmpty());
    EXPECT_EQ(m_guion.previsualizaciones.size(), 6);
}

TEST_F(FinEjecucionTest, ACentreCodeWithASpaceKeepsItsSheetsAndItsCalendar)
{
    // The short code " 7" makes the centre code "01 7", whose list entry's first word is only "01".
    const auto norte = fixture::centro(db(), m_ejemplo.empresa1, QStringLiteral(" 7"), QStringLiteral("NORTE"),
                                       m_ejemplo.calendarioMadrid);
    fixture::asignar(db(), m_ejemplo.trabajadores.front(), norte.codcentro);
    abrir();
    const int posicion = lista("ComboCentros")->findText(norte.codcentro, Qt::MatchStartsWith);
    ASSERT_GE(posicion, 0);
    elegir(lista("ComboCentros"), posicion);
    EXPECT_EQ(m_ventana->CodCentro(), norte.codcentro);
    EXPECT_EQ(lista("ComboTrabajadores")->count(), 1);

    imprimir();
    const QString hoja = pdf(QStringLiteral("Quorvel_%1_201905.pdf").arg(norte.codcentro).toUtf8().constData());
    ASSERT_EQ(poppler::paginas(hoja), 1) << ficherosPdf().join(u',').toStdString();
    EXPECT_TRUE(poppler::texto(hoja).contains(QStringLiteral("7 - NORTE")));
    EXPECT_TRUE(m_guion.mensajes.isEmpty()) << m_guion.mensajes.join(u'|').toStdString();
    EXPECT_EQ(m_ventana->CodCentro(), norte.codcentro) << "still chosen after the run";

    // The centre's calendar button opens the centre's own numbered calendar.
    QString titulo;
    auto* reloj = new QTimer(m_ventana.get());
    QObject::connect(reloj, &QTimer::timeout, [&titulo, reloj] {
        if (auto* vista = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            titulo = vista->windowTitle();
            vista->reject();
            reloj->stop();
        }
    });
    reloj->start(5);
    control<QPushButton>("BotCalendarCentros")->click();
    EXPECT_EQ(titulo, QStringLiteral("Calendario Laboral:  ") + lista("ComboCentros")->itemText(posicion));
}
