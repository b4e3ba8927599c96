#include "calendars/TColorCalendar.h"

#include <QEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

const QLocale& spanish()
{
    static const QLocale locale(QLocale::Spanish, QLocale::Spain);
    return locale;
}

constexpr int DefaultWidth = 316;
constexpr int DefaultHeight = 135;

} // namespace

DateRangeError::DateRangeError() : std::out_of_range("The supplied date is not covered by this calendar") {}

TColorCalendar::TColorCalendar(QWidget* parent) : QWidget(parent)
{
    // The background is the colour that SetDayColor stores as "no colour".
    QPalette own = palette();
    own.setColor(QPalette::Window, Qt::white);
    own.setColor(QPalette::WindowText, Qt::black);
    setPalette(own);
    setAutoFillBackground(true);
    resize(DefaultWidth, DefaultHeight);

    const QDate today = QDate::currentDate();
    m_year = today.year();
    m_month = today.month();
    m_day = today.day();
    m_date = today;
    ClearDayColors();
}

TColorCalendar::~TColorCalendar()
{
    removeButtons();
}

void TColorCalendar::setDate(QDate value)
{
    if (!value.isValid())
        value = m_date;
    m_date = value;
    // Day first, so that no step forms a date such as 31 February.
    moveShown(m_year, m_month, 1);
    moveShown(value.year(), m_month, m_day);
    moveShown(m_year, value.month(), m_day);
    moveShown(m_year, m_month, value.day());
}

void TColorCalendar::moveShown(int toYear, int toMonth, int toDay)
{
    if (toYear == m_year && toMonth == m_month && toDay == m_day)
        return;
    m_year = toYear;
    m_month = toMonth;
    m_day = toDay;
    m_date = QDate(m_year, m_month, m_day);
    if (m_titleButton)
        m_titleButton->setText(titleText());
    update();
    emit changed();
}

void TColorCalendar::stepMonth(int months)
{
    const int index = m_year * 12 + (m_month - 1) + months;
    const int toYear = index / 12;
    const int toMonth = index % 12 + 1;
    moveShown(toYear, toMonth, std::min(m_day, daysInMonth(toYear, toMonth)));
}

void TColorCalendar::setStartOfWeek(int weekday)
{
    if (weekday < 0 || weekday > 6)
        throw std::out_of_range("The first weekday must lie between 0 (Sunday) and 6 (Saturday)");
    m_startOfWeek = weekday;
    update();
}

void TColorCalendar::setUseCurrentDate(bool use)
{
    m_useCurrentDate = use;
    if (use)
        setDate(QDate::currentDate());
}

void TColorCalendar::setSelectDay(bool select)
{
    m_selectDay = select;
    update();
}

void TColorCalendar::SetDayColor(const QColor& colour, QDate day)
{
    if (!day.isValid() || day.year() != m_year || day.month() != m_month)
        throw DateRangeError();
    const QPoint cell = cellOfDay(day.day());
    // Black stands for "no colour" in the table, like the background.
    const bool none = !colour.isValid() || colour.rgb() == backgroundColour().rgb() || colour.rgb() == qRgb(0, 0, 0);
    m_colours[std::size_t((cell.y() - 1) * Columns + cell.x())] = none ? QColor() : QColor::fromRgb(colour.rgb());
}

void TColorCalendar::ClearDayColors()
{
    m_colours.fill(QColor());
    update();
}

QColor TColorCalendar::cellColor(int column, int row) const
{
    if (column < 0 || column >= Columns || row < 1 || row >= Rows)
        return {};
    return m_colours[std::size_t((row - 1) * Columns + column)];
}

QColor TColorCalendar::dayColor(int day) const
{
    const QPoint cell = cellOfDay(day);
    return cellColor(cell.x(), cell.y());
}

QColor TColorCalendar::backgroundColour() const
{
    return palette().color(backgroundRole());
}

int TColorCalendar::daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> lengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : lengths[std::size_t(month - 1)];
}

int TColorCalendar::firstColumn() const
{
    const int weekday = QDate(m_year, m_month, 1).dayOfWeek() % 7;
    return (weekday - m_startOfWeek + 7) % 7;
}

int TColorCalendar::dayAtCell(int column, int row) const
{
    if (column < 0 || column >= Columns || row < 1 || row >= Rows)
        return 0;
    const int day = 1 - firstColumn() + column + 7 * (row - 1);
    return day >= 1 && day <= daysInMonth(m_year, m_month) ? day : 0;
}

QPoint TColorCalendar::cellOfDay(int day) const
{
    if (day < 1 || day > daysInMonth(m_year, m_month))
        return {-1, -1};
    const int index = firstColumn() + day - 1;
    return {index % Columns, 1 + index / Columns};
}

QString TColorCalendar::cellText(int column, int row) const
{
    if (row == 0)
        return dayHeader(column);
    const int day = dayAtCell(column, row);
    return day > 0 ? QString::number(day) : QString();
}

QString TColorCalendar::dayHeader(int column) const
{
    if (column < 0 || column >= Columns)
        return {};
    const int weekday = (m_startOfWeek + column) % 7;
    return spanish().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
}

int TColorCalendar::columnWidth() const
{
    return (width() - (Columns - 1) * GridLineWidth) / Columns;
}

int TColorCalendar::rowHeight() const
{
    return (height() - (Rows - 1) * GridLineWidth) / Rows;
}

QRect TColorCalendar::cellRect(int column, int row) const
{
    if (column < 0 || column >= Columns || row < 0 || row >= Rows)
        return {};
    return {column * (columnWidth() + GridLineWidth), row * (rowHeight() + GridLineWidth), columnWidth(), rowHeight()};
}

QPoint TColorCalendar::cellAt(const QPoint& pos) const
{
    // A point on a grid line counts for the cell before it.
    const int pitchX = columnWidth() + GridLineWidth;
    const int pitchY = rowHeight() + GridLineWidth;
    if (pos.x() < 0 || pos.y() < 0 || pitchX <= 0 || pitchY <= 0)
        return {-1, -1};
    const int column = pos.x() / pitchX;
    const int row = pos.y() / pitchY;
    if (column >= Columns || row >= Rows)
        return {-1, -1};
    return {column, row};
}

QSize TColorCalendar::sizeHint() const
{
    return {DefaultWidth, DefaultHeight};
}

void TColorCalendar::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColour());

    const int cellWidth = columnWidth();
    const int cellHeight = rowHeight();
    const QPoint current = currentCell();
    const QFontMetrics metrics = fontMetrics();
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const QString text = cellText(column, row);
            if (text.isEmpty())
                continue;
            const QRect cell = cellRect(column, row);
            const bool isCurrent = row > 0 && QPoint(column, row) == current;
            if (isCurrent)
                painter.fillRect(cell, m_selectDay ? palette().color(QPalette::Highlight) : backgroundColour());
            // A day colour covers the highlight.
            if (const QColor fill = cellColor(column, row); row > 0 && fill.isValid())
                painter.fillRect(cell, fill);
            painter.setPen(isCurrent && m_selectDay ? QColor(Qt::white) : QColor(Qt::black));
            const int x = cell.left() + (cellWidth - metrics.horizontalAdvance(text)) / 2;
            const int y = cell.top() + (cellHeight - metrics.height()) / 2;
            painter.drawText(x, y + metrics.ascent(), text);
            // A keyboard user must see which day Enter would act on, even without the highlight.
            if (isCurrent && hasFocus()) {
                painter.save();
                painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(cell.adjusted(1, 1, -2, -2));
                painter.restore();
            }
        }
    }

    painter.setPen(Qt::NoPen);
    const QColor line = palette().color(QPalette::Mid);
    const int gridWidth = Columns * cellWidth + (Columns - 1) * GridLineWidth;
    const int gridHeight = Rows * cellHeight + (Rows - 1) * GridLineWidth;
    for (int column = 1; column < Columns; ++column)
        painter.fillRect(cellRect(column, 0).left() - GridLineWidth, 0, GridLineWidth, gridHeight, line);
    for (int row = 1; row < Rows; ++row)
        painter.fillRect(0, cellRect(0, row).top() - GridLineWidth, gridWidth, GridLineWidth, line);
}

void TColorCalendar::selectCellAt(const QPoint& pos)
{
    // Header and blank cells cannot become current.
    const QPoint cell = cellAt(pos);
    const int dayNumber = dayAtCell(cell.x(), cell.y());
    if (dayNumber > 0)
        moveShown(m_year, m_month, dayNumber);
}

void TColorCalendar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    selectCellAt(event->position().toPoint());
}

void TColorCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    // The second press of a double click arrives here instead of as a press; it selects all the same.
    selectCellAt(event->position().toPoint());
    emit doubleClicked();
}

QString TColorCalendar::titleText() const
{
    return spanish().monthName(m_date.month(), QLocale::LongFormat) + u' ' +
           QStringLiteral("%1").arg(m_date.year(), 4, 10, QLatin1Char('0'));
}

void TColorCalendar::setButtons(bool show)
{
    m_buttons = show;
    if (show)
        createButtons();
    else
        removeButtons();
}

void TColorCalendar::createButtons()
{
    QWidget* host = parentWidget();
    if (!host || m_titleButton)
        return;
    const auto button = [this, host](const char* name, const QString& text) {
        auto* b = new QPushButton(text, host);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setVisible(isVisible());
        return b;
    };
    m_prevButton = button("prevMonthButton", QStringLiteral("<"));
    m_nextButton = button("nextMonthButton", QStringLiteral(">"));
    m_titleButton = button("monthTitleButton", titleText());
    QFont bold = m_titleButton->font();
    bold.setBold(true);
    m_titleButton->setFont(bold);
    connect(m_prevButton, &QPushButton::clicked, this, [this] { stepMonth(-1); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] { stepMonth(1); });
    placeButtons();
}

void TColorCalendar::removeButtons()
{
    delete m_prevButton;
    delete m_nextButton;
    delete m_titleButton;
}

void TColorCalendar::placeButtons()
{
    if (!m_titleButton)
        return;
    const QRect grid = geometry();
    const int top = grid.bottom() + 1;
    const int height = rowHeight();
    const int prevLeft = grid.left() - 1;
    const int prevWidth = columnWidth() + 3;
    const int nextWidth = columnWidth() + 2;
    const int nextLeft = grid.right() + 1 - nextWidth;
    m_prevButton->setGeometry(prevLeft, top, prevWidth, height);
    m_nextButton->setGeometry(nextLeft, top, nextWidth, height);
    m_titleButton->setGeometry(prevLeft + prevWidth, top, nextLeft - prevLeft - prevWidth, height);
}

void TColorCalendar::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    placeButtons();
}

void TColorCalendar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}

void TColorCalendar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    for (QPushButton* b : {m_prevButton.data(), m_nextButton.data(), m_titleButton.data()})
        if (b)
            b->show();
}

void TColorCalendar::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    for (QPushButton* b : {m_prevButton.data(), m_nextButton.data(), m_titleButton.data()})
        if (b)
            b->hide();
}

void TColorCalendar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The buttons sit on the parent, so a new parent takes new buttons.
    if (event->type() == QEvent::ParentChange && m_buttons) {
        removeButtons();
        createButtons();
    }
}
