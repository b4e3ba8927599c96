// What a new clerk sees, in the order they see it: the first start on an empty file, then the end of a PDF
// run with its summary and its log. With QUORVEL_CAPTURAS naming a folder the moments are saved there as PNG
// files (the pictures of the docs folder come from here).
#include "gui/PralPruebas.h"
#include "support/Capturas.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

class CapturasRecorridoTest : public PralTest
{
};

TEST_F(CapturasRecorridoTest, FirstStartThenTheEndOfAPdfRunAndItsLog)
{
    {
        // A file just created: nothing to print, and the window says what comes first.
        TempDir vacia;
        TMD md(vacia.file(QStringLiteral("Quorvel.abs")));
        TFormPral ventana(md, QDate(2019, 5, 15));
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));
        auto* primerPaso = ventana.findChild<QWidget*>(QStringLiteral("PanelPrimerPaso"));
        ASSERT_TRUE(primerPaso);
        EXPECT_TRUE(primerPaso->isVisible());
        EXPECT_FALSE(ventana.findChild<QWidget*>(QStringLiteral("PanelResumen"))->isVisible());
        EXPECT_FALSE(ventana.findChild<QWidget*>(QStringLiteral("PanelLog"))->isVisible());
        capturas::guardar(&ventana, QStringLiteral("primer-arranque.png"));
    }

    // The sample file: every centre of the first company as PDF files; one centre has no workers.
    abrir(QDate(2019, 5, 15));
    control<QRadioButton>("RSelSalida0")->click();
    opcion("CKTodosCentros")->click();
    QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton);
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    auto* resumen = control<QLabel>("TextoResumen");
    EXPECT_TRUE(resumen->isVisible());
    EXPECT_TRUE(resumen->text().startsWith(QStringLiteral("2 ficheros PDF ("))) << resumen->text().toStdString();
    EXPECT_TRUE(control<QPushButton>("BotResumenCarpeta")->isVisible());
    auto* log = control<QPlainTextEdit>("MemoError");
    EXPECT_TRUE(log->isVisible());
    EXPECT_TRUE(log->toPlainText().startsWith(QStringLiteral("Centro: 0103  no tiene trabajadores")));
    EXPECT_TRUE(control<QWidget>("ColorCalendar1")->isVisible());
    // Three lines, all in sight: nothing to scroll.
    QTRY_VERIFY(!log->verticalScrollBar()->isVisible());
    EXPECT_FALSE(log->horizontalScrollBar()->isVisible());
    capturas::guardar(m_ventana.get(), QStringLiteral("fin-generacion-pdf.png"));

    // Closed, the window is as before the run but for the summary.
    QTest::mouseClick(control<QPushButton>("BotCerrarLog"), Qt::LeftButton);
    EXPECT_FALSE(log->isVisible());
    EXPECT_TRUE(resumen->isVisible());
}
