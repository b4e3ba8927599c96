// The main window's entries into the master data screens.
#include "sheets/TFormPral.h"

void TFormPral::ManTablasExecute()
{
    proximamente();
}

void TFormPral::BuscarTrabajadoresExecute()
{
    proximamente();
}

void TFormPral::BotManCentrosClick()
{
    proximamente();
}
