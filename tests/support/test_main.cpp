#include "shell/TraduccionQt.h"

#include <gtest/gtest.h>
#ifdef QUORVEL_PRUEBAS_VENTANAS
#include <QApplication>
using Aplicacion = QApplication;
#else
// The core's tests need fonts and painting, never widgets.
#include <QGuiApplication>
using Aplicacion = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    // Discovery runs this binary straight after the build, without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Aplicacion app(argc, argv);
    // Tests see Qt's texts as the user does.
    cargarTraduccionQt(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
