// Printing from the engine's preview and from the year view, through a CUPS scheduler the test starts itself.
#include "base/Interaccion.h"
#include "reports/Report.h"
#include "support/InteraccionGuion.h"
#include "support/Modales.h"
#include "support/Poppler.h"
#include "support/ServidorCups.h"

#include <QAction>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

reports::Report dosPaginas()
{
    reports::Report informe;
    informe.title = QStringLiteral("Quorvel_0101_201905");
    // Two rows taller than half a page: one sheet each.
    reports::Band& detalle = informe.detail.emplace(200);
    detalle.addText(QStringLiteral("QRNombre"), 5, 2, QStringLiteral("GARCÍA PÉREZ, ANA"),
                    {QStringLiteral("Arial"), 10});
    informe.fetchRow = [](int fila) { return fila < 2; };
    return informe;
}

// The clerk presses the preview's print button; the print dialog opens over it.
void pulsarImprimir(QDialog* vista)
{
    auto* imprimir = qobject_cast<QPrintPreviewDialog*>(vista)->findChild<QAction*>(QStringLiteral("printAction"));
    ASSERT_TRUE(imprimir);
    QTimer::singleShot(0, imprimir, &QAction::trigger);
}

// The clerk picks a printer in the print dialog and accepts it.
void elegirImpresora(QDialog* dialogo, const QString& impresora)
{
    ASSERT_TRUE(qobject_cast<QPrintDialog*>(dialogo)) << dialogo->metaObject()->className();
    bool elegida = false;
    for (QComboBox* lista : dialogo->findChildren<QComboBox*>()) {
        const int i = lista->findText(impresora);
        if (i >= 0) {
            lista->setCurrentIndex(i);
            elegida = true;
            break;
        }
    }
    EXPECT_TRUE(elegida) << impresora.toStdString() << " not offered";
    dialogo->accept();
}

class ImpresionVistaPreviaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_cups.enMarcha())
            GTEST_SKIP() << "sin planificador CUPS propio: " << m_cups.motivo().toStdString();
        ASSERT_TRUE(m_cups.crearCola(QStringLiteral("Oficina"), QStringLiteral("Letter")))
            << m_cups.ultimoError().toStdString();
        ASSERT_TRUE(m_cups.crearCola(QStringLiteral("Almacen"), QStringLiteral("Letter"), true, false))
            << m_cups.ultimoError().toStdString();
        m_guion.vistaPreviaReal = true;
    }

    QString pdfinfo(int trabajo) { return poppler::run(QStringLiteral("pdfinfo"), {m_cups.documento(trabajo)}); }

    ServidorCups m_cups;
    InteraccionGuion m_guion;
};

} // namespace

TEST_F(ImpresionVistaPreviaTest, PrintButtonSendsTheJobToTheChosenPrinterAndTellsARefusal)
{
    reports::Report informe = dosPaginas();
    const QString almacen = QStringLiteral("Almacen");
    Modales<QDialog> usuario({
        [](QDialog* vista) { pulsarImprimir(vista); },
        [&](QDialog* dialogo) { elegirImpresora(dialogo, almacen); },
        // Refused: the preview stays open for another try.
        [](QDialog* vista) { pulsarImprimir(vista); },
        [&](QDialog* dialogo) { elegirImpresora(dialogo, almacen); },
        [](QDialog* vista) { pulsarEscape(vista); },
    });

    // Printed: the preview closes, as after Qt's own printing.
    EXPECT_TRUE(Interaccion::actual().previsualizar(nullptr, informe, true));
    EXPECT_TRUE(m_guion.mensajes.isEmpty()) << m_guion.mensajes.join(u'|').toStdString();
    ASSERT_TRUE(m_cups.esperarTrabajos());
    auto trabajos = m_cups.trabajos();
    ASSERT_EQ(trabajos.size(), 1u);
    EXPECT_EQ(trabajos[0].cola, almacen) << "the printer chosen in the dialog, not the default one";
    EXPECT_EQ(trabajos[0].titulo, QStringLiteral("Quorvel_0101_201905"));
    EXPECT_EQ(trabajos[0].estado, IPP_JSTATE_COMPLETED);
    EXPECT_EQ(poppler::paginas(m_cups.documento(trabajos[0].id)), 2);
    // The queue's paper is Letter; the sheet still asks for A4.
    const QString info = pdfinfo(trabajos[0].id);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:.*\\(A4\\)")))) << info.toStdString();

    ASSERT_TRUE(m_cups.orden(QStringLiteral("cupsreject"), {almacen}));
    EXPECT_FALSE(Interaccion::actual().previsualizar(nullptr, informe, true)) << "left with Escape after the refusal";
    EXPECT_EQ(m_guion.mensajes,
              QStringList{QStringLiteral("No se ha impreso: la impresora \"Almacen\" no admite trabajos.")});
    EXPECT_EQ(m_cups.trabajos().size(), 1u);
    EXPECT_EQ(usuario.pendientes(), 0);
}
