#include "masterdata/Identificadores.h"

#include <gtest/gtest.h>

using namespace identificadores;

namespace {

// Published examples: the DNI letter table's 12345678Z and 00000000T, Telefónica's CIF A28015865, the Universidad
// Complutense's Q2818014I, the Diputació de Barcelona's P0800000B, and the TGSS examples 28/12345678/40 (NSS)
// and 28/1234567/42 (CCC).
TEST(IdentificadoresTest, PublishedNumbersPassAndOneChangedCharacterIsNamed)
{
    for (const char* valido : {"12345678Z", "00000000T", "12.345.678-z", " 12345678 Z "})
        EXPECT_EQ(avisoNif(QString::fromLatin1(valido)), QString()) << valido;
    EXPECT_EQ(avisoNif(QStringLiteral("12345678K")), QStringLiteral("NIF no válido: la letra debería ser Z"));
    EXPECT_EQ(avisoNif(QStringLiteral("X1234567L")), QString());
    EXPECT_EQ(avisoNif(QStringLiteral("Y0000000Z")), QString());
    EXPECT_EQ(avisoNif(QStringLiteral("Z1234567R")), QString());
    EXPECT_EQ(avisoNif(QStringLiteral("X1234567A")), QStringLiteral("NIE no válido: la letra debería ser L"));
    EXPECT_EQ(avisoNif(QStringLiteral("1234567Z")), QStringLiteral("NIF no válido: debe tener 8 cifras y una letra"));
    EXPECT_EQ(avisoNif(QStringLiteral("X12345678")),
              QStringLiteral("NIE no válido: debe tener una letra X, Y o Z, 7 cifras y una letra"));
    EXPECT_EQ(avisoNif(QString()), QString());

    for (const char* valido : {"A28015865", "Q2818014I", "P0800000B", "B65410011", "a-28015865", "J6541001A",
                               "J65410011", "12345678Z", "X1234567L"})
        EXPECT_EQ(avisoCif(QString::fromLatin1(valido)), QString()) << valido;
    EXPECT_EQ(avisoCif(QStringLiteral("A28015864")),
              QStringLiteral("CIF no válido: el dígito de control debería ser 5"));
    EXPECT_EQ(avisoCif(QStringLiteral("A2801586E")),
              QStringLiteral("CIF no válido: el dígito de control debería ser 5"));
    EXPECT_EQ(avisoCif(QStringLiteral("Q28180149")),
              QStringLiteral("CIF no válido: la letra de control debería ser I"));
    EXPECT_EQ(avisoCif(QStringLiteral("J65410012")),
              QStringLiteral("CIF no válido: el carácter de control debería ser 1 o A"));
    EXPECT_EQ(avisoCif(QStringLiteral("I28015865")),
              QStringLiteral("CIF no válido: debe tener una letra, 7 cifras y un carácter de control"));
    // A self-employed employer gives a personal NIF, checked as such.
    EXPECT_EQ(avisoCif(QStringLiteral("12345678A")), QStringLiteral("NIF no válido: la letra debería ser Z"));

    EXPECT_EQ(avisoNss(QStringLiteral("28/12345678/40")), QString());
    EXPECT_EQ(avisoNss(QStringLiteral("281234567840")), QString());
    // A number below 10,000,000 loses its leading zero before the province goes in front.
    EXPECT_EQ(avisoNss(QStringLiteral("28 01234567 42")), QString());
    EXPECT_EQ(avisoNss(QStringLiteral("281234567841")),
              QStringLiteral("NSS no válido: los dígitos de control deberían ser 40"));
    EXPECT_EQ(avisoNss(QStringLiteral("81234567840")), QStringLiteral("NSS no válido: debe tener 12 cifras"));
    EXPECT_EQ(avisoNss(QStringLiteral("28A234567840")), QStringLiteral("NSS no válido: debe tener 12 cifras"));

    EXPECT_EQ(avisoCcc(QStringLiteral("28/1234567/42")), QString());
    EXPECT_EQ(avisoCcc(QStringLiteral("28123456707")),
              QStringLiteral("CCC no válido: los dígitos de control deberían ser 42"));
    EXPECT_EQ(avisoCcc(QStringLiteral("28/0000001")), QStringLiteral("CCC no válido: debe tener 11 cifras"));
    EXPECT_EQ(avisoCcc(QString()), QString());
}

} // namespace
