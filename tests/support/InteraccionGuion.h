#pragma once

#include "base/Interaccion.h"
#include "reports/Report.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>

// The interaction object of the GUI tests: installed while it lives, it records every text and request and
// answers from what the test queued, so no dialog ever waits for a user.
class InteraccionGuion : public Interaccion
{
public:
    InteraccionGuion() : m_anterior(Interaccion::instalar(this)) {}
    ~InteraccionGuion() override { Interaccion::instalar(m_anterior); }

    void mensaje(QWidget*, const QString& texto) override
    {
        mensajes << texto;
        textos << texto;
    }
    void error(QWidget*, const QString& texto) override
    {
        errores << texto;
        textos << texto;
    }
    bool confirmar(QWidget*, const QString& texto, const QString& titulo) override
    {
        confirmaciones << titulo + QStringLiteral(": ") + texto;
        textos << texto;
        return !respuestas.isEmpty() && respuestas.takeFirst();
    }
    QString elegirCarpeta(QWidget*, const QString& titulo, const QString&) override
    {
        textos << titulo;
        return carpetasElegidas.isEmpty() ? QString() : carpetasElegidas.takeFirst();
    }
    Respuesta preguntar(QWidget*, const QString& texto) override
    {
        preguntas << texto;
        return respuestasPreguntas.isEmpty() ? Respuesta::No : respuestasPreguntas.takeFirst();
    }
    QString elegirFichero(QWidget*, const QString& titulo, const QString&, bool, const QString&) override
    {
        textos << titulo;
        return ficherosElegidos.isEmpty() ? QString() : ficherosElegidos.takeFirst();
    }
    bool abrirCarpeta(const QString& ruta) override
    {
        carpetasAbiertas << ruta;
        return escritorioAbreCarpetas;
    }
    void abrirUrl(const QUrl& url) override { urls << url; }

    reports::PrinterStatus estadoImpresora() override
    {
        if (impresoraReal)
            return Interaccion::estadoImpresora();
        reports::PrinterStatus estado;
        estado.service = reports::PrinterStatus::Service::Answers;
        if (impresora)
            estado.printer = QStringLiteral("Oficina");
        estado.accepting = estado.hasA4 = true;
        return estado;
    }
    reports::PrintResult imprimir(reports::Report& informe) override
    {
        reports::PrintResult r;
        if (impresoraReal) {
            r = Interaccion::imprimir(informe);
        } else if (!impresora) {
            r.outcome = reports::PrintResult::Outcome::NoPrinter;
            r.reason = QStringLiteral("no hay ninguna impresora predeterminada");
        }
        if (r.printed())
            impresiones << informe.title;
        if (alSalir)
            alSalir();
        return r;
    }
    reports::PrintResult imprimirImagen(const QImage& imagen, const QString& titulo) override
    {
        reports::PrintResult r;
        if (impresoraReal) {
            r = Interaccion::imprimirImagen(imagen, titulo);
        } else if (!impresora) {
            r.outcome = reports::PrintResult::Outcome::NoPrinter;
            r.reason = QStringLiteral("no hay ninguna impresora predeterminada");
        }
        if (r.printed()) {
            impresiones << titulo;
            imagenesImpresas << imagen;
        }
        return r;
    }
    bool previsualizar(QWidget* padre, reports::Report& informe, bool enSerie) override
    {
        previsualizaciones << informe.title;
        if (alSalir)
            alSalir();
        // The engine's own preview window, for tests that drive it as the user does.
        return vistaPreviaReal ? Interaccion::previsualizar(padre, informe, enSerie) : true;
    }

    // Answers of confirmar(), first to last; false when the queue is empty.
    QList<bool> respuestas;
    QStringList carpetasElegidas;
    QStringList ficherosElegidos;
    // Answers of preguntar(), first to last; "No" when the queue is empty, so a test that abandons a change by
    // closing the window closes it.
    QList<Respuesta> respuestasPreguntas;
    QStringList preguntas; // the texts preguntar() was asked, first to last
    bool impresora = true;
    // Printing goes to the system's print service (the tests' own scheduler) instead of being recorded only.
    bool impresoraReal = false;
    bool vistaPreviaReal = false;
    // False: a desktop without a file manager.
    bool escritorioAbreCarpetas = true;
    // Runs while a report is printed or previewed, as a user acting meanwhile.
    std::function<void()> alSalir;

    QStringList textos; // every text shown, in order
    QStringList mensajes;
    QStringList errores;
    QStringList confirmaciones;
    QStringList carpetasAbiertas;
    QList<QUrl> urls;
    QStringList impresiones;
    QStringList previsualizaciones;
    QList<QImage> imagenesImpresas;

private:
    Interaccion* m_anterior;
};
