#include "data/TMD.h"
#include "reports/Layout.h"
#include "reports/PdfExport.h"
#include "sheets/Listado.h"
#include "sheets/TFormImpHojaDef.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kMargenIzq = 10.0;
constexpr double kMargenSup = 5.0;
constexpr double kCabecera = 48.2;
constexpr double kLinea = 6.9;

class HojaTest : public ::testing::Test
{
protected:
    store::Database& db() { return md.Quorvel(); }

    void fila(const QString& mes, const QString& tipo = QStringLiteral("C"), qint64 idcalendario = 0,
              qint64 idcentro = 0)
    {
        FilaListado f;
        f.idempresa = 1;
        f.idcentro = idcentro;
        f.idcalendario = idcalendario;
        f.e_nombre = QStringLiteral("TRANSPORTES ÁLAMO, S.L.");
        f.e_nif = QStringLiteral("B28123456");
        f.e_ccc = QStringLiteral("28/1234567/89");
        f.e_nomcentro = QStringLiteral("01 - ALMACÉN SUR");
        f.t_nombre = QStringLiteral("MUÑOZ DÍAZ, CARMEN");
        f.t_nif = QStringLiteral("12345678Z");
        f.t_nss = QStringLiteral("281234567890");
        f.t_tipojornada = tipo;
        f.t_contrato = QStringLiteral("40 h/semana");
        f.mes = mes;
        grabarFilaListado(db(), f);
    }

    std::vector<reports::Page> paginas(TFormImpHojaDef& hoja)
    {
        hoja.AbrirFicheros();
        return reports::LayoutEngine::layoutAll(hoja.QRImpHojaDef());
    }

    // The one page of a one-sheet report; another count fails the test and gives an empty page to check on.
    reports::Page unica(TFormImpHojaDef& hoja)
    {
        const auto p = paginas(hoja);
        if (p.size() != 1) {
            ADD_FAILURE() << p.size() << " pages instead of one";
            return {};
        }
        return p.front();
    }

    // Day numbers whose line is shaded on a page.
    static QList<int> grises(const reports::Page& p)
    {
        QList<int> dias;
        for (const auto& item : p.items) {
            if (item.kind == reports::Primitive::Kind::Fill && item.background == QColor(0xC0C0C0)) {
                const double desde = item.rect.top() - kMargenSup - kCabecera;
                dias << qRound(desde / kLinea) + 1;
            }
        }
        return dias;
    }

    static QStringList textos(const reports::Page& p, const QString& nombre)
    {
        QStringList out;
        for (const auto* item : p.named(nombre))
            out << item->text;
        return out;
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    QStringList mensajes;
};

TEST_F(HojaTest, OneSheetPerPageWithADayLinePerDay)
{
    fixture::festivosNacionales(db(), 2019);
    for (const char* mes : {"201902", "202002", "201904", "201905"})
        fila(QString::fromLatin1(mes));
    TFormImpHojaDef hoja(db(), true);
    const auto p = paginas(hoja);
    ASSERT_EQ(p.size(), 4u);
    // Index order: by month.
    EXPECT_EQ(textos(p[0], QStringLiteral("QRMesAny")), QStringList{QStringLiteral("FEBRERO - 2019")});
    EXPECT_EQ(textos(p[1], QStringLiteral("QRMesAny")), QStringList{QStringLiteral("ABRIL - 2019")});
    EXPECT_EQ(textos(p[2], QStringLiteral("QRMesAny")), QStringList{QStringLiteral("MAYO - 2019")});
    EXPECT_EQ(textos(p[3], QStringLiteral("QRMesAny")), QStringList{QStringLiteral("FEBRERO - 2020")});
    EXPECT_EQ(textos(p[0], QStringLiteral("QRDia")).size(), 28);
    EXPECT_EQ(textos(p[1], QStringLiteral("QRDia")).size(), 30);
    EXPECT_EQ(textos(p[2], QStringLiteral("QRDia")).size(), 31);
    EXPECT_EQ(textos(p[3], QStringLiteral("QRDia")).size(), 29);
    // The footer follows the last day line.
    const auto pie = p[0].named(QStringLiteral("QRLabel17"));
    ASSERT_EQ(pie.size(), 1u);
    EXPECT_NEAR(pie[0]->rect.top(), kMargenSup + kCabecera + 28 * kLinea + 2.4, 0.01);
    const auto pie31 = p[2].named(QStringLiteral("QRLabel17"));
    ASSERT_EQ(pie31.size(), 1u);
    EXPECT_NEAR(pie31[0]->rect.top(), kMargenSup + kCabecera + 31 * kLinea + 2.4, 0.01);
    // Plain day numbers without leading zeros by default.
    EXPECT_EQ(textos(p[0], QStringLiteral("QRDia")).value(0), QStringLiteral("1"));
}

TEST_F(HojaTest, TitlesByWorkingTimeType)
{
    EXPECT_EQ(TFormImpHojaDef::titulo(QStringLiteral("C")),
              QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO. TRABAJADOR A TIEMPO COMPLETO"));
    EXPECT_EQ(TFormImpHojaDef::titulo(QStringLiteral("P")),
              QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO. TRABAJADOR A TIEMPO PARCIAL"));
    EXPECT_EQ(TFormImpHojaDef::titulo(QStringLiteral("p")), QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO."));
    EXPECT_EQ(TFormImpHojaDef::titulo(QString()), QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO."));
    fila(QStringLiteral("201905"), QStringLiteral("P"));
    TFormImpHojaDef hoja(db(), true);
    EXPECT_EQ(textos(unica(hoja), QStringLiteral("QRTitulo")),
              QStringList{QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO. TRABAJADOR A TIEMPO PARCIAL")});
}

TEST_F(HojaTest, ShadingOfMay2019OnTheBaseCalendar)
{
    fixture::festivosNacionales(db(), 2019);
    fixture::festivo(db(), 0, QDate(2019, 5, 19), 3); // an open Sunday
    fixture::festivo(db(), 0, QDate(2019, 5, 7), 2);  // a local Tuesday
    fila(QStringLiteral("201905"));
    {
        TFormImpHojaDef hoja(db(), true);
        hoja.SombSabados = hoja.SombDomingos = hoja.SombFestivos = true;
        EXPECT_EQ(grises(unica(hoja)), (QList<int>{1, 4, 5, 7, 11, 12, 18, 25, 26}));
    }
    {
        // Saturdays worked: only Sundays and holidays.
        TFormImpHojaDef hoja(db(), true);
        hoja.SombDomingos = hoja.SombFestivos = true;
        EXPECT_EQ(grises(unica(hoja)), (QList<int>{1, 5, 7, 12, 26}));
    }
    {
        // Without the holiday switch the open Sunday is grey and the holidays white.
        TFormImpHojaDef hoja(db(), true);
        hoja.SombSabados = hoja.SombDomingos = true;
        EXPECT_EQ(grises(unica(hoja)), (QList<int>{4, 5, 11, 12, 18, 19, 25, 26}));
    }
    {
        TFormImpHojaDef hoja(db(), true);
        EXPECT_TRUE(grises(unica(hoja)).isEmpty());
    }
}

TEST_F(HojaTest, CentreCalendarAndItsOwnFlags)
{
    const auto e = fixture::crearEjemplo(db());
    fila(QStringLiteral("201905"), QStringLiteral("C"), e.calendarioMadrid, e.oficinas.id);
    {
        TFormImpHojaDef hoja(db(), true, [this](const QString& m) { mensajes << m; });
        hoja.CalendarioCentro = true;
        const auto p = unica(hoja);
        // The centre is open on Saturdays; its calendar opens Sunday 19 and adds the 2nd and the 15th.
        EXPECT_EQ(grises(p), (QList<int>{1, 2, 5, 12, 15, 26}));
        EXPECT_EQ(textos(p, QStringLiteral("QRCalendario")),
                  QStringList{QStringLiteral("Nº Calendario: %1").arg(e.calendarioMadrid)});
        EXPECT_TRUE(mensajes.isEmpty());
    }
    {
        // Not asked for: the holidays come from the base calendar, and so the caption names that one, not the
        // centre's, which an inspector would take for the days shaded.
        TFormImpHojaDef hoja(db(), true);
        hoja.SombSabados = hoja.SombDomingos = hoja.SombFestivos = true;
        const auto p = unica(hoja);
        EXPECT_EQ(grises(p), (QList<int>{1, 4, 5, 11, 12, 18, 19, 25, 26}));
        EXPECT_EQ(textos(p, QStringLiteral("QRCalendario")), QStringList{QStringLiteral("Nº Calendario: 0")});
    }
}

TEST_F(HojaTest, MissingCentreIsReportedAndNothingIsShaded)
{
    fixture::festivosNacionales(db(), 2019);
    fila(QStringLiteral("201905"), QStringLiteral("C"), 0, 999);
    TFormImpHojaDef hoja(db(), true, [this](const QString& m) { mensajes << m; });
    hoja.CalendarioCentro = true;
    const auto p = unica(hoja);
    EXPECT_EQ(mensajes, QStringList{QStringLiteral("Error centro no encontrado")});
    EXPECT_TRUE(grises(p).isEmpty());
    EXPECT_TRUE(textos(p, QStringLiteral("QRCalendario")).value(0).isEmpty());
}

TEST_F(HojaTest, HoursColumnAndWeekdayLetters)
{
    fila(QStringLiteral("201905"));
    {
        TFormImpHojaDef hoja(db(), false);
        hoja.DiaSemana = true;
        const auto p = unica(hoja);
        EXPECT_TRUE(p.named(QStringLiteral("QRLHoras")).empty());
        EXPECT_TRUE(p.named(QStringLiteral("QRVerhoras1")).empty());
        EXPECT_TRUE(p.named(QStringLiteral("QRVerHoras2")).empty());
        EXPECT_EQ(textos(p, QStringLiteral("QRLabel16")), QStringList{QStringLiteral("Firma del/de la Trabajador/a")});
        const QStringList dias = textos(p, QStringLiteral("QRDia"));
        ASSERT_EQ(dias.size(), 31);
        EXPECT_EQ(dias.first(), QStringLiteral("1 - X"));
        EXPECT_EQ(dias.at(4), QStringLiteral("5 - D"));
        EXPECT_EQ(dias.at(5), QStringLiteral("6 - L"));
        EXPECT_EQ(dias.at(30), QStringLiteral("31 - V"));
    }
    {
        TFormImpHojaDef hoja(db(), true);
        const auto p = unica(hoja);
        EXPECT_EQ(p.named(QStringLiteral("QRLHoras")).size(), 1u);
        EXPECT_EQ(p.named(QStringLiteral("QRVerHoras2")).size(), 31u);
    }
}

TEST_F(HojaTest, BlankTemplateRow)
{
    fixture::festivosNacionales(db(), 2019);
    FilaListado blanco;
    blanco.mes = QStringLiteral("201905");
    grabarFilaListado(db(), blanco);
    TFormImpHojaDef hoja(db(), true);
    hoja.SombFestivos = true;
    const auto p = paginas(hoja);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(textos(p[0], QStringLiteral("QRTitulo")),
              QStringList{QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO.")});
    EXPECT_TRUE(textos(p[0], QStringLiteral("e_nombre")).value(0).isEmpty());
    EXPECT_TRUE(textos(p[0], QStringLiteral("QRCalendario")).value(0).isEmpty());
    EXPECT_EQ(grises(p[0]), QList<int>{1});
}

TEST_F(HojaTest, PdfReadsBackWithEveryCaptionInPlace)
{
    fila(QStringLiteral("201905"), QStringLiteral("C"), 5);
    fila(QStringLiteral("201906"), QStringLiteral("P"), 5);
    TFormImpHojaDef hoja(db(), true);
    hoja.DiaSemana = true;
    hoja.AbrirFicheros();
    const QString pdf = dir.file(QStringLiteral("hoja.pdf"));
    reports::exportPdf(hoja.QRImpHojaDef(), pdf);
    EXPECT_EQ(poppler::paginas(pdf), 2);

    // Layout mode spaces words by position, so compare without blanks.
    const auto sinBlancos = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("\\s"))); };
    const QString texto = sinBlancos(poppler::texto(pdf, 1));
    for (const char* esperado : {"RESUMEN HOJA DE REGISTRO HORARIO. TRABAJADOR A TIEMPO COMPLETO",
                                 "Empresa:",
                                 "TRANSPORTES ÁLAMO, S.L.",
                                 "Trabajador/a:",
                                 "MUÑOZ DÍAZ, CARMEN",
                                 "CIF/NIF",
                                 "B28123456",
                                 "CCC",
                                 "28/1234567/89",
                                 "NIF",
                                 "12345678Z",
                                 "Nº S.Soc.",
                                 "281234567890",
                                 "Centro de trabajo",
                                 "01 - ALMACÉN SUR",
                                 "Contrato",
                                 "40 h/semana",
                                 "MAYO - 2019",
                                 "Nº Calendario: 0",
                                 "MAÑANA",
                                 "TARDE",
                                 "DÍA",
                                 "entrada",
                                 "salida",
                                 "HORAS",
                                 "Firma del/de la Trabajador/a",
                                 "1 - X",
                                 "31 - V",
                                 "TOTAL HORAS TRABAJADAS POR EL/LA TRABAJADOR/A",
                                 "Firmado, el/la  trabajador/a",
                                 "Firmado, la Empresa:"}) {
        EXPECT_TRUE(texto.contains(sinBlancos(QString::fromUtf8(esperado)))) << esperado;
    }
    EXPECT_TRUE(poppler::texto(pdf, 2).contains(QStringLiteral("TRABAJADOR A TIEMPO PARCIAL")));
    EXPECT_TRUE(sinBlancos(poppler::texto(pdf, 2)).contains(QStringLiteral("30-D")));

    // Top-left corners of key texts, in mm on the page.
    const auto palabras = poppler::palabras(pdf, 1);
    // The occurrence nearest to where the word belongs ("Nº" appears twice).
    const auto buscar = [&](const QString& t, double x = 0, double y = 0) -> const poppler::Palabra* {
        const poppler::Palabra* mejor = nullptr;
        for (const auto& p : palabras) {
            if (p.texto == t && (!mejor || std::hypot(p.x - x, p.y - y) < std::hypot(mejor->x - x, mejor->y - y)))
                mejor = &p;
        }
        return mejor;
    };
    struct Esperada
    {
        const char* palabra;
        double x, y;
    };
    // Captions and the values beside them, each at its own place: a value moved onto its neighbour's cell
    // would still read back as text.
    for (const Esperada& e : {Esperada{"Empresa:", 2.1, 8.5},       Esperada{"TRANSPORTES", 19.1, 9.5},
                              Esperada{"Trabajador/a:", 93.1, 8.5}, Esperada{"MUÑOZ", 112.4, 9.5},
                              Esperada{"CIF/NIF", 2.4, 14.8},       Esperada{"B28123456", 16.1, 15.9},
                              Esperada{"CCC", 43.7, 14.8},          Esperada{"28/1234567/89", 56.1, 15.9},
                              Esperada{"NIF", 93.4, 14.8},          Esperada{"12345678Z", 104.5, 15.9},
                              Esperada{"Nº", 135.7, 14.8},          Esperada{"281234567890", 154.5, 15.9},
                              Esperada{"Centro", 2.4, 21.2},        Esperada{"Contrato", 93.4, 21.2},
                              Esperada{"MAYO", 124.4, 33.6},        Esperada{"MAÑANA", 33.1, 37.0},
                              Esperada{"TARDE", 75.4, 37.0},        Esperada{"DÍA", 8.2, 42.6},
                              Esperada{"HORAS", 103.7, 42.6},       Esperada{"Firma", 124.6, 42.6},
                              Esperada{"40", 112.2, 22.2}}) {
        const auto* p = buscar(QString::fromUtf8(e.palabra), kMargenIzq + e.x, kMargenSup + e.y);
        ASSERT_NE(p, nullptr) << e.palabra;
        EXPECT_NEAR(p->x, kMargenIzq + e.x, 0.5) << e.palabra;
        EXPECT_NEAR(p->y, kMargenSup + e.y, 0.5) << e.palabra;
    }
    // The centre is centred between x 29.1 and 87.0.
    const auto* codigo = buscar(QStringLiteral("01"), kMargenIzq + 40, kMargenSup + 22.2);
    const auto* sur = buscar(QStringLiteral("SUR"), kMargenIzq + 70, kMargenSup + 22.2);
    ASSERT_TRUE(codigo && sur);
    EXPECT_NEAR((codigo->x + sur->x2) / 2, kMargenIzq + (29.1 + 87.0) / 2, 0.5);
    EXPECT_NEAR(codigo->y, kMargenSup + 22.2, 0.5);
    // Day 1's caption sits in the first day line.
    const auto* uno = buscar(QStringLiteral("1"));
    ASSERT_NE(uno, nullptr);
    EXPECT_NEAR(uno->x, kMargenIzq + 5.8, 0.5);
    EXPECT_NEAR(uno->y, kMargenSup + kCabecera + 1.1, 0.5);
    // The footer after the 31st line.
    const auto* total = buscar(QStringLiteral("TOTAL"));
    ASSERT_NE(total, nullptr);
    EXPECT_NEAR(total->y, kMargenSup + kCabecera + 31 * kLinea + 2.4, 0.5);
}

TEST_F(HojaTest, LongValuesStayInsideTheirCells)
{
    FilaListado f;
    f.e_nombre = QStringLiteral("CONSTRUCCIONES Y REHABILITACIONES DEL MEDITERRÁNEO OCCIDENTAL, SOCIEDAD LIMITADA");
    f.e_nif = QStringLiteral("ESB12345678901234567");
    f.e_ccc = QStringLiteral("28/12345678901234567");
    f.e_nomcentro = QStringLiteral("WW - WWWWWWWWWWWWWWWWWWWWWWWWW");
    f.t_nombre = QStringLiteral("FERNÁNDEZ-CASTELLANOS DE LA TORRE Y MONTENEGRO, MARÍA DE LOS ÁNGELES INMACULADA "
                                "CONCEPCIÓN DEL ROSARIO");
    f.t_nif = QStringLiteral("X1234567L-ABCDEFGHIJ");
    f.t_nss = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    f.t_tipojornada = QStringLiteral("C");
    f.t_contrato = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    f.mes = QStringLiteral("201905");
    grabarFilaListado(db(), f);
    TFormImpHojaDef hoja(db(), true);
    hoja.AbrirFicheros();
    const QString pdf = dir.file(QStringLiteral("largos.pdf"));
    reports::exportPdf(hoja.QRImpHojaDef(), pdf);

    // The header's cell borders on the page, and its three rows of captions and values.
    const double izquierda = kMargenIzq + 0.4, centro = kMargenIzq + 90.4, derecha = kMargenIzq + 189.8;
    const double filas[] = {kMargenSup + 8.3, kMargenSup + 14.7, kMargenSup + 21.0, kMargenSup + 28.2};
    const auto palabras = poppler::palabras(pdf, 1);
    for (int fila = 0; fila < 3; ++fila) {
        std::vector<poppler::Palabra> enFila;
        for (const auto& p : palabras) {
            if (p.y >= filas[fila] && p.y < filas[fila + 1])
                enFila.push_back(p);
        }
        std::sort(enFila.begin(), enFila.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
        ASSERT_GE(enFila.size(), 4u) << "row " << fila;
        for (std::size_t i = 0; i < enFila.size(); ++i) {
            const auto& p = enFila[i];
            const std::string que = p.texto.toStdString() + " in row " + std::to_string(fila);
            EXPECT_GE(p.x, izquierda) << que;
            EXPECT_LE(p.x2, derecha) << que;
            EXPECT_FALSE(p.x < centro && p.x2 > centro) << que << " crosses the middle border";
            if (i + 1 < enFila.size()) { // nothing runs into the next caption or value
                EXPECT_LE(p.x2, enFila[i + 1].x + 0.1) << que << " overlaps " << enFila[i + 1].texto.toStdString();
            }
            EXPECT_LE(p.y2, filas[fila + 1]) << que;
        }
    }
    // Shrinking keeps short codes whole; only what cannot fit at a readable size is cut.
    const QString texto = poppler::texto(pdf, 1);
    for (const QString& entero : {f.e_nif, f.e_ccc, f.t_nif, f.t_nss})
        EXPECT_TRUE(texto.contains(entero)) << entero.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("FERNÁNDEZ-CASTELLANOS")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Nº S.Soc.")));
}

TEST_F(HojaTest, SpanishMonthNamesInCapitals)
{
    EXPECT_EQ(TFormImpHojaDef::mesAnyo(2019, 1), QStringLiteral("ENERO - 2019"));
    EXPECT_EQ(TFormImpHojaDef::mesAnyo(2026, 12), QStringLiteral("DICIEMBRE - 2026"));
    EXPECT_EQ(TFormImpHojaDef::letraDia(QDate(2019, 5, 5)), QStringLiteral("D"));
    EXPECT_EQ(TFormImpHojaDef::letraDia(QDate(2019, 5, 8)), QStringLiteral("X"));
}

} // namespace
