#include "data/TMD.h"
#include "sheets/Listado.h"
#include "sheets/ListasSeleccion.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ListadoTest : public ::testing::Test
{
protected:
    void SetUp() override { e = fixture::crearEjemplo(db()); }
    store::Database& db() { return md.Quorvel(); }

    EntradaListado entrada(const QString& codcentro, QDate inicio, QDate fin)
    {
        EntradaListado in;
        in.mesInicio = inicio;
        in.mesFin = fin;
        in.trabajadores = entradasTrabajadores(db(), codcentro);
        in.seleccionado = in.trabajadores.isEmpty() ? -1 : 0;
        in.todosTrabajadores = true;
        in.mensaje = [this](const QString& m) { mensajes << m; };
        return in;
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    QStringList mensajes;
};

TEST_F(ListadoTest, OneMonthGivesOneRowPerWorkerWithEveryField)
{
    const auto in = entrada(e.almacen.codcentro, QDate(2019, 5, 17), QDate(2019, 5, 3));
    GrabarListado(db(), e.almacen.codcentro, in);
    const auto filas = leerListado(db());
    ASSERT_EQ(in.trabajadores.size(), 10);
    ASSERT_EQ(filas.size(), 10u);
    const FilaListado& f = filas.front();
    EXPECT_EQ(f.idempresa, e.empresa1);
    EXPECT_EQ(f.idcentro, e.almacen.id);
    EXPECT_EQ(f.idcalendario, 0);
    EXPECT_EQ(f.e_nombre, QStringLiteral("TRANSPORTES ÁLAMO, S.L."));
    EXPECT_EQ(f.e_nif, QStringLiteral("B28123456"));
    EXPECT_EQ(f.e_ccc, QStringLiteral("28/1234567/89"));
    // Capitals for a-z only: the accented letter keeps its case.
    EXPECT_EQ(f.e_nomcentro, QStringLiteral("01 - ALMACÉN SUR"));
    EXPECT_EQ(f.mes, QStringLiteral("201905"));
    // The first worker of the centre in Spanish order, a part-timer.
    EXPECT_EQ(f.t_nombre, QStringLiteral("CANO PRIETO, MÓNICA"));
    EXPECT_EQ(f.t_nif, QStringLiteral("10158380X"));
    EXPECT_EQ(f.t_nss, QStringLiteral("281002094580"));
    EXPECT_EQ(f.t_tipojornada, QStringLiteral("P"));
    EXPECT_EQ(f.t_contrato, QStringLiteral("20 h/semana"));
    EXPECT_TRUE(mensajes.isEmpty());
}

TEST_F(ListadoTest, RangeAcrossTheNewYearWorkerByWorker)
{
    auto in = entrada(e.oficinas.codcentro, QDate(2019, 11, 20), QDate(2020, 2, 1));
    GrabarListado(db(), e.oficinas.codcentro, in);
    const auto filas = leerListado(db());
    ASSERT_EQ(in.trabajadores.size(), 11);
    ASSERT_EQ(filas.size(), 4u * 11);
    EXPECT_EQ(filas.front().idcalendario, e.calendarioMadrid);
    QStringList meses;
    for (const auto& f : filas)
        if (!meses.contains(f.mes))
            meses << f.mes;
    EXPECT_EQ(meses, (QStringList{QStringLiteral("201911"), QStringLiteral("201912"), QStringLiteral("202001"),
                                  QStringLiteral("202002")}));
    // Appended worker by worker, month by month: rowid order shows it.
    store::Statement st = db().prepare(QStringLiteral("SELECT t_nombre, mes FROM Listado ORDER BY rowid LIMIT 5"));
    QStringList orden;
    while (st.step())
        orden << st.text(1);
    EXPECT_EQ(orden, (QStringList{QStringLiteral("201911"), QStringLiteral("201912"), QStringLiteral("202001"),
                                  QStringLiteral("202002"), QStringLiteral("201911")}));
}

TEST_F(ListadoTest, SelectedWorkerOnlyUnlessAnAllOptionIsTicked)
{
    auto in = entrada(e.almacen.codcentro, QDate(2019, 5, 1), QDate(2019, 6, 1));
    in.todosTrabajadores = false;
    in.seleccionado = 2;
    ASSERT_EQ(in.trabajadores.size(), 10);
    GrabarListado(db(), e.almacen.codcentro, in);
    auto filas = leerListado(db());
    ASSERT_EQ(filas.size(), 2u);
    EXPECT_EQ(filas[0].t_nombre, QStringLiteral("GARCÍA LÓPEZ, MARÍA"));

    VaciarListado(db());
    EXPECT_TRUE(leerListado(db()).empty());
    in.todosCentros = true;
    GrabarListado(db(), e.almacen.codcentro, in);
    EXPECT_EQ(leerListado(db()).size(), 2u * 10);
}

TEST_F(ListadoTest, UnknownCentreStillBuildsRows)
{
    auto in = entrada(e.almacen.codcentro, QDate(2019, 5, 1), QDate(2019, 5, 1));
    GrabarListado(db(), QStringLiteral("9999"), in);
    EXPECT_EQ(mensajes, QStringList{QStringLiteral("error: código de centro no encontrado")});
    const auto filas = leerListado(db());
    ASSERT_EQ(filas.size(), 10u);
    EXPECT_EQ(filas[0].e_nomcentro, QStringLiteral(" - "));
    EXPECT_EQ(filas[0].idempresa, 0);
    EXPECT_EQ(filas[0].idcentro, 0);
    EXPECT_EQ(filas[0].idcalendario, 0);
    EXPECT_TRUE(filas[0].e_nombre.isEmpty());
    EXPECT_FALSE(filas[0].t_nombre.isEmpty());
}

TEST_F(ListadoTest, CentreOfAMissingCompany)
{
    const auto huerfano = fixture::centro(db(), 77, QStringLiteral("01"), QStringLiteral("HUÉRFANO"));
    auto in = entrada(e.almacen.codcentro, QDate(2019, 5, 1), QDate(2019, 5, 1));
    GrabarListado(db(), huerfano.codcentro, in);
    EXPECT_EQ(mensajes, QStringList{QStringLiteral("error empresa no encontrada")});
    const auto filas = leerListado(db());
    ASSERT_EQ(filas.size(), 10u);
    EXPECT_EQ(filas[0].idcentro, huerfano.id);
    EXPECT_EQ(filas[0].idempresa, 0);
    EXPECT_EQ(filas[0].e_nomcentro, QStringLiteral("01 - HUÉRFANO"));
}

TEST_F(ListadoTest, WorkerIdsWithExtraSpacesAndMissingWorkers)
{
    EntradaListado in;
    in.mesInicio = in.mesFin = QDate(2019, 5, 1);
    in.trabajadores = {QStringLiteral("   %1    -   ALGUIEN").arg(e.trabajadores[4]), QStringLiteral("9999 - NADIE")};
    in.todosTrabajadores = true;
    in.mesFin = QDate(2019, 6, 1);
    in.mensaje = [this](const QString& m) { mensajes << m; };
    GrabarListado(db(), e.almacen.codcentro, in);
    const auto filas = leerListado(db());
    ASSERT_EQ(filas.size(), 4u);
    EXPECT_EQ(filas[0].t_nombre, QStringLiteral("MUÑOZ DÍAZ, CARMEN"));
    // One message per missing worker and month; the rows are still appended.
    EXPECT_EQ(mensajes, QStringList(2, QStringLiteral("error trabajador no encontrado en listado")));
    EXPECT_TRUE(filas[3].t_nombre.isEmpty());
}

TEST_F(ListadoTest, TypedTextIsUsedWhenTheListIsEmpty)
{
    EntradaListado in;
    in.mesInicio = in.mesFin = QDate(2019, 5, 1);
    in.textoTrabajador = QStringLiteral(" %1 - x").arg(e.trabajadores[0]);
    GrabarListado(db(), e.almacen.codcentro, in);
    EXPECT_EQ(leerListado(db()).size(), 1u);
}

TEST_F(ListadoTest, EntryThatIsNotANumberEndsTheBuildKeepingEarlierRows)
{
    auto in = entrada(e.almacen.codcentro, QDate(2019, 5, 1), QDate(2019, 5, 1));
    in.trabajadores.insert(1, QStringLiteral("ABC - MAL"));
    EXPECT_THROW(GrabarListado(db(), e.almacen.codcentro, in), store::ConversionError);
    EXPECT_EQ(leerListado(db()).size(), 1u);

    in.todosTrabajadores = false;
    in.seleccionado = -1;
    EXPECT_THROW(GrabarListado(db(), e.almacen.codcentro, in), store::ConversionError);
}

TEST_F(ListadoTest, StopRequestIsPolledBeforeEachWorkerAndMonth)
{
    auto in = entrada(e.almacen.codcentro, QDate(2019, 1, 1), QDate(2019, 12, 1));
    int consultas = 0;
    in.interrumpir = [&] { return ++consultas > 5; };
    GrabarListado(db(), e.almacen.codcentro, in);
    // Poll 1 before the first worker, 2-5 before its first four months.
    EXPECT_EQ(leerListado(db()).size(), 4u);
}

TEST_F(ListadoTest, EachConnectionBuildsAndReadsOnlyItsOwnRows)
{
    TMD otraCopia(md.rutaBaseDatos());
    store::Database& otra = otraCopia.Quorvel();
    GrabarListado(db(), e.almacen.codcentro, entrada(e.almacen.codcentro, QDate(2019, 5, 1), QDate(2019, 5, 1)));
    const std::size_t mias = leerListado(db()).size();
    ASSERT_GT(mias, 0u);
    EXPECT_TRUE(leerListado(otra).empty());
    GrabarListado(otra, e.oficinas.codcentro, entrada(e.oficinas.codcentro, QDate(2019, 5, 1), QDate(2019, 6, 1)));
    VaciarListado(otra);
    EXPECT_EQ(leerListado(db()).size(), mias);
    // The shared file's table is never written.
    store::Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM main.Listado"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.integer(0), 0);
    // The private copy is not encrypted: it must live in memory, never in a temporary file.
    for (store::Database* conexion : {&db(), &otra}) {
        store::Statement memoria = conexion->prepare(QStringLiteral("PRAGMA temp_store"));
        ASSERT_TRUE(memoria.step());
        EXPECT_EQ(memoria.integer(0), 2);
    }
}

TEST_F(ListadoTest, TheLastMonthsOfTheCalendarEnd)
{
    EXPECT_EQ(codigoMes(QDate(2019, 5, 31)), QStringLiteral("201905"));
    // As text the month after 999912 sorts before it; the build must still stop.
    auto in = entrada(e.almacen.codcentro, QDate(9999, 11, 1), QDate(9999, 12, 31));
    GrabarListado(db(), e.almacen.codcentro, in);
    const auto filas = leerListado(db());
    ASSERT_EQ(filas.size(), 2u * 10);
    EXPECT_EQ(filas.front().mes, QStringLiteral("999911"));
    EXPECT_EQ(filas.back().mes, QStringLiteral("999912"));
}

} // namespace
