#include "sheets/ListasSeleccion.h"
#include "sheets/Pral.h"

#include <gtest/gtest.h>

namespace {

const QColor kBlanco(0xFF, 0xFF, 0xFF);
const QColor kPlata(0xC0, 0xC0, 0xC0);

TEST(PralMeses, NavigationGoesToTheFirstDayAcrossYearEnds)
{
    EXPECT_EQ(pral::mesSiguiente(QDate(2019, 12, 31)), QDate(2020, 1, 1));
    EXPECT_EQ(pral::mesAnterior(QDate(2019, 1, 31)), QDate(2018, 12, 1));
    EXPECT_EQ(pral::mesSiguiente(QDate(2020, 1, 31)), QDate(2020, 2, 1));
    EXPECT_EQ(pral::primerDia(QDate(2024, 2, 29)), QDate(2024, 2, 1));
}

TEST(PralMeses, MonthTextIsSpanishWhateverTheMachine)
{
    EXPECT_EQ(pral::textoMes(QDate(2019, 5, 15)), QStringLiteral("mayo / 2019"));
    EXPECT_EQ(pral::textoMes(QDate(2020, 2, 1)), QStringLiteral("febrero / 2020"));
    EXPECT_EQ(pral::textoMes(QDate(2018, 12, 1)), QStringLiteral("diciembre / 2018"));
}

TEST(PralListas, CodeIsTheFirstTokenOfAnEntry)
{
    EXPECT_EQ(codigoEntrada(QStringLiteral("0102 - OFICINAS CASTELLANA")), QStringLiteral("0102"));
    EXPECT_EQ(codigoEntrada(QStringLiteral("  17   -  GARCÍA")), QStringLiteral("17"));
    EXPECT_TRUE(codigoEntrada(QString()).isEmpty());
}

TEST(PralColores, WeekendShadeThenHolidayColourByCode)
{
    const pral::Colores colores = pral::coloresPorCodigo();
    const QDate sabado(2019, 1, 5), domingo(2019, 1, 6), lunes(2019, 1, 7);
    const festivos::Sombreado todo{true, true, true};
    EXPECT_EQ(pral::colorDia(lunes, todo, std::nullopt, colores), kBlanco);
    EXPECT_EQ(pral::colorDia(sabado, todo, std::nullopt, colores), kPlata);
    EXPECT_EQ(pral::colorDia(domingo, todo, std::nullopt, colores), kPlata);
    EXPECT_EQ(pral::colorDia(domingo, todo, 0, colores), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(pral::colorDia(sabado, todo, 3, colores), QColor(0x00, 0xFF, 0x00)) << "an open holiday is coloured too";
    EXPECT_EQ(pral::colorDia(lunes, todo, 1, colores), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(pral::colorDia(lunes, todo, 2, colores), QColor(0x00, 0xFF, 0xFF));

    const festivos::Sombreado sinFestivos{true, true, false};
    EXPECT_EQ(pral::colorDia(domingo, sinFestivos, 0, colores), kPlata);
    EXPECT_EQ(pral::colorDia(lunes, sinFestivos, 0, colores), kBlanco);
    const festivos::Sombreado soloFestivos{false, false, true};
    EXPECT_EQ(pral::colorDia(sabado, soloFestivos, std::nullopt, colores), kBlanco);
    EXPECT_EQ(pral::colorDia(domingo, soloFestivos, 0, colores), QColor(0xFF, 0x00, 0x00));
}

TEST(PralColores, UnknownCodeLeavesTheWeekendRule)
{
    const pral::Colores colores = pral::coloresPorCodigo();
    const festivos::Sombreado todo{true, true, true};
    EXPECT_EQ(pral::colorDia(QDate(2019, 1, 6), todo, 7, colores), kPlata);
    EXPECT_EQ(pral::colorDia(QDate(2019, 1, 7), todo, -1, colores), kBlanco);
}

} // namespace
