#include "calendars/GestionCalendarios.h"
#include "data/TMD.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace {

class GestionCalendariosTest : public ::testing::Test
{
protected:
    void SetUp() override { e = fixture::crearEjemplo(db()); }
    store::Database& db() { return md.Quorvel(); }
    int filas(int numero)
    {
        return int(calendarios::diasCalendario(db(), numero, QDate(1900, 1, 1), QDate(2999, 12, 31)).size());
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
};

} // namespace

TEST_F(GestionCalendariosTest, AFailedYearCopyLeavesEveryCalendarAsItWas)
{
    const int segundo = int(fixture::calendario(db(), QStringLiteral("SEGUNDO")));
    fixture::festivo(db(), segundo, QDate(2019, 6, 24), 2);
    const int madrid = filas(e.calendarioMadrid);
    // The second calendar's rows cannot be written: the copy fails half-way.
    db().exec(QStringLiteral("CREATE TEMP TRIGGER falla BEFORE INSERT ON main.calendar2 WHEN NEW.num = %1 "
                             "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END")
                  .arg(segundo));
    EXPECT_THROW(calendarios::copiarAnyoBase(db(), 2019), store::StoreError);
    EXPECT_EQ(filas(e.calendarioMadrid), madrid);
    EXPECT_EQ(filas(segundo), 1);
    db().exec(QStringLiteral("DROP TRIGGER falla"));
    calendarios::copiarAnyoBase(db(), 2019);
    EXPECT_EQ(filas(segundo), 10);
}

TEST_F(GestionCalendariosTest, CentresNameTheirCalendarAsTextAndYearsMustBeYears)
{
    const int n = int(fixture::calendario(db(), QStringLiteral("TEXTO")));
    fixture::centro(db(), e.empresa2, QStringLiteral("05"), QStringLiteral("CERO DELANTE"), 0);
    db().prepare(QStringLiteral("UPDATE centros SET calendario = ? WHERE codcentro2 = '05'"))
        .bind(1, QStringLiteral("0%1").arg(n))
        .run();
    EXPECT_EQ(calendarios::centrosConCalendario(db(), n), QStringList({QStringLiteral("0205 - CERO DELANTE")}));
    EXPECT_EQ(calendarios::borrarCalendario(db(), n).size(), 1);
    EXPECT_TRUE(calendarios::existeCalendario(db(), n));
    EXPECT_EQ(calendarios::centrosConCalendario(db(), 0).size(), 4) << "the base calendar's centres";

    EXPECT_EQ(calendarios::anyoValido(QStringLiteral(" 2019 ")), 2019);
    for (const char* malo : {"219", "20190", "abcd", "1899", "3000", "-201", ""})
        EXPECT_FALSE(calendarios::anyoValido(QString::fromLatin1(malo))) << malo;

    calendarios::ModeloListaCalendarios modelo(db());
    QAbstractItemModelTester tester(&modelo, QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(modelo.rowCount(), 2);
    EXPECT_EQ(modelo.data(modelo.index(0, 1)).toString(), QStringLiteral("MADRID CAPITAL"));
    modelo.recargar();
    EXPECT_EQ(modelo.fila(n), 1);
}

TEST_F(GestionCalendariosTest, RenamingACalendarChangesItsNameOnly)
{
    const int otro = int(fixture::calendario(db(), QStringLiteral("OTRO")));
    const int dias = filas(e.calendarioMadrid);
    calendarios::renombrarCalendario(db(), e.calendarioMadrid, QStringLiteral("MADRID, AÑO NUEVO"));
    calendarios::ModeloListaCalendarios lista(db());
    lista.recargar();
    EXPECT_EQ(lista.descripcion(lista.fila(e.calendarioMadrid)), QStringLiteral("MADRID, AÑO NUEVO"));
    EXPECT_EQ(lista.descripcion(lista.fila(otro)), QStringLiteral("OTRO"));
    EXPECT_EQ(filas(e.calendarioMadrid), dias);
}
