#include "calendars/PlanFestivos.h"
#include "calendars/TFormLisPlanFestivos.h"
#include "data/TMD.h"
#include "reports/Layout.h"
#include "reports/PdfExport.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using Marcas = std::map<int, const char*>;

class PlanFestivosTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        e = fixture::crearEjemplo(db());
        // A base holiday that the Madrid calendar does not have.
        fixture::festivo(db(), 0, QDate(2019, 5, 22), 2);
    }
    store::Database& db() { return md.Quorvel(); }

    // Every day's mark of one row, checked against the days given; the rest must be empty.
    static void comprobar(const plan::FilaPlan& fila, const Marcas& marcas)
    {
        for (int d = 1; d <= 31; ++d) {
            const QString esperada = marcas.count(d) ? QString::fromLatin1(marcas.at(d)) : QString();
            EXPECT_EQ(fila.dias[std::size_t(d - 1)], esperada) << fila.codcentro.toStdString() << " day " << d;
        }
    }

    QString pdf(qint64 empresa, QDate mes)
    {
        plan::GenerarPlanFestivos(db(), empresa, mes);
        TFormLisPlanFestivos listado(db(), mes, mes.daysInMonth());
        listado.Ahora = QDateTime(QDate(2019, 5, 20), QTime(9, 30));
        const QString fichero = dir.file(plan::nombreFichero(empresa, mes));
        EXPECT_EQ(reports::exportPdf(listado.QRLisPlanFestivos(), fichero), 1);
        return fichero;
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
};

// Left of day d's cell and top of detail line `linea` on the page, in pixels at 96 dpi.
int xCelda(int d)
{
    return qRound(10 / 25.4 * 96) + TFormLisPlanFestivos::x(d);
}
int yLinea(int linea)
{
    return qRound(10 / 25.4 * 96) + 99 + 35 * linea;
}

} // namespace

TEST_F(PlanFestivosTest, EachCentreFollowsItsOwnCalendarAndWeekendClosing)
{
    plan::GenerarPlanFestivos(db(), e.empresa1, QDate(2019, 5, 15));
    const auto filas = plan::leerPlan(db());
    ASSERT_EQ(filas.size(), 3u);
    EXPECT_EQ(filas[0].codcentro, QStringLiteral("01"));
    EXPECT_EQ(filas[0].nomcentro, QStringLiteral("Almacén sur"));
    EXPECT_EQ(filas[0].calendario, QStringLiteral("0"));
    EXPECT_EQ(filas[1].calendario, QString::number(e.calendarioMadrid));
    // May 2019 starts on a Wednesday: weekends are 4-5, 11-12, 18-19, 25-26.
    const Marcas finesDeSemana = {{4, "X"}, {5, "X"}, {11, "X"}, {12, "X"}, {18, "X"}, {19, "X"}, {25, "X"}, {26, "X"}};
    Marcas almacen = finesDeSemana;
    almacen[1] = "X";
    almacen[22] = "X";
    comprobar(filas[0], almacen);
    // Madrid's calendar only; open on Saturdays; the open Sunday 19 reads "A" though Sundays are closed.
    comprobar(filas[1], {{1, "X"}, {2, "X"}, {5, "X"}, {12, "X"}, {15, "X"}, {19, "A"}, {26, "X"}});
    comprobar(filas[2], almacen);
}

TEST_F(PlanFestivosTest, HolidayFlagPlaysNoPartAndShortMonthsLeaveTheLastDaysEmpty)
{
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("FERIA"), QString(), QString());
    fixture::centro(db(), empresa, QStringLiteral("B1"), QStringLiteral("ABIERTO SIEMPRE"), 0, false, false, false);
    fixture::festivo(db(), 0, QDate(2024, 2, 29), 1);
    plan::GenerarPlanFestivos(db(), empresa, QDate(2024, 2, 10));
    const auto filas = plan::leerPlan(db());
    ASSERT_EQ(filas.size(), 1u);
    comprobar(filas[0], {{29, "X"}});
}

TEST_F(PlanFestivosTest, AnUnreadableCentreIsNamedAndTheOthersAreListed)
{
    // The sheets' rule: an empty calendar or a flag that is neither 0 nor 1 cannot be read; an empty flag is
    // "not closed".
    db().prepare(QStringLiteral("UPDATE centros SET calendario = NULL WHERE id = ?")).bind(1, e.despacho.id).run();
    const auto raro = fixture::centro(db(), e.empresa2, QStringLiteral("03"), QStringLiteral("RARO"));
    db().prepare(QStringLiteral("UPDATE centros SET domingos = 2 WHERE id = ?")).bind(1, raro.id).run();
    const auto abierto = fixture::centro(db(), e.empresa2, QStringLiteral("04"), QStringLiteral("SIN CIERRES"));
    db().prepare(QStringLiteral("UPDATE centros SET sabados = NULL, domingos = NULL WHERE id = ?"))
        .bind(1, abierto.id)
        .run();
    const QStringList noIncluidos = plan::GenerarPlanFestivos(db(), e.empresa2, QDate(2019, 6, 1));
    EXPECT_EQ(
        noIncluidos,
        (QStringList{QStringLiteral("Centro: %1 - DESPACHO PLAZA  no impreso: el campo 'calendario' está vacío")
                         .arg(e.despacho.codcentro),
                     QStringLiteral("Centro: %1 - RARO  no impreso: el campo 'domingos' vale «2», que no es 0 ni 1")
                         .arg(raro.codcentro)}));
    const auto filas = plan::leerPlan(db());
    ASSERT_EQ(filas.size(), 2u);
    EXPECT_EQ(filas[0].nomcentro, QStringLiteral("OBRADOR"));
    EXPECT_EQ(filas[1].nomcentro, QStringLiteral("SIN CIERRES"));
    comprobar(filas[1], {}); // June 2019 has no national holiday
}

TEST_F(PlanFestivosTest, TwoConnectionsNeverSeeEachOthersPlan)
{
    TMD otra(dir.file(QStringLiteral("Quorvel.abs")));
    plan::GenerarPlanFestivos(db(), e.empresa1, QDate(2019, 5, 1));
    plan::GenerarPlanFestivos(otra.Quorvel(), e.empresa2, QDate(2019, 5, 1));
    EXPECT_EQ(plan::leerPlan(db()).size(), 3u);
    const auto suyas = plan::leerPlan(otra.Quorvel());
    ASSERT_EQ(suyas.size(), 2u);
    EXPECT_EQ(suyas[0].nomcentro, QStringLiteral("OBRADOR"));
    // Nothing of either plan reaches the shared file.
    store::Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM main.PlanFestivos"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.integer(0), 0);
}

TEST_F(PlanFestivosTest, LeapFebruaryLaysOutTwentyNineColumnsAndARuleOf730Pixels)
{
    plan::GenerarPlanFestivos(db(), e.empresa1, QDate(2024, 2, 1));
    TFormLisPlanFestivos listado(db(), QDate(2024, 2, 1), 29);
    const auto paginas = reports::LayoutEngine::layoutAll(listado.QRLisPlanFestivos());
    ASSERT_EQ(paginas.size(), 1u);
    const reports::Page& p = paginas.front();
    const auto regla = p.named(QStringLiteral("LineaCab"));
    ASSERT_EQ(regla.size(), 1u);
    EXPECT_NEAR(regla[0]->rect.width(), TFormLisPlanFestivos::mm(730), 1e-6);
    EXPECT_NEAR(regla[0]->rect.left(), 10 + TFormLisPlanFestivos::mm(176), 1e-6);
    EXPECT_EQ(p.named(QStringLiteral("QRDia29")).size(), 1u);
    EXPECT_TRUE(p.named(QStringLiteral("QRDia30")).empty());
    // The closing rule stands after day 29 only, once per centre.
    EXPECT_EQ(p.named(QStringLiteral("QRDerecha29")).size(), 3u);
    EXPECT_TRUE(p.named(QStringLiteral("QRDerecha28")).empty());
    EXPECT_EQ(p.named(QStringLiteral("QRLetra1"))[0]->text, QStringLiteral("J")) << "1 Feb 2024 is a Thursday";
    EXPECT_EQ(p.named(QStringLiteral("QRLetra4"))[0]->text, QStringLiteral("D"));
}

TEST_F(PlanFestivosTest, PdfShowsTheMarkTableCellsAsAPersonSeesThem)
{
    const QString fichero = pdf(e.empresa1, QDate(2019, 5, 15));
    EXPECT_EQ(poppler::paginas(fichero), 1);
    const QString texto = poppler::texto(fichero);
    EXPECT_TRUE(texto.contains(QStringLiteral("Plan festivos centros"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("mayo / 2019")));
    EXPECT_TRUE(texto.contains(QStringLiteral("20/05/2019 09:30:00")));
    EXPECT_TRUE(texto.contains(QStringLiteral("01 - Almacén sur")));
    EXPECT_TRUE(texto.contains(QStringLiteral("02 - OFICINAS CASTELLANA")));

    // The words of each detail line, by the day cell they stand in.
    const auto palabras = poppler::palabras(fichero);
    const auto enCelda = [&](int linea, int dia) {
        QStringList dentro;
        const double mm = 25.4 / 96;
        for (const auto& w : palabras) {
            const double cx = (w.x + w.x2) / 2 / mm;
            const double cy = (w.y + w.y2) / 2 / mm;
            if (cx > xCelda(dia) + 5 && cx < xCelda(dia) + 25 && cy > yLinea(linea) && cy < yLinea(linea) + 33)
                dentro << w.texto;
        }
        return dentro.join(u' ');
    };
    EXPECT_EQ(enCelda(0, 1), QStringLiteral("1")) << "weekday holiday carries its number";
    EXPECT_EQ(enCelda(0, 4), QString()) << "closed Saturday is blank";
    EXPECT_EQ(enCelda(0, 2), QString()) << "working day is blank";
    EXPECT_EQ(enCelda(1, 19), QStringLiteral("A"));
    EXPECT_EQ(enCelda(1, 15), QStringLiteral("15"));
    EXPECT_EQ(enCelda(1, 4), QString()) << "open Saturday";

    ASSERT_EQ(poppler::run(QStringLiteral("pdftoppm"),
                           {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"),
                            QStringLiteral("-singlefile"), fichero, dir.file(QStringLiteral("plan"))}),
              QString());
    const QImage imagen(dir.file(QStringLiteral("plan.png")));
    ASSERT_FALSE(imagen.isNull());
    const auto color = [&](int linea, int dia) { return imagen.pixelColor(xCelda(dia) + 12, yLinea(linea) + 4); };
    const QColor plata(0xC0, 0xC0, 0xC0);
    const QColor blanco(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(color(0, 1), plata);
    EXPECT_EQ(color(0, 4), plata);
    EXPECT_EQ(color(0, 5), plata);
    EXPECT_EQ(color(0, 2), blanco);
    EXPECT_EQ(color(1, 4), blanco);
    EXPECT_EQ(color(1, 19), blanco);
    EXPECT_EQ(color(1, 2), plata);
}

TEST_F(PlanFestivosTest, CompanyWithoutCentresPrintsTheHeaderOnly)
{
    const qint64 vacia = fixture::empresa(db(), QStringLiteral("SIN CENTROS"), QString(), QString());
    const QString fichero = pdf(vacia, QDate(2019, 2, 1));
    EXPECT_EQ(poppler::paginas(fichero), 1);
    const QString texto = poppler::texto(fichero);
    EXPECT_TRUE(texto.contains(QStringLiteral("febrero / 2019")));
    EXPECT_TRUE(texto.contains(QStringLiteral("28"))) << texto.toStdString();
    EXPECT_FALSE(texto.contains(QStringLiteral("29")));
    EXPECT_FALSE(texto.contains(QStringLiteral(" - ")));
}

TEST_F(PlanFestivosTest, LongCentreNameIsCutShortAndNeverSmallerThanEightPoints)
{
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("LARGA"), QStringLiteral("B1"), QStringLiteral("1"));
    fixture::centro(db(), empresa, QStringLiteral("01"), QStringLiteral("ALMACÉN"));
    fixture::centro(db(), empresa, QStringLiteral("02"), QStringLiteral("DELEGACIÓN TORREJÓN ARDOZ"));
    plan::GenerarPlanFestivos(db(), empresa, QDate(2019, 5, 1));
    TFormLisPlanFestivos listado(db(), QDate(2019, 5, 1), 31);
    const auto paginas = reports::LayoutEngine::layoutAll(listado.QRLisPlanFestivos());
    ASSERT_EQ(paginas.size(), 1u);
    const auto centros = paginas.front().named(QStringLiteral("QRCentro"));
    ASSERT_EQ(centros.size(), 2u);
    EXPECT_EQ(centros[0]->text, QStringLiteral("01 - ALMACÉN"));
    EXPECT_TRUE(centros[1]->text.startsWith(QStringLiteral("02 - DELEGACI"))) << centros[1]->text.toStdString();
    EXPECT_TRUE(centros[1]->text.endsWith(QStringLiteral("…"))) << centros[1]->text.toStdString();
    EXPECT_EQ(centros[0]->font.pointSize, 10);
    EXPECT_EQ(centros[1]->font.pointSize, 8);
    // Nothing of the name reaches the first day's cell.
    EXPECT_LE(centros[1]->rect.right(), 10 + TFormLisPlanFestivos::mm(TFormLisPlanFestivos::x(1)));
}
