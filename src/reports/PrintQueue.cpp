#include "reports/PrintQueue.h"

#include "reports/Layout.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <cups/cups.h>
#include <memory>

namespace reports {

namespace {

// A stopped service must not freeze the window: a local socket fails at once, a remote host gets this long.
constexpr int ConnectTimeoutMs = 5000;
constexpr double RequestTimeoutS = 30;

QString serviceWords()
{
    return QString::fromUtf8(cupsLastErrorString());
}

struct HttpClose
{
    void operator()(http_t* http) const { httpClose(http); }
};
struct DestFree
{
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
struct InfoFree
{
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
struct OptionsFree
{
    int count = 0;
    void operator()(cups_option_t* options) const { cupsFreeOptions(count, options); }
};

// The default destination on one connection, looked up once per job so that a printer paused, refused or
// removed meanwhile is seen.
struct Destination
{
    std::unique_ptr<http_t, HttpClose> http;
    std::unique_ptr<cups_dest_t, DestFree> dest;
    std::unique_ptr<cups_dinfo_t, InfoFree> info;
    PrinterStatus status;
};

Destination lookUp(const QString& printer)
{
    Destination d;
    d.http.reset(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectTimeoutMs, nullptr));
    if (!d.http)
        return d;
    httpSetTimeout(d.http.get(), RequestTimeoutS, nullptr, nullptr);
    const qsizetype slash = printer.indexOf(QLatin1Char('/'));
    const QByteArray queue = printer.left(slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : printer.mid(slash + 1).toUtf8();
    d.dest.reset(cupsGetNamedDest(d.http.get(), queue.isEmpty() ? nullptr : queue.constData(),
                                  instance.isEmpty() ? nullptr : instance.constData()));
    if (!d.dest) {
        // "No such destination" is an answer; anything else means the service could not be asked.
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            d.status.service = PrinterStatus::Service::Answers;
        return d;
    }
    d.status.service = PrinterStatus::Service::Answers;
    cups_dest_t* dest = d.dest.get();
    d.status.printer = QString::fromUtf8(dest->name);
    if (dest->instance)
        d.status.printer += QLatin1Char('/') + QString::fromUtf8(dest->instance);
    const auto option = [dest](const char* name) {
        return QByteArray(cupsGetOption(name, dest->num_options, dest->options));
    };
    d.status.accepting = option("printer-is-accepting-jobs") != "false";
    d.status.paused = option("printer-state").toInt() == IPP_PSTATE_STOPPED;
    d.info.reset(cupsCopyDestInfo(d.http.get(), dest));
    d.status.hasA4 = d.info && cupsCheckDestSupported(d.http.get(), dest, d.info.get(), CUPS_MEDIA, CUPS_MEDIA_A4);
    return d;
}

QString refusal(ipp_status_t status)
{
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return QStringLiteral("no admite trabajos");
    return QStringLiteral("ha rechazado el trabajo (%1)").arg(serviceWords());
}

} // namespace

QString PrintResult::why() const
{
    if (outcome == Outcome::Refused)
        return QStringLiteral("la impresora \"%1\" %2").arg(printer, reason);
    return reason;
}

PrinterStatus defaultPrinterStatus()
{
    return lookUp(QString()).status;
}

PrintResult printPdf(const QByteArray& pdf, const QString& title, const QString& printer)
{
    Destination d = lookUp(printer);
    PrintResult result;
    result.printer = d.status.printer;
    result.paused = d.status.paused;
    if (d.status.service != PrinterStatus::Service::Answers) {
        result.outcome = PrintResult::Outcome::NoService;
        result.reason = QStringLiteral("el servicio de impresión no responde");
        return result;
    }
    if (!d.dest) {
        result.outcome = PrintResult::Outcome::NoPrinter;
        result.reason = printer.isEmpty() ? QStringLiteral("no hay ninguna impresora predeterminada")
                                          : QStringLiteral("no existe la impresora \"%1\"").arg(printer);
        return result;
    }
    result.outcome = PrintResult::Outcome::Refused;
    http_t* http = d.http.get();
    cups_dest_t* dest = d.dest.get();
    if (!d.info) {
        result.reason = QStringLiteral("no responde a la consulta de sus características (%1)").arg(serviceWords());
        return result;
    }

    // A queue left on Letter would otherwise print the A4 sheet on Letter and lose its top lines; a printer
    // without A4 gets the whole sheet scaled down instead.
    cups_option_t* rawOptions = nullptr;
    int count = 0;
    if (d.status.hasA4) {
        count = cupsAddOption(CUPS_MEDIA, CUPS_MEDIA_A4, count, &rawOptions);
    } else {
        count = cupsAddOption("fit-to-page", "true", count, &rawOptions);
        count = cupsAddOption("print-scaling", "fit", count, &rawOptions);
    }
    std::unique_ptr<cups_option_t, OptionsFree> options(rawOptions, OptionsFree{count});

    const QByteArray name = title.toUtf8();
    int jobId = 0;
    ipp_status_t status = cupsCreateDestJob(http, dest, d.info.get(), &jobId, name.constData(), count, rawOptions);
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0) {
        result.reason = refusal(status);
        return result;
    }
    bool sent = cupsStartDestDocument(http, dest, d.info.get(), jobId, name.constData(), CUPS_FORMAT_PDF, 0, nullptr,
                                      1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype Chunk = 64 * 1024;
    for (qsizetype at = 0; sent && at < pdf.size(); at += Chunk)
        sent = cupsWriteRequestData(http, pdf.constData() + at, size_t(qMin(Chunk, pdf.size() - at))) ==
               HTTP_STATUS_CONTINUE;
    status = cupsFinishDestDocument(http, dest, d.info.get());
    if (!sent || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        result.reason = refusal(status);
        // A job left without its document would sit in the queue for ever.
        cupsCancelDestJob(http, dest, jobId);
        return result;
    }
    result.outcome = PrintResult::Outcome::Printed;
    result.jobId = jobId;
    return result;
}

PrintResult printReport(Report& report, const QString& printer, PageRange range)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        // The document exportPdf writes, limited to the pages asked for.
        QPdfWriter writer(&pdf);
        writer.setResolution(PdfResolution);
        writer.setCreator(QStringLiteral("Quorvel"));
        writer.setTitle(report.title);
        paintReport(report, writer, range);
    }
    return printPdf(pdf.data(), report.title, printer);
}

PrintResult printImage(const QImage& image, const QString& title, const QString& printer)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(PdfResolution);
        writer.setCreator(QStringLiteral("Quorvel"));
        writer.setTitle(title);
        writer.setPageSize(QPageSize(QPageSize::A4));
        // A year view is wider than tall: lying down it keeps its on-screen size.
        writer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const qreal scale = writer.resolution() / 96.0;
        QSizeF size = QSizeF(image.size()) / image.devicePixelRatio() * scale;
        // Never cut the picture: shrink it to the page when it would not fit.
        const QSizeF page = writer.pageLayout().paintRectPixels(writer.resolution()).size();
        if (size.width() > page.width() || size.height() > page.height())
            size.scale(page, Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF(0, 0), size), image);
    }
    return printPdf(pdf.data(), title, printer);
}

} // namespace reports
