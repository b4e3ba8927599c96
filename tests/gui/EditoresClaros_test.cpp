// What a new clerk met in the record editors: unsaved changes, the working-time type, name lengths, the
// postal code and the worker's centres, driven through the real windows.
#include "gui/MaestrosPruebas.h"

#include "masterdata/Maestros.h"
#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManEmpresas.h"
#include "masterdata/TFormManTrabajadores.h"
#include "support/InteraccionGuion.h"
#include "support/Modales.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

class EditoresClarosTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        m_empresa = fixture::empresa(db(), QStringLiteral("ÁLAMO"), {}, {});
        m_almacen = fixture::centro(db(), m_empresa, QStringLiteral("01"), QStringLiteral("ALMACÉN SUR"));
        m_ana = fixture::trabajador(db(), QStringLiteral("ANA"), {}, {}, QStringLiteral("X"), {});
        fixture::asignar(db(), m_ana, m_almacen.codcentro);
    }
    template <typename T> std::unique_ptr<T> mostrar(std::unique_ptr<T> editor)
    {
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        return editor;
    }
    std::unique_ptr<TFormManTrabajadores> trabajador(qint64 id)
    {
        auto e = std::make_unique<TFormManTrabajadores>(*m_md);
        e->IdTrabajadorEdit = id;
        return mostrar(std::move(e));
    }
    std::unique_ptr<TFormManCentros> centro(qint64 id)
    {
        auto e = std::make_unique<TFormManCentros>(*m_md);
        e->IdCentroEdit = id;
        e->IdEmpresaAlta = m_empresa;
        return mostrar(std::move(e));
    }
    QString nombreTrabajador() { return maestros::leerTrabajador(db(), m_ana)->nomtrabajador; }

    InteraccionGuion m_guion;
    qint64 m_empresa = 0;
    fixture::Centro m_almacen;
    qint64 m_ana = 0;
};

TEST_F(EditoresClarosTest, ClosingWithTypedChangesAsksWhetherToStoreThem)
{
    // Without changes every way out closes at once.
    auto e = trabajador(m_ana);
    pulsarEscape(e.get());
    EXPECT_FALSE(e->isVisible());
    EXPECT_TRUE(m_guion.preguntas.isEmpty());

    // Cancelar keeps the window and what was typed; No abandons it; Sí stores it.
    e = trabajador(m_ana);
    escribir(e.get(), "DBNOMTRABAJADOR", QStringLiteral("ANA MARÍA"));
    m_guion.respuestasPreguntas = {Interaccion::Respuesta::Cancelar, Interaccion::Respuesta::No};
    pulsarEscape(e.get());
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(texto(e.get(), "DBNOMTRABAJADOR"), QStringLiteral("ANA MARÍA"));
    e->close();
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(nombreTrabajador(), QStringLiteral("ANA"));
    EXPECT_EQ(m_guion.preguntas, QStringList(2, TFormEditor::textoGuardarCambios()));

    e = trabajador(m_ana);
    escribir(e.get(), "DBNOMTRABAJADOR", QStringLiteral("ANA MARÍA"));
    m_guion.respuestasPreguntas = {Interaccion::Respuesta::Si};
    pulsar(e.get(), "BotCancelar");
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(nombreTrabajador(), QStringLiteral("ANA MARÍA"));
}

TEST_F(EditoresClarosTest, TheWorkersTypeIsChosenFromTwoAndTheirCentresShowTheirNames)
{
    auto e = trabajador(m_ana);
    auto* tipo = hijo<QComboBox>(e.get(), "DBTIPOJORNADA");
    QStringList opciones;
    for (int i = 0; i < tipo->count(); ++i)
        opciones << tipo->itemText(i);
    // A letter stored by other means is shown as it is, flagged, and kept unless the clerk chooses.
    EXPECT_EQ(opciones, (QStringList{QStringLiteral("C — Tiempo completo"), QStringLiteral("P — Tiempo parcial"),
                                     QStringLiteral("X")}));
    EXPECT_EQ(tipo->currentText(), QStringLiteral("X"));
    EXPECT_EQ(hijo<QLabel>(e.get(), "LAvisoDBTIPOJORNADA")->text(),
              QStringLiteral("Tipo de jornada «X» no válido: elija C o P"));
    EXPECT_EQ(columna(e.get(), "DBGrid1", QStringLiteral("codcentro")), QStringList{m_almacen.codcentro});
    EXPECT_EQ(columna(e.get(), "DBGrid1", QStringLiteral("nomcentro")), QStringList{QStringLiteral("ALMACÉN SUR")});
    EXPECT_EQ(modelo(e.get(), "DBGrid1")->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Centro"));
    pulsar(e.get(), "BotGrabar");
    EXPECT_EQ(maestros::leerTrabajador(db(), m_ana)->tipojornada, QStringLiteral("X"));

    e = trabajador(m_ana);
    tipo = hijo<QComboBox>(e.get(), "DBTIPOJORNADA");
    tipo->setCurrentIndex(tipo->findText(QStringLiteral("P — Tiempo parcial")));
    pulsar(e.get(), "BotGrabar");
    EXPECT_EQ(maestros::leerTrabajador(db(), m_ana)->tipojornada, QStringLiteral("P"));
}

TEST_F(EditoresClarosTest, ANameShowsWhatRemainsAndALongerOneOrALetteredPostcodeIsNamed)
{
    auto c = centro(m_almacen.id);
    auto* quedan = hijo<QLabel>(c.get(), "LQuedanDBNOMCENTRO");
    EXPECT_EQ(quedan->text(), QStringLiteral("Quedan 9 de 20 caracteres"));
    // Pasted in one go, as from a spreadsheet: kept whole, never cut.
    hijo<QLineEdit>(c.get(), "DBNOMCENTRO")->setText(QStringLiteral("ALMACÉN SUR DE LA CIUDAD"));
    EXPECT_EQ(texto(c.get(), "DBNOMCENTRO"), QStringLiteral("ALMACÉN SUR DE LA CIUDAD"));
    EXPECT_EQ(quedan->text(), QStringLiteral("Sobran 4 caracteres (caben 20)"));
    pulsar(c.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("El nombre del centro tiene 24 caracteres y caben 20"));
    EXPECT_TRUE(c->isVisible());

    escribir(c.get(), "DBNOMCENTRO", QStringLiteral("ALMACÉN NORTE"));
    escribir(c.get(), "DBCP", QStringLiteral("29abc"));
    pulsar(c.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("El código postal debe ser un número: «29abc»"));
    EXPECT_TRUE(hijo<QLineEdit>(c.get(), "DBCP")->hasFocus());
    escribir(c.get(), "DBNOMCENTRO", QString());
    pulsar(c.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("Falta el nombre del centro"));
    EXPECT_EQ(maestros::leerCentro(db(), m_almacen.id)->nomcentro, QStringLiteral("ALMACÉN SUR"));
}

// Every field with a width shows what remains of it beside it, takes a pasted longer text whole and refuses to
// store it; none is cut on the way.
TEST_F(EditoresClarosTest, EveryLimitedFieldCountsItsCharactersAndRefusesALongerValue)
{
    const QString largo(40, u'X');
    auto c = centro(m_almacen.id);
    for (const char* campo : {"DBDOMICILIO", "DBPOBLACION", "DBCP", "DBTELEFONO", "DBEMAIL"})
        EXPECT_TRUE(hijo<QLabel>(c.get(), QByteArray("LQuedan").append(campo).constData())->isVisible()) << campo;
    hijo<QLineEdit>(c.get(), "DBDOMICILIO")->setText(largo);
    EXPECT_EQ(texto(c.get(), "DBDOMICILIO"), largo);
    EXPECT_EQ(hijo<QLabel>(c.get(), "LQuedanDBDOMICILIO")->text(), QStringLiteral("Sobran 5 caracteres (caben 35)"));
    pulsar(c.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("El domicilio del centro tiene 40 caracteres y caben 35"));
    EXPECT_TRUE(hijo<QLineEdit>(c.get(), "DBDOMICILIO")->hasFocus());
    EXPECT_TRUE(c->isVisible());

    auto t = trabajador(m_ana);
    EXPECT_EQ(hijo<QLabel>(t.get(), "LQuedanDBALIAS")->text(), QStringLiteral("Quedan 27 de 30 caracteres"));
    for (const char* campo : {"DBNIF", "DBNSS", "DBTELEF", "DBEMAIL", "DBCONTRATO"})
        EXPECT_TRUE(hijo<QLabel>(t.get(), QByteArray("LQuedan").append(campo).constData())->isVisible()) << campo;
    hijo<QLineEdit>(t.get(), "DBCONTRATO")->setText(largo);
    pulsar(t.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("El contrato tiene 40 caracteres y caben 30"));
    EXPECT_TRUE(maestros::leerTrabajador(db(), m_ana)->contrato.isEmpty());

    auto e = std::make_unique<TFormManEmpresas>(*m_md);
    e->IdEmpresaEdit = m_empresa;
    e = mostrar(std::move(e));
    hijo<QLineEdit>(e.get(), "DBCCC")->setText(largo);
    pulsar(e.get(), "BotGrabar");
    EXPECT_EQ(m_guion.mensajes.last(), QStringLiteral("El CCC de la empresa tiene 40 caracteres y caben 30"));
    EXPECT_EQ(hijo<QLabel>(e.get(), "LQuedanDBCIF")->text(), QStringLiteral("Quedan 20 de 20 caracteres"));
}

} // namespace
