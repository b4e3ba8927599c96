#pragma once

#include "reports/Report.h"

#include <QString>

class QWidget;

namespace reports {

// Shows the report in a print preview dialog at page-width zoom; printing from it prints the report.
// A non-empty `continueCaption` adds a tool bar action of that caption that closes the preview to go on
// with the next report. Returns true when the user went on (printed or took that action), false when the
// preview was closed or left with Escape.
bool previewReport(Report& report, QWidget* parent = nullptr, const QString& continueCaption = QString());

} // namespace reports
