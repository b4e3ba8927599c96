#pragma once

#include "store/ErrorQuorvel.h"

#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>

namespace reports {

// Raised when a report cannot be produced; what() and message() carry a text fit for the user.
class ReportError : public ErrorQuorvel
{
public:
    using ErrorQuorvel::ErrorQuorvel;
};

// Font of a text element; the family goes through the platform's font matching ("Arial" may become
// Liberation Sans).
struct FontStyle
{
    QString family = QStringLiteral("Arial");
    qreal pointSize = 10;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

enum class ElementKind : quint8 {
    Text,
    HorizontalLine,
    VerticalLine,
    Rect,
};

// Something printed inside a band. Geometry is in millimetres from the band's top-left corner.
// Text: width 0 prints the text at its natural size with its top-left corner at (x, y); a width
// gives a box the text is aligned in (height 0 = one line of the font). Lines use x, y and the
// width (horizontal) or height (vertical). Rectangles are outlined with the colour and filled with
// the background when it is valid.
struct Element
{
    ElementKind kind = ElementKind::Text;
    QString name;
    QRectF geometry;
    QString text;
    FontStyle font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wordWrap = false;
    // Keeps a single-line text inside its box width: a wider text is set smaller, down to minFitPointSize,
    // and what still does not fit is cut with an ellipsis. Without it a long value runs over its neighbours.
    bool fitWidth = false;
    qreal minFitPointSize = 6;
    QColor color = Qt::black;
    QColor background;    // invalid: transparent
    qreal penWidth = 0.2; // millimetres, lines and rectangles
    bool enabled = true;
};

class Band;
// Called with the band and the page number (from 1) the band is printed on.
using BandCallback = std::function<void(Band& band, int page)>;
using BandDoneCallback = std::function<void(const Band& band, int page)>;

// A horizontal strip of fixed height; never split across pages.
class Band
{
public:
    explicit Band(qreal heightMm, qreal widthMm = 0);

    Element& addText(const QString& name, qreal x, qreal y, const QString& text, const FontStyle& font = {},
                     qreal boxWidth = 0, Qt::Alignment alignment = Qt::AlignLeft);
    Element& addHorizontalLine(const QString& name, qreal x1, qreal x2, qreal y);
    Element& addVerticalLine(const QString& name, qreal x, qreal y1, qreal y2);
    Element& addRect(const QString& name, const QRectF& rect);

    // Null when there is no element by that name.
    Element* find(QStringView name);
    // Throws ReportError when there is no element by that name.
    Element& element(QStringView name);
    void setText(QStringView name, const QString& text) { element(name).text = text; }
    void setEnabled(QStringView name, bool enabled) { element(name).enabled = enabled; }

    qreal height;
    qreal width;       // 0: the printable width of the page
    QColor background; // invalid: transparent
    // Set to true before each beforePrint; clearing it skips the band this time.
    bool printBand = true;
    // Elements keep their address while the band lives, so callbacks may hold pointers to them.
    std::deque<Element> elements;
    BandCallback beforePrint;
    BandDoneCallback afterPrint;

private:
    Element& add(ElementKind kind, const QString& name, const QRectF& geometry);
};

// A banded report: for each data row the detail band, then the sub-detail band as long as
// needSubDetail asks for it, then the footer; the page header opens every page.
class Report
{
public:
    Report();
    // Callbacks often hold pointers to elements, which a copy would leave behind; moves keep them valid.
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    Report(Report&&) = default;
    Report& operator=(Report&&) = default;

    QString title;
    // Margins in millimetres; A4 portrait with 5 mm top/bottom and 10 mm left/right by default.
    QPageLayout pageLayout;

    std::optional<Band> pageHeader;
    std::optional<Band> detail;
    std::optional<Band> subDetail;
    std::optional<Band> footer;

    // Moves the caller's data to row `row` (0, 1, 2... on every run) and tells whether it exists.
    // Without it the report has one row.
    std::function<bool(int row)> fetchRow;
    // Asked after the detail of row `row` and after each sub-detail line with line = 0, 1, 2...:
    // true prints one more sub-detail line (the caller moves its data to that line first).
    std::function<bool(int row, int line)> needSubDetail;

    // Collinear rules of the same pen whose ends are at most this far apart (mm) are drawn as one: a grid
    // whose column rules stop just short of each row's bottom rule prints the same and writes far less.
    qreal joinRuleGapMm = 0;

    // The preview window fills the screen (a wide landscape listing reads better so).
    bool previewMaximized = false;
};

} // namespace reports
