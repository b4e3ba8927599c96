#include "data/TMD.h"
#include "sheets/TFormPral.h"
#include "shell/Arranque.h"
#include "shell/TraduccionQt.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    cargarTraduccionQt(app);
    TMD md;
    const std::unique_ptr<TFormPral> ventana = crearVentanaPrincipal(md);
    if (!ventana)
        return 1;
    ventana->show();
    return app.exec();
}
