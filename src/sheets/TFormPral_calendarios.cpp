// The main window's entries into the calendar screens and the holiday plan.
#include "sheets/TFormPral.h"

#include "base/Interaccion.h"
#include "calendars/Festivos.h"
#include "calendars/PlanFestivos.h"
#include "calendars/TColorCalendar.h"
#include "calendars/TFormLisPlanFestivos.h"
#include "calendars/TFormManCalen.h"
#include "calendars/TFormManCalendarios.h"
#include "sheets/SalidaHojas.h"
#include "store/Database.h"

#include <QComboBox>
#include <QPlainTextEdit>

void TFormPral::ManCalendariosExecute()
{
    TFormManCalendarios ventana(m_db, this);
    ventana.exec();
}

void TFormPral::BotCalendarioBaseClick()
{
    {
        TFormManCalen ventana(m_db, this);
        ventana.Titulo = QStringLiteral("BASE ");
        ventana.exec();
    }
    // The holidays of the month view may have changed.
    BotSombrearClick();
}

void TFormPral::BotCalendarCentrosClick()
{
    const int posicion = m_comboCentros->currentIndex();
    if (posicion < 0) {
        Interaccion::actual().mensaje(this, QStringLiteral("No hay ningún centro seleccionado"));
        return;
    }
    const QString entrada = m_comboCentros->itemText(posicion);
    const QString codigo = codigoCentroEn(posicion);
    const int numero = festivos::calendarioDeCentro(m_db, codigo);
    // The base calendar has its own button.
    if (numero == 0)
        return;
    TFormManCalen2 ventana(m_db, this);
    ventana.NumCalendario = QString::number(numero);
    ventana.Titulo = entrada;
    ventana.exec();
}

void TFormPral::GenerarPlanFestivosExecute()
{
    const QDate dia = m_colorCalendar1->date();
    const QStringList noIncluidos = plan::GenerarPlanFestivos(m_db, m_idEmpresa, dia);
    TFormLisPlanFestivos listado(m_db, dia, dia.daysInMonth());
    Interaccion::actual().previsualizar(this, listado.QRLisPlanFestivos(), false);
    // The centres left out of the plan, in the same log as the output run's.
    if (!noIncluidos.isEmpty()) {
        m_memoError->clear();
        VerMemoError(true);
        for (const QString& linea : noIncluidos + QStringList{kSeparadorLog, kCierreLog})
            m_memoError->appendPlainText(linea);
        m_memoError->setFocus();
    }
}
