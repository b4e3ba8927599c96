// The main window's entries into the settings screen and the mail sending.
#include "sheets/TFormPral.h"

void TFormPral::ManConstantesExecute()
{
    proximamente();
}

void TFormPral::EnvioCorreosExecute()
{
    proximamente();
}

void TFormPral::EnvioCorreosAutoExecute()
{
    proximamente();
}
