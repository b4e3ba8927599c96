#pragma once

#include "reports/Report.h"

class QIODevice;

namespace reports {

// Writes the report as a PDF (creator "Quorvel", the report's title). The file appears only when
// complete; throws ReportError "No se puede crear el fichero ..." when it cannot be written.
// Returns the number of pages.
int exportPdf(Report& report, const QString& filePath);
// The same document written to an open device (the print queue takes it from memory).
int exportPdf(Report& report, QIODevice& device);

} // namespace reports
