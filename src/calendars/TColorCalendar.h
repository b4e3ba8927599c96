#pragma once

#include <QColor>
#include <QDate>
#include <QPointer>
#include <QWidget>

#include <array>
#include <stdexcept>

class QPushButton;

// What SetDayColor throws for a day outside the shown month.
class DateRangeError : public std::out_of_range
{
public:
    DateRangeError();
};

// Month grid with a fill colour per cell: one header row of weekday names and six week rows.
//
// The colours belong to cell positions, not to dates, and survive a change of month: whoever colours the
// days colours every day of the month again after each change notification, then redraws once.
// Cells are addressed as (column, row); row 0 is the header, rows 1 to 6 the weeks.
class TColorCalendar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QDate date READ date WRITE setDate NOTIFY changed)
    Q_PROPERTY(int startOfWeek READ startOfWeek WRITE setStartOfWeek)
    Q_PROPERTY(bool useCurrentDate READ useCurrentDate WRITE setUseCurrentDate)
    Q_PROPERTY(bool buttons READ buttons WRITE setButtons)
    Q_PROPERTY(bool selectDay READ selectDay WRITE setSelectDay)

public:
    static constexpr int Columns = 7;
    static constexpr int WeekRows = 6;
    static constexpr int Rows = WeekRows + 1;
    static constexpr int GridLineWidth = 1;

    explicit TColorCalendar(QWidget* parent = nullptr);
    ~TColorCalendar() override;

    QDate date() const { return m_date; }
    // A null or invalid date re-applies the current one. Otherwise the shown date moves in four steps (day to 1,
    // year, month, day), each step that changes something redrawing and emitting changed().
    void setDate(QDate value);
    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }

    // Weekday of the first column, 0 = Sunday ... 6 = Saturday; throws std::out_of_range for anything else.
    int startOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(int weekday);
    // Turning it on moves the shown date to today.
    bool useCurrentDate() const { return m_useCurrentDate; }
    void setUseCurrentDate(bool use);
    // "<", the month title and ">" placed on the parent widget, just below the grid; none without a parent.
    bool buttons() const { return m_buttons; }
    void setButtons(bool show);
    // Whether the current day is drawn in the highlight colour.
    bool selectDay() const { return m_selectDay; }
    void setSelectDay(bool select);

    // Colours the cell showing `day`, which must lie in the shown month; otherwise throws DateRangeError and
    // changes nothing. The background colour and black mean no colour. Does not redraw: call update() after a batch.
    void SetDayColor(const QColor& colour, QDate day);
    // Empties the colour table and redraws.
    void ClearDayColors();
    // Table entry of a week cell (row 1 to 6), shown or not; invalid for no colour.
    QColor cellColor(int column, int row) const;
    // Entry of the cell showing `day` of the shown month; invalid for no colour or a day outside the month.
    QColor dayColor(int day) const;
    QColor backgroundColour() const;

    // Gregorian month length.
    static int daysInMonth(int year, int month);
    // Column of the 1st: (w - startOfWeek + 7) mod 7, with w its weekday, 0 = Sunday.
    int firstColumn() const;
    // Day number shown in a week cell, 0 for header, blank and outside cells.
    int dayAtCell(int column, int row) const;
    // Cell showing `day`; (-1, -1) when the shown month has no such day.
    QPoint cellOfDay(int day) const;
    QPoint currentCell() const { return cellOfDay(m_day); }
    // Weekday name, day number or empty.
    QString cellText(int column, int row) const;
    // Short Spanish weekday name of a header column.
    QString dayHeader(int column) const;

    int columnWidth() const;
    int rowHeight() const;
    // Inside of a cell, without the grid lines; null outside the grid.
    QRect cellRect(int column, int row) const;
    // Cell under a point, (-1, -1) for a line-free margin beyond the last column or row.
    QPoint cellAt(const QPoint& pos) const;

    QSize sizeHint() const override;

signals:
    // The shown day, month or year changed; date() and the month title already show it.
    void changed();
    // Double click on the grid; the day under it is already the current one.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void moveShown(int toYear, int toMonth, int toDay);
    void stepMonth(int months);
    void selectCellAt(const QPoint& pos);
    void createButtons();
    void removeButtons();
    void placeButtons();
    QString titleText() const;

    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    QDate m_date;
    int m_startOfWeek = 1;
    bool m_useCurrentDate = false;
    bool m_buttons = false;
    bool m_selectDay = false;
    std::array<QColor, Columns * WeekRows> m_colours;
    // They live on the parent widget, which may delete them first.
    QPointer<QPushButton> m_prevButton;
    QPointer<QPushButton> m_nextButton;
    QPointer<QPushButton> m_titleButton;
};
