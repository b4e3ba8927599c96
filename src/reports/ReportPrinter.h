#pragma once

#include "reports/Report.h"

class QWidget;

namespace reports {

// Prints on the system's default printer. Returns false, printing nothing, when there is none so the
// caller can tell the user; throws ReportError when the printer cannot start.
bool printReport(Report& report);

// Shows the report in a print preview dialog at page-width zoom; printing from it prints the report.
void previewReport(Report& report, QWidget* parent = nullptr);

} // namespace reports
