#include "shell/Interaccion.h"

#include "reports/ReportPrinter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
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
    QPushButton* si = caja.addButton(QStringLiteral("&Si"), QMessageBox::YesRole);
    QPushButton* no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    caja.setDefaultButton(si);
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

void Interaccion::abrirCarpeta(const QString& ruta)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(ruta).absolutePath()));
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

bool Interaccion::imprimirImagen(const QImage& imagen, const QString& titulo)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(titulo);
    // A year view is wider than tall: lying down it keeps its on-screen size.
    printer.setPageOrientation(imagen.width() > imagen.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const qreal escala = printer.resolution() / 96.0;
    QSizeF tamanyo = QSizeF(imagen.size()) / imagen.devicePixelRatio() * escala;
    // Never cut the picture: shrink it to the printable area when it would not fit.
    const QSizeF hueco = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    if (tamanyo.width() > hueco.width() || tamanyo.height() > hueco.height())
        tamanyo.scale(hueco, Qt::KeepAspectRatio);
    painter.drawImage(QRectF(QPointF(0, 0), tamanyo), imagen);
    painter.end();
    return true;
}

bool Interaccion::previsualizar(QWidget* padre, reports::Report& informe, bool enSerie)
{
    const bool seguir = reports::previewReport(informe, padre, enSerie ? textoSiguienteCentro() : QString());
    return seguir || !enSerie;
}
