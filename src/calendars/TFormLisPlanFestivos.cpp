#include "calendars/TFormLisPlanFestivos.h"

#include "calendars/Festivos.h"
#include "reports/Layout.h"
#include "reports/Report.h"

#include <QFontMetricsF>
#include <QImage>

#include <QLocale>

namespace {

reports::FontStyle arial(qreal puntos)
{
    return {QStringLiteral("Arial"), puntos, false, false};
}

QString nombre(const char* base, int d)
{
    return QString::fromLatin1(base) + QString::number(d);
}

// Measures texts in the layout's pixels, 96 to the inch, whatever screen there is (or none).
const QImage& pantalla()
{
    static const QImage imagen = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(96 / 0.0254));
        i.setDotsPerMeterY(qRound(96 / 0.0254));
        return i;
    }();
    return imagen;
}

constexpr qreal kPluma = 25.4 / 96.0; // one screen pixel

} // namespace

TFormLisPlanFestivos::TFormLisPlanFestivos(store::Database& db, QDate fecha, int diasMes)
    : m_report(std::make_unique<reports::Report>()), m_filas(plan::leerPlan(db)), m_fecha(fecha),
      m_dias(qBound(0, diasMes, 31))
{
    QRLisPlanFestivosBeforePrint();
}

TFormLisPlanFestivos::~TFormLisPlanFestivos() = default;

QString TFormLisPlanFestivos::titulo(QDate fecha)
{
    static const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    return QStringLiteral("Plan festivos centros") + QString(24, u' ') +
           espanol.monthName(fecha.month(), QLocale::LongFormat) + QStringLiteral(" / ") +
           QStringLiteral("%1").arg(fecha.year(), 4, 10, QLatin1Char('0'));
}

QString TFormLisPlanFestivos::letraDia(QDate dia)
{
    static const QString letras = QStringLiteral("DLMXJVS");
    return letras.mid(dia.dayOfWeek() % 7, 1);
}

void TFormLisPlanFestivos::QRLisPlanFestivosBeforePrint()
{
    reports::Report& r = *m_report;
    r.title = QStringLiteral("Listado festivos");
    r.previewMaximized = true;
    r.pageLayout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                               QPageLayout::Millimeter);

    reports::Band& c = r.pageHeader.emplace(mm(99));
    c.addText(QStringLiteral("QRTitulo"), mm(376), mm(16), titulo(m_fecha), arial(14));
    // Right-aligned at the band's right end: a box across the whole band.
    c.addText(QStringLiteral("QRSysData1"), 0, mm(1), QString(), arial(8),
              r.pageLayout.paintRect(QPageLayout::Millimeter).width(), Qt::AlignRight);
    reports::Element& linea = c.addHorizontalLine(QStringLiteral("LineaCab"), mm(176), mm(176), mm(92 + 4.5));
    linea.penWidth = 2 * kPluma;
    for (int d = 1; d <= m_dias; ++d) {
        c.addText(nombre("QRDia", d), mm(x(d) - 2), mm(60), QString::number(d), arial(10), mm(30), Qt::AlignHCenter);
        c.addText(nombre("QRLetra", d), mm(x(d) - 2), mm(80), QString(), arial(10), mm(30), Qt::AlignHCenter);
    }
    c.beforePrint = [this](reports::Band& band, int) { cabeceraBeforePrint(band); };

    reports::Band& det = r.detail.emplace(mm(35));
    det.addText(QStringLiteral("QRCentro"), mm(17), mm(9), QString(), arial(10));
    for (int d = 1; d <= m_dias; ++d) {
        reports::Element& arriba = det.addRect(nombre("QRCeldaArriba", d), QRectF(mm(x(d)), mm(-2), mm(30), mm(13)));
        arriba.penWidth = kPluma;
        reports::Element& texto =
            det.addText(nombre("QRCelda", d), mm(x(d)), mm(10), QString(), arial(10), mm(30), Qt::AlignHCenter);
        texto.geometry.setHeight(mm(23));
        det.addVerticalLine(nombre("QRIzquierda", d), mm(x(d) - 4 + 4.5), mm(-2), mm(32)).penWidth = kPluma;
        det.addVerticalLine(nombre("QRDerecha", d), mm(x(d) + 27 + 4.5), mm(-2), mm(32)).penWidth = kPluma;
        det.addHorizontalLine(nombre("QRAbajo", d), mm(x(d)), mm(x(d) + 31), mm(31)).penWidth = kPluma;
    }
    det.beforePrint = [this](reports::Band& band, int) { DetalleBeforePrint(band); };

    r.fetchRow = [this](int row) {
        m_fila = row;
        return row < int(m_filas.size());
    };
}

void TFormLisPlanFestivos::cabeceraBeforePrint(reports::Band& band)
{
    band.setText(QStringLiteral("QRSysData1"), Ahora.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    reports::Element& linea = band.element(QStringLiteral("LineaCab"));
    linea.geometry.setWidth(mm(25 * m_dias + 5));
    for (int d = 1; d <= m_dias; ++d)
        band.setText(nombre("QRLetra", d), letraDia(QDate(m_fecha.year(), m_fecha.month(), d)));
}

void TFormLisPlanFestivos::DetalleBeforePrint(reports::Band& band)
{
    if (m_fila >= int(m_filas.size())) {
        band.printBand = false;
        return;
    }
    const plan::FilaPlan& fila = m_filas[std::size_t(m_fila)];
    reports::Element& centro = band.element(QStringLiteral("QRCentro"));
    centro.text = fila.codcentro + QStringLiteral(" - ") + fila.nomcentro;
    // The first cell would cover the end of a long name: a slightly smaller size, never below 8 pt so it stays
    // readable, and what still does not fit is cut short with "…".
    centro.font = arial(10);
    const qreal hueco = x(1) - 17 - 4;
    const auto ancho = [&] {
        return QFontMetricsF(reports::fontFor(centro.font), &pantalla()).horizontalAdvance(centro.text);
    };
    while (centro.font.pointSize > 8 && ancho() > hueco)
        centro.font.pointSize -= 0.5;
    centro.text =
        QFontMetricsF(reports::fontFor(centro.font), &pantalla()).elidedText(centro.text, Qt::ElideRight, hueco);
    for (int d = 1; d <= m_dias; ++d) {
        band.setEnabled(nombre("QRDerecha", d), d == m_dias);
        const QDate dia(m_fecha.year(), m_fecha.month(), d);
        const bool finDeSemana = dia.dayOfWeek() >= Qt::Saturday;
        reports::Element& texto = band.element(nombre("QRCelda", d));
        reports::Element& arriba = band.element(nombre("QRCeldaArriba", d));
        texto.text = finDeSemana ? QStringLiteral(" ") : QString::number(d);
        const QString marca = fila.dias[std::size_t(d - 1)];
        QColor color = festivos::colorBlanco();
        if (marca == QStringLiteral("X")) {
            color = festivos::colorSombreado();
        } else if (marca == QStringLiteral("A")) {
            texto.text = QStringLiteral("A");
        } else {
            texto.text = QStringLiteral(" ");
        }
        texto.background = color;
        arriba.color = color;
        arriba.background = color;
    }
}
