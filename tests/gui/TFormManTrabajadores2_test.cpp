#include "gui/MaestrosPruebas.h"

#include "masterdata/TFormManTrabajadores.h"
#include "masterdata/TFormManTrabajadores2.h"

#include <QPushButton>

class BusquedaTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        const qint64 empresa = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
        const auto a1 = fixture::centro(db(), empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
        const auto b2 = fixture::centro(db(), empresa, QStringLiteral("B2"), QStringLiteral("OFICINAS"));
        const auto alta = [this](const char* nombre) {
            return fixture::trabajador(db(), QString::fromUtf8(nombre), QStringLiteral("1A"), QStringLiteral("28"),
                                       QStringLiteral("C"), {});
        };
        m_ocana = alta("OCAÑA DÍAZ, RAÚL");
        m_nunez = alta("NÚÑEZ GARCÍA, ANA");
        m_nora = alta("ÑORA LÓPEZ, PILAR");
        m_navarro = alta("NAVARRO PUIG, JUAN");
        db().prepare(QStringLiteral("UPDATE trabajadores SET email = 'jnavarro@correo.es' WHERE id = ?"))
            .bind(1, m_navarro)
            .run();
        fixture::asignar(db(), m_nunez, a1.codcentro);
        fixture::asignar(db(), m_nunez, b2.codcentro);
        fixture::asignar(db(), m_ocana, b2.codcentro);
        fixture::asignar(db(), m_navarro, a1.codcentro);
    }

    std::unique_ptr<TFormManTrabajadores2> abrir()
    {
        auto ventana = std::make_unique<TFormManTrabajadores2>(*m_md);
        ventana->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(ventana.get()));
        return ventana;
    }

    static void buscar(QWidget* ventana, const QString& texto)
    {
        escribir(ventana, "BusquedaTXT", texto);
        QTest::keyClick(hijo<QLineEdit>(ventana, "BusquedaTXT"), Qt::Key_Return);
    }

    static QStringList nombres(QWidget* ventana)
    {
        return columna(ventana, "DBGrid1", QStringLiteral("nomtrabajador"));
    }
    static int filaActual(QWidget* ventana) { return hijo<QTableView>(ventana, "DBGrid1")->currentIndex().row(); }

    qint64 m_ocana = 0, m_nunez = 0, m_nora = 0, m_navarro = 0;
};

TEST_F(BusquedaTest, OpensOnEveryWorkerInSpanishOrderWithTheirCentres)
{
    auto b = abrir();
    EXPECT_EQ(b->windowTitle(), QStringLiteral("Búsqueda de trabajadores"));
    EXPECT_EQ(nombres(b.get()), QStringList({QStringLiteral("NAVARRO PUIG, JUAN"), QStringLiteral("NÚÑEZ GARCÍA, ANA"),
                                             QStringLiteral("ÑORA LÓPEZ, PILAR"), QStringLiteral("OCAÑA DÍAZ, RAÚL")}));
    EXPECT_EQ(columna(b.get(), "DBGrid1", QStringLiteral("Centros")),
              QStringList({QStringLiteral("01A1"), QStringLiteral("01A1 / 01B2"), QString(), QStringLiteral("01B2")}));
    EXPECT_EQ(modelo(b.get(), "DBGrid1")->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nombre"));
    EXPECT_TRUE(hijo<QLineEdit>(b.get(), "BusquedaTXT")->hasFocus());

    auto* sinCentro = hijo<QCheckBox>(b.get(), "CKFiltrado");
    EXPECT_EQ(sinCentro->text(), QStringLiteral("Ver trabajadores sin centro asignado"));
    sinCentro->click();
    EXPECT_EQ(nombres(b.get()), QStringList({QStringLiteral("ÑORA LÓPEZ, PILAR")}));
    sinCentro->click();
    EXPECT_EQ(nombres(b.get()).size(), 4);
    // Escape in the grid goes back to the search text, empty.
    hijo<QTableView>(b.get(), "DBGrid1")->setFocus();
    QTest::keyClick(hijo<QTableView>(b.get(), "DBGrid1"), Qt::Key_Escape);
    EXPECT_TRUE(b->isVisible());
    EXPECT_TRUE(hijo<QLineEdit>(b.get(), "BusquedaTXT")->hasFocus());
}

TEST_F(BusquedaTest, TypedQuotesAndWildcardsMatchThemselves)
{
    auto b = abrir();
    for (const QString& hostil : {QStringLiteral("\" OR 1=1 --"), QStringLiteral("%"), QStringLiteral("_"),
                                  QStringLiteral("'"), QStringLiteral("; DROP TABLE trabajadores")}) {
        buscar(b.get(), hostil);
        EXPECT_TRUE(nombres(b.get()).isEmpty()) << hostil.toStdString();
        EXPECT_TRUE(texto(b.get(), "BusquedaTXT").isEmpty()) << "cleared after every search";
    }
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM trabajadores")), QStringList({QStringLiteral("4")}));
    // Enter on the empty text lists everybody again.
    QTest::keyClick(hijo<QLineEdit>(b.get(), "BusquedaTXT"), Qt::Key_Return);
    EXPECT_EQ(nombres(b.get()).size(), 4);
}

TEST_F(BusquedaTest, CaseAndAccentsAreIgnoredAndOneHitOpensTheEditor)
{
    auto b = abrir();
    // More than the alias ("NÚÑEZ") holds, so only the name can match.
    for (const QString& tecleado :
         {QStringLiteral("nuñez garcia"), QStringLiteral("NUNEZ GARCÍA"), QStringLiteral("Núñez García")}) {
        bool abierto = false;
        alAbrirse<TFormManTrabajadores>([&](TFormManTrabajadores* editor) {
            abierto = true;
            EXPECT_EQ(texto(editor, "DBNOMTRABAJADOR"), QStringLiteral("NÚÑEZ GARCÍA, ANA"));
            pulsar(editor, "BotCancelar");
        });
        buscar(b.get(), tecleado);
        EXPECT_TRUE(abierto) << tecleado.toStdString();
        EXPECT_EQ(nombres(b.get()), QStringList({QStringLiteral("NÚÑEZ GARCÍA, ANA")}));
    }
    alAbrirse<TFormManTrabajadores>([](TFormManTrabajadores* editor) {
        EXPECT_EQ(texto(editor, "DBNOMTRABAJADOR"), QStringLiteral("NAVARRO PUIG, JUAN"));
        escribir(editor, "DBALIAS", QStringLiteral("juanito"));
        pulsar(editor, "BotGrabar");
    });
    // A lower-case mail address is found by the capitals the box types.
    buscar(b.get(), QStringLiteral("jnavarro@"));
    // The list shows the worker as stored now.
    EXPECT_EQ(columna(b.get(), "DBGrid1", QStringLiteral("alias")), QStringList({QStringLiteral("JUANITO")}));
}

TEST_F(BusquedaTest, AfterADoubleClickEditTheCursorIsBackOnTheSameWorker)
{
    auto b = abrir();
    alAbrirse<TFormManTrabajadores>([](TFormManTrabajadores* editor) {
        escribir(editor, "DBNOMTRABAJADOR", QStringLiteral("abad lópez, pilar"));
        pulsar(editor, "BotGrabar");
    });
    dobleClic(b.get(), "DBGrid1", 2, 0);
    EXPECT_EQ(nombres(b.get()), QStringList({QStringLiteral("ABAD LÓPEZ, PILAR"), QStringLiteral("NAVARRO PUIG, JUAN"),
                                             QStringLiteral("NÚÑEZ GARCÍA, ANA"), QStringLiteral("OCAÑA DÍAZ, RAÚL")}));
    EXPECT_EQ(filaActual(b.get()), 0);
    EXPECT_EQ(b->IdTrabajadorSel, m_nora);

    // A worker deleted in the editor leaves the list on its first row.
    m_guion.respuestas = {true, true};
    alAbrirse<TFormManTrabajadores>([](TFormManTrabajadores* editor) { pulsar(editor, "BotBorrar"); });
    dobleClic(b.get(), "DBGrid1", 3, 0);
    EXPECT_EQ(nombres(b.get()).size(), 3);
    EXPECT_EQ(filaActual(b.get()), 0);
}
