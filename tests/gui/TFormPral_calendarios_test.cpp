#include "gui/CalendariosPruebas.h"
#include "gui/PralPruebas.h"

#include "calendars/PlanFestivos.h"
#include "calendars/TFormLisPlanFestivos.h"
#include "reports/ReportPrinter.h"

#include <QAction>
#include <QPushButton>

TEST_F(PralTest, CentreCalendarButtonOpensTheCentresNumberedCalendarOnly)
{
    ajustar(QStringLiteral("todoscentros = 0"));
    abrir();
    QStringList titulos;
    // The first centre is on the base calendar: nothing opens and nothing is said.
    control<QPushButton>("BotCalendarCentros")->click();
    elegir(lista("ComboCentros"), 1);
    alAbrirse([&](QDialog* vista) { titulos << vista->windowTitle(); });
    control<QPushButton>("BotCalendarCentros")->click();
    EXPECT_EQ(titulos,
              QStringList(
                  {QStringLiteral("Calendario Laboral:  %1 - OFICINAS CASTELLANA").arg(m_ejemplo.oficinas.codcentro)}));
    EXPECT_TRUE(m_guion.textos.isEmpty());
}

TEST_F(PralTest, HolidayPlanOfTheShownMonthIsPreviewedForTheSelectedCompany)
{
    abrir(QDate(2024, 2, 10));
    elegir(lista("ComboEmpresas"), 1);
    std::vector<plan::FilaPlan> filas;
    m_guion.alSalir = [&] { filas = plan::leerPlan(db()); };
    control<QPushButton>("BotPlanFestivos")->click();
    EXPECT_EQ(m_guion.previsualizaciones, QStringList({QStringLiteral("Listado festivos")}));
    ASSERT_EQ(filas.size(), 2u);
    EXPECT_EQ(filas[0].nomcentro, QStringLiteral("OBRADOR"));
    EXPECT_EQ(filas[0].dias[28], QString()) << "29 February 2024, a Thursday";
    EXPECT_EQ(filas[0].dias[2], QStringLiteral("X")) << "3 February, a Saturday";
    EXPECT_EQ(filas[1].dias[3], QString()) << "the despacho opens on Sundays";
    EXPECT_TRUE(filas[0].dias[29].isEmpty() && filas[0].dias[30].isEmpty());
}

TEST_F(PralTest, PlanPreviewFillsTheScreen)
{
    abrir();
    plan::GenerarPlanFestivos(db(), m_ejemplo.empresa1, QDate(2019, 5, 1));
    TFormLisPlanFestivos listado(db(), QDate(2019, 5, 1), 31);
    bool maximizada = false;
    QString titulo;
    alAbrirse([&](QDialog* vista) {
        titulo = vista->windowTitle();
        maximizada = vista->isMaximized();
    });
    reports::previewReport(listado.QRLisPlanFestivos(), m_ventana.get());
    EXPECT_EQ(titulo, QStringLiteral("Listado festivos"));
    EXPECT_TRUE(maximizada);
}

TEST_F(PralTest, YearViewsOpenCentredAndWhollyInsideTheScreen)
{
    ajustar(QStringLiteral("todoscentros = 0"));
    abrir();
    // The opener far to the lower right, where the views used to follow it off the screen.
    const QRect pantalla = m_ventana->screen()->availableGeometry();
    m_ventana->move(pantalla.bottomRight() - QPoint(200, 150));
    QStringList fuera;
    const auto medir = [&](QDialog* vista) {
        const QRect marco = vista->frameGeometry();
        auto* cerrar = vista->findChild<QPushButton*>(QStringLiteral("BotCerrar"));
        const QRect boton(cerrar->mapToGlobal(QPoint(0, 0)), cerrar->size());
        if (!pantalla.contains(marco) || !pantalla.contains(boton) || !cerrar->isVisible())
            fuera << vista->windowTitle();
        if ((marco.center() - pantalla.center()).manhattanLength() > 4)
            fuera << vista->windowTitle() + QStringLiteral(" descentrada");
    };
    alAbrirse(medir);
    control<QPushButton>("BotCalendarioBase")->click();
    elegir(lista("ComboCentros"), 1);
    alAbrirse(medir);
    control<QPushButton>("BotCalendarCentros")->click();
    EXPECT_EQ(fuera, QStringList()) << pantalla.width() << "x" << pantalla.height();
}
