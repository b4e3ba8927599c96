#include "base/Interaccion.h"
#include "base/ManejadorErrores.h"
#include "reports/Report.h"
#include "sheets/TFormAcercade.h"
#include "store/StoreError.h"
#include "support/InteraccionGuion.h"
#include "support/Modales.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(ManejadorErroresTest, EveryKindOfFailureBecomesItsOwnText)
{
    InteraccionGuion guion;
    const auto falla = [](auto error) { errores::protegido(nullptr, [&] { throw error; }); };
    falla(store::StoreError(QStringLiteral("database is locked")));
    falla(store::ConversionError(QStringLiteral("El campo 'sabados' está vacío")));
    falla(reports::ReportError(QStringLiteral("No se puede crear el fichero /x.pdf")));
    falla(std::runtime_error("disco lleno"));
    falla(42);
    EXPECT_EQ(guion.errores,
              QStringList({QStringLiteral("La base de datos está ocupada por otra copia de Quorvel que está guardando "
                                          "datos. Espere unos segundos y vuelva a intentarlo (database is locked)"),
                           QStringLiteral("El campo 'sabados' está vacío"),
                           QStringLiteral("No se puede crear el fichero /x.pdf"), QStringLiteral("disco lleno"),
                           QStringLiteral("Error inesperado")}));
}

TEST(ManejadorErroresTest, ConnectedSlotsFailWithoutStoppingTheSignal)
{
    InteraccionGuion guion;
    QPushButton boton;
    int veces = 0;
    errores::conectar(&boton, &QPushButton::clicked, &boton, [&] {
        ++veces;
        throw store::StoreError(QStringLiteral("no such table: centros"));
    });
    boton.click();
    boton.click();
    EXPECT_EQ(veces, 2);
    EXPECT_EQ(guion.errores.size(), 2);
}

TEST(InteraccionTest, AnInstalledObjectIsCurrentUntilTheOneBeforeItIsPutBack)
{
    Interaccion& normal = Interaccion::actual();
    {
        InteraccionGuion fuera;
        {
            InteraccionGuion dentro;
            EXPECT_EQ(&Interaccion::actual(), &dentro);
            // A question asked without a title is a confirmation.
            Interaccion::actual().confirmar(nullptr, QStringLiteral("¿Borrar?"));
            EXPECT_EQ(dentro.confirmaciones, QStringList{QStringLiteral("Confirmación: ¿Borrar?")});
        }
        EXPECT_EQ(&Interaccion::actual(), &fuera);
    }
    EXPECT_EQ(&Interaccion::actual(), &normal);
}

TEST(InteraccionTest, TheRealQuestionSaysSiWithItsAccentAndEnterAnswersNo)
{
    // Enter on the box must not delete: the default is "&No", and only clicking "&Sí" says yes.
    QStringList botones;
    QString titulo;
    Modales<QMessageBox> pasos({[&](QMessageBox* caja) {
                                    titulo = caja->windowTitle();
                                    for (QAbstractButton* b : caja->buttons())
                                        botones << b->text();
                                    EXPECT_EQ(caja->defaultButton()->text(), QStringLiteral("&No"));
                                    QTest::keyClick(caja, Qt::Key_Return);
                                },
                                [](QMessageBox* caja) {
                                    for (QAbstractButton* b : caja->buttons())
                                        if (b->text() == QStringLiteral("&Sí"))
                                            b->click();
                                }});
    EXPECT_FALSE(Interaccion::actual().confirmar(nullptr, QStringLiteral("¿Borrar?")));
    EXPECT_EQ(titulo, QStringLiteral("Confirmación"));
    botones.sort();
    EXPECT_EQ(botones, QStringList({QStringLiteral("&No"), QStringLiteral("&Sí")}));
    EXPECT_TRUE(Interaccion::actual().confirmar(nullptr, QStringLiteral("¿Borrar?")));
    EXPECT_EQ(pasos.pendientes(), 0);
}

TEST(TFormAcercadeTest, ShowsTheVersionGivenAndLinksThroughTheInteraction)
{
    InteraccionGuion guion;
    TFormAcercade acerca;
    acerca.ponerVersion(QStringLiteral("1.02"), QStringLiteral("22/05/2019"));
    acerca.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&acerca));
    EXPECT_EQ(acerca.windowTitle(), QStringLiteral("Acerca de ..."));
    EXPECT_EQ(acerca.findChild<QLabel*>(QStringLiteral("Version"))->text(), QStringLiteral("Versión: 1.02"));
    EXPECT_EQ(acerca.findChild<QLabel*>(QStringLiteral("Fecha"))->text(), QStringLiteral("Fecha: 22/05/2019"));
    auto* correo = acerca.findChild<QLabel*>(QStringLiteral("Correo"));
    QTest::mouseClick(correo, Qt::LeftButton, {}, QPoint(6, correo->height() / 2));
    EXPECT_EQ(guion.urls, QList<QUrl>({QUrl(QStringLiteral("mailto:soporte@quorvel.es"))}));
    QTest::mouseClick(acerca.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_FALSE(acerca.isVisible());
    EXPECT_EQ(acerca.result(), QDialog::Accepted);
}
