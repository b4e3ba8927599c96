#include "gui/PralPruebas.h"

#include "sheets/TFormAcercade.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// Texts of a menu's items in order; a separator is "—".
QStringList elementos(const QMenu* menu)
{
    QStringList textos;
    for (const QAction* a : menu->actions())
        textos << (a->isSeparator() ? QStringLiteral("—") : a->text());
    return textos;
}

// Runs `conDialogo` on the about box once it is up, while the action that opened it waits in exec().
void conAcercade(QAction* accion, const std::function<void(TFormAcercade&)>& conDialogo)
{
    bool visto = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<TFormAcercade*>(QApplication::activeModalWidget()); }));
        auto* acerca = qobject_cast<TFormAcercade*>(QApplication::activeModalWidget());
        visto = true;
        conDialogo(*acerca);
        if (acerca->isVisible())
            acerca->reject();
    });
    accion->trigger();
    EXPECT_TRUE(visto);
}

} // namespace

TEST_F(PralTest, MenusHoldTheActionsInOrder)
{
    abrir();
    QList<QMenu*> menus;
    for (QAction* a : m_ventana->menuBar()->actions())
        menus << a->menu();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->title(), QStringLiteral("&Archivo"));
    EXPECT_EQ(elementos(menus[0]), QStringList({QStringLiteral("Salir")}));
    EXPECT_EQ(menus[1]->title(), QStringLiteral("Mantenimiento"));
    EXPECT_EQ(elementos(menus[1]),
              QStringList({QStringLiteral("Empresas/centros/trabajadores"), QStringLiteral("Mantenimiento Calendarios"),
                           QStringLiteral("—"), QStringLiteral("Importar…"), QStringLiteral("Exportar…"),
                           QStringLiteral("—"), QStringLiteral("Constantes"), QStringLiteral("Envíos realizados")}));
    EXPECT_EQ(menus[2]->title(), QStringLiteral("Procesos"));
    EXPECT_EQ(elementos(menus[2]),
              QStringList({QStringLiteral("Búsqueda trabajadores"), QStringLiteral("Datos dudosos"),
                           QStringLiteral("—"), QStringLiteral("Generar/Imprimir ficheros"), QStringLiteral("—"),
                           QStringLiteral("Enviar ficheros por email ..."), QStringLiteral("Envío mails automático")}));
    EXPECT_EQ(menus[3]->title(), QStringLiteral("A&yuda"));
    EXPECT_EQ(elementos(menus[3]), QStringList({QStringLiteral("Acerca de ...")}));
}

TEST_F(PralTest, EveryScreenIsOnOfferWithItsHint)
{
    abrir();
    for (const char* nombre : {"ManTablas", "BuscarTrabajadores", "ManConstantes", "GenerarPlanFestivos"}) {
        auto* a = control<QAction>(nombre);
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->isEnabled()) << nombre;
        EXPECT_NE(a->toolTip(), QStringLiteral("Disponible próximamente")) << nombre;
    }
    for (const char* nombre : {"BotManCentros", "BotCalendarioBase", "BotCalendarCentros", "BotPlanFestivos"}) {
        auto* b = control<QPushButton>(nombre);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->isEnabled()) << nombre;
        EXPECT_NE(b->toolTip(), QStringLiteral("Disponible próximamente")) << nombre;
    }
    EXPECT_FALSE(control<QAction>("EnvioCorreos")->isEnabled()) << "no run yet";
    EXPECT_FALSE(control<QAction>("MenuEnvioCorreos")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("BotXMail")->isEnabled());
    EXPECT_TRUE(control<QAction>("GenerarFicheroImprimir")->isEnabled());
    EXPECT_TRUE(control<QAction>("GenerarPlanFestivos")->isEnabled());
    EXPECT_EQ(control<QPushButton>("BotCalendarioBase")->toolTip(), QStringLiteral("Acceder al calendario base"));
    EXPECT_EQ(control<QPushButton>("BotCalendarCentros")->toolTip(), QStringLiteral("Calendario del centro"));
    for (const char* nombre : {"BotCalendarioBase", "BotCalendarCentros", "BotPlanFestivos"})
        EXPECT_TRUE(control<QPushButton>(nombre)->isEnabled()) << nombre;
    EXPECT_TRUE(control<QAction>("Salir")->isEnabled());
    EXPECT_TRUE(control<QAction>("Acercade")->isEnabled());
    EXPECT_TRUE(control<QAction>("ManConstantes")->isEnabled());
}

TEST_F(PralTest, ToolBarShowsShortCaptionsAndClosesTheWindow)
{
    abrir();
    EXPECT_EQ(control<QToolButton>("ToolButtonManTablas")->text(), QStringLiteral("Emp/Cent/Trab"));
    EXPECT_EQ(control<QToolButton>("ToolButtonBuscarTrabajadores")->text(), QStringLiteral("Búsqueda trabajadores"));
    EXPECT_EQ(control<QToolButton>("ToolButtonManCalendarios")->text(), QStringLiteral("Calendarios"));
    EXPECT_EQ(control<QToolButton>("ToolButtonAcercade")->toolButtonStyle(), Qt::ToolButtonIconOnly);
    auto* cerrar = control<QToolButton>("BotCerrar");
    EXPECT_EQ(cerrar->text(), QStringLiteral("&Cerrar"));
    EXPECT_EQ(cerrar->toolTip(), QStringLiteral("Cierra la aplicación"));
    QTest::mouseClick(cerrar, Qt::LeftButton);
    EXPECT_FALSE(m_ventana->isVisible());
}

TEST_F(PralTest, AboutBoxShowsTheVersionAndOpensTheContacts)
{
    abrir();
    conAcercade(control<QAction>("Acercade"), [this](TFormAcercade& acerca) {
        EXPECT_EQ(acerca.windowTitle(), QStringLiteral("Acerca de ..."));
        EXPECT_EQ(acerca.findChild<QLabel*>(QStringLiteral("ProductName"))->text(), QStringLiteral("Quorvel"));
        EXPECT_EQ(acerca.findChild<QLabel*>(QStringLiteral("Version"))->text(), QStringLiteral("Versión: 1.02"));
        EXPECT_EQ(acerca.findChild<QLabel*>(QStringLiteral("Fecha"))->text(), QStringLiteral("Fecha: 22/05/2019"));
        EXPECT_TRUE(acerca.font().italic());
        for (const char* nombre : {"Correo", "Web"}) {
            auto* enlace = acerca.findChild<QLabel*>(QString::fromLatin1(nombre));
            QTest::mouseClick(enlace, Qt::LeftButton, {}, QPoint(6, enlace->height() / 2));
        }
        EXPECT_EQ(m_guion.urls, QList<QUrl>({QUrl(QStringLiteral("mailto:soporte@quorvel.es")),
                                             QUrl(QStringLiteral("https://www.quorvel.es"))}));
        EXPECT_TRUE(acerca.isVisible()) << "following a link keeps the box open";
        QTest::mouseClick(acerca.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_FALSE(acerca.isVisible());
    });
}

TEST_F(PralTest, ClickOutsideThePanelClosesTheAboutBox)
{
    abrir();
    conAcercade(control<QAction>("Acercade"), [](TFormAcercade& acerca) {
        QTest::mouseClick(&acerca, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_FALSE(acerca.isVisible());
    });
}
