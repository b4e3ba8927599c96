#include "reports/ReportPainter.h"

#include <QPagedPaintDevice>

#include <algorithm>
#include <tuple>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace reports {

namespace {

// Qt's PDF engine takes two 10 MB buffers to compress every page. glibc would give that memory back to
// the system after each page and fault it in again on the next, which doubles the cost of a page; a
// generous heap top pad keeps it. Untouched pad costs no resident memory.
void keepAllocatorHeadroom()
{
#if defined(__GLIBC__)
    static const bool done = [] { return mallopt(M_TOP_PAD, 64 * 1024 * 1024) == 1; }();
    Q_UNUSED(done);
#endif
}

} // namespace

PagePainter::PagePainter(QPainter& painter, const QPageLayout& pageLayout, qreal dpiX, qreal dpiY)
    : m_painter(painter), m_originMm(pageLayout.paintRect(QPageLayout::Millimeter).topLeft()), m_scaleX(dpiX / 25.4),
      m_scaleY(dpiY / 25.4)
{
    m_painter.setBrush(Qt::NoBrush);
}

QPointF PagePainter::toDevice(const QPointF& mm) const
{
    return {(mm.x() - m_originMm.x()) * m_scaleX, (mm.y() - m_originMm.y()) * m_scaleY};
}

QRectF PagePainter::toDevice(const QRectF& mm) const
{
    return {toDevice(mm.topLeft()), QSizeF(mm.width() * m_scaleX, mm.height() * m_scaleY)};
}

void PagePainter::usePen(const QColor& color, qreal widthMm)
{
    const QRgb rgba = color.rgba();
    if (m_penSet && rgba == m_penRgba && widthMm == m_penWidthMm)
        return;
    QPen pen(color);
    pen.setWidthF(widthMm * m_scaleX);
    m_painter.setPen(pen);
    m_penRgba = rgba;
    m_penWidthMm = widthMm;
    m_penSet = true;
}

void PagePainter::useFont(const Primitive& text)
{
    if (text.fontId == m_currentFont)
        return;
    const auto id = size_t(text.fontId);
    if (id >= m_fonts.size()) {
        m_fonts.resize(id + 1);
        m_fontReady.resize(id + 1, false);
    }
    if (!m_fontReady[id]) {
        m_fonts[id] = fontFor(text.font);
        m_fontReady[id] = true;
    }
    m_painter.setFont(m_fonts[id]);
    m_currentFont = text.fontId;
}

void PagePainter::paint(const Page& page)
{
    m_rules.clear();
    for (const Primitive& p : page.items) {
        switch (p.kind) {
        case Primitive::Kind::Fill:
            m_painter.fillRect(toDevice(p.rect), p.background);
            break;
        case Primitive::Kind::Rect:
            if (p.background.isValid())
                m_painter.fillRect(toDevice(p.rect), p.background);
            usePen(p.color, p.penWidth);
            m_painter.drawRect(toDevice(p.rect));
            break;
        case Primitive::Kind::Line: {
            const QLineF l = p.line();
            Rule& r = m_rules.emplace_back();
            r.rgba = p.color.rgba();
            r.widthMm = p.penWidth;
            if (l.x1() == l.x2()) {
                r.direction = 0;
                r.across = l.x1();
                r.from = qMin(l.y1(), l.y2());
                r.to = qMax(l.y1(), l.y2());
            } else if (l.y1() == l.y2()) {
                r.direction = 1;
                r.across = l.y1();
                r.from = qMin(l.x1(), l.x2());
                r.to = qMax(l.x1(), l.x2());
            } else {
                r.direction = 2;
                r.across = r.from = r.to = 0;
                r.slanted = l;
            }
            break;
        }
        case Primitive::Kind::Text: {
            const QRectF rect = toDevice(p.rect);
            if (p.background.isValid())
                m_painter.fillRect(rect, p.background);
            if (p.text.isEmpty())
                break;
            // Text only needs the pen's colour; keep the width so rules that follow need no change.
            usePen(p.color, m_penSet ? m_penWidthMm : 0);
            useFont(p);
            m_painter.drawText(rect, p.flags | Qt::TextDontClip, p.text);
            break;
        }
        }
    }
    drawRules();
}

void PagePainter::drawRules()
{
    if (m_rules.empty())
        return;
    std::sort(m_rules.begin(), m_rules.end(), [](const Rule& a, const Rule& b) {
        return std::tie(a.rgba, a.widthMm, a.direction, a.across, a.from) <
               std::tie(b.rgba, b.widthMm, b.direction, b.across, b.from);
    });
    const qreal touching = 1e-6 + m_joinGapMm;
    const auto sameRun = [](const Rule& a, const Rule& b) {
        return a.rgba == b.rgba && a.widthMm == b.widthMm && a.direction == b.direction && a.across == b.across;
    };
    const auto flush = [this] {
        if (!m_batch.isEmpty())
            m_painter.drawLines(m_batch.constData(), int(m_batch.size()));
        m_batch.clear();
    };

    for (size_t i = 0; i < m_rules.size();) {
        const Rule& first = m_rules[i];
        if (!m_penSet || first.rgba != m_penRgba || first.widthMm != m_penWidthMm) {
            flush();
            usePen(QColor::fromRgba(first.rgba), first.widthMm);
        }
        if (first.direction == 2) {
            m_batch.append(QLineF(toDevice(first.slanted.p1()), toDevice(first.slanted.p2())));
            ++i;
            continue;
        }
        qreal to = first.to;
        size_t j = i + 1;
        while (j < m_rules.size() && sameRun(first, m_rules[j]) && m_rules[j].from <= to + touching) {
            to = qMax(to, m_rules[j].to);
            ++j;
        }
        const QPointF a = first.direction == 0 ? QPointF(first.across, first.from) : QPointF(first.from, first.across);
        const QPointF b = first.direction == 0 ? QPointF(first.across, to) : QPointF(to, first.across);
        m_batch.append(QLineF(toDevice(a), toDevice(b)));
        i = j;
    }
    flush();
}

int paintReport(Report& report, QPagedPaintDevice& device, PageRange range)
{
    // Drawing from the paper's corner keeps positions exact: with margins Qt rounds the paint rect to
    // whole points. Primitives already carry the report's margins.
    keepAllocatorHeadroom();
    QPageLayout fullPage = report.pageLayout;
    fullPage.setMode(QPageLayout::FullPageMode);
    fullPage.setMargins(QMarginsF());
    device.setPageLayout(fullPage);
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError(QStringLiteral("No se puede dibujar el informe"));
    PagePainter pagePainter(painter, device.pageLayout(), device.logicalDpiX(), device.logicalDpiY());
    pagePainter.setJoinRuleGap(report.joinRuleGapMm);

    bool firstDrawn = true;
    LayoutEngine engine(report);
    const int pages = engine.run([&](const Page& page) {
        if ((range.from > 0 && page.number < range.from) || (range.to > 0 && page.number > range.to))
            return;
        if (!firstDrawn)
            device.newPage();
        firstDrawn = false;
        pagePainter.paint(page);
    });
    painter.end();
    return pages;
}

} // namespace reports
