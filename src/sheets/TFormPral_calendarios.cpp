// The main window's entries into the calendar screens and the holiday plan.
#include "sheets/TFormPral.h"

void TFormPral::ManCalendariosExecute()
{
    proximamente();
}

void TFormPral::BotCalendarioBaseClick()
{
    proximamente();
}

void TFormPral::BotCalendarCentrosClick()
{
    proximamente();
}

void TFormPral::GenerarPlanFestivosExecute()
{
    proximamente();
}
