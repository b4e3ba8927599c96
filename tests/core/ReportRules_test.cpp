#include "reports/Layout.h"
#include "reports/ReportPainter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Two rules of one column with a 0.3 mm gap between them, as the sheet's day lines draw them.
QImage pintarColumna(qreal unirHasta)
{
    reports::Report r;
    reports::Band& b = r.detail.emplace(6.9, 190);
    b.addVerticalLine(QStringLiteral("V"), 20, 0, 6.6);
    r.fetchRow = [](int row) { return row < 2; };
    r.joinRuleGapMm = unirHasta;
    const auto paginas = reports::LayoutEngine::layoutAll(r);

    constexpr qreal dpi = 600;
    QImage imagen(int(210 / 25.4 * dpi), int(30 / 25.4 * dpi), QImage::Format_RGB32);
    imagen.fill(Qt::white);
    QPainter p(&imagen);
    // Drawn from the paper's corner, as the PDF is.
    QPageLayout papel(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    papel.setMode(QPageLayout::FullPageMode);
    reports::PagePainter pintor(p, papel, dpi, dpi);
    pintor.setJoinRuleGap(r.joinRuleGapMm);
    pintor.paint(paginas.front());
    return imagen;
}

bool negro(const QImage& imagen, qreal xMm, qreal yMm)
{
    constexpr qreal puntosPorMm = 600 / 25.4;
    return qGray(imagen.pixel(int(xMm * puntosPorMm), int(yMm * puntosPorMm))) < 128;
}

TEST(ReportRules, CollinearRulesJoinOnlyAcrossTheGapAllowed)
{
    // Page coordinates: 10 mm left margin, 5 mm top margin; the gap lies between 11.6 and 11.9 mm.
    const QImage separadas = pintarColumna(0);
    EXPECT_TRUE(negro(separadas, 30, 8));
    EXPECT_FALSE(negro(separadas, 30, 11.75));
    EXPECT_TRUE(negro(separadas, 30, 14));

    const QImage unidas = pintarColumna(0.35);
    EXPECT_TRUE(negro(unidas, 30, 8));
    EXPECT_TRUE(negro(unidas, 30, 11.75));
    EXPECT_TRUE(negro(unidas, 30, 14));
    // Past the last rule nothing is drawn.
    EXPECT_FALSE(negro(unidas, 30, 19.2));
}

} // namespace
