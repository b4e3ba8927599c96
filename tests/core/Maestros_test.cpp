#include "base/TablaConsulta.h"
#include "data/TMD.h"
#include "masterdata/Consultas.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace {

class MaestrosCoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
        m_centro = fixture::centro(db(), m_empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
        for (int i = 0; i < 3; ++i) {
            m_trabajadores << fixture::trabajador(db(), QStringLiteral("T%1").arg(i), {}, {}, QStringLiteral("C"), {});
            fixture::asignar(db(), m_trabajadores.last(), m_centro.codcentro);
        }
    }

    store::Database& db() { return m_md.Quorvel(); }
    qint64 cuenta(const QString& tabla)
    {
        store::Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM ") + tabla);
        st.step();
        return st.integer(0);
    }
    // The store fails on the second step of a deletion, as a full disk or a lost lock would.
    void fallarAlBorrar(const QString& tabla)
    {
        db().exec(QStringLiteral("CREATE TRIGGER falla BEFORE DELETE ON %1 BEGIN "
                                 "SELECT RAISE(ABORT, 'database or disk is full'); END")
                      .arg(tabla));
    }

    TempDir m_dir;
    TMD m_md{m_dir.file(QStringLiteral("Quorvel.abs"))};
    qint64 m_empresa = 0;
    fixture::Centro m_centro;
    QList<qint64> m_trabajadores;
};

TEST_F(MaestrosCoreTest, ARefusedOrFailedDeletionLeavesEverythingAsItWas)
{
    // The window asks only about a company without centres; another copy may have given it one since.
    try {
        maestros::borrarEmpresa(db(), m_empresa);
        ADD_FAILURE() << "a company with a centre was deleted";
    } catch (const maestros::Rechazo& r) {
        EXPECT_EQ(r.message(), QStringLiteral("Esta empresa tiene 1 centro/s.\nBorre antes los centros"));
    }
    EXPECT_EQ(cuenta(QStringLiteral("empresas")), 1);

    fallarAlBorrar(QStringLiteral("centros"));
    EXPECT_THROW(maestros::borrarCentro(db(), m_centro.id, m_centro.codcentro), store::StoreError);
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), 3) << "assignments deleted before the centre failed";
    EXPECT_EQ(cuenta(QStringLiteral("centros")), 1);
    db().exec(QStringLiteral("DROP TRIGGER falla"));

    fallarAlBorrar(QStringLiteral("trabajadores"));
    EXPECT_THROW(maestros::borrarTrabajador(db(), m_trabajadores.first()), store::StoreError);
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), 3);
    db().exec(QStringLiteral("DROP TRIGGER falla"));

    maestros::borrarTrabajador(db(), m_trabajadores.first());
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), 2);
    maestros::borrarCentro(db(), m_centro.id, m_centro.codcentro);
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), 2);
}

TEST_F(MaestrosCoreTest, CentreCodesAndTheirRules)
{
    EXPECT_EQ(maestros::codigoCentro(QStringLiteral("3"), QStringLiteral("A1")), QStringLiteral("03A1"));
    EXPECT_EQ(maestros::codigoCentro(QStringLiteral("123"), QStringLiteral("01")), QStringLiteral("1201"));
    EXPECT_EQ(maestros::codigoCentro(QString(), QStringLiteral("01")), QString());
    EXPECT_EQ(maestros::mayusculas(QStringLiteral("almacén núñez, güell")), QStringLiteral("ALMACÉN NÚÑEZ, GÜELL"));

    // Company 112 keeps only "11" of its id, so its centre A1 would take the code of company 11's A1.
    fixture::centro(db(), 11, QStringLiteral("A1"), QStringLiteral("ONCE"));
    db().exec(QStringLiteral("INSERT INTO empresas (id, nomempresa) VALUES (112, 'CIENTO DOCE')"));
    maestros::Centro c = maestros::centroNuevo(112);
    c.codcentro2 = QStringLiteral("A1");
    c.codcentro = maestros::codigoCentro(QStringLiteral("112"), c.codcentro2);
    c.nomcentro = QStringLiteral("OTRO");
    try {
        maestros::grabarCentro(db(), c);
        ADD_FAILURE() << "a taken code was stored";
    } catch (const maestros::Rechazo& r) {
        EXPECT_EQ(r.message(), QStringLiteral("Ya existe un centro con el código 11A1: ONCE"));
        EXPECT_EQ(r.campo(), QStringLiteral("codcentro2"));
    }
    EXPECT_EQ(c.id, 0);
    EXPECT_EQ(cuenta(QStringLiteral("centros")), 2);
    c.codcentro2 = QStringLiteral("B1");
    c.codcentro = maestros::codigoCentro(QStringLiteral("112"), c.codcentro2);
    maestros::grabarCentro(db(), c);
    EXPECT_GT(c.id, 0);
    Q_UNUSED(m_empresa);
}

TEST_F(MaestrosCoreTest, GridModelsReadTheirQueriesAgain)
{
    TablaConsulta t(db(),
                    {{QStringLiteral("codcentro"), QStringLiteral("Cent.")}, {QStringLiteral("nomtrabajador"), {}}});
    QAbstractItemModelTester tester(&t, QAbstractItemModelTester::FailureReportingMode::Fatal);
    consultas::trabajadoresDeCentro(t, m_centro.codcentro);
    EXPECT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cent."));
    EXPECT_EQ(t.headerData(1, Qt::Horizontal).toString(), QStringLiteral("nomtrabajador"));
    EXPECT_EQ(t.data(t.index(0, 1)).toString(), QStringLiteral("T0"));
    maestros::quitarAsignacion(db(), m_trabajadores.first(), m_centro.codcentro);
    EXPECT_EQ(t.rowCount(), 3) << "until read again";
    t.reabrir();
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.buscar(QStringLiteral("id"), m_trabajadores.last()), 1);
    EXPECT_FALSE(t.flags(t.index(0, 0)) & Qt::ItemIsEditable);
    t.cerrar();
    EXPECT_EQ(t.rowCount(), 0);
}

// The search list keeps its rows as read and turns them into values as the grid reads them: whatever is read
// first, each row shows what a plain reading of the store gives, centres included, and the next search or a
// second reading shows the store as it is then. A typed text never matches across two fields.
TEST_F(MaestrosCoreTest, TheWorkerSearchShowsEveryRowAsStoredWhateverIsReadFirst)
{
    const auto b2 = fixture::centro(db(), m_empresa, QStringLiteral("B2"), QStringLiteral("OFICINAS"));
    store::Transaction tx(db());
    for (int i = 0; i < 300; ++i) {
        const qint64 id =
            fixture::trabajador(db(), i % 3 ? QStringLiteral("Ñ%1 ÁLVAREZ").arg(299 - i) : QString(),
                                QStringLiteral("%1X").arg(i), QStringLiteral("NSS%1").arg(i), QStringLiteral("C"), {});
        if (i % 4 == 0)
            fixture::asignar(db(), id, b2.codcentro);
        if (i % 5 == 0)
            fixture::asignar(db(), id, m_centro.codcentro);
    }
    tx.commit();
    TablaConsulta t(db(), {{QStringLiteral("nomtrabajador"), {}}, {QStringLiteral("Centros"), {}}});
    QAbstractItemModelTester tester(&t, QAbstractItemModelTester::FailureReportingMode::Fatal);
    consultas::calcularCentros(t);
    const auto esperado = [this] {
        QStringList filas;
        store::Statement st = db().prepare(QStringLiteral(
            "SELECT t.id, t.nomtrabajador, (SELECT group_concat(codcentro, ' / ') FROM (SELECT codcentro "
            "FROM ubicatrabajador u WHERE u.idtrabajador = t.id ORDER BY u.rowid)) FROM trabajadores t "
            "ORDER BY t.nomtrabajador IS NOT NULL, t.nomtrabajador COLLATE ESPANOL, t.id"));
        while (st.step())
            filas << QStringLiteral("%1|%2|%3").arg(st.integer(0)).arg(st.text(1), st.text(2));
        return filas;
    };
    const auto leido = [&t](const QList<int>& orden) {
        QStringList filas(t.rowCount());
        for (const int f : orden)
            filas[f] = QStringLiteral("%1|%2|%3")
                           .arg(t.id(f))
                           .arg(t.data(t.index(f, 0)).toString(), t.data(t.index(f, 1)).toString());
        return filas;
    };
    QList<int> alReves;
    consultas::buscarTrabajadores(t, {});
    for (int f = t.rowCount() - 1; f >= 0; --f)
        alReves << f;
    EXPECT_EQ(leido(alReves), esperado());
    EXPECT_EQ(t.buscar(QStringLiteral("nss"), QStringLiteral("NSS150")), 50) << "the nameless rows come first, by id";

    // What changed in the store shows once the list is read again, and only then.
    maestros::quitarAsignacion(db(), m_trabajadores.first(), m_centro.codcentro);
    fixture::asignar(db(), m_trabajadores.first(), b2.codcentro);
    const int primero = t.buscar(QStringLiteral("id"), m_trabajadores.first());
    EXPECT_EQ(t.valor(primero, QStringLiteral("Centros")).toString(), m_centro.codcentro);
    t.reabrir();
    QList<int> saltos;
    for (int f = 0; f < t.rowCount(); f += 7)
        saltos << f;
    for (int f = 0; f < t.rowCount(); ++f)
        if (f % 7)
            saltos << f;
    EXPECT_EQ(leido(saltos), esperado());

    // Field by field, as the search always was.
    const auto porCampo = [this](const QString& texto) {
        store::Statement st = db().prepare(
            QStringLiteral("SELECT count(*) FROM trabajadores WHERE instr(PLEGAR(nomtrabajador), PLEGAR(:par1)) > 0 OR "
                           "instr(PLEGAR(nss), PLEGAR(:par1)) > 0 OR instr(PLEGAR(nif), PLEGAR(:par1)) > 0 OR "
                           "instr(PLEGAR(telef), PLEGAR(:par1)) > 0 OR instr(PLEGAR(alias), PLEGAR(:par1)) > 0 OR "
                           "instr(PLEGAR(email), PLEGAR(:par1)) > 0"));
        st.bind(1, texto);
        st.step();
        return int(st.integer(0));
    };
    for (const QString& texto : {QStringLiteral("ñ29"), QStringLiteral("n291 alvarez"), QStringLiteral("SS15")}) {
        consultas::buscarTrabajadores(t, texto);
        EXPECT_EQ(t.rowCount(), porCampo(texto)) << texto.toStdString();
        EXPECT_GT(t.rowCount(), 0) << texto.toStdString();
    }
    consultas::buscarTrabajadores(t, QStringLiteral("ZNSS1"));
    EXPECT_EQ(t.rowCount(), 0) << "the name's end and the NSS's start are two fields";
    consultas::buscarTrabajadores(t, QStringLiteral("X"));
    EXPECT_EQ(t.rowCount(), 300);

    // Each keystroke reuses the places of the last ordering; a name another copy changed meanwhile, and a
    // worker it added, still take their own places, and so does every row after them.
    const auto todoEnOrden = [&] {
        QList<int> enOrden;
        for (int f = 0; f < t.rowCount(); ++f)
            enOrden << f;
        return leido(enOrden);
    };
    consultas::buscarTrabajadores(t, {});
    store::Statement renombrar = db().prepare(QStringLiteral("UPDATE trabajadores SET nomtrabajador = ? WHERE id = ?"));
    renombrar.bindAll(QStringLiteral("A ÚLTIMO"), t.id(t.rowCount() - 1));
    renombrar.run();
    consultas::buscarTrabajadores(t, {});
    EXPECT_EQ(todoEnOrden(), esperado()) << "renamed";
    fixture::trabajador(db(), QStringLiteral("ÑB NUEVA ÁLVAREZ"), QStringLiteral("NUEVAX"), {}, QStringLiteral("C"),
                        {});
    consultas::buscarTrabajadores(t, {});
    EXPECT_EQ(todoEnOrden(), esperado()) << "added";
    consultas::buscarTrabajadores(t, QStringLiteral("alvarez"));
    EXPECT_EQ(todoEnOrden(), esperado().filter(QStringLiteral("ÁLVAREZ")));
}

} // namespace

TEST_F(MaestrosCoreTest, ACentreIsFoundByItsCodeAndItsCodeByItsId)
{
    EXPECT_EQ(maestros::idCentro(db(), m_centro.codcentro), m_centro.id);
    EXPECT_EQ(maestros::codigoDeCentro(db(), m_centro.id), m_centro.codcentro);
    EXPECT_EQ(maestros::idCentro(db(), QStringLiteral("ZZZZ")), std::nullopt);
    EXPECT_EQ(maestros::codigoDeCentro(db(), m_centro.id + 100), std::nullopt);
    // Of two centres with one code, the first stored is the one found.
    const fixture::Centro doble = fixture::centro(db(), m_empresa, QStringLiteral("A1"), QStringLiteral("OTRO"));
    EXPECT_EQ(maestros::idCentro(db(), m_centro.codcentro), m_centro.id);
    EXPECT_EQ(maestros::codigoDeCentro(db(), doble.id), m_centro.codcentro);
}
