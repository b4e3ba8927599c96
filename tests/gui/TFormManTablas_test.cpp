#include "gui/MaestrosPruebas.h"

#include "calendars/TFormManCalen.h"
#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManTablas.h"
#include "masterdata/TFormManTrabajadores.h"

#include <QLabel>
#include <QPushButton>

class ManTablasTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        m_empresa1 = fixture::empresa(db(), QStringLiteral("TRANSPORTES ÁLAMO, S.L."), QStringLiteral("B1"),
                                      QStringLiteral("28/1"));
        m_a1 = fixture::centro(db(), m_empresa1, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
        m_b2 = fixture::centro(db(), m_empresa1, QStringLiteral("B2"), QStringLiteral("OFICINAS"));
        m_c3 = fixture::centro(db(), m_empresa1, QStringLiteral("C3"), QStringLiteral("TIENDA"));
        for (const char* nombre : {"OCAÑA RUIZ, EVA", "NÚÑEZ SOTO, LUIS", "ÁLVAREZ GIL, ANA"}) {
            const qint64 id = fixture::trabajador(db(), QString::fromUtf8(nombre), QStringLiteral("1X"),
                                                  QStringLiteral("28"), QStringLiteral("C"), QStringLiteral("40 h"));
            fixture::asignar(db(), id, m_a1.codcentro);
            m_trabajadores << id;
        }
        // One of them also works at the offices.
        fixture::asignar(db(), m_trabajadores.last(), m_b2.codcentro);
    }

    std::unique_ptr<TFormManTablas> abrir()
    {
        auto ventana = std::make_unique<TFormManTablas>(*m_md);
        ventana->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(ventana.get()));
        return ventana;
    }

    qint64 m_empresa1 = 0;
    fixture::Centro m_a1, m_b2, m_c3;
    QList<qint64> m_trabajadores;
};

TEST_F(ManTablasTest, OpensOnTheFirstCompanyAndCentreWithWorkersInSpanishOrder)
{
    const qint64 empresa2 = fixture::empresa(db(), QStringLiteral("PANADERÍA"), {}, {});
    const auto obrador = fixture::centro(db(), empresa2, QStringLiteral("01"), QStringLiteral("OBRADOR"));
    auto t = abrir();
    EXPECT_EQ(t->windowTitle(), QStringLiteral("Mantenimiento de tablas"));
    EXPECT_EQ(m_md->IdEmpresaActiva, m_empresa1);
    EXPECT_EQ(columna(t.get(), "DBCentros", QStringLiteral("codcentro")),
              QStringList({QStringLiteral("01A1"), QStringLiteral("01B2"), QStringLiteral("01C3")}));
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")),
              QStringList({QStringLiteral("ÁLVAREZ GIL, ANA"), QStringLiteral("NÚÑEZ SOTO, LUIS"),
                           QStringLiteral("OCAÑA RUIZ, EVA")}));
    // A clerk reads captions, never field names.
    const auto titulos = [&](const char* rejilla) {
        TablaConsulta* m = modelo(t.get(), rejilla);
        QStringList out;
        for (int c = 0; c < m->columnCount(); ++c)
            out << m->headerData(c, Qt::Horizontal).toString();
        return out;
    };
    EXPECT_EQ(titulos("DBEmpresas"), (QStringList{QStringLiteral("Núm."), QStringLiteral("CIF"), QStringLiteral("CCC"),
                                                  QStringLiteral("Nombre")}));
    EXPECT_EQ(titulos("DBCentros"),
              (QStringList{QStringLiteral("Código"), QStringLiteral("Centro"), QStringLiteral("Calendario")}));
    EXPECT_EQ(titulos("DBTrabajadores"), (QStringList{QStringLiteral("id"), QStringLiteral("Centro"),
                                                      QStringLiteral("Alias"), QStringLiteral("Nombre del trabajador"),
                                                      QStringLiteral("Jornada"), QStringLiteral("Contrato")}));
    EXPECT_TRUE(hijo<QTableView>(t.get(), "DBTrabajadores")->isColumnHidden(0));

    // The company cursor makes its company the active one, and the centres and workers follow it.
    elegirFila(t.get(), "DBEmpresas", 1);
    EXPECT_EQ(m_md->IdEmpresaActiva, empresa2);
    EXPECT_EQ(columna(t.get(), "DBCentros", QStringLiteral("codcentro")), QStringList({obrador.codcentro}));
    EXPECT_TRUE(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")).isEmpty());
    elegirFila(t.get(), "DBEmpresas", 0);
    elegirFila(t.get(), "DBCentros", 1);
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")),
              QStringList({QStringLiteral("ÁLVAREZ GIL, ANA")}));
    EXPECT_TRUE(m_guion.textos.isEmpty());
}

TEST_F(ManTablasTest, DeletingACentreAsksWithItsWorkerCountAndReleasesThem)
{
    auto t = abrir();
    const QString pregunta = QStringLiteral("Confirmación: Este centro tiene 3 trabajador/es.\n"
                                            "¿Seguro que quiere borrar el centro y liberar los trabajadores?");
    m_guion.respuestas = {false};
    pulsar(t.get(), "BotBorrarCentro");
    EXPECT_EQ(m_guion.confirmaciones, QStringList({pregunta}));
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM ubicatrabajador")), QStringList({QStringLiteral("4")}));
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM centros")), QStringList({QStringLiteral("3")}));

    m_guion.respuestas = {true};
    pulsar(t.get(), "BotBorrarCentro");
    EXPECT_EQ(m_guion.confirmaciones, QStringList({pregunta, pregunta}));
    EXPECT_EQ(valores(QStringLiteral("SELECT codcentro FROM centros ORDER BY codcentro")),
              QStringList({m_b2.codcentro, m_c3.codcentro}));
    // The workers stay; the one with another centre keeps it.
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM trabajadores")), QStringList({QStringLiteral("3")}));
    EXPECT_EQ(valores(QStringLiteral("SELECT idtrabajador, codcentro FROM ubicatrabajador")),
              QStringList({QString::number(m_trabajadores.last()) + QStringLiteral("|01B2")}));
    EXPECT_EQ(columna(t.get(), "DBCentros", QStringLiteral("codcentro")),
              QStringList({m_b2.codcentro, m_c3.codcentro}));
    // The two released ones follow the offices' own worker, without a centre, until they are given one.
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")),
              QStringList({QStringLiteral("ÁLVAREZ GIL, ANA"), QStringLiteral("NÚÑEZ SOTO, LUIS"),
                           QStringLiteral("OCAÑA RUIZ, EVA")}));
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("codcentro")),
              QStringList({m_b2.codcentro, QStringLiteral("(sin centro)"), QStringLiteral("(sin centro)")}));

    // A centre without workers is asked about by code and name.
    elegirFila(t.get(), "DBCentros", 1);
    m_guion.respuestas = {true};
    pulsar(t.get(), "BotBorrarCentro");
    EXPECT_EQ(m_guion.confirmaciones.last(),
              QStringLiteral("Confirmación: ¿Quieres borrar este centro: 01C3 - TIENDA?"));
    EXPECT_EQ(columna(t.get(), "DBCentros", QStringLiteral("codcentro")), QStringList({m_b2.codcentro}));
}

TEST_F(ManTablasTest, ACompanyIsDeletedOnlyWithoutCentres)
{
    const qint64 vacia = fixture::empresa(db(), QStringLiteral("SIN CENTROS, S.A."), {}, {});
    auto t = abrir();
    pulsar(t.get(), "BotBorrarEmpresa");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("Esta empresa tiene 3 centro/s.\nBorre antes los centros")}));
    EXPECT_TRUE(m_guion.confirmaciones.isEmpty());

    elegirFila(t.get(), "DBEmpresas", 1);
    // Without a centre there is nowhere to put a worker.
    pulsar(t.get(), "BotManTrabajadores");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("Debe crear al menos un centro antes"));
    m_guion.respuestas = {false, true};
    pulsar(t.get(), "BotBorrarEmpresa");
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM empresas")), QStringList({QStringLiteral("2")}));
    pulsar(t.get(), "BotBorrarEmpresa");
    EXPECT_EQ(m_guion.confirmaciones,
              QStringList(2, QStringLiteral("Confirmación: Seguro que quiere borrar la empresa: SIN CENTROS, S.A.?")));
    EXPECT_EQ(valores(QStringLiteral("SELECT id FROM empresas")), QStringList({QString::number(m_empresa1)}));
    EXPECT_EQ(columna(t.get(), "DBEmpresas", QStringLiteral("id")), QStringList({QString::number(m_empresa1)}));
    Q_UNUSED(vacia);
}

TEST_F(ManTablasTest, SingleCompanyModeLocksTheCompanyGrid)
{
    fixture::empresa(db(), QStringLiteral("OTRA"), {}, {});
    m_md->Multiempresa = false;
    auto t = abrir();
    EXPECT_FALSE(hijo<QTableView>(t.get(), "DBEmpresas")->isEnabled());
    EXPECT_FALSE(hijo<QPushButton>(t.get(), "BotManEmpresas")->isVisible());
    EXPECT_FALSE(hijo<QPushButton>(t.get(), "BotBorrarEmpresa")->isVisible());
    EXPECT_TRUE(hijo<QPushButton>(t.get(), "SpeedButton3")->isVisible());
    EXPECT_EQ(t->idEmpresaActual(), m_empresa1);
}

TEST_F(ManTablasTest, EditingACentreFromTheGridKeepsTheCursorOnIt)
{
    auto t = abrir();
    alAbrirse<TFormManCentros>([](TFormManCentros* editor) {
        EXPECT_EQ(hijo<QLabel>(editor, "LOperacion")->text(), QStringLiteral("Modificar datos"));
        EXPECT_EQ(texto(editor, "DBNOMCENTRO"), QStringLiteral("OFICINAS"));
        escribir(editor, "DBNOMCENTRO", QStringLiteral("oficinas centrales"));
        pulsar(editor, "BotGrabar");
    });
    dobleClic(t.get(), "DBCentros", 1, 1);
    EXPECT_EQ(columna(t.get(), "DBCentros", QStringLiteral("nomcentro")),
              QStringList({QStringLiteral("ALMACÉN"), QStringLiteral("OFICINAS CENTRALES"), QStringLiteral("TIENDA")}));
    EXPECT_EQ(t->idCentroActual(), m_b2.id);
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")),
              QStringList({QStringLiteral("ÁLVAREZ GIL, ANA")}));
}

TEST(ManTablasVacia, AnEmptyFileSaysWhatToCreateFirst)
{
    TempDir dir;
    TMD md(dir.file(QStringLiteral("Quorvel.abs")));
    md.Multiempresa = true;
    md.IdEmpresaActiva = 7;
    InteraccionGuion guion;
    TFormManTablas t(md);
    t.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    EXPECT_EQ(md.IdEmpresaActiva, 7) << "no company to make active";
    for (const char* boton :
         {"BotBorrarEmpresa", "BotBorrarCentro", "BotModificarCentro", "SpeedButton2", "SpeedButton3"})
        QTest::mouseClick(t.findChild<QPushButton*>(QString::fromLatin1(boton)), Qt::LeftButton);
    EXPECT_EQ(guion.mensajes,
              QStringList({QStringLiteral("Debe crear antes una empresa"), TFormManTablas::textoSinTrabajador()}))
        << "only \"modificar centro\" and \"modificar trabajador\" have something to say";
    QTest::mouseClick(t.findChild<QPushButton*>(QStringLiteral("BotManCentros")), Qt::LeftButton);
    QTest::mouseClick(t.findChild<QPushButton*>(QStringLiteral("BotManTrabajadores")), Qt::LeftButton);
    EXPECT_EQ(guion.mensajes,
              QStringList({QStringLiteral("Debe crear antes una empresa"), TFormManTablas::textoSinTrabajador(),
                           QStringLiteral("Debe crear antes una empresa"),
                           QStringLiteral("Debe crear al menos un centro antes")}));
    EXPECT_TRUE(guion.confirmaciones.isEmpty());
}

TEST_F(ManTablasTest, TheCalendarCellOpensTheCentresYearViewAndTheBaseOneForZero)
{
    const qint64 numero = fixture::calendario(db(), QStringLiteral("MADRID CAPITAL"));
    db().prepare(QStringLiteral("UPDATE centros SET calendario = ? WHERE id = ?"))
        .bindAll(QString::number(numero), m_b2.id)
        .run();
    auto t = abrir();
    const int columnaCalendario = modelo(t.get(), "DBCentros")->columnaDe(QStringLiteral("calendario"));
    QStringList titulos;
    const auto anotarTitulo = [&titulos](TFormManCalen* vista) {
        titulos << vista->windowTitle();
        vista->reject();
    };

    alAbrirse<TFormManCalen>(anotarTitulo);
    dobleClic(t.get(), "DBCentros", 1, columnaCalendario);
    alAbrirse<TFormManCalen>(anotarTitulo);
    dobleClic(t.get(), "DBCentros", 0, columnaCalendario);
    EXPECT_EQ(titulos, QStringList({QStringLiteral("Calendario Laboral:  %1  -  01B2 - OFICINAS").arg(numero),
                                    QStringLiteral("Calendario Laboral:  BASE ")}));
    EXPECT_TRUE(m_guion.textos.isEmpty());
}

// A worker stored before it has any centre stays in the list after the centre's own workers, under every centre
// and also under a company without centres, and opens from there to be given one.
TEST_F(ManTablasTest, AWorkerWithoutACentreStaysListedAndOpens)
{
    fixture::empresa(db(), QStringLiteral("SIN CENTROS"), {}, {});
    auto t = abrir();
    alAbrirse<TFormManTrabajadores>([](TFormManTrabajadores* editor) {
        escribir(editor, "DBNOMTRABAJADOR", QStringLiteral("zapata ríos, iván"));
        pulsar(editor, "BotGrabar");
    });
    pulsar(t.get(), "BotManTrabajadores");
    const QString ivan = QStringLiteral("ZAPATA RÍOS, IVÁN");
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")),
              QStringList({QStringLiteral("ÁLVAREZ GIL, ANA"), QStringLiteral("NÚÑEZ SOTO, LUIS"),
                           QStringLiteral("OCAÑA RUIZ, EVA"), ivan}));
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("codcentro")).last(), QStringLiteral("(sin centro)"));
    const qint64 id = t->idTrabajadorActual();
    EXPECT_EQ(maestros::leerTrabajador(db(), id)->nomtrabajador, ivan) << "the cursor is on the new worker";

    elegirFila(t.get(), "DBCentros", 2);
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")), QStringList{ivan});
    elegirFila(t.get(), "DBEmpresas", 1);
    EXPECT_EQ(columna(t.get(), "DBTrabajadores", QStringLiteral("nomtrabajador")), QStringList{ivan});
    alAbrirse<TFormManTrabajadores>([&](TFormManTrabajadores* editor) {
        EXPECT_EQ(texto(editor, "DBNOMTRABAJADOR"), ivan);
        pulsar(editor, "BotCancelar");
    });
    pulsar(t.get(), "SpeedButton2");
    EXPECT_TRUE(m_guion.mensajes.isEmpty()) << m_guion.mensajes.join(u'|').toStdString();
}
