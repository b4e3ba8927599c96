#include "data/TMD.h"
#include "sheets/TFormPral.h"
#include "shell/Arranque.h"
#include "shell/TraduccionQt.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Names the user's data folder (~/.local/share/Quorvel) for both programs alike.
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    cargarTraduccionQt(app);
    QString base;
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    if (const int fin = leerArgumentosVentana(app.arguments().mid(1), base, salida, errores); fin >= 0)
        return fin;
    TMD md(base.isEmpty() ? TMD::rutaPorDefecto() : base);
    const std::unique_ptr<TFormPral> ventana = crearVentanaPrincipal(md);
    if (!ventana)
        return 1;
    ventana->show();
    return app.exec();
}
