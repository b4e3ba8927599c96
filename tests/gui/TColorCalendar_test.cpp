#include "calendars/TColorCalendar.h"

#include <QImage>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kWhite(0xFF, 0xFF, 0xFF);

QString iso(QDate date)
{
    return date.toString(Qt::ISODate);
}

// The calendar on a parent window, where its month buttons go.
class TColorCalendarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.resize(360, 200);
        m_calendar = new TColorCalendar(&m_host);
        m_calendar->move(10, 20);
        m_calendar->setDate(QDate(2019, 5, 15));
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    QPoint centreOf(QPoint cell) const { return m_calendar->cellRect(cell.x(), cell.y()).center(); }
    QPoint centreOfDay(int day) const { return centreOf(m_calendar->cellOfDay(day)); }

    QImage grab() const { return m_calendar->grab().toImage(); }
    static QColor pixel(const QImage& image, QPoint pos)
    {
        return image.pixelColor((QPointF(pos) * image.devicePixelRatio()).toPoint()).toRgb();
    }
    // Near a corner, away from the text.
    static QColor fillOf(const QImage& image, const QRect& cell) { return pixel(image, cell.topLeft() + QPoint(2, 2)); }
    QColor fillOfCell(const QImage& image, int column, int row) const
    {
        return fillOf(image, m_calendar->cellRect(column, row));
    }
    QColor fillOfDay(const QImage& image, int day) const
    {
        const QPoint cell = m_calendar->cellOfDay(day);
        return fillOfCell(image, cell.x(), cell.y());
    }

    std::vector<QColor> table() const
    {
        std::vector<QColor> entries;
        for (int row = 1; row < TColorCalendar::Rows; ++row)
            for (int column = 0; column < TColorCalendar::Columns; ++column)
                entries.push_back(m_calendar->cellColor(column, row));
        return entries;
    }

    QPushButton* button(const char* name) const { return m_host.findChild<QPushButton*>(QString::fromLatin1(name)); }

    // Keeps in m_changes the date that each change notification finds.
    void recordChanges()
    {
        QObject::connect(m_calendar, &TColorCalendar::changed, m_calendar, [this] {
            const QDate shown(m_calendar->year(), m_calendar->month(), m_calendar->day());
            EXPECT_TRUE(shown.isValid());
            EXPECT_EQ(m_calendar->date(), shown) << "date() is set before the notification";
            m_changes.push_back(iso(m_calendar->date()));
        });
    }

    QWidget m_host;
    TColorCalendar* m_calendar = nullptr;
    std::vector<QString> m_changes;
};

// ---- Layout ------------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, NewCalendarStartsOnMondayUncolouredAtItsDefaultSize)
{
    TColorCalendar fresh;
    EXPECT_EQ(fresh.size(), QSize(316, 135));
    EXPECT_EQ(fresh.sizeHint(), QSize(316, 135));
    EXPECT_EQ(fresh.startOfWeek(), 1);
    EXPECT_FALSE(fresh.useCurrentDate());
    EXPECT_FALSE(fresh.buttons());
    EXPECT_FALSE(fresh.selectDay());
    EXPECT_TRUE(fresh.date().isValid());
    EXPECT_EQ(fresh.backgroundColour(), kWhite);
    for (int row = 1; row < TColorCalendar::Rows; ++row)
        for (int column = 0; column < TColorCalendar::Columns; ++column)
            EXPECT_FALSE(fresh.cellColor(column, row).isValid()) << column << "," << row;
}

TEST_F(TColorCalendarTest, HeaderShowsShortSpanishWeekdaysFromTheFirstWeekday)
{
    const QStringList fromMonday = {QStringLiteral("lun"), QStringLiteral("mar"), QStringLiteral("mié"),
                                    QStringLiteral("jue"), QStringLiteral("vie"), QStringLiteral("sáb"),
                                    QStringLiteral("dom")};
    for (int column = 0; column < TColorCalendar::Columns; ++column) {
        EXPECT_EQ(m_calendar->dayHeader(column), fromMonday.at(column));
        EXPECT_EQ(m_calendar->cellText(column, 0), fromMonday.at(column));
    }

    m_calendar->setStartOfWeek(0);
    EXPECT_EQ(m_calendar->dayHeader(0), QStringLiteral("dom"));
    EXPECT_EQ(m_calendar->dayHeader(1), QStringLiteral("lun"));
    EXPECT_EQ(m_calendar->dayHeader(6), QStringLiteral("sáb"));

    EXPECT_THROW(m_calendar->setStartOfWeek(7), std::out_of_range);
    EXPECT_THROW(m_calendar->setStartOfWeek(-1), std::out_of_range);
    EXPECT_EQ(m_calendar->startOfWeek(), 0);
}

TEST_F(TColorCalendarTest, FirstDayLiesInWeekRowOneAtItsWeekdayColumn)
{
    m_calendar->setDate(QDate(2019, 9, 10)); // the 1st is a Sunday
    EXPECT_EQ(m_calendar->cellOfDay(1), QPoint(6, 1));
    EXPECT_EQ(m_calendar->dayAtCell(6, 1), 1);
    EXPECT_EQ(m_calendar->dayAtCell(0, 2), 2);
    EXPECT_EQ(m_calendar->dayAtCell(5, 1), 0);
    EXPECT_EQ(m_calendar->cellText(5, 1), QString());
    EXPECT_EQ(m_calendar->cellText(6, 1), QStringLiteral("1"));

    m_calendar->setStartOfWeek(0);
    EXPECT_EQ(m_calendar->cellOfDay(1), QPoint(0, 1));

    // Every day, whatever the first weekday, sits under its own weekday's name, in order, without gaps.
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    for (int start = 0; start <= 6; ++start) {
        m_calendar->setStartOfWeek(start);
        for (QDate month(2019, 1, 1); month.year() == 2019; month = month.addMonths(1)) {
            m_calendar->setDate(month);
            EXPECT_EQ(m_calendar->cellOfDay(1).y(), 1);
            for (int day = 1; day <= month.daysInMonth(); ++day) {
                const QDate date(2019, month.month(), day);
                const QPoint cell = m_calendar->cellOfDay(day);
                ASSERT_EQ(m_calendar->dayAtCell(cell.x(), cell.y()), day) << iso(date).toStdString();
                EXPECT_EQ(m_calendar->dayHeader(cell.x()), spanish.dayName(date.dayOfWeek(), QLocale::ShortFormat))
                    << iso(date).toStdString() << " starting on " << start;
                const int index = (cell.y() - 1) * 7 + cell.x();
                EXPECT_EQ(index, m_calendar->firstColumn() + day - 1);
            }
        }
    }
}

TEST_F(TColorCalendarTest, LongMonthsFromSaturdayOrSundayUseAllSixWeekRows)
{
    struct Case
    {
        QDate date;
        QPoint lastCell;
    };
    const Case cases[] = {
        {QDate(2020, 8, 1), QPoint(0, 6)}, // Saturday 1st, 31 days
        {QDate(2020, 3, 1), QPoint(1, 6)}, // Sunday 1st, 31 days
        {QDate(2020, 5, 1), QPoint(6, 5)}, // Friday 1st: five rows are enough
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(iso(c.date).toStdString());
        m_calendar->setDate(c.date);
        EXPECT_EQ(m_calendar->cellOfDay(31), c.lastCell);
        EXPECT_EQ(m_calendar->cellOfDay(32), QPoint(-1, -1));
        int shown = 0;
        for (int row = 1; row < TColorCalendar::Rows; ++row)
            for (int column = 0; column < TColorCalendar::Columns; ++column)
                shown += m_calendar->dayAtCell(column, row) > 0 ? 1 : 0;
        EXPECT_EQ(shown, 31);
    }
}

TEST_F(TColorCalendarTest, FebruaryFollowsTheGregorianLeapYearRule)
{
    const std::pair<int, int> februaries[] = {{2000, 29}, {2024, 29}, {1900, 28}, {2100, 28}, {2019, 28}};
    for (const auto& [year, days] : februaries) {
        SCOPED_TRACE(year);
        EXPECT_EQ(TColorCalendar::daysInMonth(year, 2), days);
        m_calendar->setDate(QDate(year, 2, 10));
        EXPECT_NE(m_calendar->cellOfDay(days), QPoint(-1, -1));
        EXPECT_EQ(m_calendar->cellOfDay(days + 1), QPoint(-1, -1));
        EXPECT_NO_THROW(m_calendar->SetDayColor(kRed, QDate(year, 2, days)));
    }
    EXPECT_EQ(TColorCalendar::daysInMonth(2019, 4), 30);
    EXPECT_EQ(TColorCalendar::daysInMonth(2019, 12), 31);
}

TEST_F(TColorCalendarTest, CellsShareTheAreaEvenlyBetweenGridLines)
{
    // (316 - 6) div 7 and (135 - 6) div 7
    EXPECT_EQ(m_calendar->columnWidth(), 44);
    EXPECT_EQ(m_calendar->rowHeight(), 18);
    EXPECT_EQ(m_calendar->cellRect(0, 0), QRect(0, 0, 44, 18));
    EXPECT_EQ(m_calendar->cellRect(6, 6), QRect(270, 114, 44, 18));
    EXPECT_TRUE(m_calendar->cellRect(7, 0).isNull());

    m_calendar->resize(400, 300);
    EXPECT_EQ(m_calendar->columnWidth(), 56);
    EXPECT_EQ(m_calendar->rowHeight(), 42);
    EXPECT_EQ(m_calendar->cellRect(2, 3), QRect(114, 129, 56, 42));
    EXPECT_EQ(m_calendar->cellAt(QPoint(114, 129)), QPoint(2, 3));
    EXPECT_EQ(m_calendar->cellAt(QPoint(113, 128)), QPoint(1, 2)) << "a grid line counts for the cell before it";
    EXPECT_EQ(m_calendar->cellAt(QPoint(399, 10)), QPoint(-1, -1)) << "the margin after the last column";
}

// ---- Drawing -----------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, DayColourCoversTheCurrentCellAndItsHighlight)
{
    m_calendar->SetDayColor(kRed, QDate(2019, 5, 10));
    m_calendar->update();
    QImage image = grab();
    EXPECT_EQ(fillOfDay(image, 10), kRed);
    EXPECT_EQ(fillOfDay(image, 11), kWhite);
    EXPECT_EQ(fillOfDay(image, 15), kWhite) << "the current day is not highlighted without SelectDay";
    EXPECT_EQ(fillOfCell(image, 0, 0), kWhite) << "header";

    m_calendar->setSelectDay(true);
    const QColor highlight = m_calendar->palette().color(QPalette::Highlight).toRgb();
    ASSERT_NE(highlight, kWhite);
    image = grab();
    EXPECT_EQ(fillOfDay(image, 15), highlight);
    EXPECT_EQ(fillOfDay(image, 10), kRed);

    m_calendar->SetDayColor(kAqua, QDate(2019, 5, 15));
    m_calendar->update();
    image = grab();
    EXPECT_EQ(fillOfDay(image, 15), kAqua);
    // The current day's number is white with SelectDay, other numbers black.
    const auto count = [&](int day, const QColor& colour) {
        const QRect cell = m_calendar->cellRect(m_calendar->cellOfDay(day).x(), m_calendar->cellOfDay(day).y());
        int n = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                n += pixel(image, QPoint(x, y)) == colour ? 1 : 0;
        return n;
    };
    EXPECT_GT(count(15, kWhite), 0);
    EXPECT_EQ(count(15, QColor(Qt::black)), 0);
    EXPECT_GT(count(10, QColor(Qt::black)), 0);
    EXPECT_EQ(count(10, kWhite), 0);
}

TEST_F(TColorCalendarTest, TextIsCentredInItsCell)
{
    m_calendar->resize(420, 280);
    m_calendar->SetDayColor(kYellow, QDate(2019, 5, 22));
    const QImage image = grab();
    const auto inkCentre = [&](int column, int row) {
        const QRect cell = m_calendar->cellRect(column, row);
        const QColor fill = fillOf(image, cell);
        QRect ink;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (pixel(image, QPoint(x, y)) != fill)
                    ink |= QRect(x, y, 1, 1);
        EXPECT_FALSE(ink.isEmpty());
        return QPointF(ink.center()) - QPointF(cell.center());
    };
    const QPoint day = m_calendar->cellOfDay(22);
    for (const QPoint cell : {QPoint(2, 0), day, m_calendar->cellOfDay(1)}) {
        const QPointF offset = inkCentre(cell.x(), cell.y());
        EXPECT_LE(std::abs(offset.x()), 1.5) << cell.x() << "," << cell.y();
        EXPECT_LE(std::abs(offset.y()), 3.0) << cell.x() << "," << cell.y();
    }
}

// ---- Colour table ------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, DaysOutsideTheShownMonthAreRejectedAndChangeNothing)
{
    m_calendar->SetDayColor(kLime, QDate(2019, 5, 3));
    const std::vector<QColor> before = table();
    QSignalSpy changes(m_calendar, &TColorCalendar::changed);

    for (const QDate& day : {QDate(2019, 6, 1), QDate(2019, 4, 30), QDate(2018, 5, 3), QDate(2020, 5, 15), QDate()}) {
        SCOPED_TRACE(iso(day).toStdString());
        try {
            m_calendar->SetDayColor(kRed, day);
            ADD_FAILURE() << "no error";
        } catch (const DateRangeError& error) {
            EXPECT_STREQ(error.what(), "The supplied date is not covered by this calendar");
        }
    }
    EXPECT_THROW(m_calendar->SetDayColor(kRed, QDate(2019, 6, 3)), std::out_of_range);
    EXPECT_EQ(table(), before);
    EXPECT_EQ(m_calendar->date(), QDate(2019, 5, 15));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(TColorCalendarTest, BackgroundColourAndBlackStoreNoColour)
{
    const QDate day(2019, 5, 20);
    m_calendar->SetDayColor(kSilver, day);
    EXPECT_EQ(m_calendar->dayColor(20), kSilver);
    EXPECT_EQ(m_calendar->cellColor(0, 4), kSilver) << "the 20th is a Monday in the fourth week";

    m_calendar->SetDayColor(kWhite, day);
    EXPECT_FALSE(m_calendar->dayColor(20).isValid());

    m_calendar->SetDayColor(kSilver, day);
    m_calendar->SetDayColor(QColor(Qt::white).toHsv(), day);
    EXPECT_FALSE(m_calendar->dayColor(20).isValid()) << "the same white in another colour model";

    m_calendar->SetDayColor(kSilver, day);
    m_calendar->SetDayColor(QColor(Qt::black), day);
    EXPECT_FALSE(m_calendar->dayColor(20).isValid());
}

TEST_F(TColorCalendarTest, ColouringWaitsForTheCallerToRedraw)
{
    m_calendar->SetDayColor(kRed, QDate(2019, 5, 10));
    m_calendar->repaint();
    int paints = 0;
    struct PaintCounter : QObject
    {
        int* count;
        explicit PaintCounter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    m_calendar->installEventFilter(&counter);

    for (int day = 1; day <= 31; ++day)
        m_calendar->SetDayColor(kAqua, QDate(2019, 5, day));
    QCoreApplication::processEvents();
    EXPECT_EQ(paints, 0);

    m_calendar->repaint();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(fillOfDay(grab(), 10), kAqua);
    m_calendar->removeEventFilter(&counter);
}

TEST_F(TColorCalendarTest, ColoursStayWithTheirCellsWhenTheMonthChanges)
{
    m_calendar->SetDayColor(kRed, QDate(2019, 5, 10)); // Friday of the second week
    ASSERT_EQ(m_calendar->cellOfDay(10), QPoint(4, 2));

    m_calendar->setDate(QDate(2019, 6, 3));
    EXPECT_EQ(m_calendar->cellColor(4, 2), kRed);
    EXPECT_EQ(m_calendar->dayAtCell(4, 2), 7);
    EXPECT_EQ(m_calendar->dayColor(7), kRed);
    EXPECT_EQ(fillOfDay(grab(), 7), kRed);
    EXPECT_FALSE(m_calendar->dayColor(10).isValid());
}

TEST_F(TColorCalendarTest, BlankCellsShowNoColourWhateverTheTableHolds)
{
    // March 2020 fills week cells 6 to 36.
    m_calendar->setDate(QDate(2020, 3, 1));
    for (int day = 1; day <= 31; ++day)
        m_calendar->SetDayColor(kLime, QDate(2020, 3, day));

    // February 2021 shows days in cells 0 to 27 only.
    m_calendar->setDate(QDate(2021, 2, 1));
    const QImage image = grab();
    int blankWithColour = 0;
    for (int row = 1; row < TColorCalendar::Rows; ++row) {
        for (int column = 0; column < TColorCalendar::Columns; ++column) {
            const QRect cell = m_calendar->cellRect(column, row);
            if (m_calendar->dayAtCell(column, row) > 0) {
                EXPECT_EQ(fillOf(image, cell), m_calendar->cellColor(column, row).isValid() ? kLime : kWhite);
                continue;
            }
            blankWithColour += m_calendar->cellColor(column, row).isValid() ? 1 : 0;
            EXPECT_EQ(fillOf(image, cell), kWhite) << column << "," << row;
            EXPECT_EQ(pixel(image, cell.center()), kWhite) << column << "," << row;
        }
    }
    EXPECT_EQ(blankWithColour, 9);
}

TEST_F(TColorCalendarTest, ClearDayColorsEmptiesTheTableAndRedraws)
{
    m_calendar->setDate(QDate(2020, 3, 1));
    for (int day = 1; day <= 31; ++day)
        m_calendar->SetDayColor(kYellow, QDate(2020, 3, day));
    m_calendar->update();
    EXPECT_EQ(fillOfDay(grab(), 31), kYellow);

    m_calendar->ClearDayColors();
    for (const QColor& entry : table())
        EXPECT_FALSE(entry.isValid());
    EXPECT_EQ(fillOfDay(grab(), 31), kWhite);
}

// ---- Date and notifications --------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, AssignedDateMovesDayYearMonthDayNotifyingEachStep)
{
    m_calendar->setButtons(true);
    QPushButton* title = button("monthTitleButton");
    ASSERT_NE(title, nullptr);
    std::vector<QString> titles;
    QObject::connect(m_calendar, &TColorCalendar::changed, m_calendar, [&] { titles.push_back(title->text()); });
    recordChanges();

    m_calendar->setDate(QDate(2019, 1, 31));
    m_changes.clear();
    titles.clear();
    m_calendar->setDate(QDate(2019, 3, 31));
    const std::vector<QString> throughJanuary = {QStringLiteral("2019-01-01"), QStringLiteral("2019-03-01"),
                                                 QStringLiteral("2019-03-31")};
    EXPECT_EQ(m_changes, throughJanuary);
    const std::vector<QString> januaryTitles = {QStringLiteral("enero 2019"), QStringLiteral("marzo 2019"),
                                                QStringLiteral("marzo 2019")};
    EXPECT_EQ(titles, januaryTitles);
    EXPECT_EQ(m_calendar->date(), QDate(2019, 3, 31));

    // All four steps, none of them through 31 February.
    m_changes.clear();
    m_calendar->setDate(QDate(2020, 2, 29));
    const std::vector<QString> fourSteps = {QStringLiteral("2019-03-01"), QStringLiteral("2020-03-01"),
                                            QStringLiteral("2020-02-01"), QStringLiteral("2020-02-29")};
    EXPECT_EQ(m_changes, fourSteps);
    EXPECT_EQ(title->text(), QStringLiteral("febrero 2020"));
}

TEST_F(TColorCalendarTest, OnlyStepsThatChangeSomethingNotify)
{
    recordChanges();
    // Re-applying the shown date still sets the day to 1 first, and back.
    const std::vector<QString> throughTheFirst = {QStringLiteral("2019-05-01"), QStringLiteral("2019-05-15")};
    m_calendar->setDate(QDate());
    EXPECT_EQ(m_changes, throughTheFirst) << "a null date re-applies the current one";
    m_changes.clear();
    m_calendar->setDate(QDate(2019, 5, 15));
    EXPECT_EQ(m_changes, throughTheFirst);

    m_changes.clear();
    m_calendar->setDate(QDate(2019, 5, 1));
    EXPECT_EQ(m_changes, std::vector<QString>{QStringLiteral("2019-05-01")});
    m_calendar->setDate(QDate(2019, 5, 1));
    m_calendar->setDate(QDate());
    EXPECT_EQ(m_changes.size(), 1u) << "on the 1st no step changes anything";

    EXPECT_TRUE(m_calendar->setProperty("date", QDate(2019, 5, 2)));
    EXPECT_EQ(m_calendar->property("date").toDate(), QDate(2019, 5, 2));
    EXPECT_EQ(m_changes.size(), 2u);
}

TEST_F(TColorCalendarTest, UseCurrentDateMovesToToday)
{
    const QDate before = QDate::currentDate();
    m_calendar->setUseCurrentDate(true);
    const QDate after = QDate::currentDate();
    EXPECT_TRUE(m_calendar->useCurrentDate());
    EXPECT_TRUE(m_calendar->date() == before || m_calendar->date() == after);
}

// ---- Mouse -------------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, ClickOnADayMakesItCurrentAndNotifies)
{
    recordChanges();
    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, centreOfDay(22));
    EXPECT_EQ(m_changes, std::vector<QString>{QStringLiteral("2019-05-22")});
    EXPECT_EQ(m_calendar->currentCell(), m_calendar->cellOfDay(22));

    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, centreOfDay(22));
    QTest::mouseClick(m_calendar, Qt::RightButton, {}, centreOfDay(23));
    EXPECT_EQ(m_changes.size(), 1u) << "the same day again, or another button, changes nothing";
    EXPECT_EQ(m_calendar->date(), QDate(2019, 5, 22));
}

TEST_F(TColorCalendarTest, HeaderAndBlankCellsCannotBecomeCurrent)
{
    recordChanges();
    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, centreOf(QPoint(3, 0))); // header
    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, centreOf(QPoint(0, 1))); // before Wednesday the 1st
    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, centreOf(QPoint(6, 6))); // after the 31st
    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, QPoint(315, 50));        // beyond the last column
    EXPECT_TRUE(m_changes.empty());
    EXPECT_EQ(m_calendar->date(), QDate(2019, 5, 15));
    EXPECT_EQ(m_calendar->currentCell(), m_calendar->cellOfDay(15));
}

TEST_F(TColorCalendarTest, DoubleClickFindsItsDayAlreadyCurrent)
{
    std::vector<QString> atDoubleClick;
    QObject::connect(m_calendar, &TColorCalendar::doubleClicked, m_calendar,
                     [&] { atDoubleClick.push_back(iso(m_calendar->date())); });
    recordChanges();

    // What a real double click delivers: press, release, double click, release.
    QTest::mouseClick(m_calendar, Qt::LeftButton, {}, centreOfDay(9));
    QTest::mouseDClick(m_calendar, Qt::LeftButton, {}, centreOfDay(9));
    QTest::mouseRelease(m_calendar, Qt::LeftButton, {}, centreOfDay(9));
    EXPECT_EQ(atDoubleClick, std::vector<QString>{QStringLiteral("2019-05-09")});
    EXPECT_EQ(m_changes, std::vector<QString>{QStringLiteral("2019-05-09")});

    // Anywhere on the grid counts, without moving the current day.
    QTest::mouseDClick(m_calendar, Qt::LeftButton, {}, centreOf(QPoint(1, 0)));
    EXPECT_EQ(atDoubleClick.size(), 2u);
    EXPECT_EQ(m_calendar->date(), QDate(2019, 5, 9));
}

// ---- Month buttons -----------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, ButtonsSitOnTheParentJustBelowTheGridAndFollowIt)
{
    EXPECT_EQ(button("prevMonthButton"), nullptr);
    m_calendar->setButtons(true);
    QPushButton* prev = button("prevMonthButton");
    QPushButton* next = button("nextMonthButton");
    QPushButton* title = button("monthTitleButton");
    ASSERT_TRUE(prev && next && title);
    EXPECT_EQ(prev->parentWidget(), &m_host);
    EXPECT_TRUE(prev->isVisible() && next->isVisible() && title->isVisible());
    EXPECT_EQ(prev->text(), QStringLiteral("<"));
    EXPECT_EQ(next->text(), QStringLiteral(">"));
    EXPECT_EQ(title->text(), QStringLiteral("mayo 2019"));
    EXPECT_TRUE(title->font().bold());

    // Grid at (10, 20), 316 x 135: columns 44 wide, rows 18 high.
    EXPECT_EQ(prev->geometry(), QRect(9, 155, 47, 18));
    EXPECT_EQ(next->geometry(), QRect(280, 155, 46, 18));
    EXPECT_EQ(title->geometry(), QRect(56, 155, 224, 18));

    m_calendar->setGeometry(20, 0, 330, 170); // columns 46, rows 23
    EXPECT_EQ(prev->geometry(), QRect(19, 170, 49, 23));
    EXPECT_EQ(next->geometry(), QRect(302, 170, 48, 23));
    EXPECT_EQ(title->geometry(), QRect(68, 170, 234, 23));

    m_calendar->hide();
    EXPECT_FALSE(title->isVisible());
    m_calendar->show();
    EXPECT_TRUE(title->isVisible());

    m_calendar->setButtons(false);
    EXPECT_EQ(button("prevMonthButton"), nullptr);
    EXPECT_EQ(button("nextMonthButton"), nullptr);
    EXPECT_EQ(button("monthTitleButton"), nullptr);
}

TEST_F(TColorCalendarTest, MonthButtonsKeepTheDayOrTakeTheLastOne)
{
    m_calendar->setButtons(true);
    QPushButton* prev = button("prevMonthButton");
    QPushButton* next = button("nextMonthButton");
    QPushButton* title = button("monthTitleButton");
    ASSERT_TRUE(prev && next && title);
    recordChanges();

    struct Step
    {
        QDate from;
        QPushButton* button;
        QDate to;
        QString title;
    };
    const Step steps[] = {
        {QDate(2019, 1, 31), next, QDate(2019, 2, 28), QStringLiteral("febrero 2019")},
        {QDate(2020, 1, 31), next, QDate(2020, 2, 29), QStringLiteral("febrero 2020")},
        {QDate(2019, 3, 31), prev, QDate(2019, 2, 28), QStringLiteral("febrero 2019")},
        {QDate(2019, 1, 15), prev, QDate(2018, 12, 15), QStringLiteral("diciembre 2018")},
        {QDate(2019, 12, 10), next, QDate(2020, 1, 10), QStringLiteral("enero 2020")},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(iso(step.from).toStdString());
        m_calendar->setDate(step.from);
        m_changes.clear();
        QTest::mouseClick(step.button, Qt::LeftButton);
        EXPECT_EQ(m_changes, std::vector<QString>{iso(step.to)});
        EXPECT_EQ(title->text(), step.title);
    }
}

} // namespace
