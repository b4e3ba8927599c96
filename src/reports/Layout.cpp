#include "reports/Layout.h"

#include <QFontMetricsF>
#include <QImage>

namespace reports {

namespace {

// Texts are measured at the PDF's resolution with hinting off, so sizes match any output device.
constexpr qreal MmPerMeasurePixel = 25.4 / PdfResolution;
// Beyond this many distinct texts per font the width cache starts over rather than grow forever.
constexpr qsizetype MaxCachedWidths = 20000;

const QImage& measureDevice()
{
    static const QImage image = [] {
        QImage img(1, 1, QImage::Format_Mono);
        const int dotsPerMeter = qRound(PdfResolution / 0.0254);
        img.setDotsPerMeterX(dotsPerMeter);
        img.setDotsPerMeterY(dotsPerMeter);
        return img;
    }();
    return image;
}

} // namespace

QFont fontFor(const FontStyle& style)
{
    QFont font(style.family);
    font.setPointSizeF(style.pointSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Latin text needs no shaping; skipping it is the biggest saving when drawing text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

std::vector<const Primitive*> Page::named(QStringView elementName) const
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : items) {
        if (p.name == elementName)
            found.push_back(&p);
    }
    return found;
}

LayoutEngine::LayoutEngine(Report& report) : m_report(report) {}

std::vector<Page> LayoutEngine::layoutAll(Report& report)
{
    std::vector<Page> pages;
    LayoutEngine engine(report);
    engine.run([&pages](const Page& page) { pages.push_back(page); });
    return pages;
}

int LayoutEngine::run(const PageSink& sink)
{
    m_sink = &sink;
    m_page = Page();
    m_printable = m_report.pageLayout.paintRect(QPageLayout::Millimeter);
    Report& r = m_report;
    const auto fetch = [&r](int row) { return r.fetchRow ? r.fetchRow(row) : row == 0; };
    // The first row is fetched before the first page header, which may show data of that row.
    bool hasRow = fetch(0);
    startPage();
    for (int row = 0; hasRow; hasRow = fetch(++row)) {
        if (r.detail)
            placeBand(*r.detail);
        if (r.needSubDetail) {
            for (int line = 0; r.needSubDetail(row, line); ++line) {
                if (r.subDetail)
                    placeBand(*r.subDetail);
            }
        }
        if (r.footer)
            placeBand(*r.footer);
    }
    finishPage();
    m_sink = nullptr;
    return m_page.number;
}

void LayoutEngine::startPage()
{
    ++m_page.number;
    m_page.items.clear();
    m_y = m_printable.top();
    m_pageHasBody = false;
    if (m_report.pageHeader)
        placeBand(*m_report.pageHeader, true);
}

void LayoutEngine::finishPage()
{
    (*m_sink)(m_page);
}

void LayoutEngine::placeBand(Band& band, bool isPageHeader)
{
    // Break before the callback so it sees the page the band lands on; a callback that makes the
    // band taller may still push it over.
    const auto breakIfFull = [&] {
        if (!isPageHeader && m_pageHasBody && m_y + band.height > m_printable.bottom() + 1e-9) {
            finishPage();
            startPage();
        }
    };
    breakIfFull();
    band.printBand = true;
    if (band.beforePrint)
        band.beforePrint(band, m_page.number);
    if (!band.printBand)
        return;
    breakIfFull();

    emitBand(band, m_y);
    m_y += band.height;
    if (!isPageHeader)
        m_pageHasBody = true;
    if (band.afterPrint)
        band.afterPrint(band, m_page.number);
}

void LayoutEngine::emitBand(const Band& band, qreal top)
{
    const qreal left = m_printable.left();
    const qreal bandWidth = band.width > 0 ? band.width : m_printable.width();

    if (band.background.isValid() && band.background.alpha() > 0) {
        Primitive& fill = m_page.items.emplace_back();
        fill.kind = Primitive::Kind::Fill;
        fill.rect = QRectF(left, top, bandWidth, band.height);
        fill.background = band.background;
    }

    for (const Element& e : band.elements) {
        if (!e.enabled)
            continue;
        const QRectF g = e.geometry.translated(left, top);
        switch (e.kind) {
        case ElementKind::Text: {
            const bool hasBackground = e.background.isValid() && e.background.alpha() > 0;
            if (e.text.isEmpty() && !hasBackground)
                break;
            int fontId = fontIdFor(e.font);
            FontStyle font = e.font;
            QString text = e.text;
            QRectF rect = g;
            if (e.fitWidth && g.width() > 0 && !e.wordWrap) {
                fitToWidth(g.width(), e.minFitPointSize, font, fontId, text);
                // A smaller size keeps the baseline of the size it replaces, in line with its neighbours.
                if (fontId != fontIdFor(e.font) && !(e.alignment & Qt::AlignVertical_Mask))
                    rect.translate(0, ascent(fontIdFor(e.font)) - ascent(fontId));
            }
            int flags = int(e.alignment);
            if (!(flags & Qt::AlignVertical_Mask))
                flags |= Qt::AlignTop;
            if (rect.width() <= 0) {
                rect.setWidth(naturalWidth(fontId, e.text));
                flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
            }
            if (rect.height() <= 0)
                rect.setHeight(lineHeight(fontId));
            flags |= e.wordWrap ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine);
            Primitive& p = m_page.items.emplace_back();
            p.kind = Primitive::Kind::Text;
            p.rect = rect;
            p.color = e.color;
            p.background = hasBackground ? e.background : QColor();
            p.text = text;
            p.fontId = fontId;
            p.font = font;
            p.flags = flags;
            p.name = e.name;
            break;
        }
        case ElementKind::HorizontalLine:
        case ElementKind::VerticalLine: {
            Primitive& p = m_page.items.emplace_back();
            p.kind = Primitive::Kind::Line;
            p.rect = e.kind == ElementKind::HorizontalLine ? QRectF(g.left(), g.top(), g.width(), 0)
                                                           : QRectF(g.left(), g.top(), 0, g.height());
            p.color = e.color;
            p.penWidth = e.penWidth;
            p.name = e.name;
            break;
        }
        case ElementKind::Rect: {
            Primitive& p = m_page.items.emplace_back();
            p.kind = Primitive::Kind::Rect;
            p.rect = g;
            p.color = e.color;
            p.background = e.background;
            p.penWidth = e.penWidth;
            p.name = e.name;
            break;
        }
        }
    }
}

int LayoutEngine::fontIdFor(const FontStyle& font)
{
    // Reports use a handful of fonts, so a linear search beats hashing here.
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i].style == font)
            return int(i);
    }
    FontMetricsEntry& entry = m_fonts.emplace_back();
    entry.style = font;
    entry.font = fontFor(font);
    entry.lineHeightMm = QFontMetricsF(entry.font, &measureDevice()).height() * MmPerMeasurePixel;
    return int(m_fonts.size() - 1);
}

void LayoutEngine::fitToWidth(qreal widthMm, qreal minPointSize, FontStyle& font, int& fontId, QString& text)
{
    // Half-point steps keep the number of distinct fonts (and PDF font objects) small.
    while (naturalWidth(fontId, text) > widthMm && font.pointSize - 0.5 >= minPointSize - 1e-9) {
        font.pointSize -= 0.5;
        fontId = fontIdFor(font);
    }
    if (naturalWidth(fontId, text) <= widthMm)
        return;
    const QFontMetricsF metrics(m_fonts[size_t(fontId)].font, &measureDevice());
    text = metrics.elidedText(text, Qt::ElideRight, widthMm / MmPerMeasurePixel);
}

qreal LayoutEngine::ascent(int fontId)
{
    return QFontMetricsF(m_fonts[size_t(fontId)].font, &measureDevice()).ascent() * MmPerMeasurePixel;
}

qreal LayoutEngine::lineHeight(int fontId)
{
    return m_fonts[size_t(fontId)].lineHeightMm;
}

qreal LayoutEngine::naturalWidth(int fontId, const QString& text)
{
    FontMetricsEntry& entry = m_fonts[size_t(fontId)];
    const auto it = entry.widthsMm.constFind(text);
    if (it != entry.widthsMm.constEnd())
        return *it;
    if (entry.widthsMm.size() >= MaxCachedWidths)
        entry.widthsMm.clear();
    const qreal width = QFontMetricsF(entry.font, &measureDevice()).horizontalAdvance(text) * MmPerMeasurePixel;
    entry.widthsMm.insert(text, width);
    return width;
}

} // namespace reports
