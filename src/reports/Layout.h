#pragma once

#include "reports/Report.h"

#include <QFont>
#include <QHash>
#include <QLineF>
#include <functional>
#include <vector>

namespace reports {

// PDF device units per inch: 100 per millimetre, so positions in hundredths of a millimetre are whole
// numbers, which keeps PDFs small; font sizes round to 1/35 of a point.
constexpr int PdfResolution = 2540;

// The font used both to measure and to draw; hinting is off so sizes do not depend on the resolution.
QFont fontFor(const FontStyle& style);

// One thing to draw, in millimetres from the page's top-left corner (not the margins).
struct Primitive
{
    enum class Kind : quint8 {
        Fill, // rect filled with background
        Rect, // rect outlined with color, filled with background when valid
        Line, // from rect.topLeft() to rect.bottomRight(), in color
        Text, // text aligned in rect, background behind it when valid
    };

    Kind kind = Kind::Fill;
    QRectF rect;
    QColor color;
    QColor background;
    qreal penWidth = 0;
    QString text;
    int fontId = -1; // index in the run's font table, stable for the whole run
    FontStyle font;
    int flags = 0; // Qt::AlignmentFlag | Qt::TextFlag
    QString name;  // the element's name, empty for band fills

    QLineF line() const { return {rect.topLeft(), rect.bottomRight()}; }
};

struct Page
{
    int number = 0; // from 1
    std::vector<Primitive> items;

    // What the element with that name put on the page, in order of appearance (for checks and tools).
    std::vector<const Primitive*> named(QStringView elementName) const;
};

// Walks a report's rows and bands, running the callbacks, and hands out one finished page at a time.
// The page passed to the sink is reused for the next one, so a sink that draws it straight away keeps
// memory flat whatever the page count.
class LayoutEngine
{
public:
    using PageSink = std::function<void(const Page& page)>;

    explicit LayoutEngine(Report& report);

    // Lays the whole report out; returns the number of pages (at least one).
    int run(const PageSink& sink);

    // Keeps every page; for checks and small reports.
    static std::vector<Page> layoutAll(Report& report);

private:
    void startPage();
    void finishPage();
    void placeBand(Band& band, bool isPageHeader = false);
    void emitBand(const Band& band, qreal top);
    int fontIdFor(const FontStyle& font);
    qreal lineHeight(int fontId);
    qreal ascent(int fontId);
    qreal naturalWidth(int fontId, const QString& text);
    // Shrinks the font, then cuts the text, until it fits the width.
    void fitToWidth(qreal widthMm, qreal minPointSize, FontStyle& font, int& fontId, QString& text);

    struct FontMetricsEntry
    {
        FontStyle style;
        QFont font;
        qreal lineHeightMm = 0;
        QHash<QString, qreal> widthsMm;
    };

    Report& m_report;
    const PageSink* m_sink = nullptr;
    Page m_page;
    QRectF m_printable; // millimetres
    qreal m_y = 0;
    bool m_pageHasBody = false;
    std::vector<FontMetricsEntry> m_fonts;
};

} // namespace reports
