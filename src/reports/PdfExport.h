#pragma once

#include "reports/Report.h"

namespace reports {

// Writes the report as a PDF (creator "Quorvel", the report's title). The file appears only when
// complete; throws ReportError "No se puede crear el fichero ..." when it cannot be written.
// Returns the number of pages.
int exportPdf(Report& report, const QString& filePath);

} // namespace reports
