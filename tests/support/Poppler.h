#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
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
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"),
                                                           QString::number(pagina), QStringLiteral("-l"),
                                                           QString::number(pagina), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Palabra> out;
    constexpr double mm = 25.4 / 72.0;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString t = m.captured(5);
        t.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        out.push_back({t, m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm,
                       m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm});
    }
    return out;
}

} // namespace poppler
