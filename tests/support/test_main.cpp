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

#ifdef __SANITIZE_ADDRESS__
// The sanitizer build: leaks are checked, the first report of any kind ends the test with an error, and Qt's
// and the system's own leftovers are suppressed. The processes a test starts (store_writer, quorvel-lote)
// inherit the same options through the environment.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1";
}
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" QUORVEL_SUPRESIONES_LSAN ":print_suppressions=0";
}
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}
#endif

int main(int argc, char** argv)
{
#ifdef __SANITIZE_ADDRESS__
    if (qEnvironmentVariableIsEmpty("ASAN_OPTIONS"))
        qputenv("ASAN_OPTIONS", __asan_default_options());
    if (qEnvironmentVariableIsEmpty("LSAN_OPTIONS"))
        qputenv("LSAN_OPTIONS", __lsan_default_options());
    if (qEnvironmentVariableIsEmpty("UBSAN_OPTIONS"))
        qputenv("UBSAN_OPTIONS", __ubsan_default_options());
#endif
    // Discovery runs this binary straight after the build, without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Aplicacion app(argc, argv);
    // Tests see Qt's texts as the user does.
    cargarTraduccionQt(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
