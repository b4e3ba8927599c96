#pragma once

#include "reports/Report.h"
#include "reports/ReportPainter.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The system's print service (CUPS), asked directly: a print dialog's engine neither reports a job the
// queue refused nor lets us say how the page must be fitted.
namespace reports {

// The default printer as the print service describes it.
struct PrinterStatus
{
    enum class Service {
        Answers,
        NoAnswer, // the scheduler cannot be reached
    };
    Service service = Service::NoAnswer;
    QString printer; // the default destination; empty when there is none
    bool accepting = false;
    bool paused = false; // jobs are accepted but held until someone resumes the printer
    bool hasA4 = false;  // offers A4 paper; otherwise sheets are scaled to fit whole

    bool ready() const { return service == Service::Answers && !printer.isEmpty(); }
};

// What became of one job.
struct PrintResult
{
    enum class Outcome {
        Printed,   // queued (maybe held, see paused)
        Refused,   // the service did not take the job
        NoPrinter, // there is no default printer
        NoService, // the service does not answer
    };
    Outcome outcome = Outcome::Printed;
    QString printer;
    int jobId = 0;
    bool paused = false;
    QString reason; // Spanish, for the user, when not printed

    bool printed() const { return outcome == Outcome::Printed; }
    // Why nothing was printed, naming the printer when it was the one that refused.
    QString why() const;
};

PrinterStatus defaultPrinterStatus();

// Sends a PDF as one job titled `title` to `printer` ("name" or "name/instance"; empty: the default
// printer): on A4 when the printer has it, else scaled to fit the printer's paper whole.
PrintResult printPdf(const QByteArray& pdf, const QString& title, const QString& printer = QString());

// Lays the report out as a PDF (the same as exportPdf writes), only the pages of `range`, and prints it with
// the report's title.
PrintResult printReport(Report& report, const QString& printer = QString(), PageRange range = {});

// Prints a picture as one A4 page titled `title`, lying down when wider than tall, at its on-screen size
// from the top-left corner and shrunk only when it would not fit.
PrintResult printImage(const QImage& image, const QString& title, const QString& printer = QString());

} // namespace reports
