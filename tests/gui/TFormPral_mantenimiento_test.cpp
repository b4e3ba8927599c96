#include "gui/PralPruebas.h"

#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManTablas.h"
#include "masterdata/TFormManTrabajadores2.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

// Runs `accion` on the next modal window of class T once it is shown.
template <typename T> void alAbrirse(std::function<void(T*)> accion)
{
    auto* reloj = new QTimer;
    reloj->setInterval(5);
    QObject::connect(reloj, &QTimer::timeout, [reloj, accion] {
        if (auto* ventana = qobject_cast<T*>(QApplication::activeModalWidget()); ventana && ventana->isVisible()) {
            reloj->stop();
            reloj->deleteLater();
            accion(ventana);
        }
    });
    reloj->start();
}

} // namespace

TEST_F(PralTest, MasterDataEntriesAreAvailableWithTheirHints)
{
    abrir();
    EXPECT_TRUE(control<QAction>("ManTablas")->isEnabled());
    EXPECT_EQ(control<QAction>("ManTablas")->toolTip(), QStringLiteral("Empresas/centros/trabajadores"));
    EXPECT_EQ(control<QToolButton>("ToolButtonManTablas")->text(), QStringLiteral("Emp/Cent/Trab"));
    EXPECT_TRUE(control<QAction>("BuscarTrabajadores")->isEnabled());
    EXPECT_EQ(control<QAction>("BuscarTrabajadores")->toolTip(), QStringLiteral("Búsqueda trabajadores"));
    EXPECT_TRUE(control<QPushButton>("BotManCentros")->isEnabled());
    EXPECT_EQ(control<QPushButton>("BotManCentros")->toolTip(), QStringLiteral("Mantenimiento centros"));
}

TEST_F(PralTest, CentreButtonEditsTheSelectedCentreAndTheListsShowTheChange)
{
    abrir();
    elegir(lista("ComboCentros"), 1);
    ASSERT_EQ(m_ventana->CodCentro(), QStringLiteral("0102"));
    alAbrirse<TFormManCentros>([](TFormManCentros* editor) {
        EXPECT_EQ(editor->findChild<QLabel*>(QStringLiteral("LOperacion"))->text(), QStringLiteral("Modificar datos"));
        auto* codigo = editor->findChild<QLineEdit*>(QStringLiteral("DBCODCENTRO2"));
        codigo->selectAll();
        QTest::keyClicks(codigo, QStringLiteral("z9"));
        QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("BotGrabar")), Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>("BotManCentros"), Qt::LeftButton);
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lista("ComboCentros")->currentText().left(4), QStringLiteral("01Z9"));
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("01Z9"));
    EXPECT_FALSE(entradas(lista("ComboTrabajadores")).isEmpty()) << "the workers went with the new code";
}

TEST_F(PralTest, ClosingTheBrowserOrTheSearchReloadsTheLists)
{
    abrir();
    alAbrirse<TFormManTablas>([this](TFormManTablas* tablas) {
        // Meanwhile another copy of the program adds a company.
        fixture::empresa(db(), QStringLiteral("NUEVA, S.L."), {}, {});
        tablas->reject();
    });
    control<QAction>("ManTablas")->trigger();
    EXPECT_EQ(entradas(lista("ComboEmpresas")).last(), QStringLiteral("NUEVA, S.L."));
    EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), 0);

    alAbrirse<TFormManTrabajadores2>([this](TFormManTrabajadores2* busqueda) {
        fixture::empresa(db(), QStringLiteral("OTRA MÁS, S.A."), {}, {});
        busqueda->reject();
    });
    control<QAction>("BuscarTrabajadores")->trigger();
    EXPECT_EQ(entradas(lista("ComboEmpresas")).last(), QStringLiteral("OTRA MÁS, S.A."));
}
