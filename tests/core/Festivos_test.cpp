#include "calendars/Festivos.h"
#include "data/TMD.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace festivos;

namespace {

TEST(DayTypes, CodesNamesAndColours)
{
    ASSERT_EQ(tiposDia().size(), 4u);
    EXPECT_EQ(tiposDia()[0].nombre, QStringLiteral("Nacional"));
    EXPECT_EQ(tiposDia()[1].nombre, QStringLiteral("CC.AA."));
    EXPECT_EQ(tiposDia()[1].nombreEditor, QStringLiteral("Comunidad Autón."));
    EXPECT_EQ(tiposDia()[3].pista, QStringLiteral("Festivo abierto"));
    EXPECT_EQ(colorCodigo(0), QColor(0xFF0000));
    EXPECT_EQ(colorCodigo(1), QColor(0xFFFF00));
    EXPECT_EQ(colorCodigo(2), QColor(0x00FFFF));
    EXPECT_EQ(colorCodigo(3), QColor(0x00FF00));
    EXPECT_FALSE(colorCodigo(4).isValid());
    EXPECT_EQ(colorSombreado(), QColor(0xC0C0C0));
}

TEST(SheetShading, WeekendSwitchesThenCalendar)
{
    const QDate sabado(2019, 5, 4), domingo(2019, 5, 5), martes(2019, 5, 7);
    const Sombreado todo{true, true, true};
    const Sombreado nada{};
    EXPECT_TRUE(diaSombreado(sabado, todo, std::nullopt));
    EXPECT_TRUE(diaSombreado(domingo, todo, std::nullopt));
    EXPECT_FALSE(diaSombreado(martes, todo, std::nullopt));
    EXPECT_FALSE(diaSombreado(sabado, nada, 0));
    // Each weekend switch governs its own day only.
    EXPECT_TRUE(diaSombreado(sabado, {true, false, false}, std::nullopt));
    EXPECT_FALSE(diaSombreado(domingo, {true, false, false}, std::nullopt));
    EXPECT_FALSE(diaSombreado(sabado, {false, true, false}, std::nullopt));
    EXPECT_TRUE(diaSombreado(domingo, {false, true, false}, std::nullopt));
    // A national holiday on a Tuesday: shaded only with the holiday switch.
    EXPECT_TRUE(diaSombreado(martes, {false, false, true}, 0));
    EXPECT_FALSE(diaSombreado(martes, {true, true, false}, 0));
    // Regional and local holidays shade the same way.
    EXPECT_TRUE(diaSombreado(martes, {false, false, true}, 1));
    EXPECT_TRUE(diaSombreado(martes, {false, false, true}, 2));
    // A Saturday holiday with the Saturday switch off is still shaded by the holiday switch.
    EXPECT_TRUE(diaSombreado(sabado, {false, true, true}, 0));
    // An open Sunday: white with holidays shaded, grey when only Sundays are.
    EXPECT_FALSE(diaSombreado(domingo, {true, true, true}, 3));
    EXPECT_TRUE(diaSombreado(domingo, {true, true, false}, 3));
    EXPECT_FALSE(diaSombreado(martes, {true, true, true}, 3));
}

TEST(HolidayPlan, Marks)
{
    EXPECT_EQ(marcaPlan(std::nullopt), QString());
    EXPECT_EQ(marcaPlan(0), QStringLiteral("X"));
    EXPECT_EQ(marcaPlan(2), QStringLiteral("X"));
    EXPECT_EQ(marcaPlan(3), QStringLiteral("A"));
}

TEST(WhichCalendar, CentreCalendarOnlyWhenAskedAndNotForTheTemplate)
{
    const Sombreado ventana{true, false, true};
    const Sombreado centro{false, true, false};
    const auto propio = calendarioParaHoja(5, true, false, ventana, centro);
    EXPECT_EQ(propio.numero, 5);
    EXPECT_FALSE(propio.sombreado.sabados);
    EXPECT_TRUE(propio.sombreado.domingos);
    const auto base = calendarioParaHoja(5, false, false, ventana, centro);
    EXPECT_EQ(base.numero, 0);
    EXPECT_TRUE(base.sombreado.sabados);
    const auto plantilla = calendarioParaHoja(0, true, true, ventana, centro);
    EXPECT_EQ(plantilla.numero, 0);
    EXPECT_TRUE(plantilla.sombreado.festivos);
    // A centre on the base calendar with its own switches.
    const auto base0 = calendarioParaHoja(0, true, false, ventana, centro);
    EXPECT_EQ(base0.numero, 0);
    EXPECT_TRUE(base0.sombreado.domingos);
}

class CalendarStoreTest : public ::testing::Test
{
protected:
    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    store::Database& db() { return md.Quorvel(); }
};

TEST_F(CalendarStoreTest, FindADayInTheBaseOrANumberedCalendar)
{
    const auto e = fixture::crearEjemplo(db());
    EXPECT_EQ(buscarDia(db(), 0, QDate(2019, 5, 1)), 0);
    EXPECT_EQ(buscarDia(db(), 0, QDate(2019, 5, 2)), std::nullopt);
    EXPECT_EQ(buscarDia(db(), e.calendarioMadrid, QDate(2019, 5, 2)), 1);
    EXPECT_EQ(buscarDia(db(), e.calendarioMadrid, QDate(2019, 5, 19)), 3);
    // Another calendar marking the same date with another code keeps its own.
    const int otro = int(fixture::calendario(db(), QStringLiteral("OTRO")));
    fixture::festivo(db(), otro, QDate(2019, 5, 2), 2);
    EXPECT_EQ(buscarDia(db(), otro, QDate(2019, 5, 2)), 2);
    EXPECT_EQ(buscarDia(db(), e.calendarioMadrid, QDate(2019, 5, 2)), 1);
    const int vacio = int(fixture::calendario(db(), QStringLiteral("VACÍO")));
    EXPECT_TRUE(Calendario::cargar(db(), vacio).isEmpty());
}

TEST_F(CalendarStoreTest, LoadedCalendarCoversItsPeriodOnly)
{
    const auto e = fixture::crearEjemplo(db());
    const Calendario mayo = Calendario::cargar(db(), e.calendarioMadrid, QDate(2019, 5, 1), QDate(2019, 5, 31));
    EXPECT_EQ(mayo.codigo(QDate(2019, 5, 15)), 2);
    EXPECT_EQ(mayo.codigo(QDate(2019, 11, 9)), std::nullopt);
    const Calendario base = Calendario::cargar(db(), 0);
    EXPECT_EQ(base.codigo(QDate(2026, 12, 25)), 0);
    EXPECT_EQ(base.codigo(QDate(2026, 5, 2)), std::nullopt);
    // The May 2019 sheet of the numbered calendar, Saturdays open.
    QList<int> grises;
    for (int d = 1; d <= 31; ++d) {
        if (diaSombreado(QDate(2019, 5, d), {false, true, true}, mayo))
            grises << d;
    }
    EXPECT_EQ(grises, (QList<int>{1, 2, 5, 12, 15, 26}));
}

} // namespace

TEST_F(CalendarStoreTest, TheMonthViewsOpenBaseCalendarAndTheCalendarEachCentreNames)
{
    const auto e = fixture::crearEjemplo(db());
    CalendarioBaseAbierto base(db());
    EXPECT_EQ(base.codigo(QDate(2019, 5, 1)), 0);
    EXPECT_EQ(base.codigo(QDate(2019, 5, 15)), std::nullopt) << "a numbered calendar's day is not the base's";
    // What is stored while it stays open shows at the next look-up.
    fixture::festivo(db(), 0, QDate(2019, 5, 2), 2);
    EXPECT_EQ(base.codigo(QDate(2019, 5, 2)), 2);
    db().prepare(QStringLiteral("INSERT INTO calendar (fecha, codreduc) VALUES (?, ?)"))
        .bindAll(QDate(2019, 5, 6), QStringLiteral("X"))
        .run();
    EXPECT_EQ(base.codigo(QDate(2019, 5, 6)), std::nullopt) << "a code that is not a number is no code";
    EXPECT_EQ(base.codigo(QDate(2019, 5, 1)), 0);

    EXPECT_EQ(calendarioDeCentro(db(), e.oficinas.codcentro), e.calendarioMadrid);
    EXPECT_EQ(calendarioDeCentro(db(), e.almacen.codcentro), 0);
    EXPECT_EQ(calendarioDeCentro(db(), QStringLiteral("9999")), 0);
    // A second centre with the same code does not take the first one's place.
    fixture::centro(db(), e.empresa1, QStringLiteral("02"), QStringLiteral("REPETIDO"), 0);
    EXPECT_EQ(calendarioDeCentro(db(), e.oficinas.codcentro), e.calendarioMadrid);
}
