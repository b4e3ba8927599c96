#include "gui/MaestrosPruebas.h"

#include "masterdata/TFormManCentro2.h"
#include "masterdata/TFormManTrabajadores.h"

#include <QLabel>
#include <QPushButton>

class ManTrabajadoresTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        m_empresa1 = fixture::empresa(db(), QStringLiteral("UNO"), {}, {});
        m_empresa2 = fixture::empresa(db(), QStringLiteral("DOS"), {}, {});
        m_a1 = fixture::centro(db(), m_empresa1, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
        m_b2 = fixture::centro(db(), m_empresa1, QStringLiteral("B2"), QStringLiteral("OFICINAS"));
        m_obrador = fixture::centro(db(), m_empresa2, QStringLiteral("01"), QStringLiteral("OBRADOR"));
        m_md->IdEmpresaActiva = m_empresa1;
    }

    std::unique_ptr<TFormManTrabajadores> abrir(qint64 id)
    {
        auto editor = std::make_unique<TFormManTrabajadores>(*m_md);
        editor->IdTrabajadorEdit = id;
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        return editor;
    }

    QString cuenta(const QString& tabla) { return valores(QStringLiteral("SELECT count(*) FROM ") + tabla).value(0); }

    qint64 m_empresa1 = 0, m_empresa2 = 0;
    fixture::Centro m_a1, m_b2, m_obrador;
};

TEST_F(ManTrabajadoresTest, DeletingAWorkerAsksTwiceAndTakesItsAssignmentsAlong)
{
    const qint64 id = fixture::trabajador(db(), QStringLiteral("GIL, ANA"), {}, {}, QStringLiteral("C"), {});
    for (const auto& c : {m_a1, m_b2, m_obrador})
        fixture::asignar(db(), id, c.codcentro);
    const QString primera = QStringLiteral("Confirmación: ¿Desea eliminar el registro?");
    const QString segunda = QStringLiteral("Confirmación: ¿Seguro que quiere borrar este trabajador?");

    // Cancel at the first question closes the editor and deletes nothing.
    auto editor = abrir(id);
    EXPECT_EQ(columna(editor.get(), "DBGrid1", QStringLiteral("codcentro")),
              QStringList({QStringLiteral("01A1"), QStringLiteral("01B2"), QStringLiteral("0201")}));
    m_guion.respuestas = {false};
    pulsar(editor.get(), "BotBorrar");
    EXPECT_EQ(m_guion.confirmaciones, QStringList({primera}));
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), QStringLiteral("3"));

    // No at the second keeps everything and the editor open.
    m_guion.confirmaciones.clear();
    editor = abrir(id);
    m_guion.respuestas = {true, false};
    pulsar(editor.get(), "BotBorrar");
    EXPECT_EQ(m_guion.confirmaciones, QStringList({primera, segunda}));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), QStringLiteral("1"));
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), QStringLiteral("3"));

    m_guion.respuestas = {true, true};
    pulsar(editor.get(), "BotBorrar");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), QStringLiteral("0"));
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), QStringLiteral("0"));
}

TEST_F(ManTrabajadoresTest, PlusStoresANewWorkerFirstAndCancelKeepsIt)
{
    auto editor = abrir(0);
    EXPECT_EQ(hijo<QLabel>(editor.get(), "LOperacion")->text(), QStringLiteral("Alta de trabajador"));
    // A worker never stored has nothing to delete.
    EXPECT_FALSE(hijo<QPushButton>(editor.get(), "BotBorrar")->isEnabled());
    // A worker without a name is not stored, not even by "+".
    pulsar(editor.get(), "SpeedButton2");
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("Falta el nombre del trabajador")}));
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), QStringLiteral("0"));

    escribir(editor.get(), "DBNOMTRABAJADOR", QStringLiteral("peña ibáñez, íñigo"));
    escribir(editor.get(), "DBNIF", QStringLiteral("12345678z"));
    alAbrirse<TFormManCentro2>([](TFormManCentro2* picker) { pulsar(picker, "SpeedButton1"); });
    pulsar(editor.get(), "SpeedButton2");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(valores(QStringLiteral("SELECT nomtrabajador, nif FROM trabajadores")),
              QStringList({QStringLiteral("PEÑA IBÁÑEZ, ÍÑIGO|12345678Z")}));
    EXPECT_EQ(texto(editor.get(), "DBID"), QString::number(editor->trabajador().id));
    EXPECT_TRUE(hijo<QPushButton>(editor.get(), "BotBorrar")->isEnabled()) << "stored by +, it can be deleted";

    // The same centre twice is refused the second time.
    for (int vez = 0; vez < 2; ++vez) {
        alAbrirse<TFormManCentro2>([](TFormManCentro2* picker) { pulsar(picker, "SpeedButton2"); });
        pulsar(editor.get(), "SpeedButton2");
    }
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("ya existe el centro 01A1"));
    EXPECT_EQ(columna(editor.get(), "DBGrid1", QStringLiteral("codcentro")), QStringList({QStringLiteral("01A1")}));

    escribir(editor.get(), "DBALIAS", QStringLiteral("iñi"));
    pulsar(editor.get(), "BotCancelar");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(valores(QStringLiteral("SELECT nomtrabajador, alias FROM trabajadores")),
              QStringList({QStringLiteral("PEÑA IBÁÑEZ, ÍÑIGO|")}))
        << "the worker stored by + stays; the later change is abandoned";
    EXPECT_EQ(valores(QStringLiteral("SELECT codcentro FROM ubicatrabajador")), QStringList({QStringLiteral("01A1")}));
}

TEST_F(ManTrabajadoresTest, RemovingOneAssignmentLeavesTheOthers)
{
    const qint64 id = fixture::trabajador(db(), QStringLiteral("GIL, ANA"), {}, {}, QStringLiteral("C"), {});
    fixture::asignar(db(), id, m_a1.codcentro);
    fixture::asignar(db(), id, m_b2.codcentro);
    auto editor = abrir(id);
    EXPECT_EQ(hijo<QLabel>(editor.get(), "LOperacion")->text(), QStringLiteral("Modificar datos"));
    elegirFila(editor.get(), "DBGrid1", 1);
    pulsar(editor.get(), "SpeedButton3");
    EXPECT_TRUE(m_guion.confirmaciones.isEmpty());
    EXPECT_EQ(valores(QStringLiteral("SELECT codcentro FROM ubicatrabajador")), QStringList({QStringLiteral("01A1")}));
    EXPECT_EQ(columna(editor.get(), "DBGrid1", QStringLiteral("codcentro")), QStringList({QStringLiteral("01A1")}));
}

TEST_F(ManTrabajadoresTest, CentrePickerOffersTheActiveCompanyUnlessTheFilterIsOff)
{
    m_md->IdEmpresaActiva = m_empresa2;
    TFormManCentro2 picker(*m_md);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Seleccionar centro:"));
    auto* filtro = hijo<QCheckBox>(&picker, "CKFiltrarEmpresaActiva");
    EXPECT_TRUE(filtro->isChecked());
    EXPECT_EQ(filtro->text(), QStringLiteral("Filtrar empresa activa"));
    EXPECT_EQ(columna(&picker, "DBGrid1", QStringLiteral("codcentro")), QStringList({m_obrador.codcentro}));
    filtro->click();
    EXPECT_EQ(columna(&picker, "DBGrid1", QStringLiteral("codcentro")),
              QStringList({m_a1.codcentro, m_b2.codcentro, m_obrador.codcentro}));
    elegirFila(&picker, "DBGrid1", 1);
    EXPECT_FALSE(modelo(&picker, "DBGrid1")->flags(modelo(&picker, "DBGrid1")->index(1, 0)) & Qt::ItemIsEditable);
    filtro->click();
    EXPECT_EQ(columna(&picker, "DBGrid1", QStringLiteral("codcentro")), QStringList({m_obrador.codcentro}));
    dobleClic(&picker, "DBGrid1", 0, 1);
    EXPECT_EQ(picker.CentroElegido, m_obrador.codcentro);
    EXPECT_EQ(picker.result(), QDialog::Accepted);
}

TEST_F(ManTrabajadoresTest, ACentreOrWorkerThatAnotherCopyChangedMeanwhileGetsNoAssignment)
{
    TMD otraCopia(m_md->rutaBaseDatos());
    const qint64 id = fixture::trabajador(db(), QStringLiteral("GIL, ANA"), {}, {}, QStringLiteral("C"), {});
    auto editor = abrir(id);
    escribir(editor.get(), "DBALIAS", QStringLiteral("anita"));

    // The picker listed 01A1; another copy gave that centre another code before the choice.
    alAbrirse<TFormManCentro2>([&](TFormManCentro2* picker) {
        maestros::Centro c = *maestros::leerCentro(otraCopia.Quorvel(), m_a1.id);
        c.codcentro2 = QStringLiteral("A9");
        c.codcentro = maestros::codigoCentro(QString::number(m_empresa1), c.codcentro2);
        maestros::grabarCentro(otraCopia.Quorvel(), c);
        pulsar(picker, "SpeedButton2");
    });
    pulsar(editor.get(), "SpeedButton2");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("El centro 01A1 ya no existe: otra copia lo ha cambiado o borrado")}));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(texto(editor.get(), "DBALIAS"), QStringLiteral("ANITA"));
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), QStringLiteral("0"));

    // The worker itself, deleted by another copy while its form was open.
    m_guion.mensajes.clear();
    maestros::borrarTrabajador(otraCopia.Quorvel(), id);
    alAbrirse<TFormManCentro2>([](TFormManCentro2* picker) { pulsar(picker, "SpeedButton2"); });
    pulsar(editor.get(), "SpeedButton2");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("El trabajador %1 ya no existe: otra copia lo ha borrado").arg(id)}));
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), QStringLiteral("0"));
}
