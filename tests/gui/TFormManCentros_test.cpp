#include "gui/MaestrosPruebas.h"

#include "calendars/GestionCalendarios.h"
#include "calendars/TFormSelCalendario.h"
#include "masterdata/TFormManCentros.h"

#include <QLabel>
#include <QPushButton>

class ManCentrosTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        m_empresa = fixture::empresa(db(), QStringLiteral("TRANSPORTES ÁLAMO, S.L."), {}, {});
        m_a1 = fixture::centro(db(), m_empresa, QStringLiteral("A1"), QStringLiteral("ALMACÉN"));
        m_b2 = fixture::centro(db(), m_empresa, QStringLiteral("B2"), QStringLiteral("OFICINAS"));
        for (const char* nombre : {"RUIZ, EVA", "SOTO, LUIS"}) {
            const qint64 id = fixture::trabajador(db(), QString::fromUtf8(nombre), {}, {}, QStringLiteral("C"), {});
            fixture::asignar(db(), id, m_a1.codcentro);
        }
    }

    std::unique_ptr<TFormManCentros> abrir(qint64 idCentro, qint64 idEmpresaAlta = 0)
    {
        auto editor = std::make_unique<TFormManCentros>(*m_md);
        editor->IdCentroEdit = idCentro;
        editor->IdEmpresaAlta = idEmpresaAlta;
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        return editor;
    }

    qint64 m_empresa = 0;
    fixture::Centro m_a1, m_b2;
};

TEST_F(ManCentrosTest, ATakenCodeIsRefusedAndAChangedCodeTakesTheWorkersAlong)
{
    auto editor = abrir(m_a1.id);
    escribir(editor.get(), "DBCODCENTRO2", QStringLiteral("b2"));
    EXPECT_EQ(texto(editor.get(), "DBCODCENTRO"), QStringLiteral("01B2"));
    pulsar(editor.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("Ya existe un centro con el código 01B2: OFICINAS")}));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(hijo<QLineEdit>(editor.get(), "DBCODCENTRO2")->hasFocus());
    EXPECT_EQ(valores(QStringLiteral("SELECT codcentro FROM centros ORDER BY id")),
              QStringList({QStringLiteral("01A1"), QStringLiteral("01B2")}));

    escribir(editor.get(), "DBCODCENTRO2", QStringLiteral("c3"));
    pulsar(editor.get(), "BotGrabar");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(valores(QStringLiteral("SELECT codcentro, codcentro2 FROM centros ORDER BY id")),
              QStringList({QStringLiteral("01C3|C3"), QStringLiteral("01B2|B2")}));
    EXPECT_EQ(valores(QStringLiteral("SELECT DISTINCT codcentro FROM ubicatrabajador")),
              QStringList({QStringLiteral("01C3")}));
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM ubicatrabajador")), QStringList({QStringLiteral("2")}));
}

TEST_F(ManCentrosTest, RequiredFieldsAreNamedAndGetTheFocus)
{
    auto editor = abrir(0, m_empresa);
    EXPECT_EQ(hijo<QLabel>(editor.get(), "LOperacion")->text(), QStringLiteral("Alta de centro"));
    EXPECT_EQ(texto(editor.get(), "DBCALENDARIO"), QStringLiteral("0"));
    for (const char* casilla : {"DBCKSabados", "DBCKDomingos", "DBCKFestivos"})
        EXPECT_TRUE(hijo<QCheckBox>(editor.get(), casilla)->isChecked()) << casilla;
    // Only letters and digits make a code: it becomes part of file names.
    escribir(editor.get(), "DBCODCENTRO2", QStringLiteral("ñ/9"));
    EXPECT_EQ(texto(editor.get(), "DBCODCENTRO"), QStringLiteral("019"));
    pulsar(editor.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("Falta el nombre del centro")}));
    EXPECT_TRUE(hijo<QLineEdit>(editor.get(), "DBNOMCENTRO")->hasFocus());
    // Enter moves on and keeps what was typed; Escape abandons it with nothing stored.
    escribir(editor.get(), "DBNOMCENTRO", QStringLiteral("almacén sur"));
    QTest::keyClick(hijo<QLineEdit>(editor.get(), "DBNOMCENTRO"), Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(texto(editor.get(), "DBNOMCENTRO"), QStringLiteral("ALMACÉN SUR"));
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM centros")), QStringList({QStringLiteral("2")}));

    // A new centre without a company cannot have a code.
    m_guion.mensajes.clear();
    auto sinEmpresa = abrir(0, 0);
    escribir(sinEmpresa.get(), "DBCODCENTRO2", QStringLiteral("x1"));
    escribir(sinEmpresa.get(), "DBNOMCENTRO", QStringLiteral("nadie"));
    EXPECT_TRUE(texto(sinEmpresa.get(), "DBCODCENTRO").isEmpty());
    pulsar(sinEmpresa.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("Falta el código del centro (la empresa no tiene número)")}));
    EXPECT_TRUE(sinEmpresa->isVisible());
}

TEST_F(ManCentrosTest, CalendarIsChosenWithThePickerOnlyWhenCentresMayHaveTheirOwn)
{
    const qint64 madrid = fixture::calendario(db(), QStringLiteral("MADRID"));
    fixture::calendario(db(), QStringLiteral("TOLEDO"));
    m_md->Calenxcentros = false;
    EXPECT_FALSE(hijo<QPushButton>(abrir(m_a1.id).get(), "BotSelCalendario")->isEnabled());

    m_md->Calenxcentros = true;
    auto editor = abrir(m_a1.id);
    alAbrirse<TFormSelCalendario>([](TFormSelCalendario* picker) {
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("Calendarios:"));
        EXPECT_EQ(columna(picker, "DBGrid1", QStringLiteral("descripcion")),
                  QStringList({QStringLiteral("MADRID"), QStringLiteral("TOLEDO")}));
        EXPECT_EQ(modelo(picker, "DBGrid1")->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Núm."));
        // A description can be corrected in place.
        TablaConsulta* lista = modelo(picker, "DBGrid1");
        EXPECT_TRUE(lista->setData(lista->index(1, 1), QStringLiteral("TOLEDO CAPITAL")));
        pulsar(picker, "SpeedButton1");
    });
    pulsar(editor.get(), "BotSelCalendario");
    EXPECT_EQ(texto(editor.get(), "DBCALENDARIO"), QString::number(madrid));
    EXPECT_EQ(valores(QStringLiteral("SELECT descripcion FROM Calendarios ORDER BY id")),
              QStringList({QStringLiteral("MADRID"), QStringLiteral("TOLEDO CAPITAL")}));
    alAbrirse<TFormSelCalendario>([](TFormSelCalendario* picker) { pulsar(picker, "SpeedButton2"); });
    pulsar(editor.get(), "BotSelCalendario");
    EXPECT_EQ(texto(editor.get(), "DBCALENDARIO"), QString::number(madrid)) << "Salir changes nothing";
    pulsar(editor.get(), "BotGrabar");
    EXPECT_EQ(valores(QStringLiteral("SELECT calendario FROM centros WHERE id = ") + QString::number(m_a1.id)),
              QStringList({QString::number(madrid)}));

    auto otra = abrir(m_a1.id);
    alAbrirse<TFormSelCalendario>([](TFormSelCalendario* picker) { pulsar(picker, "SpeedButton3"); });
    pulsar(otra.get(), "BotSelCalendario");
    EXPECT_EQ(texto(otra.get(), "DBCALENDARIO"), QStringLiteral("0"));
}

TEST_F(ManCentrosTest, WhatAnotherCopyChangedMeanwhileIsToldAndWhatWasTypedStays)
{
    TMD otraCopia(m_md->rutaBaseDatos());

    // The company of a new centre, deleted by another copy while the form was open.
    const qint64 vacia = fixture::empresa(db(), QStringLiteral("SIN CENTROS"), {}, {});
    auto alta = abrir(0, vacia);
    escribir(alta.get(), "DBCODCENTRO2", QStringLiteral("c1"));
    escribir(alta.get(), "DBNOMCENTRO", QStringLiteral("tienda"));
    maestros::borrarEmpresa(otraCopia.Quorvel(), vacia);
    pulsar(alta.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("La empresa %1 ya no existe: otra copia la ha borrado").arg(vacia)}));
    EXPECT_TRUE(alta->isVisible());
    EXPECT_EQ(texto(alta.get(), "DBNOMCENTRO"), QStringLiteral("TIENDA"));
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM centros")), QStringList({QStringLiteral("2")}));

    // The calendar chosen in the picker, deleted by another copy before the centre was stored.
    m_guion.mensajes.clear();
    const qint64 madrid = fixture::calendario(db(), QStringLiteral("MADRID"));
    auto editor = abrir(m_b2.id);
    escribir(editor.get(), "DBNOMCENTRO", QStringLiteral("oficinas nuevas"));
    alAbrirse<TFormSelCalendario>([](TFormSelCalendario* picker) { pulsar(picker, "SpeedButton1"); });
    pulsar(editor.get(), "BotSelCalendario");
    ASSERT_EQ(texto(editor.get(), "DBCALENDARIO"), QString::number(madrid));
    EXPECT_TRUE(calendarios::borrarCalendario(otraCopia.Quorvel(), int(madrid)).isEmpty());
    pulsar(editor.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("El calendario %1 ya no existe: otra copia lo ha borrado").arg(madrid)}));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(texto(editor.get(), "DBNOMCENTRO"), QStringLiteral("OFICINAS NUEVAS"));
    EXPECT_EQ(
        valores(QStringLiteral("SELECT nomcentro, calendario FROM centros WHERE id = ") + QString::number(m_b2.id)),
        QStringList({QStringLiteral("OFICINAS|0")}));

    // The picker's list was read before another copy deleted a calendar of it: choosing it says so.
    m_guion.mensajes.clear();
    const qint64 toledo = fixture::calendario(db(), QStringLiteral("TOLEDO"));
    alAbrirse<TFormSelCalendario>([&](TFormSelCalendario* picker) {
        EXPECT_TRUE(calendarios::borrarCalendario(otraCopia.Quorvel(), int(toledo)).isEmpty());
        pulsar(picker, "SpeedButton1");
        EXPECT_TRUE(picker->isVisible());
        EXPECT_TRUE(columna(picker, "DBGrid1", QStringLiteral("descripcion")).isEmpty());
        pulsar(picker, "SpeedButton3");
    });
    pulsar(editor.get(), "BotSelCalendario");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("El calendario %1 ya no existe: otra copia lo ha borrado").arg(toledo)}));
    EXPECT_EQ(texto(editor.get(), "DBCALENDARIO"), QStringLiteral("0"));

    // Deleted by another copy while on screen: said, not stored as if nothing happened.
    m_guion.mensajes.clear();
    maestros::borrarCentro(otraCopia.Quorvel(), m_b2.id, m_b2.codcentro);
    pulsar(editor.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes,
              QStringList({QStringLiteral("ERROR: el registro ya no existe; otro usuario lo ha borrado.")}));
    EXPECT_EQ(valores(QStringLiteral("SELECT count(*) FROM centros")), QStringList({QStringLiteral("1")}));

    m_guion.mensajes.clear();
    auto ausente = abrir(999);
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("ERROR: empresa no encontrada")}));
    EXPECT_FALSE(hijo<QPushButton>(ausente.get(), "BotGrabar")->isEnabled());
}
