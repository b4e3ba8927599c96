#include "reports/PdfExport.h"

#include "reports/Layout.h"
#include "reports/ReportPainter.h"

#include <QDir>
#include <QPdfWriter>
#include <QSaveFile>

namespace reports {

namespace {

[[noreturn]] void cannotCreate(const QString& filePath)
{
    throw ReportError(QStringLiteral("No se puede crear el fichero %1").arg(QDir::toNativeSeparators(filePath)));
}

} // namespace

int exportPdf(Report& report, QIODevice& device)
{
    QPdfWriter writer(&device);
    writer.setResolution(PdfResolution);
    writer.setCreator(QStringLiteral("Quorvel"));
    writer.setTitle(report.title);
    return paintReport(report, writer);
}

int exportPdf(Report& report, const QString& filePath)
{
    // QPdfWriter does not report a file it could not open, so the file is opened here; QSaveFile also
    // keeps a report that failed half-way from replacing a good file.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(filePath);

    const int pages = exportPdf(report, file);
    if (!file.commit())
        cannotCreate(filePath);
    return pages;
}

} // namespace reports
