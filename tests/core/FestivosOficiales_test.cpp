#include "calendars/FestivosOficiales.h"
#include "calendars/GestionCalendarios.h"
#include "data/RutaDatos.h"
#include "data/Schema.h"
#include "data/TMD.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"
#include "support/Textos.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace oficiales;

namespace {

class FestivosOficialesTest : public ::testing::Test
{
protected:
    store::Database& db() { return md.Quorvel(); }
    Tabla tabla() { return Tabla::cargarPara(md.rutaBaseDatos()); }

    // One calendar's days of a year as "fecha=codigo".
    QStringList dias(int numero, int anio)
    {
        QStringList d;
        for (const auto& [dia, codigo] :
             calendarios::diasCalendario(db(), numero, QDate(anio, 1, 1), QDate(anio, 12, 31)))
            d << dia.toString(Qt::ISODate) + u'=' + QString::number(codigo);
        return d;
    }
    QStringList aplicados(const QString& comunidad, int anio, int numero = 0)
    {
        aplicar(db(), numero, tabla().festivos(comunidad, anio), Regla::Oficial);
        return dias(numero, anio);
    }
    void escribir(const QString& nombre, const QByteArray& texto)
    {
        QFile f(dir.file(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto);
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
};

TEST_F(FestivosOficialesTest, ShippedTableGivesEachCommunityItsNationalAndRegionalDays)
{
    ASSERT_FALSE(rutaDatos(kFicheroTabla).isEmpty());
    const int madrid = int(fixture::calendario(db(), QStringLiteral("Madrid")));
    const int sevilla = int(fixture::calendario(db(), QStringLiteral("Sevilla")));
    const int barcelona = int(fixture::calendario(db(), QStringLiteral("Barcelona")));

    // Madrid 2026: 2 May falls on a Saturday and stays; Todos los Santos and the Constitución move to Monday.
    EXPECT_EQ(aplicados(QStringLiteral("MD"), 2026, madrid),
              lista({"2026-01-01=0", "2026-01-06=0", "2026-04-02=1", "2026-04-03=0", "2026-05-01=0", "2026-05-02=1",
                     "2026-08-15=0", "2026-10-12=0", "2026-11-02=1", "2026-12-07=1", "2026-12-08=0", "2026-12-25=0"}));
    EXPECT_EQ(aplicados(QStringLiteral("AN"), 2026, sevilla),
              lista({"2026-01-01=0", "2026-01-06=0", "2026-02-28=1", "2026-04-02=1", "2026-04-03=0", "2026-05-01=0",
                     "2026-08-15=0", "2026-10-12=0", "2026-11-02=1", "2026-12-07=1", "2026-12-08=0", "2026-12-25=0"}));
    // Cataluña: no Jueves Santo, but Lunes de Pascua, San Juan and the Diada.
    EXPECT_EQ(aplicados(QStringLiteral("ct"), 2027, barcelona),
              lista({"2027-01-01=0", "2027-01-06=0", "2027-03-26=0", "2027-03-29=1", "2027-05-01=0", "2027-06-24=1",
                     "2027-09-11=1", "2027-10-12=0", "2027-11-01=0", "2027-12-06=0", "2027-12-08=0", "2027-12-25=0"}));
    // Andalucía 2027 in the base calendar: 28 February and 15 August fall on Sundays and move to Monday.
    EXPECT_EQ(aplicados(QStringLiteral("AN"), 2027),
              lista({"2027-01-01=0", "2027-01-06=0", "2027-03-01=1", "2027-03-25=1", "2027-03-26=0", "2027-05-01=0",
                     "2027-08-16=1", "2027-10-12=0", "2027-11-01=0", "2027-12-06=0", "2027-12-08=0", "2027-12-25=0"}));
    // Each calendar got only its own community's days, and no other year.
    EXPECT_EQ(dias(madrid, 2027), QStringList());
    EXPECT_EQ(dias(sevilla, 2026).size(), 12);
    EXPECT_EQ(dias(0, 2026), QStringList());
}

TEST_F(FestivosOficialesTest, ApplyingTouchesLocalAndOpenDaysNeverAndTwiceChangesNothing)
{
    // Marks a clerk made before: a local day on Reyes, an open Viernes Santo, a wrong national code on
    // Jueves Santo (regional in Madrid), an ordinary local day not in the table.
    fixture::festivo(db(), 0, QDate(2026, 1, 6), 2);
    fixture::festivo(db(), 0, QDate(2026, 4, 3), 3);
    fixture::festivo(db(), 0, QDate(2026, 4, 2), 0);
    fixture::festivo(db(), 0, QDate(2026, 5, 15), 2);
    fixture::festivo(db(), 0, QDate(2026, 12, 25), 0);
    const auto madrid = tabla().festivos(QStringLiteral("MD"), 2026);

    QStringList efectos;
    for (const DiaPrevisto& d : prever(db(), 0, madrid, Regla::Oficial))
        efectos << d.fecha.toString(QStringLiteral("dd/MM")) + u' ' + textoEfecto(d);
    EXPECT_EQ(efectos, lista({"01/01 nuevo", "06/01 se queda: Local", "02/04 cambia: Nacional → CC.AA.",
                              "03/04 se queda: Abierto", "01/05 nuevo", "02/05 nuevo", "15/08 nuevo", "12/10 nuevo",
                              "02/11 nuevo", "07/12 nuevo", "08/12 nuevo", "25/12 ya marcado"}));

    EXPECT_EQ(aplicar(db(), 0, madrid, Regla::Oficial), 9);
    const QStringList despues = dias(0, 2026);
    EXPECT_EQ(despues, lista({"2026-01-01=0", "2026-01-06=2", "2026-04-02=1", "2026-04-03=3", "2026-05-01=0",
                              "2026-05-02=1", "2026-05-15=2", "2026-08-15=0", "2026-10-12=0", "2026-11-02=1",
                              "2026-12-07=1", "2026-12-08=0", "2026-12-25=0"}));
    EXPECT_EQ(aplicar(db(), 0, madrid, Regla::Oficial), 0);
    EXPECT_EQ(dias(0, 2026), despues);

    // A calendar deleted meanwhile from another copy: nothing written, the caller is told.
    const int borrado = int(fixture::calendario(db(), QStringLiteral("Borrado")));
    calendarios::borrarCalendario(db(), borrado);
    EXPECT_THROW(aplicar(db(), borrado, madrid, Regla::Oficial), calendarios::CalendarioInexistente);
}

TEST_F(FestivosOficialesTest, ImportRulesKeepOrReplaceOtherMarksAsChosen)
{
    fixture::festivo(db(), 0, QDate(2027, 9, 8), 0);
    fixture::festivo(db(), 0, QDate(2027, 9, 9), 3);
    const std::vector<Festivo> fiestas = {{QDate(2027, 9, 8), 2, QStringLiteral("Fiestas")},
                                          {QDate(2027, 9, 9), 2, QStringLiteral("Fiestas")},
                                          {QDate(2027, 9, 10), 2, QStringLiteral("Fiestas")},
                                          {QDate(2027, 9, 10), 2, QStringLiteral("Repetido")}};
    EXPECT_EQ(aplicar(db(), 0, fiestas, Regla::Conservar), 1);
    EXPECT_EQ(dias(0, 2027), lista({"2027-09-08=0", "2027-09-09=3", "2027-09-10=2"}));
    EXPECT_EQ(aplicar(db(), 0, fiestas, Regla::Reemplazar), 2);
    EXPECT_EQ(dias(0, 2027), lista({"2027-09-08=2", "2027-09-09=2", "2027-09-10=2"}));
}

TEST_F(FestivosOficialesTest, ProvisionalAndMissingYearsAreSaid)
{
    const Tabla t = tabla();
    EXPECT_TRUE(t.provisional(QStringLiteral("MD"), 2027));
    EXPECT_EQ(t.aviso(QStringLiteral("MD"), 2027),
              QStringLiteral("Los festivos de 2027 son provisionales: siguen las reglas habituales, pero aún no se "
                             "han contrastado con la resolución del BOE de ese año. Revíselos antes de usarlos."));
    EXPECT_FALSE(t.provisional(QStringLiteral("MD"), 2026));
    EXPECT_EQ(t.aviso(QStringLiteral("MD"), 2026), QString());
    EXPECT_EQ(t.falta(QStringLiteral("MD"), 2026), QString());
    EXPECT_EQ(t.falta(QStringLiteral("MD"), 2031),
              QStringLiteral("No hay festivos oficiales de 2031; puede importarlos de un fichero"));
    EXPECT_TRUE(t.festivos(QStringLiteral("MD"), 2031).empty());
    EXPECT_EQ(comunidades().size(), 19u);
    EXPECT_FALSE(comunidad(QStringLiteral("XX")));
    EXPECT_EQ(comunidad(QStringLiteral("pv"))->nombre, QStringLiteral("País Vasco"));
}

TEST_F(FestivosOficialesTest, UserFileBesideTheDatabaseReplacesItsYearsOnly)
{
    // Semicolons and a Windows spreadsheet's encoding: the clerk's 2027 for Madrid (checked, with a town's
    // day) and a year the program does not ship.
    escribir(kFicheroUsuario, QByteArray("anio;comunidad;fecha;tipo;nombre\r\n"
                                         "2027;MD;01/01/2027;0;A\xf1o Nuevo\r\n"
                                         "2027;MD;2027-05-15;2;San Isidro\r\n"
                                         "2031;MD;2031-01-01;0;A\xf1o Nuevo\r\n"));
    const Tabla t = tabla();
    const auto madrid = t.festivos(QStringLiteral("MD"), 2027);
    ASSERT_EQ(madrid.size(), 2u);
    EXPECT_EQ(madrid[0].nombre, QStringLiteral("Año Nuevo"));
    EXPECT_EQ(madrid[1].fecha, QDate(2027, 5, 15));
    EXPECT_EQ(madrid[1].tipo, 2);
    EXPECT_FALSE(t.provisional(QStringLiteral("MD"), 2027));
    EXPECT_EQ(t.aviso(QStringLiteral("MD"), 2027),
              QStringLiteral("Los festivos de 2027 vienen de su propio fichero festivos-usuario.csv."));
    EXPECT_EQ(t.festivos(QStringLiteral("MD"), 2031).size(), 1u);
    // Other communities of those years keep the shipped days; a year only the user has is missing elsewhere.
    EXPECT_EQ(t.festivos(QStringLiteral("CT"), 2027).size(), 12u);
    EXPECT_TRUE(t.provisional(QStringLiteral("CT"), 2027));
    EXPECT_EQ(t.falta(QStringLiteral("CT"), 2031),
              QStringLiteral("No hay festivos oficiales de 2031 para Cataluña; puede importarlos de un fichero"));

    escribir(kFicheroUsuario, "anio,comunidad,fecha,tipo,nombre\n2027,MD,2027-02-30,0,Nada\n");
    try {
        tabla();
        ADD_FAILURE() << "a wrong date was accepted";
    } catch (const ErrorTabla& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("festivos-usuario.csv, fila 2: «2027-02-30» no es una fecha (aaaa-mm-dd o "
                                 "dd/mm/aaaa)."));
    }
    escribir(kFicheroUsuario, "anio,comunidad,fecha,tipo,nombre\n2027,ZZ,2027-02-03,0,Nada\n");
    EXPECT_THROW(tabla(), ErrorTabla);
    EXPECT_THROW(Tabla::cargar(dir.file(QStringLiteral("no-existe.csv")), {}), ErrorTabla);
}

TEST_F(FestivosOficialesTest, OlderFileGainsTheCommunityColumnAndKeepsItsCalendars)
{
    const QString ruta = dir.file(QStringLiteral("antigua.abs"));
    {
        TMD antigua(ruta);
        store::Database& a = antigua.Quorvel();
        // The calendar list as the first release made it.
        a.exec(QStringLiteral("DROP TABLE Calendarios; CREATE TABLE \"Calendarios\" (\"id\" INTEGER PRIMARY KEY "
                              "AUTOINCREMENT, \"descripcion\" TEXT); INSERT INTO Calendarios (descripcion) "
                              "VALUES ('Tienda'); PRAGMA user_version = 1;"));
    }
    TMD nueva(ruta);
    store::Database& n = nueva.Quorvel();
    EXPECT_EQ(n.userVersion(), schema::kVersion);
    EXPECT_EQ(comunidadCalendario(n, 1), QString());
    guardarComunidad(n, 1, QStringLiteral("GA"));
    EXPECT_EQ(comunidadCalendario(n, 1), QStringLiteral("GA"));
    store::Statement st = n.prepare(QStringLiteral("SELECT descripcion FROM Calendarios WHERE id = 1"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), QStringLiteral("Tienda"));
    // Opening again takes no step twice.
    st.reset();
    EXPECT_NO_THROW(schema::actualizar(n));
}

} // namespace

TEST_F(FestivosOficialesTest, SeveralCalendarsTakeTheirOwnCommunityInOneGoOrNotAtAll)
{
    const int vigo = int(fixture::calendario(db(), QStringLiteral("Vigo")));
    const int bilbao = int(fixture::calendario(db(), QStringLiteral("Bilbao")));
    const Tabla t = tabla();
    EXPECT_EQ(aplicarVarios(db(),
                            {{0, QStringLiteral("MD")}, {vigo, QStringLiteral("GA")}, {bilbao, QStringLiteral("pv")}},
                            2025, t),
              36);
    EXPECT_EQ(dias(bilbao, 2025).join(u' '),
              QStringLiteral("2025-01-01=0 2025-01-06=0 2025-04-17=1 2025-04-18=0 2025-04-21=1 2025-05-01=0 "
                             "2025-07-25=1 2025-08-15=0 2025-11-01=0 2025-12-06=0 2025-12-08=0 2025-12-25=0"));
    EXPECT_EQ(comunidadCalendario(db(), vigo), QStringLiteral("GA"));
    EXPECT_EQ(comunidadCalendario(db(), bilbao), QStringLiteral("PV"));

    // One calendar gone: none of the others is written either.
    const int nuevo = int(fixture::calendario(db(), QStringLiteral("Nuevo")));
    EXPECT_THROW(aplicarVarios(db(), {{nuevo, QStringLiteral("CT")}, {999, QStringLiteral("CT")}}, 2025, t),
                 calendarios::CalendarioInexistente);
    EXPECT_EQ(dias(nuevo, 2025), QStringList());
    EXPECT_THROW(aplicarVarios(db(), {{nuevo, QStringLiteral("CT")}}, 2031, t), ErrorTabla);
}
