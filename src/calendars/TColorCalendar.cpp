#include "calendars/TColorCalendar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace
{

const QLocale& spanish()
{
    static const QLocale locale(QLocale::Spanish, QLocale::Spain);
    return locale;
}

// Space between the month buttons and the grid.
constexpr int BarGap = 2;

double linearChannel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

} // namespace

TColorCalendar::TColorCalendar(QWidget* parent)
    : QWidget(parent)
    , m_date(QDate::currentDate())
{
    m_colors.fill(QColor(Qt::white));

    m_bar = new QWidget(this);
    auto* barLayout = new QHBoxLayout(m_bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(BarGap);
    m_prevButton = new QToolButton(m_bar);
    m_prevButton->setObjectName(QStringLiteral("prevMonthButton"));
    m_prevButton->setText(QStringLiteral("<"));
    m_prevButton->setToolTip(tr("Mes anterior"));
    m_prevButton->setAutoRepeat(true);
    m_nextButton = new QToolButton(m_bar);
    m_nextButton->setObjectName(QStringLiteral("nextMonthButton"));
    m_nextButton->setText(QStringLiteral(">"));
    m_nextButton->setToolTip(tr("Mes siguiente"));
    m_nextButton->setAutoRepeat(true);
    m_caption = new QLabel(m_bar);
    m_caption->setObjectName(QStringLiteral("monthCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    barLayout->addWidget(m_prevButton);
    barLayout->addWidget(m_caption, 1);
    barLayout->addWidget(m_nextButton);
    m_bar->hide();

    connect(m_prevButton, &QToolButton::clicked, this, [this] { stepMonth(-1); });
    connect(m_nextButton, &QToolButton::clicked, this, [this] { stepMonth(1); });

    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    updateCaption();
}

void TColorCalendar::setDate(const QDate& date)
{
    if (!date.isValid() || date == m_date)
        return;
    const bool newMonth = date.year() != m_date.year() || date.month() != m_date.month();
    // Colours belong to the days of one month; the owner shades the new one on monthChanged.
    if (newMonth)
        m_colors.fill(QColor(Qt::white));
    m_date = date;
    updateCaption();
    update();
    if (newMonth)
        emit monthChanged(m_date);
    emit dateChanged(m_date);
}

void TColorCalendar::checkDay(int day) const
{
    const int days = m_date.daysInMonth();
    if (day < 1 || day > days)
        throw std::out_of_range(
            QStringLiteral("El día %1 está fuera del mes (1 a %2)").arg(day).arg(days).toStdString());
}

void TColorCalendar::SetDayColor(int day, const QColor& color)
{
    checkDay(day);
    const QColor fill = color.isValid() ? color : QColor(Qt::white);
    if (m_colors[day - 1] == fill)
        return;
    m_colors[day - 1] = fill;
    const QPoint cell = cellOfDay(day);
    update(cellRect(cell.x(), cell.y()));
}

QColor TColorCalendar::dayColor(int day) const
{
    checkDay(day);
    return m_colors[day - 1];
}

void TColorCalendar::ClearDayColors()
{
    m_colors.fill(QColor(Qt::white));
    update();
}

void TColorCalendar::setShowButtons(bool show)
{
    if (show == m_showButtons)
        return;
    m_showButtons = show;
    m_bar->setVisible(show);
    layoutBar();
    updateGeometry();
    update();
}

int TColorCalendar::firstColumn() const
{
    return QDate(m_date.year(), m_date.month(), 1).dayOfWeek() - 1;
}

QPoint TColorCalendar::cellOfDay(int day) const
{
    if (day < 1 || day > m_date.daysInMonth())
        return {-1, -1};
    const int index = firstColumn() + day - 1;
    return {index % Columns, 1 + index / Columns};
}

int TColorCalendar::dayAtCell(int column, int row) const
{
    if (column < 0 || column >= Columns || row < 1 || row >= Rows)
        return 0;
    const int day = (row - 1) * Columns + column - firstColumn() + 1;
    return day >= 1 && day <= m_date.daysInMonth() ? day : 0;
}

QRect TColorCalendar::gridRect() const
{
    return rect().adjusted(0, barHeight(), 0, 0);
}

// Edges are whole pixels shared by neighbouring cells, so every line is one crisp pixel wide
// and the rounding spreads over the whole grid instead of piling up in the last cell.
int TColorCalendar::columnEdge(int column) const
{
    const QRect grid = gridRect();
    return grid.left() + column * (grid.width() - 1) / Columns;
}

int TColorCalendar::rowEdge(int row) const
{
    const QRect grid = gridRect();
    return grid.top() + row * (grid.height() - 1) / Rows;
}

QRect TColorCalendar::cellRect(int column, int row) const
{
    if (column < 0 || column >= Columns || row < 0 || row >= Rows)
        return {};
    return QRect(QPoint(columnEdge(column), rowEdge(row)), QPoint(columnEdge(column + 1), rowEdge(row + 1)));
}

int TColorCalendar::dayAt(const QPoint& pos) const
{
    if (!gridRect().contains(pos))
        return 0;
    int column = 0;
    while (column < Columns - 1 && pos.x() >= columnEdge(column + 1))
        ++column;
    int row = 0;
    while (row < Rows - 1 && pos.y() >= rowEdge(row + 1))
        ++row;
    return dayAtCell(column, row);
}

QString TColorCalendar::dayHeader(int column)
{
    if (column < 0 || column >= Columns)
        return {};
    return spanish().dayName(column + 1, QLocale::ShortFormat);
}

QColor TColorCalendar::textColorFor(const QColor& fill)
{
    // Relative luminance as used for contrast ratios; black wins from about 18 %, which keeps
    // black text on pure red, where white would be harder to read.
    const QColor rgb = fill.toRgb();
    const double luminance = 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF())
        + 0.0722 * linearChannel(rgb.blueF());
    const double againstBlack = (luminance + 0.05) / 0.05;
    const double againstWhite = 1.05 / (luminance + 0.05);
    return againstBlack >= againstWhite ? QColor(Qt::black) : QColor(Qt::white);
}

QSize TColorCalendar::cellSizeHint(int padding) const
{
    const QFontMetrics metrics = fontMetrics();
    int textWidth = metrics.horizontalAdvance(QStringLiteral("88"));
    for (int column = 0; column < Columns; ++column)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(dayHeader(column)));
    return {textWidth + padding, metrics.height() + padding};
}

int TColorCalendar::barHeight() const
{
    return m_showButtons ? m_bar->sizeHint().height() + BarGap : 0;
}

QSize TColorCalendar::sizeHint() const
{
    const QSize cell = cellSizeHint(6).expandedTo(QSize(31, 24));
    QSize size(Columns * cell.width() + 1, Rows * cell.height() + 1 + barHeight());
    if (m_showButtons)
        size.setWidth(std::max(size.width(), m_bar->sizeHint().width()));
    return size;
}

QSize TColorCalendar::minimumSizeHint() const
{
    const QSize cell = cellSizeHint(2);
    QSize size(Columns * cell.width() + 1, Rows * cell.height() + 1 + barHeight());
    if (m_showButtons)
        size.setWidth(std::max(size.width(), m_bar->minimumSizeHint().width()));
    return size;
}

void TColorCalendar::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.fillRect(gridRect(), palette().window());

    painter.setPen(palette().color(QPalette::WindowText));
    for (int column = 0; column < Columns; ++column)
        painter.drawText(cellRect(column, 0), Qt::AlignCenter, dayHeader(column));

    for (int row = 1; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const int dayNumber = dayAtCell(column, row);
            if (dayNumber == 0)
                continue;
            const QRect inside = cellRect(column, row).adjusted(1, 1, -1, -1);
            const QColor fill = m_colors[dayNumber - 1];
            painter.fillRect(inside, fill);
            painter.setPen(textColorFor(fill));
            painter.drawText(inside, Qt::AlignCenter, QString::number(dayNumber));
        }
    }

    // Lines go last so that the fills never cover them.
    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    const int top = rowEdge(1);
    const int bottom = rowEdge(Rows);
    const int left = columnEdge(0);
    const int right = columnEdge(Columns);
    for (int column = 0; column <= Columns; ++column)
        painter.drawLine(columnEdge(column), top, columnEdge(column), bottom);
    for (int row = 1; row <= Rows; ++row)
        painter.drawLine(left, rowEdge(row), right, rowEdge(row));
}

void TColorCalendar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutBar();
}

void TColorCalendar::layoutBar()
{
    if (m_showButtons)
        m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
}

void TColorCalendar::updateCaption()
{
    m_caption->setText(spanish().monthName(m_date.month(), QLocale::LongFormat) + u' '
                       + QString::number(m_date.year()));
}

void TColorCalendar::stepMonth(int months)
{
    setDate(QDate(m_date.year(), m_date.month(), 1).addMonths(months));
}

void TColorCalendar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressedDay = dayAt(event->position().toPoint());
    event->accept();
}

void TColorCalendar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // A click only counts when pressed and released on the same day, so dragging away cancels it.
    const int released = dayAt(event->position().toPoint());
    const bool isClick = released != 0 && released == m_pressedDay;
    m_pressedDay = 0;
    event->accept();
    if (!isClick)
        return;
    const QDate clickedDate(m_date.year(), m_date.month(), released);
    setDate(clickedDate);
    emit clicked(clickedDate);
}

void TColorCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    // The release after a double click is not another click: the owner may have opened a dialog meanwhile.
    m_pressedDay = 0;
    event->accept();
    const int dayNumber = dayAt(event->position().toPoint());
    if (dayNumber == 0)
        return;
    const QDate clickedDate(m_date.year(), m_date.month(), dayNumber);
    setDate(clickedDate);
    emit doubleClicked(clickedDate);
}

void TColorCalendar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutBar();
        updateGeometry();
    }
}
