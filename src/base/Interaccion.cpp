#include "base/Interaccion.h"

#include "reports/ReportPrinter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

const QString kTitulo = QStringLiteral("Quorvel");

Interaccion*& instalada()
{
    static Interaccion* actual = nullptr;
    return actual;
}

} // namespace

Interaccion& Interaccion::actual()
{
    static Interaccion porDefecto;
    Interaccion* i = instalada();
    return i ? *i : porDefecto;
}

Interaccion* Interaccion::instalar(Interaccion* nueva)
{
    Interaccion* anterior = instalada();
    instalada() = nueva;
    return anterior;
}

void Interaccion::mensaje(QWidget* padre, const QString& texto)
{
    QMessageBox::information(padre, kTitulo, texto);
}

void Interaccion::error(QWidget* padre, const QString& texto)
{
    QMessageBox::critical(padre, kTitulo, texto);
}

bool Interaccion::confirmar(QWidget* padre, const QString& texto, const QString& titulo)
{
    QMessageBox caja(QMessageBox::Question, titulo, texto, QMessageBox::NoButton, padre);
    QPushButton* si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
    QPushButton* no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    // Every question deletes, overwrites or sends: Enter must not do it.
    caja.setDefaultButton(no);
    caja.setEscapeButton(no);
    caja.exec();
    return caja.clickedButton() == si;
}

QString Interaccion::elegirCarpeta(QWidget* padre, const QString& titulo, const QString& inicial)
{
    return QFileDialog::getExistingDirectory(padre, titulo, inicial);
}

Interaccion::Respuesta Interaccion::preguntar(QWidget* padre, const QString& texto)
{
    QMessageBox caja(QMessageBox::Question, QStringLiteral("Confirmación"), texto,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, padre);
    caja.button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
    caja.button(QMessageBox::No)->setText(QStringLiteral("No"));
    caja.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    caja.setDefaultButton(QMessageBox::Yes);
    caja.setEscapeButton(QMessageBox::Cancel);
    switch (caja.exec()) {
    case QMessageBox::Yes:
        return Respuesta::Si;
    case QMessageBox::No:
        return Respuesta::No;
    default:
        return Respuesta::Cancelar;
    }
}

QString Interaccion::elegirFichero(QWidget* padre, const QString& titulo, const QString& filtro, bool guardar,
                                   const QString& inicial)
{
    return guardar ? QFileDialog::getSaveFileName(padre, titulo, inicial, filtro)
                   : QFileDialog::getOpenFileName(padre, titulo, inicial, filtro);
}

bool Interaccion::abrirCarpeta(const QString& ruta)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(ruta).absolutePath()));
}

void Interaccion::abrirUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

reports::PrinterStatus Interaccion::estadoImpresora()
{
    return reports::defaultPrinterStatus();
}

reports::PrintResult Interaccion::imprimir(reports::Report& informe)
{
    return reports::printReport(informe);
}

reports::PrintResult Interaccion::imprimirImagen(const QImage& imagen, const QString& titulo)
{
    return reports::printImage(imagen, titulo);
}

QString Interaccion::textoNoImpreso(const reports::PrintResult& impresion)
{
    return QStringLiteral("No se ha impreso: %1.").arg(impresion.why());
}

bool Interaccion::previsualizar(QWidget* padre, reports::Report& informe, bool enSerie)
{
    const auto imprimir = [&](const QString& impresora, reports::PageRange paginas) {
        const reports::PrintResult r = reports::printReport(informe, impresora, paginas);
        if (!r.printed())
            Interaccion::actual().mensaje(padre, textoNoImpreso(r));
        return r.printed();
    };
    const bool seguir = reports::previewReport(informe, padre, enSerie ? textoSiguienteCentro() : QString(), imprimir);
    return seguir || !enSerie;
}
