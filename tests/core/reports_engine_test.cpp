#include "reports/Layout.h"
#include "reports/PdfExport.h"
#include "reports/Report.h"
#include "reports/ReportPainter.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace reports;

namespace {

constexpr qreal MmPerPoint = 25.4 / 72.0;
const QString Arial = QStringLiteral("Arial");

// What the callbacks saw, in order: "fetch 0", "detail 0 p1", "sub 0.1 p1", "footer 0 p1"...
struct Trace
{
    QStringList events;
    int row = -1;
    int line = -1;
};

// A header of 20 mm, a detail of 10 mm, sub-details of 6 mm and a footer of 8 mm; row r has
// linesPerRow(r) sub-detail lines.
Report tracedReport(Trace& trace, int rows, const std::function<int(int)>& linesPerRow)
{
    Report report;
    report.title = QStringLiteral("Prueba");

    Band& header = report.pageHeader.emplace(20);
    header.addText(QStringLiteral("QRTitulo"), 0, 0, QStringLiteral("Registro de jornada"), {Arial, 14, true});
    header.addText(QStringLiteral("QRPagina"), 150, 0, QString(), {Arial, 9}, 40, Qt::AlignRight);
    header.beforePrint = [](Band& band, int page) { band.setText(u"QRPagina", QStringLiteral("Página %1").arg(page)); };

    Band& detail = report.detail.emplace(10);
    detail.addText(QStringLiteral("QRNombre"), 5, 2, QString(), {Arial, 10});
    detail.addHorizontalLine(QStringLiteral("QRRaya"), 0, 190, 10);
    detail.beforePrint = [&trace](Band& band, int page) {
        band.setText(u"QRNombre", QStringLiteral("Fila %1").arg(trace.row));
        trace.events << QStringLiteral("detail %1 p%2").arg(trace.row).arg(page);
    };

    Band& sub = report.subDetail.emplace(6);
    sub.addText(QStringLiteral("QRLinea"), 20, 1, QString(), {Arial, 8});
    sub.addVerticalLine(QStringLiteral("QRColumna"), 15, 0, 6);
    sub.beforePrint = [&trace](Band& band, int page) {
        band.setText(u"QRLinea", QStringLiteral("Línea %1.%2").arg(trace.row).arg(trace.line));
        trace.events << QStringLiteral("sub %1.%2 p%3").arg(trace.row).arg(trace.line).arg(page);
    };

    Band& footer = report.footer.emplace(8);
    footer.addText(QStringLiteral("QRTotal"), 0, 1, QString(), {Arial, 9, true});
    footer.beforePrint = [&trace](Band& band, int page) {
        band.setText(u"QRTotal", QStringLiteral("Total %1").arg(trace.row));
        trace.events << QStringLiteral("footer %1 p%2").arg(trace.row).arg(page);
    };

    report.fetchRow = [&trace, rows](int row) {
        trace.events << QStringLiteral("fetch %1").arg(row);
        trace.row = row;
        return row < rows;
    };
    report.needSubDetail = [&trace, linesPerRow](int row, int line) {
        trace.line = line;
        return line < linesPerRow(row);
    };
    return report;
}

const Primitive* onlyOne(const Page& page, const QString& name)
{
    const auto found = page.named(name);
    return found.size() == 1 ? found.front() : nullptr;
}

std::vector<const Primitive*> textsOf(const Page& page, const QString& name)
{
    std::vector<const Primitive*> texts;
    for (const Primitive* p : page.named(name)) {
        if (p->kind == Primitive::Kind::Text)
            texts.push_back(p);
    }
    return texts;
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A word of `pdftotext -bbox`, in millimetres from the page's top-left corner.
struct Word
{
    QString text;
    QRectF mm;
};

std::vector<std::vector<Word>> wordsPerPage(const QString& pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<std::vector<Word>> pages;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (const auto& m : tag.globalMatch(html)) {
        if (m.captured(0).startsWith(u"<page")) {
            pages.emplace_back();
            continue;
        }
        const QRectF pt(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        pages.back().push_back({m.captured(5), QRectF(pt.topLeft() * MmPerPoint, pt.size() * MmPerPoint)});
    }
    return pages;
}

// The first word with that text, or the first one whose left or right edge lies within 1 mm of `nearMm`.
enum class Edge {
    Any,
    Left,
    Right,
};
const Word* findWord(const std::vector<Word>& words, const QString& text, Edge edge = Edge::Any, qreal nearMm = 0)
{
    for (const Word& w : words) {
        if (w.text != text)
            continue;
        if (edge == Edge::Any || qAbs((edge == Edge::Left ? w.mm.left() : w.mm.right()) - nearMm) < 1)
            return &w;
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Layout

TEST(ReportLayout, BandsStackDownFromTheTopMargin)
{
    Trace trace;
    Report report = tracedReport(trace, 2, [](int) { return 2; });
    const std::vector<Page> pages = LayoutEngine::layoutAll(report);
    ASSERT_EQ(pages.size(), 1u);
    const Page& page = pages.front();

    // Margins 10 mm left, 5 mm top: header at 5, rows of 10 + 2 * 6 + 8 = 30 mm from 25.
    const Primitive* title = onlyOne(page, QStringLiteral("QRTitulo"));
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->rect.left(), 10);
    EXPECT_DOUBLE_EQ(title->rect.top(), 5);

    const auto names = textsOf(page, QStringLiteral("QRNombre"));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_DOUBLE_EQ(names[0]->rect.left(), 15);
    EXPECT_DOUBLE_EQ(names[0]->rect.top(), 27);
    EXPECT_DOUBLE_EQ(names[1]->rect.top(), 57);
    EXPECT_EQ(names[1]->text, QStringLiteral("Fila 1"));

    const auto lines = textsOf(page, QStringLiteral("QRLinea"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_DOUBLE_EQ(lines[0]->rect.top(), 36);
    EXPECT_DOUBLE_EQ(lines[1]->rect.top(), 42);
    EXPECT_DOUBLE_EQ(lines[2]->rect.top(), 66);
    EXPECT_DOUBLE_EQ(lines[0]->rect.left(), 30);

    const auto totals = textsOf(page, QStringLiteral("QRTotal"));
    ASSERT_EQ(totals.size(), 2u);
    EXPECT_DOUBLE_EQ(totals[0]->rect.top(), 48);
    EXPECT_DOUBLE_EQ(totals[1]->rect.top(), 78);

    // Rules: the detail's underline across the band, the sub-detail's column rule down its band.
    const auto underline = page.named(QStringLiteral("QRRaya"));
    ASSERT_EQ(underline.size(), 2u);
    EXPECT_EQ(underline[0]->kind, Primitive::Kind::Line);
    EXPECT_EQ(underline[0]->line(), QLineF(10, 35, 200, 35));
    const auto column = page.named(QStringLiteral("QRColumna"));
    ASSERT_EQ(column.size(), 4u);
    EXPECT_EQ(column[1]->line(), QLineF(25, 41, 25, 47));
}

TEST(ReportLayout, TextBoxesAlignInsideTheirWidthAndFreeTextTakesItsNaturalSize)
{
    Report report;
    Band& detail = report.detail.emplace(30);
    detail.addText(QStringLiteral("Libre"), 0, 0, QStringLiteral("MMMM"), {Arial, 12});
    detail.addText(QStringLiteral("Doble"), 0, 10, QStringLiteral("MMMM"), {Arial, 24});
    detail.addText(QStringLiteral("Caja"), 100, 0, QStringLiteral("x"), {Arial, 12}, 40, Qt::AlignRight);
    const Page page = LayoutEngine::layoutAll(report).front();

    // Liberation Sans, like Arial, gives "M" 0.833 em: four of them at 12 pt are 40 pt wide.
    const Primitive* free = onlyOne(page, QStringLiteral("Libre"));
    ASSERT_NE(free, nullptr);
    EXPECT_NEAR(free->rect.width(), 4 * 0.833 * 12 * MmPerPoint, 0.1);
    const Primitive* twice = onlyOne(page, QStringLiteral("Doble"));
    ASSERT_NE(twice, nullptr);
    EXPECT_NEAR(twice->rect.width() / free->rect.width(), 2.0, 0.01);
    EXPECT_NEAR(twice->rect.height() / free->rect.height(), 2.0, 0.05);

    const Primitive* box = onlyOne(page, QStringLiteral("Caja"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->rect.left(), 110);
    EXPECT_EQ(box->rect.width(), 40);
    EXPECT_TRUE(box->flags & Qt::AlignRight);
    EXPECT_TRUE(box->flags & Qt::AlignTop);
}

TEST(ReportLayout, ABandThatDoesNotFitOpensANewPageUnderTheHeader)
{
    // Printable height 287 mm: after the 20 mm header, 267 mm hold 8 rows of 30 mm (240 mm); the ninth row's
    // detail would fit (10 mm) but its sub-details push it: each band moves on its own, never split.
    Trace trace;
    Report report = tracedReport(trace, 20, [](int) { return 2; });
    const std::vector<Page> pages = LayoutEngine::layoutAll(report);
    ASSERT_EQ(pages.size(), 3u);

    for (const Page& page : pages) {
        const Primitive* title = onlyOne(page, QStringLiteral("QRTitulo"));
        ASSERT_NE(title, nullptr) << "page " << page.number;
        EXPECT_DOUBLE_EQ(title->rect.top(), 5);
        const Primitive* number = onlyOne(page, QStringLiteral("QRPagina"));
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->text, QStringLiteral("Página %1").arg(page.number));
        for (const Primitive& p : page.items)
            EXPECT_LE(p.rect.bottom(), 292 + 1e-9) << p.name.toStdString() << " on page " << page.number;
    }

    // Row 8 starts at 265: detail 265-275, sub-details 275-281 and 281-287, footer 287-295 does not fit.
    const auto firstPageTotals = textsOf(pages[0], QStringLiteral("QRTotal"));
    ASSERT_EQ(firstPageTotals.size(), 8u);
    EXPECT_EQ(textsOf(pages[0], QStringLiteral("QRNombre")).size(), 9u);
    EXPECT_EQ(textsOf(pages[0], QStringLiteral("QRLinea")).size(), 18u);
    const auto carried = textsOf(pages[1], QStringLiteral("QRTotal"));
    ASSERT_FALSE(carried.empty());
    EXPECT_EQ(carried[0]->text, QStringLiteral("Total 8"));
    EXPECT_DOUBLE_EQ(carried[0]->rect.top(), 26);
    // The moved footer reports the page it lands on.
    EXPECT_TRUE(trace.events.contains(QStringLiteral("footer 8 p2")));
}

TEST(ReportLayout, SubDetailRepeatsExactlyAsAskedAndTheFooterClosesEachRow)
{
    Trace trace;
    Report report = tracedReport(trace, 4, [](int row) { return row == 1 ? 0 : row + 1; });
    const std::vector<Page> pages = LayoutEngine::layoutAll(report);
    ASSERT_EQ(pages.size(), 1u);

    const QStringList expected = {
        QStringLiteral("fetch 0"),     QStringLiteral("detail 0 p1"), QStringLiteral("sub 0.0 p1"),
        QStringLiteral("footer 0 p1"), QStringLiteral("fetch 1"),     QStringLiteral("detail 1 p1"),
        QStringLiteral("footer 1 p1"), QStringLiteral("fetch 2"),     QStringLiteral("detail 2 p1"),
        QStringLiteral("sub 2.0 p1"),  QStringLiteral("sub 2.1 p1"),  QStringLiteral("sub 2.2 p1"),
        QStringLiteral("footer 2 p1"), QStringLiteral("fetch 3"),     QStringLiteral("detail 3 p1"),
        QStringLiteral("sub 3.0 p1"),  QStringLiteral("sub 3.1 p1"),  QStringLiteral("sub 3.2 p1"),
        QStringLiteral("sub 3.3 p1"),  QStringLiteral("footer 3 p1"), QStringLiteral("fetch 4"),
    };
    EXPECT_EQ(trace.events, expected);

    // On the page, each row's lines come between its detail and its footer.
    QStringList order;
    for (const Primitive& p : pages[0].items) {
        if (p.kind == Primitive::Kind::Text && p.name != u"QRTitulo" && p.name != u"QRPagina")
            order << p.text;
    }
    EXPECT_EQ(order.mid(0, 7),
              (QStringList{QStringLiteral("Fila 0"), QStringLiteral("Línea 0.0"), QStringLiteral("Total 0"),
                           QStringLiteral("Fila 1"), QStringLiteral("Total 1"), QStringLiteral("Fila 2"),
                           QStringLiteral("Línea 2.0")}));
    EXPECT_EQ(order.size(), 4 + 8 + 4);
}

TEST(ReportLayout, OptionalBandsAndEmptyData)
{
    // Detail only: no header, no sub-detail, no footer.
    {
        int current = -1;
        Report report;
        Band& detail = report.detail.emplace(143.5);
        detail.addText(QStringLiteral("QRFila"), 0, 0, QString());
        detail.beforePrint = [&current](Band& band, int) { band.setText(u"QRFila", QString::number(current)); };
        report.fetchRow = [&current](int row) {
            current = row;
            return row < 5;
        };
        const std::vector<Page> pages = LayoutEngine::layoutAll(report);
        ASSERT_EQ(pages.size(), 3u); // two rows fill the 287 mm exactly
        EXPECT_DOUBLE_EQ(textsOf(pages[1], QStringLiteral("QRFila"))[0]->rect.top(), 5);
        EXPECT_EQ(textsOf(pages[2], QStringLiteral("QRFila"))[0]->text, QStringLiteral("4"));
    }
    // No rows: still one page, with its header, so the output is a valid document.
    {
        Trace trace;
        Report report = tracedReport(trace, 0, [](int) { return 0; });
        const std::vector<Page> pages = LayoutEngine::layoutAll(report);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_NE(onlyOne(pages[0], QStringLiteral("QRTitulo")), nullptr);
        EXPECT_TRUE(textsOf(pages[0], QStringLiteral("QRNombre")).empty());
    }
    // Without a row source the report has exactly one row.
    {
        Report report;
        report.detail.emplace(10).addText(QStringLiteral("QRUnico"), 0, 0, QStringLiteral("uno"));
        EXPECT_EQ(textsOf(LayoutEngine::layoutAll(report).front(), QStringLiteral("QRUnico")).size(), 1u);
    }
    // A band taller than the page goes on a page of its own instead of looping for ever.
    {
        Report report;
        report.detail.emplace(400).addText(QStringLiteral("QRGrande"), 0, 0, QStringLiteral("grande"));
        report.fetchRow = [](int row) { return row < 2; };
        EXPECT_EQ(LayoutEngine::layoutAll(report).size(), 2u);
    }
}

TEST(ReportLayout, PagesStreamOutBeforeLaterRowsAreRead)
{
    Trace trace;
    Report report = tracedReport(trace, 30, [](int) { return 2; });
    QStringList seenAtSink;
    std::vector<int> numbers;
    LayoutEngine engine(report);
    const int count = engine.run([&](const Page& page) {
        numbers.push_back(page.number);
        seenAtSink << trace.events.filter(QStringLiteral("fetch")).last();
    });
    EXPECT_EQ(count, 4);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4}));
    // Page 1 holds rows 0-7 and is handed out while row 8 is being placed, not after the whole report.
    EXPECT_EQ(seenAtSink.first(), QStringLiteral("fetch 8"));

    // A second run starts from row 0 again (a preview paints more than once).
    trace.events.clear();
    EXPECT_EQ(LayoutEngine(report).run([](const Page&) {}), 4);
    EXPECT_EQ(trace.events.first(), QStringLiteral("fetch 0"));
}

// ---------------------------------------------------------------------------------------------------------------
// Callbacks

TEST(ReportCallbacks, BeforePrintChangesTextColoursAndVisibility)
{
    int current = -1;
    Report report;
    Band& detail = report.detail.emplace(10);
    detail.addText(QStringLiteral("QRDia"), 0, 0, QString(), {Arial, 9}, 20);
    detail.addText(QStringLiteral("QRFestivo"), 30, 0, QStringLiteral("Festivo"), {Arial, 9});
    detail.addRect(QStringLiteral("QRMarco"), QRectF(0, 0, 190, 10));
    detail.beforePrint = [&current](Band& band, int) {
        const bool holiday = current == 1;
        Element& day = band.element(u"QRDia");
        day.text = QString::number(current + 1);
        day.color = holiday ? QColor(Qt::red) : QColor(Qt::black);
        day.background = holiday ? QColor(Qt::yellow) : QColor();
        band.setEnabled(u"QRFestivo", holiday);
        band.background = holiday ? QColor(200, 200, 200) : QColor();
        band.printBand = current != 2;
    };
    int afterCalls = 0;
    detail.afterPrint = [&afterCalls](const Band&, int page) {
        EXPECT_EQ(page, 1);
        ++afterCalls;
    };
    report.fetchRow = [&current](int row) {
        current = row;
        return row < 4;
    };
    const Page page = LayoutEngine::layoutAll(report).front();

    const auto days = textsOf(page, QStringLiteral("QRDia"));
    ASSERT_EQ(days.size(), 3u); // row 2 suppressed, and it takes no room
    EXPECT_EQ(days[1]->text, QStringLiteral("2"));
    EXPECT_EQ(days[1]->color, QColor(Qt::red));
    EXPECT_EQ(days[1]->background, QColor(Qt::yellow));
    EXPECT_EQ(days[0]->color, QColor(Qt::black));
    EXPECT_FALSE(days[0]->background.isValid());
    EXPECT_EQ(days[2]->text, QStringLiteral("4"));
    EXPECT_DOUBLE_EQ(days[2]->rect.top(), 25);
    EXPECT_EQ(afterCalls, 3);

    const auto holidays = textsOf(page, QStringLiteral("QRFestivo"));
    ASSERT_EQ(holidays.size(), 1u);
    EXPECT_DOUBLE_EQ(holidays[0]->rect.top(), 15);

    std::vector<const Primitive*> fills;
    for (const Primitive& p : page.items) {
        if (p.kind == Primitive::Kind::Fill)
            fills.push_back(&p);
    }
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0]->rect, QRectF(10, 15, 190, 10));
    EXPECT_EQ(fills[0]->background, QColor(200, 200, 200));
    EXPECT_EQ(page.named(QStringLiteral("QRMarco")).size(), 3u);
}

TEST(ReportCallbacks, UnknownElementNamesAreReported)
{
    Band band(10);
    band.addText(QStringLiteral("QRUno"), 0, 0, QString());
    EXPECT_EQ(band.find(u"QRDos"), nullptr);
    try {
        band.setText(u"QRDos", QStringLiteral("x"));
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains(u"QRDos"));
    }
}

// ---------------------------------------------------------------------------------------------------------------
// PDF

TEST(ReportPdf, PositionsSizesPagesAndFontsAsPrinted)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("informe.pdf"));
    Trace trace;
    Report report = tracedReport(trace, 20, [](int) { return 2; });
    report.title = QStringLiteral("Registro de prueba");
    report.detail->addText(QStringLiteral("QRGrande"), 100, 0, QStringLiteral("MMMM"), {Arial, 24});
    report.detail->addText(QStringLiteral("QRMedia"), 150, 2, QStringLiteral("MMMM"), {Arial, 12});
    ASSERT_EQ(exportPdf(report, file), 3);

    const QString info = run(QStringLiteral("pdfinfo"), {file});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator:\\s+Quorvel\\n"))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Registro de prueba\\n"))));

    const QString fonts = run(QStringLiteral("pdffonts"), {file});
    const QRegularExpression embedded(QStringLiteral("^\\S*LiberationSans\\S*\\s.*\\byes\\b"),
                                      QRegularExpression::MultilineOption);
    EXPECT_TRUE(fonts.contains(embedded)) << fonts.toStdString();

    const auto pages = wordsPerPage(file);
    ASSERT_EQ(pages.size(), 3u);
    for (size_t i = 0; i < pages.size(); ++i) {
        const Word* title = findWord(pages[i], QStringLiteral("Registro"));
        ASSERT_NE(title, nullptr) << "page " << i + 1;
        EXPECT_NEAR(title->mm.left(), 10, 0.5);
        EXPECT_NEAR(title->mm.top(), 5, 0.5);
        // "Página N" right-aligned in the box that ends at 200 mm.
        const Word* number = findWord(pages[i], QString::number(i + 1), Edge::Right, 200);
        EXPECT_NE(number, nullptr) << "page " << i + 1;
    }
    // Rows 30 mm apart from 25 mm, each name 2 mm down and 5 mm in.
    std::vector<const Word*> rows;
    for (const Word& w : pages[0]) {
        if (w.text == u"Fila")
            rows.push_back(&w);
    }
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_NEAR(rows[1]->mm.left(), 15, 0.5);
    EXPECT_NEAR(rows[1]->mm.top(), 57, 0.5);
    EXPECT_NEAR(rows[8]->mm.top(), 267, 0.5);
    // Page 2: header, the footer carried over from row 8 (25-33), row 9's detail (33-43), its first line.
    const Word* line = findWord(pages[1], QStringLiteral("Línea"));
    const Word* lineNumber = findWord(pages[1], QStringLiteral("9.0"));
    ASSERT_NE(line, nullptr);
    ASSERT_NE(lineNumber, nullptr);
    EXPECT_NEAR(line->mm.left(), 30, 0.5);
    EXPECT_NEAR(line->mm.top(), 44, 0.5);
    EXPECT_NEAR(lineNumber->mm.top(), 44, 0.5);

    // Point sizes: Liberation Sans "MMMM" is 4 * 0.833 em wide, whatever the device resolution.
    const Word* big = findWord(pages[0], QStringLiteral("MMMM"), Edge::Left, 110);
    ASSERT_NE(big, nullptr);
    EXPECT_NEAR(big->mm.top(), 25, 0.5);
    EXPECT_NEAR(big->mm.width(), 4 * 0.833 * 24 * MmPerPoint, 0.3);
    const Word* medium = findWord(pages[0], QStringLiteral("MMMM"), Edge::Left, 160);
    ASSERT_NE(medium, nullptr);
    EXPECT_NEAR(medium->mm.top(), 27, 0.5);
    EXPECT_NEAR(medium->mm.width(), 4 * 0.833 * 12 * MmPerPoint, 0.3);
    EXPECT_NEAR(big->mm.height() / medium->mm.height(), 2.0, 0.05);
}

TEST(ReportPdf, RulesFillsAndColoursShowWhereTheyBelong)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("colores.pdf"));
    Report report;
    Band& header = report.pageHeader.emplace(20);
    header.background = QColor(0, 0, 255);
    Band& detail = report.detail.emplace(10);
    // Half-millimetre rules stay dark at 80 dpi.
    detail.addVerticalLine(QStringLiteral("QRColumna"), 50, 0, 10).penWidth = 0.5;
    detail.addHorizontalLine(QStringLiteral("QRRaya"), 100, 190, 5).penWidth = 0.5;
    detail.addText(QStringLiteral("QRRojo"), 20, 1, QStringLiteral("MMMM"), {Arial, 20, true}).color = Qt::red;
    report.fetchRow = [](int row) { return row < 10; };
    exportPdf(report, file);

    const QString prefix = dir.file(QStringLiteral("pagina"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                                     QStringLiteral("-singlefile"), file, prefix});
    QImage image(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    const qreal pxPerMm = 80 / 25.4;
    const auto at = [&](qreal xMm, qreal yMm) {
        return image.pixelColor(qRound(xMm * pxPerMm), qRound(yMm * pxPerMm));
    };
    const auto dark = [](const QColor& c) { return c.lightness() < 160; };

    EXPECT_EQ(at(100, 15), QColor(0, 0, 255)); // header background
    EXPECT_EQ(at(100, 30), QColor(Qt::white));
    // The column rule at 60 mm runs through all ten rows (25 to 125 mm), and stops there.
    for (qreal y = 26; y < 125; y += 3)
        EXPECT_TRUE(dark(at(60, y))) << "y " << y;
    EXPECT_FALSE(dark(at(60, 128)));
    EXPECT_FALSE(dark(at(63, 50)));
    EXPECT_TRUE(dark(at(150, 30)));
    EXPECT_FALSE(dark(at(150, 33)));
    // Red ink inside the first row's text (30-54 mm across, 26-33 mm down), none outside it.
    const auto redInside = [&](const QRectF& mm) {
        for (int x = qRound(mm.left() * pxPerMm); x < qRound(mm.right() * pxPerMm); ++x) {
            for (int y = qRound(mm.top() * pxPerMm); y < qRound(mm.bottom() * pxPerMm); ++y) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(redInside(QRectF(30, 26, 24, 7)));
    EXPECT_FALSE(redInside(QRectF(60, 26, 24, 7)));
}

TEST(ReportPdf, APageRangeDrawsOnlyThosePages)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("rango.pdf"));
    Trace trace;
    Report report = tracedReport(trace, 30, [](int) { return 2; });
    {
        QPdfWriter writer(file);
        EXPECT_EQ(paintReport(report, writer, {2, 3}), 4);
    }
    const auto pages = wordsPerPage(file);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(findWord(pages[0], QStringLiteral("2"), Edge::Right, 200), nullptr);
    EXPECT_NE(findWord(pages[1], QStringLiteral("3"), Edge::Right, 200), nullptr);
}

TEST(ReportPdf, UnwritablePathsThrowNamingTheFile)
{
    TempDir dir;
    Report report;
    report.detail.emplace(10).addText(QStringLiteral("QRTexto"), 0, 0, QStringLiteral("hola"));
    const QString missing = dir.file(QStringLiteral("no/existe/informe.pdf"));
    try {
        exportPdf(report, missing);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("No se puede crear el fichero %1").arg(QDir::toNativeSeparators(missing)));
    }
    EXPECT_THROW(exportPdf(report, dir.path()), ReportError); // a folder, not a file
}

TEST(ReportPdf, AFailedReportLeavesTheOldFileAlone)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("anterior.pdf"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("anterior");
    }
    Report report;
    report.detail.emplace(10);
    report.fetchRow = [](int row) {
        if (row == 3)
            throw ReportError(QStringLiteral("fallo de datos"));
        return true;
    };
    EXPECT_THROW(exportPdf(report, file), ReportError);
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("anterior"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("anterior.pdf")});
}
