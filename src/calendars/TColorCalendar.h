#pragma once

#include <QColor>
#include <QDate>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>

class QLabel;
class QToolButton;

// Month grid, weeks from Monday, with one fill colour per day. The owner shades the days (holidays,
// weekends, closures...) and repaints them again whenever monthChanged is emitted, because a new
// month starts all white.
//
// Grid coordinates are (column, row): row 0 is the weekday header, rows 1 to 6 hold the days.
class TColorCalendar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QDate date READ date WRITE setDate NOTIFY dateChanged)
    Q_PROPERTY(bool showButtons READ showButtons WRITE setShowButtons)

public:
    static constexpr int Columns = 7;
    static constexpr int Rows = 7;

    explicit TColorCalendar(QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    // Invalid dates are ignored. A new month or year clears the day colours before anything is emitted.
    void setDate(const QDate& date);
    int year() const { return m_date.year(); }
    int month() const { return m_date.month(); }
    int day() const { return m_date.day(); }
    static int daysInMonth(const QDate& date) { return date.daysInMonth(); }

    // Both throw std::out_of_range when day is not a day of the shown month. An invalid colour means white.
    void SetDayColor(int day, const QColor& color);
    QColor dayColor(int day) const;
    void ClearDayColors();

    bool showButtons() const { return m_showButtons; }
    void setShowButtons(bool show);

    // (column, row) of a day of the shown month; (-1, -1) when the day is not in it.
    QPoint cellOfDay(int day) const;
    // Day number shown in the cell, 0 for the header, the blank cells and anything outside the grid.
    int dayAtCell(int column, int row) const;
    // Widget coordinates of a cell including its border lines; null outside the grid.
    QRect cellRect(int column, int row) const;
    // Short Spanish weekday name heading the column, Monday first.
    static QString dayHeader(int column);
    // Black or white, whichever reads better on the fill.
    static QColor textColorFor(const QColor& fill);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void dateChanged(const QDate& date);
    void monthChanged(const QDate& date);
    void clicked(const QDate& date);
    void doubleClicked(const QDate& date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static constexpr int MaxDays = 31;

    void checkDay(int day) const;
    int firstColumn() const;
    QRect gridRect() const;
    int columnEdge(int column) const;
    int rowEdge(int row) const;
    int dayAt(const QPoint& pos) const;
    QSize cellSizeHint(int padding) const;
    int barHeight() const;
    void layoutBar();
    void updateCaption();
    void stepMonth(int months);

    QDate m_date;
    std::array<QColor, MaxDays> m_colors;
    bool m_showButtons = false;
    int m_pressedDay = 0;
    QWidget* m_bar = nullptr;
    QToolButton* m_prevButton = nullptr;
    QToolButton* m_nextButton = nullptr;
    QLabel* m_caption = nullptr;
};
