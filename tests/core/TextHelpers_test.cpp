#include "base/TextHelpers.h"

#include <gtest/gtest.h>

namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(TextHelpers, TrimmingTouchesSpacesOnly)
{
    EXPECT_EQ(QuitarEspacios(s("   ")), QString());
    EXPECT_EQ(QuitarEspacios(s("  a b  ")), s("a b"));
    EXPECT_EQ(QuitarEspacios(s("\ta \t")), s("\ta \t"));
    EXPECT_EQ(QuitarEspaciosDcha(s("  a  ")), s("  a"));
    EXPECT_EQ(CompactarEspacios(s("  0102   -  CENTRO  NORTE ")), s("0102 - CENTRO NORTE"));
}

TEST(TextHelpers, ExtraerTokensWithSpaceSeparator)
{
    const QString entrada = s("  0102   -  CENTRO  NORTE ");
    EXPECT_EQ(ExtraerTokens(entrada, s(" "), 1, 1), s("0102"));
    EXPECT_EQ(ExtraerTokens(entrada, s(" "), 3, 2), s("CENTRO NORTE"));
    EXPECT_EQ(ExtraerTokens(entrada, s(" "), 3, 10), s("CENTRO NORTE"));
    EXPECT_EQ(ExtraerTokens(entrada, s(" "), 9, 1), QString());
    EXPECT_EQ(ExtraerTokens(entrada, s(" "), 0, 1), QString());
    EXPECT_EQ(ExtraerTokens(QString(), s(" "), 1, 1), QString());
}

TEST(TextHelpers, ExtraerTokensWithOtherSeparators)
{
    EXPECT_EQ(ExtraerTokens(s("a;;b"), s(";"), 2, 1), QString());
    EXPECT_EQ(ExtraerTokens(s("a;;b"), s(";"), 3, 1), s("b"));
    EXPECT_EQ(ExtraerTokens(s(";a"), s(";"), 1, 2), s("a"));
    EXPECT_EQ(ExtraerTokens(s("a;b;c"), s(";"), 1, 2), s("a;b"));
    // Multi-character separators match whole and with case.
    EXPECT_EQ(ExtraerTokens(s("uno--dos--tres"), s("--"), 2, 2), s("dos--tres"));
    EXPECT_EQ(ExtraerTokens(s("uno-dos--tres"), s("--"), 1, 1), s("uno-dos"));
    EXPECT_EQ(ExtraerTokens(s("aXbxc"), s("x"), 2, 1), s("c"));
    // Only trailing spaces go when the separator is not a space.
    EXPECT_EQ(ExtraerTokens(s(" a ;b  "), s(";"), 1, 2), s(" a ;b"));
}

TEST(TextHelpers, ValorEnteroIsLenient)
{
    EXPECT_EQ(ValorEntero(s(" 1.024 ")), 1024);
    EXPECT_EQ(ValorEntero(s("07")), 7);
    EXPECT_EQ(ValorEntero(s("1X")), 0);
    EXPECT_EQ(ValorEntero(s("-12")), -12);
    EXPECT_EQ(ValorEntero(s("+3")), 3);
    EXPECT_EQ(ValorEntero(s("")), 0);
    EXPECT_EQ(ValorEntero(s("-")), 0);
    EXPECT_EQ(ValorEntero(s("1 2")), 0);
    EXPECT_EQ(ValorEntero(s("99999999999")), 0);
}

TEST(TextHelpers, CerosIzquierdaPadsAndCuts)
{
    EXPECT_EQ(CerosIzquierda(5, 2), s("05"));
    EXPECT_EQ(CerosIzquierda(12, 2), s("12"));
    EXPECT_EQ(CerosIzquierda(123, 2), s("12"));
    EXPECT_EQ(CerosIzquierda(-5, 3), s("0-5"));
    EXPECT_EQ(CerosIzquierda(-5, 1), s("-"));
    EXPECT_EQ(CerosIzquierda(0, 4), s("0000"));
    EXPECT_EQ(CerosIzquierda(7, 0), QString());
}

TEST(TextHelpers, ReemplazarDoesNotRescan)
{
    EXPECT_EQ(Reemplazar(s("aaa"), s("aa"), s("b")), s("ba"));
    EXPECT_EQ(Reemplazar(s("abc"), s("b"), s("bb")), s("abbc"));
    EXPECT_EQ(Reemplazar(s("abc"), QString(), s("x")), s("abc"));
    EXPECT_EQ(Reemplazar(s("a.b.c"), s("."), QString()), s("abc"));
}

TEST(TextHelpers, CapitalsForPlainLettersOnly)
{
    EXPECT_EQ(MayusculasAscii(s("Almacén sur ñ")), s("ALMACéN SUR ñ"));
}

} // namespace
