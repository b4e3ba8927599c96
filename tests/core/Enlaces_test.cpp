// What a record links to is checked inside the write that makes the link: two connections on one file stand
// for two copies of the program, the second changing things behind the first one's open form.
#include "calendars/GestionCalendarios.h"
#include "data/TMD.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <QProcess>
#include <functional>
#include <gtest/gtest.h>

namespace {

class EnlacesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
        m_a0 = fixture::centro(db(), m_empresa, QStringLiteral("A0"), QStringLiteral("ALMACÉN"));
        m_trabajador = fixture::trabajador(db(), QStringLiteral("RUIZ, EVA"), {}, {}, QStringLiteral("C"), {});
    }

    store::Database& db() { return m_md.Quorvel(); }
    store::Database& otra() { return m_otra.Quorvel(); }
    qint64 cuenta(const QString& sql)
    {
        store::Statement st = db().prepare(sql);
        st.step();
        return st.integer(0);
    }
    // The refusal's text, or a failure when the store went ahead.
    static QString rechazo(const std::function<void()>& paso)
    {
        try {
            paso();
        } catch (const ErrorQuorvel& e) {
            return e.message();
        }
        ADD_FAILURE() << "stored a link to nothing";
        return {};
    }
    void recodificar(store::Database& en, qint64 id, const QString& codcentro2)
    {
        maestros::Centro c = *maestros::leerCentro(en, id);
        c.codcentro2 = codcentro2;
        c.codcentro = maestros::codigoCentro(QString::number(*c.idempresa), codcentro2);
        maestros::grabarCentro(en, c);
    }

    TempDir m_dir;
    TMD m_md{m_dir.file(QStringLiteral("Quorvel.abs"))};
    TMD m_otra{m_dir.file(QStringLiteral("Quorvel.abs"))};
    qint64 m_empresa = 0;
    fixture::Centro m_a0;
    qint64 m_trabajador = 0;
};

TEST_F(EnlacesTest, AnAssignmentNeedsTheCentreAndTheWorkerStillThere)
{
    // The worker form listed 01A0; another copy renamed it before the choice was stored.
    recodificar(otra(), m_a0.id, QStringLiteral("A9"));
    EXPECT_EQ(rechazo([&] { maestros::asignar(db(), m_trabajador, QStringLiteral("01A0")); }),
              QStringLiteral("El centro 01A0 ya no existe: otra copia lo ha cambiado o borrado"));
    // A centre given that code later must not inherit a worker nobody assigned to it.
    fixture::centro(otra(), m_empresa, QStringLiteral("A0"), QStringLiteral("DE OTRO"));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM ubicatrabajador")), 0);

    const auto b1 = fixture::centro(db(), m_empresa, QStringLiteral("B1"), QStringLiteral("OFICINAS"));
    maestros::borrarCentro(otra(), b1.id, b1.codcentro);
    EXPECT_EQ(rechazo([&] { maestros::asignar(db(), m_trabajador, QStringLiteral("01B1")); }),
              QStringLiteral("El centro 01B1 ya no existe: otra copia lo ha cambiado o borrado"));

    maestros::borrarTrabajador(otra(), m_trabajador);
    EXPECT_EQ(rechazo([&] { maestros::asignar(db(), m_trabajador, QStringLiteral("01A9")); }),
              QStringLiteral("El trabajador %1 ya no existe: otra copia lo ha borrado").arg(m_trabajador));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM ubicatrabajador")), 0);

    const qint64 otro = fixture::trabajador(db(), QStringLiteral("SOTO, LUIS"), {}, {}, QStringLiteral("C"), {});
    EXPECT_TRUE(maestros::asignar(db(), otro, QStringLiteral("01A9")));
}

TEST_F(EnlacesTest, ACentreNeedsItsCompanyAndItsCalendarStillThere)
{
    const qint64 dos = fixture::empresa(db(), QStringLiteral("DOS"), {}, {});
    maestros::Centro nuevo = maestros::centroNuevo(dos);
    nuevo.codcentro2 = QStringLiteral("C1");
    nuevo.codcentro = maestros::codigoCentro(QString::number(dos), nuevo.codcentro2);
    nuevo.nomcentro = QStringLiteral("TIENDA");
    maestros::borrarEmpresa(otra(), dos);
    EXPECT_EQ(rechazo([&] { maestros::grabarCentro(db(), nuevo); }),
              QStringLiteral("La empresa %1 ya no existe: otra copia la ha borrado").arg(dos));
    EXPECT_EQ(nuevo.id, 0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM centros")), 1);

    // The calendar was chosen in the picker; another copy deleted it, as nothing used it yet.
    const qint64 madrid = fixture::calendario(db(), QStringLiteral("MADRID"));
    maestros::Centro a0 = *maestros::leerCentro(db(), m_a0.id);
    a0.calendario = QString::number(madrid);
    a0.nomcentro = QStringLiteral("ALMACÉN NUEVO");
    EXPECT_TRUE(calendarios::borrarCalendario(otra(), int(madrid)).isEmpty());
    EXPECT_EQ(rechazo([&] { maestros::grabarCentro(db(), a0); }),
              QStringLiteral("El calendario %1 ya no existe: otra copia lo ha borrado").arg(madrid));
    EXPECT_EQ(maestros::leerCentro(db(), m_a0.id)->nomcentro, QStringLiteral("ALMACÉN"));
    EXPECT_EQ(maestros::leerCentro(db(), m_a0.id)->calendario, QStringLiteral("0"));

    // A calendar copied from another one that is gone would be an empty calendar nobody asked for.
    const qint64 toledo = fixture::calendario(db(), QStringLiteral("TOLEDO"));
    EXPECT_TRUE(calendarios::borrarCalendario(otra(), int(toledo)).isEmpty());
    EXPECT_EQ(rechazo([&] {
                  calendarios::crearCalendario(db(), QStringLiteral("COPIA"), calendarios::Relleno::Seleccionado,
                                               int(toledo), QDate(2019, 5, 1));
              }),
              QStringLiteral("El calendario %1 ya no existe: otra copia lo ha borrado").arg(toledo));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Calendarios")), 0);

    // A link the row already had is not made anew: an old file's centre on a lost calendar stays editable.
    db().prepare(QStringLiteral("UPDATE centros SET calendario = '7' WHERE id = ?")).bind(1, m_a0.id).run();
    a0 = *maestros::leerCentro(db(), m_a0.id);
    a0.nomcentro = QStringLiteral("ALMACÉN NUEVO");
    maestros::grabarCentro(db(), a0);
    EXPECT_EQ(maestros::leerCentro(db(), m_a0.id)->nomcentro, QStringLiteral("ALMACÉN NUEVO"));
}

// Another copy killed in the middle of a code change: the centre moved and its workers did not, unless the
// whole change is one transaction.
TEST_F(EnlacesTest, AKilledCodeChangeLeavesNoOrphan)
{
    for (int i = 0; i < 3; ++i) {
        const qint64 t = fixture::trabajador(db(), QStringLiteral("T%1").arg(i), {}, {}, QStringLiteral("C"), {});
        fixture::asignar(db(), t, m_a0.codcentro);
    }
    // The helper stops inside the change, once the centre row holds its new code and the first worker is
    // being moved, and reports it: the kill lands there every time.
    db().exec(QStringLiteral("CREATE TRIGGER parada AFTER UPDATE ON ubicatrabajador BEGIN "
                             "SELECT esperar_muerte(); END"));
    QProcess copia;
    copia.start(QStringLiteral(QUORVEL_STORE_WRITER),
                {m_md.rutaBaseDatos(), QStringLiteral("recodificar"), QString::number(m_a0.id), QStringLiteral("Z9")});
    ASSERT_TRUE(copia.waitForReadyRead(30000)) << copia.readAllStandardError().toStdString();
    ASSERT_EQ(copia.readLine().trimmed(), QByteArray("dentro"));
    copia.kill();
    ASSERT_TRUE(copia.waitForFinished(10000));
    EXPECT_EQ(copia.exitStatus(), QProcess::CrashExit);

    db().exec(QStringLiteral("DROP TRIGGER parada"));
    EXPECT_EQ(maestros::leerCentro(db(), m_a0.id)->codcentro, QStringLiteral("01A0"));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM ubicatrabajador u WHERE NOT EXISTS "
                                    "(SELECT 1 FROM centros c WHERE c.codcentro = u.codcentro)")),
              0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM ubicatrabajador WHERE codcentro = '01A0'")), 3);
}

} // namespace
