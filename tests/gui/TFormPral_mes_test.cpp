#include "gui/PralPruebas.h"

#include "calendars/TColorCalendar.h"
#include "gui/CalendariosPruebas.h"
#include "support/Colores.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

// January 2019 of the base calendar: national holidays on Tuesday 1 and Sunday 6, plus one of each other code.
class MesPralTest : public PralTest
{
protected:
    void SetUp() override
    {
        PralTest::SetUp();
        fixture::festivo(db(), 0, QDate(2019, 1, 19), 3); // a Saturday the centres open
        fixture::festivo(db(), 0, QDate(2019, 1, 21), 1);
        fixture::festivo(db(), 0, QDate(2019, 1, 22), 2);
        abrir(QDate(2019, 1, 10));
        m_mes = control<TColorCalendar>("ColorCalendar1");
    }

    // A day without a colour of its own shows the view's white background.
    QColor color(int dia)
    {
        const QColor c = m_mes->dayColor(dia);
        return c.isValid() ? c.toRgb() : kBlanco;
    }

    TColorCalendar* m_mes = nullptr;
};

TEST_F(MesPralTest, HolidaysTakeTheirCodeColourOverTheWeekendShade)
{
    ASSERT_TRUE(opcion("CKSSabados")->isChecked());
    ASSERT_TRUE(opcion("CKSDomingos")->isChecked());
    ASSERT_TRUE(opcion("CKSFestivos")->isChecked());
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("enero / 2019"));
    EXPECT_EQ(color(1), kRojo);
    EXPECT_EQ(color(6), kRojo) << "a national holiday on a Sunday shows its colour, not silver";
    EXPECT_EQ(color(5), kPlata);
    EXPECT_EQ(color(13), kPlata);
    EXPECT_EQ(color(19), kLima);
    EXPECT_EQ(color(21), kAmarillo);
    EXPECT_EQ(color(22), kAgua);
    EXPECT_EQ(color(2), kBlanco);
}

TEST_F(MesPralTest, SwitchesRepaintTheMonth)
{
    opcion("CKSFestivos")->click();
    EXPECT_EQ(color(6), kPlata) << "without holidays the Sunday is just a Sunday";
    EXPECT_EQ(color(1), kBlanco);
    EXPECT_EQ(color(19), kPlata);
    EXPECT_EQ(color(21), kBlanco);

    opcion("CKSDomingos")->click();
    EXPECT_EQ(color(6), kBlanco);
    EXPECT_EQ(color(13), kBlanco);
    EXPECT_EQ(color(12), kPlata);

    opcion("CKSSabados")->click();
    EXPECT_EQ(color(12), kBlanco);

    opcion("CKSFestivos")->click();
    EXPECT_EQ(color(6), kRojo);
    EXPECT_EQ(color(19), kLima);
    EXPECT_EQ(color(12), kBlanco);
}

TEST_F(MesPralTest, OwnCentreCalendarsDoNotChangeTheMonthView)
{
    // The view always shows the base calendar with the three switches, even while they are locked.
    ajustar(QStringLiteral("Calenxcentros = 1"));
    m_ventana->CargarConstantes();
    opcion("CKSautocentros")->click();
    ASSERT_FALSE(opcion("CKSFestivos")->isEnabled());
    EXPECT_EQ(color(6), kRojo);
    EXPECT_EQ(color(5), kPlata);
}

TEST_F(MesPralTest, EveryNewMonthIsShadedAgain)
{
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("febrero / 2019"));
    EXPECT_EQ(color(2), kPlata);  // Saturday
    EXPECT_EQ(color(3), kPlata);  // Sunday
    EXPECT_EQ(color(6), kBlanco); // Wednesday, no holiday in February
    EXPECT_EQ(color(18), kBlanco) << "its cell showed the yellow 21 January before";
    QTest::mouseClick(control<QPushButton>("BotMenos"), Qt::LeftButton);
    EXPECT_EQ(color(6), kRojo);
}

TEST_F(MesPralTest, ClickingADayBringsTheEndMonthBack)
{
    opcion("CKVariosMeses")->click();
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    ASSERT_EQ(control<TColorCalendar>("ColorCalendar2")->date(), QDate(2019, 2, 1));
    const QPoint celda = m_mes->cellOfDay(24);
    QTest::mouseClick(m_mes, Qt::LeftButton, {}, m_mes->cellRect(celda.x(), celda.y()).center());
    EXPECT_EQ(m_mes->date(), QDate(2019, 1, 24));
    EXPECT_EQ(control<TColorCalendar>("ColorCalendar2")->date(), QDate(2019, 1, 24));
    EXPECT_EQ(control<QLabel>("LEtiMes2")->text(), QStringLiteral("enero / 2019"));
    EXPECT_EQ(color(6), kRojo);
}

TEST_F(MesPralTest, LegendNamesTheColours)
{
    const struct
    {
        const char* panel;
        QString texto;
        QString pista;
        QColor color;
    } leyenda[] = {
        {"Panel1", QStringLiteral("Nacional"), QStringLiteral("Festivo nacional"), kRojo},
        {"Panel2", QStringLiteral("CC.AA."), QStringLiteral("Festivo CCAA o provincial"), kAmarillo},
        {"Panel3", QStringLiteral("Local"), QStringLiteral("Festivo local"), kAgua},
        {"Panel4", QStringLiteral("Abierto"), QStringLiteral("Festivo abierto"), kLima},
    };
    const QImage imagen = m_ventana->grab().toImage();
    for (const auto& l : leyenda) {
        auto* panel = control<QLabel>(l.panel);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->text(), l.texto);
        EXPECT_EQ(panel->toolTip(), l.pista);
        // What the user sees, a few pixels inside the panel's frame.
        const QPoint dentro = panel->mapTo(m_ventana.get(), QPoint(4, 4));
        EXPECT_EQ(imagen.pixelColor(dentro * imagen.devicePixelRatio()).toRgb(), l.color) << l.panel;
    }
    EXPECT_EQ(control<QLabel>("Label6")->text(), QStringLiteral("CALENDARIO BASE"));
    EXPECT_EQ(control<QLabel>("Label1")->text(), QStringLiteral("Calendario base"));
}

TEST_F(MesPralTest, DoubleClickOpensTheBaseYearViewAndTheMonthShowsItsChangesAfterwards)
{
    EXPECT_EQ(color(23), kBlanco);
    QString titulo;
    alAbrirse([&](QDialog* vista) {
        titulo = vista->windowTitle();
        auto* any = vista->findChild<QSpinBox*>(QStringLiteral("Any"));
        any->setValue(2019);
        dobleClick(vista->findChild<TColorCalendar*>(QStringLiteral("Enero")), 23);
        vista->findChild<QPushButton*>(QStringLiteral("BotCerrar"))->click();
    });
    dobleClick(m_mes, 15);
    EXPECT_EQ(titulo, QStringLiteral("Calendario Laboral:  BASE "));
    EXPECT_EQ(m_mes->date(), QDate(2019, 1, 15));
    EXPECT_EQ(color(23), QColor(0xFF, 0x00, 0x00)) << "re-shaded once the year view closed";
    EXPECT_TRUE(m_guion.textos.isEmpty());
}
