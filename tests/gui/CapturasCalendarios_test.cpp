#include "calendars/GestionCalendarios.h"
#include "calendars/PlanFestivos.h"
#include "calendars/TColorCalendar.h"
#include "calendars/TFormLisPlanFestivos.h"
#include "calendars/TFormManCalen.h"
#include "calendars/TFormManCalendarios.h"
#include "calendars/TFrameCalendarioAnual.h"
#include "data/TMD.h"
#include "reports/PdfExport.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/InteraccionGuion.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

// What the user sees of the calendar screens. With QUORVEL_CAPTURAS naming a folder, they are also saved
// there as PNG files (the pictures of the docs folder come from here).
class CapturasCalendariosTest : public ::testing::Test
{
protected:
    void SetUp() override { e = fixture::crearEjemplo(db()); }
    store::Database& db() { return md.Quorvel(); }
    static QString carpeta() { return qEnvironmentVariable("QUORVEL_CAPTURAS"); }
    static void guardar(QWidget* w, const QString& nombre)
    {
        if (carpeta().isEmpty())
            return;
        QDir().mkpath(carpeta());
        EXPECT_TRUE(w->grab().save(QDir(carpeta()).filePath(nombre)));
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    InteraccionGuion guion;
};

TEST_F(CapturasCalendariosTest, YearViewFitsASmallScreenWithEveryMonthInSight)
{
    TFormManCalen2 vista(db());
    vista.NumCalendario = QString::number(e.calendarioMadrid);
    vista.Titulo = QStringLiteral("%1  -  MADRID CAPITAL").arg(e.calendarioMadrid);
    vista.Hoy = QDate(2019, 5, 15);
    vista.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&vista));
    EXPECT_LE(vista.frameGeometry().width(), 1024);
    EXPECT_LE(vista.frameGeometry().height(), 768);
    auto* desplazable = vista.findChild<QScrollArea*>();
    ASSERT_NE(desplazable, nullptr);
    // A screen smaller than the year (the test platform's is 800 wide) scrolls instead of hiding its edges.
    const QRect pantalla = vista.screen()->availableGeometry();
    ASSERT_TRUE(pantalla.contains(vista.frameGeometry()));
    if (pantalla.width() < 1024 || pantalla.height() < 768)
        GTEST_SKIP() << "screen of " << pantalla.width() << "x" << pantalla.height() << " smaller than 1024x768";
    EXPECT_FALSE(desplazable->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(desplazable->verticalScrollBar()->isVisible());
    TFrameCalendarioAnual* frame = vista.FrameCalendarioAnual1();
    for (const char* nombre : {"Enero", "Abril", "Diciembre", "PanelChuleta", "Any"}) {
        auto* w = frame->findChild<QWidget*>(QString::fromLatin1(nombre));
        ASSERT_NE(w, nullptr) << nombre;
        const QRect donde(w->mapTo(&vista, QPoint(0, 0)), w->size());
        EXPECT_TRUE(vista.rect().contains(donde)) << nombre;
    }
    guardar(&vista, QStringLiteral("calendario-anual.png"));
}

TEST_F(CapturasCalendariosTest, ManagementScreenShowsTheCentresThatBlockADeletion)
{
    TFormManCalendarios ventana(db());
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));
    auto* lista = ventana.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    lista->selectRow(ventana.modelo().fila(e.calendarioMadrid));
    ventana.findChild<QPushButton*>(QStringLiteral("SpeedButton2"))->click();
    QTest::qWait(0);
    EXPECT_LE(ventana.frameGeometry().height(), 768);
    for (auto* b : ventana.findChildren<QPushButton*>())
        EXPECT_GE(b->width(), b->minimumSizeHint().width()) << b->objectName().toStdString();
    guardar(&ventana, QStringLiteral("mantenimiento-calendarios.png"));
}

TEST_F(CapturasCalendariosTest, HolidayPlanPage)
{
    fixture::festivo(db(), 0, QDate(2019, 5, 22), 2);
    plan::GenerarPlanFestivos(db(), e.empresa1, QDate(2019, 5, 1));
    TFormLisPlanFestivos listado(db(), QDate(2019, 5, 1), 31);
    listado.Ahora = QDateTime(QDate(2019, 5, 20), QTime(9, 30));
    const QString pdf = dir.file(QStringLiteral("plan.pdf"));
    reports::exportPdf(listado.QRLisPlanFestivos(), pdf);
    EXPECT_EQ(poppler::paginas(pdf), 1);
    if (carpeta().isEmpty())
        return;
    poppler::run(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-singlefile"),
                  pdf, QDir(carpeta()).filePath(QStringLiteral("plan-festivos"))});
    EXPECT_TRUE(QFile::exists(QDir(carpeta()).filePath(QStringLiteral("plan-festivos.png"))));
}
