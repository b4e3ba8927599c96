#include "calendars/TColorCalendar.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <vector>

namespace
{

class TColorCalendarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_calendar.resize(280, 210);
        m_calendar.setDate(QDate(2019, 5, 15));
        m_calendar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_calendar));
    }

    QPoint centreOfDay(int day) const
    {
        const QPoint cell = m_calendar.cellOfDay(day);
        return m_calendar.cellRect(cell.x(), cell.y()).center();
    }

    QRect rectOfDay(int day) const
    {
        const QPoint cell = m_calendar.cellOfDay(day);
        return m_calendar.cellRect(cell.x(), cell.y());
    }

    QColor pixelAt(const QImage& image, const QPoint& pos) const
    {
        return image.pixelColor((QPointF(pos) * image.devicePixelRatio()).toPoint());
    }

    // The exception text as the user would read it.
    static QString outOfRangeText(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const std::out_of_range& error) {
            return QString::fromUtf8(error.what());
        }
        return QStringLiteral("<no exception>");
    }

    TColorCalendar m_calendar;
};

// ---- Grid layout -------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, FirstDayLandsInRowOneAtItsWeekdayColumn)
{
    struct Month
    {
        QDate date;
        QPoint firstCell;
        QPoint lastCell;
    };
    const std::vector<Month> months = {
        {QDate(2019, 5, 10), QPoint(2, 1), QPoint(4, 5)},  // Wednesday 1st, Friday 31st
        {QDate(2019, 9, 10), QPoint(6, 1), QPoint(0, 6)},  // Sunday 1st, so the 30th needs the sixth week
        {QDate(2019, 4, 10), QPoint(0, 1), QPoint(1, 5)},  // Monday 1st
        {QDate(2021, 2, 10), QPoint(0, 1), QPoint(6, 4)},  // Monday 1st, 28 days: four full weeks
        {QDate(2020, 2, 10), QPoint(5, 1), QPoint(5, 5)},  // leap year
    };
    for (const Month& month : months) {
        SCOPED_TRACE(month.date.toString(Qt::ISODate).toStdString());
        m_calendar.setDate(month.date);
        EXPECT_EQ(m_calendar.cellOfDay(1), month.firstCell);
        EXPECT_EQ(m_calendar.cellOfDay(month.date.daysInMonth()), month.lastCell);
        EXPECT_EQ(m_calendar.dayAtCell(month.firstCell.x(), 1), 1);
    }
}

TEST_F(TColorCalendarTest, EveryDayHasExactlyOneCellAndTheRestAreBlank)
{
    for (const QDate& date : {QDate(2019, 5, 1), QDate(2019, 9, 1), QDate(2021, 2, 1), QDate(2020, 2, 1)}) {
        SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
        m_calendar.setDate(date);
        int filled = 0;
        int expectedDay = 1;
        for (int row = 0; row < TColorCalendar::Rows; ++row) {
            for (int column = 0; column < TColorCalendar::Columns; ++column) {
                const int day = m_calendar.dayAtCell(column, row);
                if (row == 0) {
                    EXPECT_EQ(day, 0) << "the header row never holds days";
                    continue;
                }
                if (day == 0)
                    continue;
                // Days run left to right, top to bottom, without gaps.
                EXPECT_EQ(day, expectedDay);
                EXPECT_EQ(m_calendar.cellOfDay(day), QPoint(column, row));
                ++expectedDay;
                ++filled;
            }
        }
        EXPECT_EQ(filled, date.daysInMonth());
    }
}

TEST_F(TColorCalendarTest, PositionsOutsideTheMonthOrGridGiveNothing)
{
    m_calendar.setDate(QDate(2019, 2, 10));
    EXPECT_EQ(m_calendar.cellOfDay(0), QPoint(-1, -1));
    EXPECT_EQ(m_calendar.cellOfDay(29), QPoint(-1, -1));
    EXPECT_EQ(m_calendar.dayAtCell(0, 1), 0);  // February 2019 starts on a Friday
    EXPECT_EQ(m_calendar.dayAtCell(7, 2), 0);
    EXPECT_EQ(m_calendar.dayAtCell(-1, 2), 0);
    EXPECT_EQ(m_calendar.dayAtCell(3, 7), 0);
    EXPECT_TRUE(m_calendar.cellRect(7, 1).isNull());
    EXPECT_TRUE(m_calendar.cellRect(0, -1).isNull());
}

TEST_F(TColorCalendarTest, HeaderShowsSpanishWeekdaysFromMonday)
{
    const QStringList expected = {QStringLiteral("lun"), QStringLiteral("mar"), QStringLiteral("mié"),
                                  QStringLiteral("jue"), QStringLiteral("vie"), QStringLiteral("sáb"),
                                  QStringLiteral("dom")};
    for (int column = 0; column < TColorCalendar::Columns; ++column)
        EXPECT_EQ(TColorCalendar::dayHeader(column), expected.at(column)) << "column " << column;
    EXPECT_TRUE(TColorCalendar::dayHeader(7).isEmpty());
}

TEST_F(TColorCalendarTest, CellsTileTheWidgetAndFollowItsSize)
{
    const auto checkTiling = [this] {
        for (int row = 0; row < TColorCalendar::Rows; ++row) {
            for (int column = 0; column < TColorCalendar::Columns; ++column) {
                const QRect cell = m_calendar.cellRect(column, row);
                if (column + 1 < TColorCalendar::Columns) {
                    EXPECT_EQ(m_calendar.cellRect(column + 1, row).left(), cell.right());
                }
                if (row + 1 < TColorCalendar::Rows) {
                    EXPECT_EQ(m_calendar.cellRect(column, row + 1).top(), cell.bottom());
                }
                // Rounding is spread, so no cell is more than a pixel off the others.
                EXPECT_LE(std::abs(cell.width() - m_calendar.cellRect(0, 0).width()), 1);
                EXPECT_LE(std::abs(cell.height() - m_calendar.cellRect(0, 0).height()), 1);
            }
        }
        EXPECT_EQ(m_calendar.cellRect(0, 0).topLeft(), QPoint(0, 0));
        EXPECT_EQ(m_calendar.cellRect(6, 6).bottomRight(), m_calendar.rect().bottomRight());
    };
    checkTiling();
    const int smallWidth = m_calendar.cellRect(3, 3).width();
    m_calendar.resize(560, 420);
    checkTiling();
    EXPECT_GE(m_calendar.cellRect(3, 3).width(), 2 * smallWidth - 2);
}

TEST_F(TColorCalendarTest, PreferredSizeFitsTheTextAndLeavesRoomForTheButtons)
{
    const QSize plain = m_calendar.sizeHint();
    EXPECT_GE(plain.width(), m_calendar.minimumSizeHint().width());
    EXPECT_GE(plain.height(), m_calendar.minimumSizeHint().height());
    const int textWidth = m_calendar.fontMetrics().horizontalAdvance(QStringLiteral("mié"));
    EXPECT_GT(plain.width() / TColorCalendar::Columns, textWidth);
    EXPECT_GT(plain.height() / TColorCalendar::Rows, m_calendar.fontMetrics().height());

    m_calendar.setShowButtons(true);
    EXPECT_GT(m_calendar.sizeHint().height(), plain.height());
}

// ---- Day colours -------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, DayColoursAreKeptPerDayAndCleared)
{
    for (int day = 1; day <= 31; ++day)
        EXPECT_EQ(m_calendar.dayColor(day), QColor(Qt::white)) << "day " << day;

    m_calendar.SetDayColor(1, QColor(0xFF, 0x00, 0x00));
    m_calendar.SetDayColor(31, QColor(0xC0, 0xC0, 0xC0));
    m_calendar.SetDayColor(15, QColor(0x00, 0xFF, 0xFF));
    EXPECT_EQ(m_calendar.dayColor(1), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(m_calendar.dayColor(31), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(m_calendar.dayColor(15), QColor(0x00, 0xFF, 0xFF));
    EXPECT_EQ(m_calendar.dayColor(2), QColor(Qt::white));

    m_calendar.ClearDayColors();
    for (int day : {1, 15, 31})
        EXPECT_EQ(m_calendar.dayColor(day), QColor(Qt::white)) << "day " << day;
}

TEST_F(TColorCalendarTest, DaysOutsideTheMonthAreRejectedWithTheMonthLength)
{
    EXPECT_EQ(outOfRangeText([this] { m_calendar.SetDayColor(0, Qt::red); }),
              QStringLiteral("El día 0 está fuera del mes (1 a 31)"));
    EXPECT_EQ(outOfRangeText([this] { m_calendar.dayColor(32); }),
              QStringLiteral("El día 32 está fuera del mes (1 a 31)"));

    m_calendar.setDate(QDate(2019, 9, 1));
    EXPECT_EQ(outOfRangeText([this] { m_calendar.SetDayColor(31, Qt::red); }),
              QStringLiteral("El día 31 está fuera del mes (1 a 30)"));

    m_calendar.setDate(QDate(2020, 2, 1));
    EXPECT_NO_THROW(m_calendar.SetDayColor(29, Qt::red));
    EXPECT_EQ(outOfRangeText([this] { m_calendar.SetDayColor(30, Qt::red); }),
              QStringLiteral("El día 30 está fuera del mes (1 a 29)"));
}

TEST_F(TColorCalendarTest, NewMonthOrYearClearsColoursButNewDayKeepsThem)
{
    m_calendar.SetDayColor(5, Qt::yellow);
    m_calendar.setDate(QDate(2019, 5, 20));
    EXPECT_EQ(m_calendar.dayColor(5), QColor(Qt::yellow));

    m_calendar.setDate(QDate(2019, 6, 20));
    EXPECT_EQ(m_calendar.dayColor(5), QColor(Qt::white));

    m_calendar.SetDayColor(5, Qt::yellow);
    m_calendar.setDate(QDate(2020, 6, 20));  // same month number, another year
    EXPECT_EQ(m_calendar.dayColor(5), QColor(Qt::white));
}

TEST_F(TColorCalendarTest, DayNumbersStayBlackOnTheSheetColoursAndTurnWhiteOnDarkOnes)
{
    for (const QColor& fill : {QColor(0xFF, 0x00, 0x00), QColor(0xFF, 0xFF, 0x00), QColor(0x00, 0xFF, 0xFF),
                               QColor(0x00, 0xFF, 0x00), QColor(0xC0, 0xC0, 0xC0), QColor(0xFF, 0xFF, 0xFF)})
        EXPECT_EQ(TColorCalendar::textColorFor(fill), QColor(Qt::black)) << fill.name().toStdString();
    for (const QColor& fill : {QColor(0x00, 0x00, 0x80), QColor(0x00, 0x00, 0x00), QColor(0x80, 0x00, 0x00)})
        EXPECT_EQ(TColorCalendar::textColorFor(fill), QColor(Qt::white)) << fill.name().toStdString();
}

TEST_F(TColorCalendarTest, PaintedCellsShowTheirColours)
{
    m_calendar.SetDayColor(1, QColor(0xFF, 0x00, 0x00));
    m_calendar.SetDayColor(4, QColor(0xFF, 0xFF, 0x00));
    m_calendar.SetDayColor(31, QColor(0x00, 0xFF, 0x00));

    const QImage image = m_calendar.grab().toImage();
    const auto fillOf = [&](int day) { return pixelAt(image, rectOfDay(day).topLeft() + QPoint(2, 2)); };
    EXPECT_EQ(fillOf(1), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(fillOf(4), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(fillOf(31), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(fillOf(15), QColor(Qt::white));

    // Blank cells before the 1st are not painted as days.
    const QRect blank = m_calendar.cellRect(0, 1);
    EXPECT_EQ(pixelAt(image, blank.topLeft() + QPoint(2, 2)), m_calendar.palette().color(QPalette::Window));

    // A day's number is drawn in the middle of its cell: some pixel there is not the fill.
    const QRect inner = rectOfDay(15).adjusted(3, 3, -3, -3);
    bool hasText = false;
    for (int y = inner.top(); y <= inner.bottom() && !hasText; ++y)
        for (int x = inner.left(); x <= inner.right() && !hasText; ++x)
            hasText = pixelAt(image, QPoint(x, y)) != QColor(Qt::white);
    EXPECT_TRUE(hasText);
}

TEST_F(TColorCalendarTest, RepaintFollowsColourChanges)
{
    m_calendar.SetDayColor(10, QColor(0x00, 0xFF, 0xFF));
    const QPoint probe = rectOfDay(10).topLeft() + QPoint(2, 2);
    EXPECT_EQ(pixelAt(m_calendar.grab().toImage(), probe), QColor(0x00, 0xFF, 0xFF));
    m_calendar.ClearDayColors();
    EXPECT_EQ(pixelAt(m_calendar.grab().toImage(), probe), QColor(Qt::white));
}

// ---- Date and signals --------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, AnotherMonthEmitsMonthChangedAfterClearingAndBeforeDateChanged)
{
    m_calendar.SetDayColor(3, Qt::red);
    std::vector<QString> events;
    QObject::connect(&m_calendar, &TColorCalendar::monthChanged, &m_calendar, [&](const QDate& date) {
        // The owner re-shades here, so the new month must already be in place and blank.
        EXPECT_EQ(m_calendar.date(), date);
        EXPECT_EQ(m_calendar.dayColor(3), QColor(Qt::white));
        events.push_back(QStringLiteral("month ") + date.toString(Qt::ISODate));
    });
    QObject::connect(&m_calendar, &TColorCalendar::dateChanged, &m_calendar, [&](const QDate& date) {
        events.push_back(QStringLiteral("date ") + date.toString(Qt::ISODate));
    });

    m_calendar.setDate(QDate(2019, 7, 4));
    const std::vector<QString> expected = {QStringLiteral("month 2019-07-04"), QStringLiteral("date 2019-07-04")};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(m_calendar.year(), 2019);
    EXPECT_EQ(m_calendar.month(), 7);
    EXPECT_EQ(m_calendar.day(), 4);
}

TEST_F(TColorCalendarTest, SameMonthOnlyEmitsDateChangedAndSameDateNothing)
{
    QSignalSpy dateSpy(&m_calendar, &TColorCalendar::dateChanged);
    QSignalSpy monthSpy(&m_calendar, &TColorCalendar::monthChanged);

    m_calendar.setDate(QDate(2019, 5, 16));
    ASSERT_EQ(dateSpy.count(), 1);
    EXPECT_EQ(dateSpy.at(0).at(0).toDate(), QDate(2019, 5, 16));
    EXPECT_EQ(monthSpy.count(), 0);

    m_calendar.setDate(QDate(2019, 5, 16));
    m_calendar.setDate(QDate());
    EXPECT_EQ(dateSpy.count(), 1);
    EXPECT_EQ(monthSpy.count(), 0);
    EXPECT_EQ(m_calendar.date(), QDate(2019, 5, 16));

    m_calendar.setDate(QDate(2020, 5, 16));
    EXPECT_EQ(monthSpy.count(), 1);
    EXPECT_EQ(dateSpy.count(), 2);
}

TEST_F(TColorCalendarTest, DateIsAPropertyWithNotification)
{
    QSignalSpy dateSpy(&m_calendar, &TColorCalendar::dateChanged);
    EXPECT_TRUE(m_calendar.setProperty("date", QDate(2019, 12, 24)));
    EXPECT_EQ(m_calendar.property("date").toDate(), QDate(2019, 12, 24));
    EXPECT_EQ(dateSpy.count(), 1);
}

// ---- Mouse -------------------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, ClickOnADayMakesItTheDateAndReportsIt)
{
    m_calendar.SetDayColor(8, Qt::red);
    std::vector<QString> events;
    QObject::connect(&m_calendar, &TColorCalendar::dateChanged, &m_calendar, [&](const QDate& date) {
        events.push_back(QStringLiteral("date ") + date.toString(Qt::ISODate));
    });
    QObject::connect(&m_calendar, &TColorCalendar::clicked, &m_calendar, [&](const QDate& date) {
        events.push_back(QStringLiteral("clicked ") + date.toString(Qt::ISODate));
    });
    QSignalSpy monthSpy(&m_calendar, &TColorCalendar::monthChanged);

    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, centreOfDay(22));
    const std::vector<QString> expected = {QStringLiteral("date 2019-05-22"), QStringLiteral("clicked 2019-05-22")};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(m_calendar.date(), QDate(2019, 5, 22));
    EXPECT_EQ(monthSpy.count(), 0);
    EXPECT_EQ(m_calendar.dayColor(8), QColor(Qt::red));

    // Clicking the current day again still reports the click, with nothing to change.
    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, centreOfDay(22));
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(events.back(), QStringLiteral("clicked 2019-05-22"));
}

TEST_F(TColorCalendarTest, ClicksAwayFromTheDaysDoNothing)
{
    QSignalSpy dateSpy(&m_calendar, &TColorCalendar::dateChanged);
    QSignalSpy clickSpy(&m_calendar, &TColorCalendar::clicked);

    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, m_calendar.cellRect(3, 0).center());  // header
    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, m_calendar.cellRect(0, 1).center());  // before the 1st
    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, m_calendar.cellRect(6, 6).center());  // after the 31st
    QTest::mouseClick(&m_calendar, Qt::RightButton, {}, centreOfDay(20));

    // Pressing on one day and letting go on another is a cancelled click.
    QTest::mousePress(&m_calendar, Qt::LeftButton, {}, centreOfDay(20));
    QTest::mouseRelease(&m_calendar, Qt::LeftButton, {}, centreOfDay(21));

    EXPECT_EQ(dateSpy.count(), 0);
    EXPECT_EQ(clickSpy.count(), 0);
    EXPECT_EQ(m_calendar.date(), QDate(2019, 5, 15));
}

TEST_F(TColorCalendarTest, DoubleClickOnADayIsReportedOnce)
{
    QSignalSpy clickSpy(&m_calendar, &TColorCalendar::clicked);
    QSignalSpy doubleSpy(&m_calendar, &TColorCalendar::doubleClicked);

    // What a real double click delivers: press, release, double click, release.
    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, centreOfDay(9));
    QTest::mouseDClick(&m_calendar, Qt::LeftButton, {}, centreOfDay(9));
    QTest::mouseRelease(&m_calendar, Qt::LeftButton, {}, centreOfDay(9));

    EXPECT_EQ(clickSpy.count(), 1);
    ASSERT_EQ(doubleSpy.count(), 1);
    EXPECT_EQ(doubleSpy.at(0).at(0).toDate(), QDate(2019, 5, 9));
    EXPECT_EQ(m_calendar.date(), QDate(2019, 5, 9));

    QTest::mouseDClick(&m_calendar, Qt::LeftButton, {}, m_calendar.cellRect(1, 0).center());
    EXPECT_EQ(doubleSpy.count(), 1);
}

// ---- Month buttons -----------------------------------------------------------------------------------------------

TEST_F(TColorCalendarTest, MonthButtonsAreHiddenUntilAskedFor)
{
    auto* next = m_calendar.findChild<QToolButton*>(QStringLiteral("nextMonthButton"));
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->isVisible());
    EXPECT_EQ(m_calendar.cellRect(0, 0).top(), 0);

    m_calendar.setShowButtons(true);
    EXPECT_TRUE(next->isVisible());
    EXPECT_GE(m_calendar.cellRect(0, 0).top(), next->geometry().bottom());
}

TEST_F(TColorCalendarTest, MonthButtonsMoveToTheFirstOfTheNeighbouringMonth)
{
    m_calendar.setShowButtons(true);
    auto* prev = m_calendar.findChild<QToolButton*>(QStringLiteral("prevMonthButton"));
    auto* next = m_calendar.findChild<QToolButton*>(QStringLiteral("nextMonthButton"));
    auto* caption = m_calendar.findChild<QLabel*>(QStringLiteral("monthCaption"));
    ASSERT_TRUE(prev && next && caption);
    EXPECT_EQ(caption->text(), QStringLiteral("mayo 2019"));

    QSignalSpy monthSpy(&m_calendar, &TColorCalendar::monthChanged);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(m_calendar.date(), QDate(2019, 6, 1));
    EXPECT_EQ(caption->text(), QStringLiteral("junio 2019"));

    m_calendar.setDate(QDate(2019, 1, 31));
    QTest::mouseClick(prev, Qt::LeftButton);
    EXPECT_EQ(m_calendar.date(), QDate(2018, 12, 1));
    EXPECT_EQ(caption->text(), QStringLiteral("diciembre 2018"));
    EXPECT_EQ(monthSpy.count(), 3);
}

TEST_F(TColorCalendarTest, ClicksAndPaintingAgreeBelowTheButtons)
{
    m_calendar.setShowButtons(true);
    m_calendar.SetDayColor(27, QColor(0xFF, 0x00, 0x00));
    const QImage image = m_calendar.grab().toImage();
    EXPECT_EQ(pixelAt(image, rectOfDay(27).topLeft() + QPoint(2, 2)), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(pixelAt(image, rectOfDay(27).bottomRight() - QPoint(2, 2)), QColor(0xFF, 0x00, 0x00));

    QSignalSpy clickSpy(&m_calendar, &TColorCalendar::clicked);
    QTest::mouseClick(&m_calendar, Qt::LeftButton, {}, centreOfDay(27));
    ASSERT_EQ(clickSpy.count(), 1);
    EXPECT_EQ(clickSpy.at(0).at(0).toDate(), QDate(2019, 5, 27));
}

} // namespace
