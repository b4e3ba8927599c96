#include "gui/MaestrosPruebas.h"

#include "masterdata/TFormManCentro2.h"
#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManEmpresas.h"
#include "masterdata/TFormManTablas.h"
#include "masterdata/TFormManTrabajadores.h"
#include "sheets/TFormPral.h"
#include "support/Poppler.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

const QString kSinEmpresa =
    QStringLiteral("No hay ninguna empresa. Dé de alta la primera en Mantenimiento › Empresas/centros/trabajadores.");

QStringList entradas(const QComboBox* combo)
{
    QStringList todas;
    for (int i = 0; i < combo->count(); ++i)
        todas << combo->itemText(i);
    return todas;
}

} // namespace

class PrimerUsoTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        m_rutaPdf = m_dir.file(QStringLiteral("PDF"));
        db().prepare(QStringLiteral("UPDATE constantes SET RutaPDF = ?")).bind(1, m_rutaPdf).run();
    }

    TFormPral& abrir()
    {
        m_ventana = std::make_unique<TFormPral>(*m_md, QDate(2019, 5, 15));
        m_ventana->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_ventana.get()));
        return *m_ventana;
    }

    void TearDown() override { m_ventana.reset(); }

    // A new worker typed into the editor and assigned, through the picker, to the first centre offered.
    static void altaTrabajador(TFormManTablas* tablas, const QString& nombre, const QString& jornada)
    {
        alAbrirse<TFormManTrabajadores>([&](TFormManTrabajadores* editor) {
            EXPECT_EQ(hijo<QLabel>(editor, "LOperacion")->text(), QStringLiteral("Alta de trabajador"));
            escribir(editor, "DBNOMTRABAJADOR", nombre);
            auto* tipo = hijo<QComboBox>(editor, "DBTIPOJORNADA");
            tipo->setCurrentIndex(tipo->findData(jornada));
            escribir(editor, "DBCONTRATO", QStringLiteral("40 horas"));
            alAbrirse<TFormManCentro2>([](TFormManCentro2* picker) { pulsar(picker, "SpeedButton2"); });
            pulsar(editor, "SpeedButton2");
            pulsar(editor, "BotGrabar");
        });
        pulsar(tablas, "BotManTrabajadores");
    }

    QString m_rutaPdf;
    std::unique_ptr<TFormPral> m_ventana;
};

TEST_F(PrimerUsoTest, FromAnEmptyFileToPrintedSheetsThroughTheWindowsOnly)
{
    TFormPral& pral = abrir();
    // The window says at once what comes first, naming the entry as the menu shows it.
    auto* primerPaso = pral.findChild<QWidget*>(QStringLiteral("PanelPrimerPaso"));
    ASSERT_TRUE(primerPaso);
    EXPECT_TRUE(primerPaso->isVisible());
    EXPECT_EQ(hijo<QLabel>(&pral, "TextoPrimerPaso")->text(),
              QStringLiteral("Para empezar, dé de alta la empresa, sus centros y sus trabajadores en "
                             "Mantenimiento › Empresas/centros/trabajadores."));
    auto* menu = pral.findChild<QMenu*>(QStringLiteral("Mantenimiento"));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), QStringLiteral("Mantenimiento"));
    EXPECT_TRUE(menu->actions().contains(pral.findChild<QAction*>(QStringLiteral("ManTablas"))));
    EXPECT_EQ(pral.findChild<QAction*>(QStringLiteral("ManTablas"))->text(),
              QStringLiteral("Empresas/centros/trabajadores"));
    EXPECT_TRUE(m_guion.textos.isEmpty()) << "no box to close first";
    EXPECT_EQ(hijo<QPushButton>(&pral, "BotPrimerPaso")->text(), QStringLiteral("Abrir Empresas/centros/trabajadores"));

    pulsar(&pral, "BotImprimir");
    EXPECT_EQ(m_guion.mensajes, QStringList({kSinEmpresa}));
    EXPECT_FALSE(QDir(m_rutaPdf).exists()) << "a refused run touches nothing";
    m_guion.mensajes.clear();
    m_guion.textos.clear();

    alAbrirse<TFormManTablas>([&](TFormManTablas* tablas) {
        alAbrirse<TFormManEmpresas>([](TFormManEmpresas* editor) {
            EXPECT_EQ(hijo<QLabel>(editor, "LOperacion")->text(), QStringLiteral("Alta de empresa"));
            escribir(editor, "DBNOMEMPRESA", QStringLiteral("transportes núñez, s.l."));
            escribir(editor, "DBCIF", QStringLiteral("b12345678"));
            pulsar(editor, "BotGrabar");
        });
        pulsar(tablas, "BotManEmpresas");
        EXPECT_EQ(columna(tablas, "DBEmpresas", QStringLiteral("nomempresa")),
                  QStringList({QStringLiteral("TRANSPORTES NÚÑEZ, S.L.")}));

        alAbrirse<TFormManCentros>([](TFormManCentros* editor) {
            EXPECT_EQ(hijo<QLabel>(editor, "LOperacion")->text(), QStringLiteral("Alta de centro"));
            EXPECT_EQ(texto(editor, "DBIDEMPRESA"), QStringLiteral("1"));
            escribir(editor, "DBCODCENTRO2", QStringLiteral("a1"));
            EXPECT_EQ(texto(editor, "DBCODCENTRO2"), QStringLiteral("A1"));
            EXPECT_EQ(texto(editor, "DBCODCENTRO"), QStringLiteral("01A1"));
            escribir(editor, "DBNOMCENTRO", QStringLiteral("almacén sur"));
            EXPECT_EQ(texto(editor, "DBCALENDARIO"), QStringLiteral("0"));
            pulsar(editor, "BotGrabar");
        });
        pulsar(tablas, "BotManCentros");

        altaTrabajador(tablas, QStringLiteral("benítez ocaña, maría"), QStringLiteral("C"));
        altaTrabajador(tablas, QStringLiteral("álvarez núñez, josé"), QStringLiteral("P"));
        EXPECT_EQ(columna(tablas, "DBTrabajadores", QStringLiteral("nomtrabajador")),
                  QStringList({QStringLiteral("ÁLVAREZ NÚÑEZ, JOSÉ"), QStringLiteral("BENÍTEZ OCAÑA, MARÍA")}));
        tablas->reject();
    });
    pulsar(&pral, "BotPrimerPaso");
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(primerPaso->isVisible()) << "done once the file has a company";

    EXPECT_EQ(valores(QStringLiteral("SELECT id, nomempresa, cif FROM empresas")),
              QStringList({QStringLiteral("1|TRANSPORTES NÚÑEZ, S.L.|B12345678")}));
    EXPECT_EQ(valores(QStringLiteral("SELECT codcentro, codcentro2, nomcentro, idempresa, calendario, sabados, "
                                     "domingos, festivos FROM centros")),
              QStringList({QStringLiteral("01A1|A1|ALMACÉN SUR|1|0|1|1|1")}));
    EXPECT_EQ(
        valores(QStringLiteral("SELECT t.nomtrabajador, t.tipojornada, u.codcentro FROM trabajadores t "
                               "JOIN ubicatrabajador u ON u.idtrabajador = t.id ORDER BY t.id")),
        QStringList({QStringLiteral("BENÍTEZ OCAÑA, MARÍA|C|01A1"), QStringLiteral("ÁLVAREZ NÚÑEZ, JOSÉ|P|01A1")}));

    // The main window shows what was entered, without a restart.
    auto* empresas = pral.findChild<QComboBox*>(QStringLiteral("ComboEmpresas"));
    auto* centros = pral.findChild<QComboBox*>(QStringLiteral("ComboCentros"));
    auto* trabajadores = pral.findChild<QComboBox*>(QStringLiteral("ComboTrabajadores"));
    EXPECT_EQ(entradas(empresas), QStringList({QStringLiteral("TRANSPORTES NÚÑEZ, S.L.")}));
    EXPECT_EQ(entradas(centros), QStringList({QStringLiteral("01A1 - ALMACÉN SUR")}));
    EXPECT_EQ(entradas(trabajadores),
              QStringList({QStringLiteral("2 - ÁLVAREZ NÚÑEZ, JOSÉ"), QStringLiteral("1 - BENÍTEZ OCAÑA, MARÍA")}));
    EXPECT_EQ(m_md->IdEmpresaActiva, 1);

    auto* todos = pral.findChild<QCheckBox*>(QStringLiteral("CKTodosTrabajadores"));
    ASSERT_TRUE(todos->isEnabled());
    if (!todos->isChecked())
        todos->click();
    pulsar(&pral, "BotImprimir");
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    const QString pdf = QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_01A1_201905.pdf"));
    ASSERT_EQ(poppler::paginas(pdf), 2);
    const QString primera = poppler::texto(pdf, 1);
    const QString segunda = poppler::texto(pdf, 2);
    EXPECT_TRUE(primera.contains(QStringLiteral("ÁLVAREZ NÚÑEZ, JOSÉ"))) << primera.toStdString();
    EXPECT_TRUE(primera.contains(QStringLiteral("TIEMPO PARCIAL")));
    EXPECT_TRUE(segunda.contains(QStringLiteral("BENÍTEZ OCAÑA, MARÍA"))) << segunda.toStdString();
    EXPECT_TRUE(segunda.contains(QStringLiteral("TIEMPO COMPLETO")));
    for (const QString& pagina : {primera, segunda}) {
        EXPECT_TRUE(pagina.contains(QStringLiteral("TRANSPORTES NÚÑEZ, S.L.")));
        EXPECT_TRUE(pagina.contains(QStringLiteral("A1 - ALMACÉN SUR")));
    }
}

TEST_F(PrimerUsoTest, ACompanyWithoutCentresIsToldWhatComesNext)
{
    fixture::empresa(db(), QStringLiteral("SOLA, S.A."), QStringLiteral("A1"), QStringLiteral("1"));
    TFormPral& pral = abrir();
    pulsar(&pral, "BotImprimir");
    EXPECT_EQ(m_guion.mensajes, QStringList({QStringLiteral("La empresa no tiene ningún centro. Dé de alta el primero "
                                                            "en Mantenimiento › Empresas/centros/trabajadores.")}));
    EXPECT_FALSE(QDir(m_rutaPdf).exists());
}
