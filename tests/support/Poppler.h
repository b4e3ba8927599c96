#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// Reads PDFs back with poppler's command-line tools, as a person's viewer would see them.
namespace poppler {

inline QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString texto(const QString& pdf, int pagina = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (pagina > 0)
        args << QStringLiteral("-f") << QString::number(pagina) << QStringLiteral("-l") << QString::number(pagina);
    return run(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
}

inline int paginas(const QString& pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct Palabra
{
    QString texto;
    double x, y, x2, y2; // millimetres from the page's top-left corner
};

// Words of one page with their boxes.
inline std::vector<Palabra> palabras(const QString& pdf, int pagina = 1)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(pagina),
                                          QStringLiteral("-l"), QString::number(pagina), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Palabra> out;
    constexpr double mm = 25.4 / 72.0;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString t = m.captured(5);
        t.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        out.push_back({t, m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm, m.captured(3).toDouble() * mm,
                       m.captured(4).toDouble() * mm});
    }
    return out;
}

// Days whose line is grey on a page of registration sheets, read from the rendered page as a person sees
// it: every point sampled across the signature cell must be the shading silver.
inline QList<int> diasGrises(const QString& pdf, int pagina = 1)
{
    QTemporaryDir dir;
    const QString png = QDir(dir.path()).filePath(QStringLiteral("pagina"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-singlefile"),
         QStringLiteral("-f"), QString::number(pagina), QStringLiteral("-l"), QString::number(pagina), pdf, png});
    const QImage imagen(png + QStringLiteral(".png"));
    QList<int> dias;
    if (imagen.isNull())
        return {-1}; // no page there: never equal to a list of days
    const auto px = [&](double mm) { return int(mm * 60 / 25.4); };
    // Top margin 5 mm, header 48.2 mm, one 6.9 mm line per day; the signature cell runs from x 130 to 199.8.
    for (int dia = 1; dia <= 31; ++dia) {
        const int y = px(5 + 48.2 + (dia - 1) * 6.9 + 3.4);
        bool gris = true;
        for (double x = 135; x <= 195 && gris; x += 15) {
            const QColor c = imagen.pixelColor(px(x), y);
            gris = qAbs(c.red() - 0xC0) < 8 && qAbs(c.green() - 0xC0) < 8 && qAbs(c.blue() - 0xC0) < 8;
        }
        if (gris)
            dias << dia;
    }
    return dias;
}

} // namespace poppler
