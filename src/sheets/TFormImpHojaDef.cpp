#include "sheets/TFormImpHojaDef.h"

#include "base/TextHelpers.h"
#include "data/FilaCentro.h"
#include "reports/Report.h"
#include "store/Database.h"

#include <QLocale>

namespace {

reports::FontStyle arial(qreal puntos, bool negrita = false)
{
    return {QStringLiteral("Arial"), puntos, negrita, false};
}

constexpr qreal kAnchoBanda = 190.0;

// A value of the sheet's header, kept inside its cell: from x up to `hasta` (the cell's border or the next
// caption, less a margin), set smaller or cut when it is longer.
void campo(reports::Band& banda, const QString& nombre, qreal x, qreal y, qreal hasta,
           Qt::Alignment alineacion = Qt::AlignLeft)
{
    banda.addText(nombre, x, y, QString(), arial(10), hasta - x, alineacion).fitWidth = true;
}

} // namespace

TFormImpHojaDef::TFormImpHojaDef(store::Database& db, bool verHoras, std::function<void(const QString&)> mensaje)
    : m_db(db), m_verHoras(verHoras), m_mensaje(std::move(mensaje)), m_report(std::make_unique<reports::Report>())
{
    construir();
}

TFormImpHojaDef::~TFormImpHojaDef() = default;

QString TFormImpHojaDef::titulo(const QString& tipoJornada)
{
    const QString base = QStringLiteral("RESUMEN HOJA DE REGISTRO HORARIO.");
    if (tipoJornada == QStringLiteral("P"))
        return base + QStringLiteral(" TRABAJADOR A TIEMPO PARCIAL");
    if (tipoJornada == QStringLiteral("C"))
        return base + QStringLiteral(" TRABAJADOR A TIEMPO COMPLETO");
    return base;
}

QString TFormImpHojaDef::mesAnyo(int anyo, int mes)
{
    // Sheets are laid out on several threads at once; each keeps its own.
    thread_local const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    return MayusculasAscii(espanol.monthName(mes, QLocale::LongFormat) + QStringLiteral(" - ") + QString::number(anyo));
}

QString TFormImpHojaDef::letraDia(QDate dia)
{
    static const QString letras = QStringLiteral("LMXJVSD"); // Monday first, as dayOfWeek counts
    return letras.mid(dia.dayOfWeek() - 1, 1);
}

void TFormImpHojaDef::construir()
{
    reports::Report& r = *m_report;
    r.title = QStringLiteral("Hojas de registro horario");
    r.pageLayout =
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 5, 10, 5), QPageLayout::Millimeter);
    // The day lines' column rules end 0.3 mm above the next line, under its bottom rule: one rule per
    // column looks the same on paper and keeps each sheet's PDF page small.
    r.joinRuleGapMm = 0.35;

    // Sheet header.
    reports::Band& h = r.detail.emplace(48.2, kAnchoBanda);
    h.addText(QStringLiteral("QRTitulo"), 0, 1.1, QString(), arial(10), 188.6, Qt::AlignHCenter).fitWidth = true;
    h.addHorizontalLine(QStringLiteral("QRShape1"), 0.3, 190.0, 8.3);
    h.addHorizontalLine(QStringLiteral("QRShape2"), 0.3, 189.7, 14.7);
    h.addHorizontalLine(QStringLiteral("QRShape3"), 0.3, 189.7, 21.0);
    h.addHorizontalLine(QStringLiteral("QRShape4"), 0.3, 189.7, 28.2);
    h.addVerticalLine(QStringLiteral("QRShape5"), 0.4, 8.5, 28.0);
    h.addVerticalLine(QStringLiteral("QRShape6"), 90.4, 8.5, 28.0);
    h.addVerticalLine(QStringLiteral("QRShape7"), 189.8, 8.5, 28.0);
    h.addText(QStringLiteral("QRLabel1"), 2.1, 8.5, QStringLiteral("Empresa:"), arial(8));
    campo(h, QStringLiteral("e_nombre"), 19.1, 9.5, 89.4);
    h.addText(QStringLiteral("QRLabel2"), 93.1, 8.5, QStringLiteral("Trabajador/a:"), arial(8));
    campo(h, QStringLiteral("t_nombre"), 112.4, 9.5, 188.8);
    h.addText(QStringLiteral("QRLabel3"), 2.4, 14.8, QStringLiteral("CIF/NIF"), arial(8));
    campo(h, QStringLiteral("e_nif"), 16.1, 15.9, 42.7);
    h.addText(QStringLiteral("QRLabel4"), 43.7, 14.8, QStringLiteral("CCC"), arial(8));
    campo(h, QStringLiteral("e_ccc"), 56.1, 15.9, 89.4);
    h.addText(QStringLiteral("QRLabel5"), 93.4, 14.8, QStringLiteral("NIF"), arial(8));
    campo(h, QStringLiteral("t_nif"), 104.5, 15.9, 134.7);
    h.addText(QStringLiteral("QRLabel6"), 135.7, 14.8, QStringLiteral("Nº S.Soc."), arial(8));
    campo(h, QStringLiteral("t_nss"), 154.5, 15.9, 188.8);
    h.addText(QStringLiteral("QRLabel7"), 2.4, 21.2, QStringLiteral("Centro de trabajo"), arial(8));
    campo(h, QStringLiteral("e_nomcentro"), 29.1, 22.2, 87.0, Qt::AlignHCenter);
    h.addText(QStringLiteral("QRLabel8"), 93.4, 21.2, QStringLiteral("Contrato"), arial(8));
    campo(h, QStringLiteral("t_contrato"), 112.2, 22.2, 188.8);
    h.addText(QStringLiteral("QRMesAny"), 124.4, 33.6, QString(), arial(12, true));
    h.addText(QStringLiteral("QRCalendario"), 2.1, 38.1, QString(), arial(5));
    h.addHorizontalLine(QStringLiteral("QRShape8"), 21.2, 100.5, 35.6);
    for (const qreal x : {21.0, 60.7, 100.4})
        h.addVerticalLine(QStringLiteral("QRShapeTurno"), x, 35.7, 47.9);
    h.addText(QStringLiteral("QRLabel9"), 33.1, 37.0, QStringLiteral("MAÑANA"), arial(10));
    h.addText(QStringLiteral("QRLabel10"), 75.4, 37.0, QStringLiteral("TARDE"), arial(10));
    h.addHorizontalLine(QStringLiteral("QRShape9"), 0.3, 189.7, 41.7);
    h.addHorizontalLine(QStringLiteral("QRShape10"), 0.3, 189.7, 48.0);
    for (const qreal x : {0.4, 40.9, 80.6})
        h.addVerticalLine(QStringLiteral("QRShapeColumna"), x, 41.5, 48.2);
    h.addVerticalLine(QStringLiteral("QRVerhoras1"), 120.3, 41.5, 48.2);
    h.addVerticalLine(QStringLiteral("QRShapeColumna"), 189.8, 41.5, 48.2);
    h.addText(QStringLiteral("QRLabel11"), 8.2, 42.6, QStringLiteral("DÍA"), arial(10));
    h.addText(QStringLiteral("QRLabel12"), 25.1, 42.6, QStringLiteral("entrada"), arial(10));
    h.addText(QStringLiteral("QRLabel13"), 45.0, 42.6, QStringLiteral("salida"), arial(10));
    h.addText(QStringLiteral("QRLabel14"), 65.1, 42.6, QStringLiteral("entrada"), arial(10));
    h.addText(QStringLiteral("QRLabel15"), 85.7, 42.6, QStringLiteral("salida"), arial(10));
    h.addText(QStringLiteral("QRLHoras"), 103.7, 42.6, QStringLiteral("HORAS"), arial(10));
    h.addText(QStringLiteral("QRLabel16"), 124.6, 42.6, QStringLiteral("Firma del/de la Trabajador/a"), arial(10));
    h.beforePrint = [this](reports::Band& band, int) { DetailBand1BeforePrint(band); };
    h.afterPrint = [this](const reports::Band&, int) { NumDia = 0; };

    // One line per day.
    reports::Band& d = r.subDetail.emplace(6.9, kAnchoBanda);
    m_qrDia = &d.addText(QStringLiteral("QRDia"), 5.8, 1.1, QString(), arial(10));
    d.addHorizontalLine(QStringLiteral("QRShapeDia"), 0.3, 189.7, 6.7);
    for (const qreal x : {0.4, 21.0, 40.9, 60.7, 80.6, 100.4})
        d.addVerticalLine(QStringLiteral("QRShapeDia"), x, 0, 6.6);
    d.addVerticalLine(QStringLiteral("QRVerHoras2"), 120.3, 0, 6.6);
    d.addVerticalLine(QStringLiteral("QRShapeDia"), 189.8, 0, 6.6);
    d.beforePrint = [this](reports::Band& band, int) { QRSubDetail1BeforePrint(band); };

    reports::Band& f = r.footer.emplace(24.9, kAnchoBanda);
    f.addText(QStringLiteral("QRLabel17"), 4.2, 2.4, QStringLiteral("TOTAL HORAS TRABAJADAS POR EL/LA TRABAJADOR/A"),
              arial(8));
    f.addText(QStringLiteral("QRLabel18"), 15.9, 6.6, QStringLiteral("Firmado, el/la  trabajador/a"), arial(8));
    f.addText(QStringLiteral("QRLabel19"), 130.2, 2.9, QStringLiteral("Firmado, la Empresa:"), arial(8));

    r.fetchRow = [this](int row) {
        m_fila = row;
        return row < int(m_filas.size());
    };
    // NeedData: one line per day of the sheet's month.
    r.needSubDetail = [this](int, int) { return NumDia < DiasMes; };
}

void TFormImpHojaDef::AbrirFicheros()
{
    m_filas = leerListado(m_db);
    if (m_filas.empty())
        return;
    int numero = festivos::kCalendarioBase;
    if (CalendarioCentro) {
        numero = int(m_filas.front().idcalendario);
        // The rule every reader of a centre row follows; a run never gets here with a row that breaks it.
        const centros::Lectura centro = centros::leerCentro(m_db, m_filas.front().idcentro);
        if (centro.existe) {
            SombSabados = centro.fila.sabados;
            SombDomingos = centro.fila.domingos;
            SombFestivos = centro.fila.festivos;
        } else if (m_mensaje) {
            m_mensaje(QStringLiteral("Error centro no encontrado"));
        }
    }
    // The sheet names the calendar its shading comes from, never the centre's own when the base was used.
    NumCalendarioHoja = QString::number(numero);
    m_calendarioPropio = m_filas.front().idcalendario != numero;
    // Only the months of these sheets are ever looked up.
    const auto& primero = m_filas.front().mes;
    const auto& ultimo = m_filas.back().mes;
    const QDate desde(primero.left(4).toInt(), qMax(1, primero.mid(4, 2).toInt()), 1);
    const QDate ultimoMes(ultimo.left(4).toInt(), qMax(1, ultimo.mid(4, 2).toInt()), 1);
    m_calendario = festivos::Calendario::cargar(m_db, numero, desde, ultimoMes.addMonths(1).addDays(-1));
}

void TFormImpHojaDef::DetailBand1BeforePrint(reports::Band& band)
{
    const FilaListado& fila = m_filas.at(std::size_t(m_fila));
    if (!m_verHoras) {
        band.setEnabled(QStringLiteral("QRLHoras"), false);
        band.setEnabled(QStringLiteral("QRVerhoras1"), false);
        m_report->subDetail->setEnabled(QStringLiteral("QRVerHoras2"), false);
    }
    AnyoHoja = fila.mes.left(4).toInt();
    MesHoja = fila.mes.mid(4, 2).toInt();
    band.setText(QStringLiteral("QRCalendario"), NumCalendarioHoja != QStringLiteral("0") || m_calendarioPropio
                                                     ? QStringLiteral("Nº Calendario: ") + NumCalendarioHoja
                                                     : QString());
    const QDate primero(AnyoHoja, MesHoja, 1);
    DiasMes = primero.isValid() ? primero.daysInMonth() : 0;
    band.setText(QStringLiteral("QRMesAny"), primero.isValid() ? mesAnyo(AnyoHoja, MesHoja) : QString());
    band.setText(QStringLiteral("QRTitulo"), titulo(fila.t_tipojornada));
    band.setText(QStringLiteral("e_nombre"), fila.e_nombre);
    band.setText(QStringLiteral("e_nif"), fila.e_nif);
    band.setText(QStringLiteral("e_ccc"), fila.e_ccc);
    band.setText(QStringLiteral("e_nomcentro"), fila.e_nomcentro);
    band.setText(QStringLiteral("t_nombre"), fila.t_nombre);
    band.setText(QStringLiteral("t_nif"), fila.t_nif);
    band.setText(QStringLiteral("t_nss"), fila.t_nss);
    band.setText(QStringLiteral("t_contrato"), fila.t_contrato);
}

void TFormImpHojaDef::QRSubDetail1BeforePrint(reports::Band& band)
{
    reports::Element& dia = *m_qrDia;
    // White is the paper: an unpainted band cannot cover the rule above it on coarse renderings.
    band.background = QColor();
    dia.background = band.background;
    ++NumDia;
    if (NumDia > DiasMes) {
        dia.text.clear();
        return;
    }
    const QDate fecha(AnyoHoja, MesHoja, NumDia);
    dia.text = DiaSemana ? QString::number(NumDia) + QStringLiteral(" - ") + letraDia(fecha) : QString::number(NumDia);
    const festivos::Sombreado sombreado{SombSabados, SombDomingos, SombFestivos};
    if (festivos::diaSombreado(fecha, sombreado, m_calendario))
        band.background = festivos::colorSombreado();
    dia.background = band.background;
}
