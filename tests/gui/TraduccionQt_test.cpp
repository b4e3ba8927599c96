#include "reports/ReportPrinter.h"
#include "support/Modales.h"

#include <QAction>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

reports::Report unaPagina()
{
    reports::Report informe;
    informe.title = QStringLiteral("Hoja");
    reports::Band& detalle = informe.detail.emplace(10);
    detalle.addText(QStringLiteral("QRNombre"), 5, 2, QStringLiteral("GARCÍA PÉREZ, ANA"),
                    {QStringLiteral("Arial"), 10});
    informe.fetchRow = [](int fila) { return fila < 1; };
    return informe;
}

QStringList textos(const QPrintPreviewDialog* vista)
{
    QStringList todos;
    for (const QAction* a : vista->findChild<QToolBar*>()->actions())
        if (!a->isSeparator() && !a->text().isEmpty())
            todos << a->toolTip();
    return todos;
}

} // namespace

TEST(TraduccionQtTest, StandardButtonsReadSpanish)
{
    QMessageBox caja(QMessageBox::Question, QStringLiteral("Quorvel"), QStringLiteral("¿Seguir?"),
                     QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No | QMessageBox::Close);
    EXPECT_EQ(caja.button(QMessageBox::Ok)->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(caja.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(caja.button(QMessageBox::Yes)->text(), QStringLiteral("&Sí"));
    EXPECT_EQ(caja.button(QMessageBox::No)->text(), QStringLiteral("&No"));
    EXPECT_EQ(caja.button(QMessageBox::Close)->text(), QStringLiteral("Cerrar"));
}

TEST(TraduccionQtTest, PreviewSpeaksSpanishAndTellsHowItWasLeft)
{
    reports::Report informe = unaPagina();
    QStringList vistos;
    bool conSiguiente = true;
    Modales<QPrintPreviewDialog> usuario({
        [&](QPrintPreviewDialog* vista) {
            vistos = textos(vista);
            conSiguiente = vista->findChild<QAction*>(QStringLiteral("continueAction")) != nullptr;
            pulsarEscape(vista);
        },
        [&](QPrintPreviewDialog* vista) {
            QAction* siguiente = vista->findChild<QAction*>(QStringLiteral("continueAction"));
            ASSERT_TRUE(siguiente);
            EXPECT_EQ(siguiente->text(), QStringLiteral("Siguiente centro"));
            siguiente->trigger();
        },
        [&](QPrintPreviewDialog* vista) { pulsarEscape(vista); },
    });

    EXPECT_FALSE(reports::previewReport(informe, nullptr)) << "left with Escape";
    EXPECT_FALSE(conSiguiente) << "nothing follows a lone report";
    for (const QString& texto :
         {QStringLiteral("Página siguiente"), QStringLiteral("Página anterior"), QStringLiteral("Ajustar ancho"),
          QStringLiteral("Acercar"), QStringLiteral("Alejar"), QStringLiteral("Vertical"), QStringLiteral("Apaisado"),
          QStringLiteral("Imprimir"), QStringLiteral("Configuración de página")})
        EXPECT_TRUE(vistos.contains(texto)) << texto.toStdString() << " not in " << vistos.join(u'|').toStdString();

    EXPECT_TRUE(reports::previewReport(informe, nullptr, QStringLiteral("Siguiente centro")));
    EXPECT_FALSE(reports::previewReport(informe, nullptr, QStringLiteral("Siguiente centro")));
    EXPECT_EQ(usuario.pendientes(), 0);
}
