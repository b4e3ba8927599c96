// The main window's entries into the settings screen and the mail sending.
#include "sheets/TFormPral.h"

#include "base/Interaccion.h"
#include "data/TMD.h"
#include "mail/TFormEnviarCorreos.h"
#include "mail/TFormManConstantes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>

void TFormPral::ManConstantesExecute()
{
    {
        TFormManConstantes pantalla(m_db, this);
        pantalla.exec();
    }
    CargarConstantes();
    const QString carpeta = peticion().rutaPdf;
    if (!carpeta.trimmed().isEmpty() && !QFileInfo(carpeta).isDir())
        QDir().mkdir(carpeta); // one level; a folder that cannot be made shows up at the next run
}

void TFormPral::EnvioCorreosExecute()
{
    if (!m_md.CorreoOK) {
        mensaje(kCuentaNoComprobada);
        return;
    }
    TFormEnviarCorreos pantalla(m_db, this);
    pantalla.CarpetaPDF = peticion().rutaPdf;
    pantalla.exec();
}

void TFormPral::EnvioCorreosAutoExecute()
{
    if (!m_md.CorreoOK) {
        mensaje(kCuentaNoComprobada);
        return;
    }
    // The button says it is sending only once the clerk has said yes.
    if (!Interaccion::actual().confirmar(this, QStringLiteral("¿Seguro que quieres enviar ya todo?")))
        return;
    auto* boton = findChild<QPushButton*>(QStringLiteral("BotEnvioAuto"));
    // Caption and actions come back however the sending ends, a failure included.
    struct Restaurar
    {
        TFormPral& v;
        QPushButton* boton;
        QString texto;
        ~Restaurar()
        {
            if (boton)
                boton->setText(texto);
            v.m_envioCorreos->setEnabled(true);
            v.m_envioCorreosAuto->setEnabled(true);
        }
    } restaurar{*this, boton, boton ? boton->text() : QString()};
    if (boton)
        boton->setText(QStringLiteral("Enviando... tranqui!"));
    m_envioCorreos->setEnabled(false);
    m_envioCorreosAuto->setEnabled(false);

    VerMemoError(false);
    m_memoError->clear();
    QStringList lineas;
    {
        TFormEnviarCorreos pantalla(m_db, this);
        pantalla.CarpetaPDF = peticion().rutaPdf;
        pantalla.AutoEnvio();
        lineas = pantalla.lineasResultado();
    }
    if (lineas.isEmpty())
        return;
    lineas << QStringLiteral("--------------------------") << kCierreLog;
    VerMemoError(true);
    m_memoError->setPlainText(lineas.join(u'\n'));
}
