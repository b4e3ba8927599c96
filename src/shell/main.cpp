#include "data/TMD.h"
#include "store/Database.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TMD md;
    MD = &md;
    try {
        md.Quorvel();
    } catch (const store::StoreError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Quorvel"),
                              QStringLiteral("No se puede abrir la base de datos %1:\n%2")
                                  .arg(md.rutaBaseDatos(), e.message()));
        return 1;
    }
    QMainWindow ventana;
    ventana.setWindowTitle(QStringLiteral("Quorvel     v.1.02    22/05/2019"));
    ventana.resize(800, 560);
    ventana.show();
    return app.exec();
}
