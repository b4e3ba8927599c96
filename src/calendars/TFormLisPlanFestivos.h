#pragma once

#include "calendars/PlanFestivos.h"

#include <QDateTime>
#include <memory>

namespace reports {
class Band;
class Report;
} // namespace reports

// The holiday plan listing: A4 landscape, a header with the day numbers and weekday letters, one line
// per PlanFestivos row with a cell per day. Positions are those of a 96 dpi screen, in pixels.
class TFormLisPlanFestivos
{
public:
    // `fecha` is the day shown in the month view; only its month and year count.
    TFormLisPlanFestivos(store::Database& db, QDate fecha, int diasMes);
    ~TFormLisPlanFestivos();

    reports::Report& QRLisPlanFestivos() { return *m_report; }
    int filas() const { return int(m_filas.size()); }

    // "Plan festivos centros" and 24 blanks, then "mayo / 2019".
    static QString titulo(QDate fecha);
    // D L M X J V S, indexed from Sunday.
    static QString letraDia(QDate dia);
    // Pixels of the layout to millimetres.
    static constexpr qreal mm(qreal px) { return px * 25.4 / 96.0; }
    // Left of day d's cell.
    static constexpr int x(int d) { return 150 + 25 * d; }

    // The printing time shown at the top right; the clock by default.
    QDateTime Ahora = QDateTime::currentDateTime();

private:
    void QRLisPlanFestivosBeforePrint();
    void cabeceraBeforePrint(reports::Band& band);
    void DetalleBeforePrint(reports::Band& band);

    std::unique_ptr<reports::Report> m_report;
    std::vector<plan::FilaPlan> m_filas;
    QDate m_fecha;
    int m_dias = 0;
    int m_fila = 0;
};
