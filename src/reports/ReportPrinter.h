#pragma once

#include "reports/Report.h"
#include "reports/ReportPainter.h"

#include <QString>
#include <functional>

class QWidget;

namespace reports {

// Prints the report on the printer the print dialog chose ("name" or "name/instance"), only `range`;
// returns whether it was printed.
using PrintHandler = std::function<bool(const QString& printer, PageRange range)>;

// Shows the report in a print preview dialog at page-width zoom; printing from it prints the report, through
// `print` when one is given (after the print dialog, unless the clerk chose to print to a file).
// A non-empty `continueCaption` adds a tool bar action of that caption that closes the preview to go on
// with the next report. Returns true when the user went on (printed or took that action), false when the
// preview was closed or left with Escape; a print that failed leaves the preview open.
bool previewReport(Report& report, QWidget* parent = nullptr, const QString& continueCaption = QString(),
                   const PrintHandler& print = PrintHandler());

} // namespace reports
