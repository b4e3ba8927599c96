#include "data/TMD.h"
#include "sheets/Lote.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// A terminal tool run as root has no XDG runtime folder; Qt's note about it is noise to the user.
void filtrarAvisos(QtMsgType tipo, const QMessageLogContext& contexto, const QString& texto)
{
    if (texto.startsWith(QStringLiteral("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(tipo, contexto, texto)));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(filtrarAvisos);
    // Fonts for the PDFs need a GUI application, though no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The same data folder as the window program's.
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    return ejecutarLote(app.arguments().mid(1), TMD::rutaPorDefecto(), salida, errores);
}
