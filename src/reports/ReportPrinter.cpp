#include "reports/ReportPrinter.h"

#include "reports/ReportPainter.h"

#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPrintDialog>
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

bool previewReport(Report& report, QWidget* parent, const QString& continueCaption, const PrintHandler& print)
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
    // Qt's own printing hands the job to the queue and never hears a refusal; the print service does.
    // Qt names no object for its print action; its caption, translated as the dialog translates it, finds it.
    QAction* printAction = nullptr;
    const QString printCaption = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : dialog.findChildren<QAction*>())
        if (print && !printAction && action->text() == printCaption)
            printAction = action;
    if (printAction) {
        printAction->setObjectName(QStringLiteral("printAction"));
        QObject::disconnect(printAction, &QAction::triggered, nullptr, nullptr);
        QObject::connect(printAction, &QAction::triggered, &dialog, [&] {
            QPrintDialog ask(&printer, &dialog);
            if (ask.exec() != QDialog::Accepted)
                return;
            if (printer.outputFormat() == QPrinter::PdfFormat || printer.printerName().isEmpty()) {
                // Printing to a file: Qt writes it, as the preview would.
                if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
                    view->print();
                dialog.accept();
                return;
            }
            try {
                if (print(printer.printerName(), rangeOf(printer)))
                    dialog.accept();
            } catch (const ReportError& e) {
                QMessageBox::warning(&dialog, report.title, e.message());
            } catch (const std::exception& e) {
                QMessageBox::warning(&dialog, report.title, QString::fromLocal8Bit(e.what()));
            }
        });
    }
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
