#pragma once

#include "reports/Report.h"

class QWidget;

namespace reports {

// Shows the report in a print preview dialog at page-width zoom; printing from it prints the report.
void previewReport(Report& report, QWidget* parent = nullptr);

} // namespace reports
