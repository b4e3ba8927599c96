#include "reports/ReportPrinter.h"

#include "reports/ReportPainter.h"

#include <QAction>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>

namespace reports {

namespace {

// Honours a page range chosen in a print dialog.
PageRange rangeOf(const QPrinter& printer)
{
    if (printer.printRange() != QPrinter::PageRange)
        return {};
    return {printer.fromPage(), printer.toPage()};
}

} // namespace

bool previewReport(Report& report, QWidget* parent, const QString& continueCaption)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(report.title);
    printer.setPageLayout(report.pageLayout);

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(report.title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        // Exceptions must not cross Qt's signal delivery; the user sees why instead.
        try {
            paintReport(report, *target, rangeOf(*target));
        } catch (const ReportError& e) {
            QMessageBox::warning(&dialog, report.title, e.message());
        } catch (const std::exception& e) {
            QMessageBox::warning(&dialog, report.title, QString::fromLocal8Bit(e.what()));
        }
    });
    // Page width reads best on screen. The dialog's own action also keeps its toolbar in step; the widget
    // is the fallback should a Qt version name the action differently.
    if (auto* fitWidth = dialog.findChild<QAction*>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    else if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
        view->fitToWidth();
    if (report.previewMaximized)
        dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    if (!continueCaption.isEmpty()) {
        if (auto* toolBar = dialog.findChild<QToolBar*>()) {
            toolBar->addSeparator();
            QAction* next = toolBar->addAction(continueCaption);
            next->setObjectName(QStringLiteral("continueAction"));
            QObject::connect(next, &QAction::triggered, &dialog, &QDialog::accept);
        }
    }
    return dialog.exec() == QDialog::Accepted;
}

} // namespace reports
