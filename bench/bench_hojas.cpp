// Writes 7,200 sheets (20 centres x 30 workers x 12 months) through the PDF output run, one worker and
// several, then draws the same pages with a bare QPdfWriter (and the ReportLab peer, if given), in
// alternating rounds, and prints throughput, speed-up, size and peak memory.
// Usage: bench_hojas [ROUNDS] [--hilos N] [--centros C] [--trabajadores T] [--par peer_reportlab.py]
//                    [--edicion]
//   --memoria: a single run with the workers of --hilos, for its peak memory.
//   --edicion: a second process stores a worker's record every 50 ms during each parallel run and reports
//   how long its longest store waited.
#include "data/TMD.h"
#include "reports/Layout.h"
#include "reports/PdfExport.h"
#include "sheets/Listado.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/SalidaHojas.h"
#include "sheets/TFormImpHojaDef.h"
#include "store/Database.h"
#include "support/Fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

int kCentros = 20;
int kTrabajadores = 30;
constexpr int kMeses = 12;

long picoMemoriaKb()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

class InteraccionBench : public InteraccionSalida
{
public:
    void mensaje(const QString& texto) override { std::fprintf(stderr, "%s\n", qPrintable(texto)); }
    reports::PrintResult imprimir(TFormImpHojaDef&, ModoSalida) override { return {}; }
};

qint64 tamanoCarpeta(const QString& carpeta)
{
    qint64 total = 0;
    for (const QFileInfo& f : QDir(carpeta).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        total += f.size();
    return total;
}

// The same page drawn straight onto the writer: no database, no bands, no callbacks.
void dibujarDirecto(QPainter& p, const reports::Page& pagina, qreal escala)
{
    QFont fuente;
    for (const auto& item : pagina.items) {
        const QRectF r(item.rect.x() * escala, item.rect.y() * escala, item.rect.width() * escala,
                       item.rect.height() * escala);
        switch (item.kind) {
        case reports::Primitive::Kind::Fill:
            p.fillRect(r, item.background);
            break;
        case reports::Primitive::Kind::Line:
            p.drawLine(r.topLeft(), r.bottomRight());
            break;
        case reports::Primitive::Kind::Text:
            if (fuente.pointSizeF() != item.font.pointSize || fuente.bold() != item.font.bold) {
                fuente = reports::fontFor(item.font);
                p.setFont(fuente);
            }
            p.drawText(r, item.flags | Qt::TextDontClip, item.text);
            break;
        case reports::Primitive::Kind::Rect:
            p.drawRect(r);
            break;
        }
    }
}

// Another copy of the program: stores one worker's record every 50 ms, each in its own write transaction,
// until the file `fin` exists; prints how many it stored and the longest and 99th-percentile wait.
int editar(const QString& base, const QString& fin)
{
    store::Database db(base);
    db.open();
    std::vector<double> esperas;
    QElapsedTimer reloj;
    for (int i = 0; !QFile::exists(fin); ++i) {
        reloj.restart();
        store::Transaction tx(db);
        db.prepare(QStringLiteral("UPDATE trabajadores SET telef = ? WHERE id = 1")).bind(1, QString::number(i)).run();
        tx.commit();
        esperas.push_back(reloj.nsecsElapsed() / 1e6);
        QThread::msleep(50);
    }
    std::sort(esperas.begin(), esperas.end());
    const double p99 = esperas.empty() ? 0 : esperas[std::size_t(double(esperas.size() - 1) * 0.99)];
    std::printf("%zu %.1f %.1f\n", esperas.size(), esperas.empty() ? 0.0 : esperas.back(), p99);
    return 0;
}

struct Espera
{
    int ediciones = 0;
    double maxima = 0, p99 = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QStringLiteral("--editar"))
        return editar(args.at(2), args.at(3));
    int rondas = 3;
    int hilosRun = hilosPorDefecto();
    QString par;
    bool edicion = false;
    bool soloMemoria = false; // one run with the workers of --hilos, for its peak memory only
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QStringLiteral("--hilos") && i + 1 < args.size())
            hilosRun = qMax(1, args.at(++i).toInt());
        else if (a == QStringLiteral("--centros") && i + 1 < args.size())
            kCentros = qMax(1, args.at(++i).toInt());
        else if (a == QStringLiteral("--trabajadores") && i + 1 < args.size())
            kTrabajadores = qMax(1, args.at(++i).toInt());
        else if (a == QStringLiteral("--par") && i + 1 < args.size())
            par = args.at(++i);
        else if (a == QStringLiteral("--edicion"))
            edicion = true;
        else if (a == QStringLiteral("--memoria"))
            soloMemoria = true;
        else
            rondas = qMax(1, a.toInt());
    }
    QTemporaryDir dir;
    TMD md(QDir(dir.path()).filePath(QStringLiteral("Quorvel.abs")));
    store::Database& db = md.Quorvel();

    {
        store::Transaction tx(db);
        const qint64 empresa = fixture::empresa(db, QStringLiteral("BENCH, S.A."), QStringLiteral("A00000000"),
                                                QStringLiteral("28/0000000/00"));
        fixture::festivosNacionales(db, 2026);
        for (int c = 0; c < kCentros; ++c) {
            const auto centro =
                fixture::centro(db, empresa, QStringLiteral("%1").arg(c + 10), QStringLiteral("CENTRO %1").arg(c + 1));
            for (int t = 0; t < kTrabajadores; ++t) {
                const qint64 id = fixture::trabajador(db, QStringLiteral("TRABAJADOR %1-%2 PÉREZ").arg(c).arg(t),
                                                      QStringLiteral("%1Z").arg(10000000 + c * 100 + t),
                                                      QStringLiteral("28%1").arg(1000000000 + c * 100 + t),
                                                      t % 3 ? QStringLiteral("C") : QStringLiteral("P"),
                                                      QStringLiteral("40 h/semana"));
                fixture::asignar(db, id, centro.codcentro);
            }
        }
        tx.commit();
    }

    PeticionSalida peticion;
    peticion.centros = entradasCentros(db, 1);
    peticion.idempresa = 1;
    peticion.todosCentros = true;
    peticion.todosTrabajadores = true;
    peticion.mesInicio = QDate(2026, 1, 1);
    peticion.mesFin = QDate(2026, kMeses, 1);
    peticion.opciones = {true, true, true, false, true, true};
    peticion.modo = ModoSalida::Pdf;
    peticion.rutaPdf = QDir(dir.path()).filePath(QStringLiteral("PDF"));
    InteraccionBench interaccion;

    // The machine is shared: alternate the runs and keep the median of each.
    std::vector<double> tiemposMotor;
    std::vector<double> tiemposHilos;
    std::vector<double> tiemposDirecto;
    std::vector<double> tiemposPar;
    Espera espera;
    QElapsedTimer reloj;
    const auto ejecutar = [&](int hilos) {
        PeticionSalida p = peticion;
        p.hilos = hilos;
        std::unique_ptr<QProcess> editor;
        const QString fin = QDir(dir.path()).filePath(QStringLiteral("fin"));
        if (edicion && hilos > 1) {
            QFile::remove(fin);
            editor = std::make_unique<QProcess>();
            editor->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--editar"), db.path(), fin});
            editor->waitForStarted();
            QThread::msleep(300); // its own connection is open before the run starts
        }
        reloj.restart();
        ResultadoSalida res = GenerarFicheroImprimir(db, p, interaccion);
        const double t = reloj.nsecsElapsed() / 1e9;
        if (editor) {
            QFile(fin).open(QIODevice::WriteOnly);
            editor->waitForFinished(60000);
            const QStringList campos = QString::fromUtf8(editor->readAllStandardOutput()).split(u' ');
            if (campos.size() == 3) {
                espera.ediciones += campos[0].toInt();
                espera.maxima = qMax(espera.maxima, campos[1].toDouble());
                espera.p99 = qMax(espera.p99, campos[2].toDouble());
            }
        }
        return std::make_pair(t, res);
    };
    const auto peer = [&] {
        if (par.isEmpty())
            return;
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {par, QDir(dir.path()).filePath(QStringLiteral("PAR")), QString::number(kCentros),
                      QString::number(kTrabajadores * kMeses)});
        python.waitForFinished(-1);
        const auto m = QRegularExpression(QStringLiteral("in ([\\d.]+) s")).match(QString::fromUtf8(python.readAll()));
        if (m.hasMatch())
            tiemposPar.push_back(m.captured(1).toDouble());
    };
    if (soloMemoria) {
        QElapsedTimer t;
        t.start();
        const ResultadoSalida m = ejecutar(hilosRun).second;
        std::printf("hojas escritas:            %d en %d ficheros, %d hilos, %.1f s\n",
                    kCentros * kTrabajadores * kMeses, int(m.ficheros.size()), hilosRun, t.nsecsElapsed() / 1e9);
        std::printf("memoria máxima (proceso):  %.1f MB\n", picoMemoriaKb() / 1024.0);
        return int(m.ficheros.size()) == kCentros ? 0 : 1;
    }
    auto [primero, r] = ejecutar(1);
    tiemposMotor.push_back(primero);
    const long memoriaMotor = picoMemoriaKb();
    const int hojas = kCentros * kTrabajadores * kMeses;
    const qint64 bytes = tamanoCarpeta(peticion.rutaPdf);
    if (hilosRun > 1)
        tiemposHilos.push_back(ejecutar(hilosRun).first);
    peer();

    // One sheet alone, for the cost of each sheet after the first of a file.
    PeticionSalida una = peticion;
    una.todosCentros = false;
    una.centroSeleccionado = 0;
    una.trabajadores = entradasTrabajadores(db, codigoEntrada(peticion.centros.first()));
    una.trabajadorSeleccionado = 0;
    una.todosTrabajadores = false;
    una.mesFin = una.mesInicio;
    una.rutaPdf = QDir(dir.path()).filePath(QStringLiteral("UNA"));
    GenerarFicheroImprimir(db, una, interaccion);
    const qint64 bytesUna = tamanoCarpeta(una.rutaPdf);
    const double porHojaExtra = double(bytes / kCentros - bytesUna) / double(kTrabajadores * kMeses - 1);

    // The bare writer: the laid-out first sheet, drawn as many times into as many files.
    TFormImpHojaDef hoja(db, true);
    hoja.SombSabados = hoja.SombDomingos = hoja.SombFestivos = true;
    hoja.AbrirFicheros();
    const reports::Page pagina = reports::LayoutEngine::layoutAll(hoja.QRImpHojaDef()).front();
    const QString carpetaDirecta = QDir(dir.path()).filePath(QStringLiteral("DIRECTO"));
    QDir().mkpath(carpetaDirecta);
    const bool conDirecto = kTrabajadores * kMeses <= 1000; // a bare comparison, for the usual size only
    const auto directo = [&] {
        QElapsedTimer t;
        t.start();
        for (int c = 0; c < kCentros; ++c) {
            QPdfWriter writer(QDir(carpetaDirecta).filePath(QStringLiteral("directo_%1.pdf").arg(c)));
            writer.setResolution(reports::PdfResolution);
            QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
            layout.setMode(QPageLayout::FullPageMode);
            writer.setPageLayout(layout);
            QPainter p(&writer);
            p.setPen(QPen(Qt::black, 0.2 * reports::PdfResolution / 25.4));
            for (int n = 0; n < kTrabajadores * kMeses; ++n) {
                if (n > 0)
                    writer.newPage();
                dibujarDirecto(p, pagina, reports::PdfResolution / 25.4);
            }
        }
        return t.nsecsElapsed() / 1e9;
    };
    if (conDirecto)
        tiemposDirecto.push_back(directo());
    for (int ronda = 1; ronda < rondas; ++ronda) {
        auto [t, res] = ejecutar(1);
        tiemposMotor.push_back(t);
        r = res;
        if (hilosRun > 1)
            tiemposHilos.push_back(ejecutar(hilosRun).first);
        peer();
        if (conDirecto)
            tiemposDirecto.push_back(directo());
    }
    const auto mediana = [](std::vector<double> v) {
        if (v.empty())
            return 0.0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double segundosMotor = mediana(tiemposMotor);
    const double segundosDirecto = mediana(tiemposDirecto);

    const double hojasSegundo = hojas / segundosMotor;
    const double directoSegundo = conDirecto ? hojas / segundosDirecto : 0;
    const double segundosHilos = mediana(tiemposHilos);
    const double segundosPar = mediana(tiemposPar);
    const double mejor = hilosRun > 1 ? hojas / segundosHilos : hojasSegundo;
    std::printf("hojas escritas:            %d en %d ficheros (%lld esperados)\n", hojas, int(r.ficheros.size()),
                static_cast<long long>(kCentros));
    std::printf("rondas:                    %d (medianas)\n", rondas);
    std::printf("tiempo del proceso:        %.2f s (1 hilo)\n", segundosMotor);
    std::printf("hojas por segundo:         %.0f (1 hilo)\n", hojasSegundo);
    if (hilosRun > 1) {
        std::printf("hojas por segundo:         %.0f (%d hilos, %.2f s)\n", mejor, hilosRun, segundosHilos);
        std::printf("aceleración:               %.2f x un hilo\n", segundosMotor / segundosHilos);
    }
    if (!tiemposPar.empty())
        std::printf("ReportLab (a la vez):      %.0f hojas/s; Quorvel = %.2f x ReportLab\n", hojas / segundosPar,
                    mejor / (hojas / segundosPar));
    if (edicion)
        std::printf("otra copia grabando:       %d grabaciones, espera máxima %.1f ms, p99 %.1f ms\n", espera.ediciones,
                    espera.maxima, espera.p99);
    std::printf("bytes por hoja (media):    %.0f\n", double(bytes) / hojas);
    std::printf("bytes por hoja adicional:  %.0f (fichero de una hoja: %lld bytes)\n", porHojaExtra,
                static_cast<long long>(bytesUna));
    std::printf("memoria máxima (proceso):  %.1f MB (1 hilo), %.1f MB (todo)\n", memoriaMotor / 1024.0,
                picoMemoriaKb() / 1024.0);
    if (conDirecto) {
        std::printf("QPdfWriter directo:        %.0f hojas/s (%.2f s)\n", directoSegundo, segundosDirecto);
        std::printf("motor / directo:           %.0f %%\n", 100.0 * hojasSegundo / directoSegundo);
    }
    return int(r.ficheros.size()) == kCentros ? 0 : 1;
}
