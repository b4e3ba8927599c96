#pragma once

#include "reports/PrintQueue.h"

#include <QString>

class QImage;
class QUrl;
class QWidget;

// Everything that waits for the user or hands something to the desktop goes through here, so tests can
// install a scripted answer instead of a real dialog.
class Interaccion
{
public:
    Interaccion() = default;
    virtual ~Interaccion() = default;
    Interaccion(const Interaccion&) = delete;
    Interaccion& operator=(const Interaccion&) = delete;

    // The instance in use; a plain one of this class until someone installs another.
    static Interaccion& actual();
    // Makes `nueva` current (nullptr restores the plain one) and returns the one it replaces.
    static Interaccion* instalar(Interaccion* nueva);
    // The preview's action that goes on to the next centre of a run.
    static QString textoSiguienteCentro() { return QStringLiteral("Siguiente centro"); }

    // Information with an OK button.
    virtual void mensaje(QWidget* padre, const QString& texto);
    // An unexpected failure, as the general error handler reports it.
    virtual void error(QWidget* padre, const QString& texto);
    // Yes/No question with the buttons "&Sí" and "&No", "&No" the default.
    virtual bool confirmar(QWidget* padre, const QString& texto,
                           const QString& titulo = QStringLiteral("Confirmación"));
    enum class Respuesta {
        Si,
        No,
        Cancelar,
    };
    // A question with the buttons "Sí", "No" and "Cancelar"; Escape or the title bar answer Cancelar.
    virtual Respuesta preguntar(QWidget* padre, const QString& texto);
    // Empty when the user cancels.
    virtual QString elegirCarpeta(QWidget* padre, const QString& titulo, const QString& inicial);
    // A file to read, or to write with `guardar` (asking before overwriting); empty when the user cancels.
    virtual QString elegirFichero(QWidget* padre, const QString& titulo, const QString& filtro, bool guardar,
                                  const QString& inicial = {});
    // False when the desktop could not show it (no file manager).
    virtual bool abrirCarpeta(const QString& ruta);
    virtual void abrirUrl(const QUrl& url);

    // The system's default printer as the print service sees it.
    virtual reports::PrinterStatus estadoImpresora();
    // Sends the report to the default printer as one job named after its title.
    virtual reports::PrintResult imprimir(reports::Report& informe);
    // Prints a picture of a window as one A4 page on the default printer, at its on-screen size from the
    // top-left corner.
    virtual reports::PrintResult imprimirImagen(const QImage& imagen, const QString& titulo);
    // What the clerk is told when a print from a preview or a window did not reach the printer.
    static QString textoNoImpreso(const reports::PrintResult& impresion);
    // The engine's preview window; returns when the user closes it. With `enSerie` (more centres follow) the
    // preview offers "Siguiente centro", and closing it any other way than that or printing means stop:
    // false comes back.
    virtual bool previsualizar(QWidget* padre, reports::Report& informe, bool enSerie);
};
