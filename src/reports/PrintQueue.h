#pragma once

#include "reports/Report.h"

#include <QByteArray>
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
};

PrinterStatus defaultPrinterStatus();

// Sends a PDF to the default printer as one job titled `title`: on A4 when the printer has it, else scaled
// to fit the printer's paper whole.
PrintResult printPdf(const QByteArray& pdf, const QString& title);

// Lays the report out as a PDF (the same as exportPdf writes) and prints it with the report's title.
PrintResult printReport(Report& report);

} // namespace reports
