// The main window's options, months and month view, and the settings load that sets them.
#include "sheets/TFormPral.h"

#include "base/Meses.h"
#include "calendars/TColorCalendar.h"
#include "data/Constantes.h"
#include "data/TMD.h"
#include "sheets/Listado.h"
#include "store/Database.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

enum ElementoSalida { SalidaPdf = 0, SalidaPantalla = 1, SalidaImpresora = 2 };

} // namespace

void TFormPral::marcar(QCheckBox* opcion, bool valor)
{
    // Setting an option from code behaves as the user's click when the value changes.
    if (opcion->isChecked() == valor)
        return;
    opcion->setChecked(valor);
    if (opcion == m_ckTodosCentros)
        CKTodosCentrosClick();
    else if (opcion == m_ckTodosTrabajadores)
        CKTodosTrabajadoresClick();
    else if (opcion == m_ckSautocentros)
        CKSautocentrosClick();
    else if (opcion == m_ckSSabados || opcion == m_ckSDomingos || opcion == m_ckSFestivos)
        CKSSabadosClick();
    else if (opcion == m_ckGenerarPDF)
        CKGenerarPDFClick();
    else if (opcion == m_ckImpre)
        CKImpreClick();
    else if (opcion == m_ckVariosMeses)
        CKVariosMesesClick();
}

void TFormPral::seleccionarSalida(int elemento)
{
    if (m_salidas->checkedId() == elemento)
        return;
    m_salidas->button(elemento)->setChecked(true);
    RSelSalidaClick();
}

void TFormPral::mostrarSalida()
{
    // The selector shows the mode the next run will use, however the hidden options got there.
    seleccionarSalida(m_ckGenerarPDF->isChecked() ? SalidaPdf
                      : m_ckImpre->isChecked()    ? SalidaImpresora
                                                  : SalidaPantalla);
}

void TFormPral::CargarConstantes()
{
    // Field by field in the row's order: a field that cannot be read leaves the rest as it was.
    const FilaConstantes fila(m_db);
    const qint64 empresa = fila.entero(QStringLiteral("empresa"));
    marcar(m_ckSSabados, fila.logico(QStringLiteral("sabados")));
    marcar(m_ckSDomingos, fila.logico(QStringLiteral("domingos")));
    marcar(m_ckSFestivos, fila.logico(QStringLiteral("festivos")));
    marcar(m_ckSautocentros, fila.logico(QStringLiteral("autocentros")));
    marcar(m_ckDiaSemana, fila.logico(QStringLiteral("diasemana")));
    marcar(m_ckTodosTrabajadores, fila.logico(QStringLiteral("todostrabajadores")));
    marcar(m_ckTodosCentros, fila.logico(QStringLiteral("todoscentros")));
    marcar(m_ckImpre, fila.logico(QStringLiteral("impresora")));
    marcar(m_ckGenerarPDF, fila.logico(QStringLiteral("generarPDF")));
    mostrarSalida();
    // The full folder, as the run will use it, whatever the current directory.
    m_rutaPdf->setText(rutaPdfResuelta(m_md.rutaBaseDatos(), fila.texto(QStringLiteral("RutaPDF"))));
    m_md.Multiempresa = fila.logico(QStringLiteral("Multiempresa"));
    m_md.Calenxcentros = fila.logico(QStringLiteral("Calenxcentros"));
    m_md.VerHoras = fila.logico(QStringLiteral("VerHoras"));
    m_md.CorreoOK = fila.logico(QStringLiteral("E-OK"));

    m_comboEmpresas->setEnabled(m_md.Multiempresa);
    // Disabling does not clear the option: a stored "autocentros" stays in force.
    m_ckSautocentros->setEnabled(m_md.Calenxcentros);
    m_manCalendarios->setEnabled(m_md.Calenxcentros);

    if (empresa >= 0) {
        BotCargaEmpresasClick();
        m_comboEmpresas->setCurrentIndex(empresa < m_comboEmpresas->count() ? int(empresa) : -1);
        ComboEmpresasChange();
        BotCargaTrabajadoresClick();
    }
}

void TFormPral::CKTodosCentrosClick()
{
    const bool todos = m_ckTodosCentros->isChecked();
    m_comboCentros->setEnabled(!todos);
    m_comboTrabajadores->setEnabled(!todos);
    if (todos)
        marcar(m_ckTodosTrabajadores, true);
    m_ckTodosTrabajadores->setEnabled(!todos);
}

void TFormPral::CKTodosTrabajadoresClick()
{
    // Every centre means every worker of each.
    if (!m_ckTodosTrabajadores->isChecked() && m_ckTodosCentros->isChecked())
        marcar(m_ckTodosTrabajadores, true);
}

void TFormPral::CKSautocentrosClick()
{
    // The centres' own flags replace the three switches on the sheets; the month view keeps using them.
    const bool propios = m_ckSautocentros->isChecked();
    for (QCheckBox* c : {m_ckSSabados, m_ckSDomingos, m_ckSFestivos})
        c->setEnabled(!propios);
    BotSombrearClick();
}

void TFormPral::CKSSabadosClick()
{
    BotSombrearClick();
}

void TFormPral::CKGenerarPDFClick()
{
    if (!m_ckGenerarPDF->isChecked())
        return;
    marcar(m_ckImpre, false);
    seleccionarSalida(SalidaPdf);
}

void TFormPral::CKImpreClick()
{
    if (!m_ckImpre->isChecked())
        return;
    marcar(m_ckGenerarPDF, false);
    seleccionarSalida(SalidaImpresora);
}

void TFormPral::RSelSalidaClick()
{
    const int elemento = m_salidas->checkedId();
    if (elemento < 0)
        return;
    m_generarFicheroImprimir->setEnabled(true);
    marcar(m_ckGenerarPDF, elemento == SalidaPdf);
    marcar(m_ckImpre, elemento == SalidaImpresora);
}

void TFormPral::CKVariosMesesClick()
{
    const bool varios = m_ckVariosMeses->isChecked();
    m_botmenos2->setVisible(varios);
    m_letiMes2->setVisible(varios);
    m_botmas2->setVisible(varios);
    // A range of months goes to the printer unless it goes to PDF; unticking goes back to the preview.
    if (varios && !m_ckGenerarPDF->isChecked())
        marcar(m_ckImpre, true);
    else if (!varios)
        marcar(m_ckImpre, false);
    mostrarSalida();
}

// The month views stop at the months a run accepts.
void TFormPral::BotMasClick()
{
    const QDate mes = pral::mesSiguiente(m_colorCalendar1->date());
    if (meses::permitido(mes))
        m_colorCalendar1->setDate(mes);
}

void TFormPral::BotMenosClick()
{
    const QDate mes = pral::mesAnterior(m_colorCalendar1->date());
    if (meses::permitido(mes))
        m_colorCalendar1->setDate(mes);
}

void TFormPral::botmas2Click()
{
    const QDate mes = pral::mesSiguiente(m_colorCalendar2->date());
    if (meses::permitido(mes))
        m_colorCalendar2->setDate(mes);
}

void TFormPral::botmenos2Click()
{
    // The end month never goes before the start month.
    if (pral::primerDia(m_colorCalendar2->date()) <= pral::primerDia(m_colorCalendar1->date()))
        return;
    m_colorCalendar2->setDate(pral::mesAnterior(m_colorCalendar2->date()));
}

void TFormPral::ColorCalendar1Change()
{
    m_letiMes->setText(pral::textoMes(m_colorCalendar1->date()));
    // Any change of the start month brings the end month back to it.
    m_colorCalendar2->setDate(m_colorCalendar1->date());
    ColorCalendar2Change();
    BotSombrearClick();
}

void TFormPral::ColorCalendar2Change()
{
    m_letiMes2->setText(pral::textoMes(m_colorCalendar2->date()));
}

void TFormPral::ColorCalendar1DblClick()
{
    // Does what the base calendar button does, and nothing while a run holds the window.
    if (m_botCalendarioBase->isEnabled())
        m_botCalendarioBase->click();
}

std::optional<int> TFormPral::codigoBase(QDate dia)
{
    return m_calendar->codigo(dia);
}

void TFormPral::BotSombrearClick()
{
    const QDate mes = m_colorCalendar1->date();
    const festivos::Sombreado sombreado{m_ckSSabados->isChecked(), m_ckSDomingos->isChecked(),
                                        m_ckSFestivos->isChecked()};
    try {
        for (int dia = 1; dia <= mes.daysInMonth(); ++dia) {
            const QDate fecha(mes.year(), mes.month(), dia);
            // White first: the view's colours belong to cell positions and still hold the previous month's.
            m_colorCalendar1->SetDayColor(festivos::colorBlanco(), fecha);
            const std::optional<int> codigo = sombreado.festivos ? codigoBase(fecha) : std::nullopt;
            const QColor color = pral::colorDia(fecha, sombreado, codigo, m_colores);
            if (color != festivos::colorBlanco())
                m_colorCalendar1->SetDayColor(color, fecha);
        }
    } catch (const std::exception&) {
        // The month view is only a guide: a failed lookup leaves the days coloured so far, without a message.
    }
    m_colorCalendar1->update();
}
