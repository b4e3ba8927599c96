#pragma once

#include "reports/Layout.h"

#include <QPainter>
#include <QPen>
#include <QVarLengthArray>

class QPagedPaintDevice;

namespace reports {

// Draws laid-out pages with an active painter. Pens and fonts are set only when they change and
// fonts are built once per run, because big reports draw the same few styles millions of times.
// Rules go last, above fills and texts, and rules that continue each other (a column rule drawn
// band after band) are joined into one: same look, a fraction of the PDF size and time.
class PagePainter
{
public:
    // pageLayout tells where the painter's origin lies on the page (the top-left of its paint rect);
    // dpiX/dpiY convert millimetres to the device's units.
    PagePainter(QPainter& painter, const QPageLayout& pageLayout, qreal dpiX, qreal dpiY);

    void paint(const Page& page);
    // Collinear rules this close (mm) are joined; by default only rules that touch.
    void setJoinRuleGap(qreal gapMm) { m_joinGapMm = gapMm; }

private:
    QRectF toDevice(const QRectF& mm) const;
    QPointF toDevice(const QPointF& mm) const;
    void usePen(const QColor& color, qreal widthMm);
    void useFont(const Primitive& text);
    void drawRules();

    struct Rule
    {
        QRgb rgba;
        qreal widthMm;
        int direction; // 0 vertical, 1 horizontal, 2 slanted
        qreal across;  // x of a vertical rule, y of a horizontal one
        qreal from;
        qreal to;
        QLineF slanted;
    };

    QPainter& m_painter;
    QPointF m_originMm;
    qreal m_scaleX;
    qreal m_scaleY;
    std::vector<QFont> m_fonts; // by Primitive::fontId
    std::vector<bool> m_fontReady;
    int m_currentFont = -1;
    QRgb m_penRgba = 0;
    qreal m_penWidthMm = -1;
    bool m_penSet = false;
    qreal m_joinGapMm = 0;
    std::vector<Rule> m_rules;
    QVarLengthArray<QLineF, 512> m_batch;
};

// Pages to draw, from 1; 0 means no limit on that side.
struct PageRange
{
    int from = 0;
    int to = 0;
};

// Sets the report's paper on the device (full page: the margins are already in the primitives), lays the
// report out and draws it page by page with newPage() in between, so only one page exists at a time.
// Returns the number of pages laid out. Throws ReportError when the device cannot be painted on.
int paintReport(Report& report, QPagedPaintDevice& device, PageRange range = {});

} // namespace reports
