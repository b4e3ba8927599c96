// Writes 7,200 sheets (20 centres x 30 workers x 12 months) through the PDF output run, then draws the
// same pages with a bare QPdfWriter, and prints throughput, size and peak memory.
// Usage: bench_hojas [ROUNDS]  (3 by default)
#include "data/TMD.h"
#include "reports/Layout.h"
#include "reports/PdfExport.h"
#include "sheets/ListasSeleccion.h"
#include "sheets/Listado.h"
#include "sheets/SalidaHojas.h"
#include "sheets/TFormImpHojaDef.h"
#include "store/Database.h"
#include "support/Fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>
#include <sys/resource.h>

namespace {

constexpr int kCentros = 20;
constexpr int kTrabajadores = 30;
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
    InteraccionBench(store::Database& db, const QStringList& centros) : m_db(db), m_centros(centros) {}
    void mensaje(const QString& texto) override { std::fprintf(stderr, "%s\n", qPrintable(texto)); }
    QStringList seleccionarCentro(int posicion) override
    {
        return entradasTrabajadores(m_db, codigoEntrada(m_centros.at(posicion)));
    }
    reports::PrintResult imprimir(TFormImpHojaDef&, ModoSalida) override { return {}; }

private:
    store::Database& m_db;
    QStringList m_centros;
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

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    TMD md(QDir(dir.path()).filePath(QStringLiteral("Quorvel.abs")));
    store::Database& db = md.Quorvel();

    {
        store::Transaction tx(db);
        const qint64 empresa = fixture::empresa(db, QStringLiteral("BENCH, S.A."), QStringLiteral("A00000000"),
                                                QStringLiteral("28/0000000/00"));
        fixture::festivosNacionales(db, 2026);
        for (int c = 0; c < kCentros; ++c) {
            const auto centro = fixture::centro(db, empresa, QStringLiteral("%1").arg(c + 10),
                                                QStringLiteral("CENTRO %1").arg(c + 1));
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
    peticion.todosCentros = true;
    peticion.todosTrabajadores = true;
    peticion.mesInicio = QDate(2026, 1, 1);
    peticion.mesFin = QDate(2026, kMeses, 1);
    peticion.opciones = {true, true, true, false, true, true};
    peticion.modo = ModoSalida::Pdf;
    peticion.rutaPdf = QDir(dir.path()).filePath(QStringLiteral("PDF"));
    InteraccionBench interaccion(db, peticion.centros);

    // The machine is shared: alternate engine and bare runs and keep the median of each.
    const int rondas = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    std::vector<double> tiemposMotor;
    std::vector<double> tiemposDirecto;
    QElapsedTimer reloj;
    reloj.start();
    ResultadoSalida r = GenerarFicheroImprimir(db, peticion, interaccion);
    tiemposMotor.push_back(reloj.nsecsElapsed() / 1e9);
    const long memoriaMotor = picoMemoriaKb();
    const int hojas = kCentros * kTrabajadores * kMeses;
    const qint64 bytes = tamanoCarpeta(peticion.rutaPdf);

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
    const double porHojaExtra =
        double(bytes / kCentros - bytesUna) / double(kTrabajadores * kMeses - 1);

    // The bare writer: the laid-out first sheet, drawn as many times into as many files.
    TFormImpHojaDef hoja(db, true);
    hoja.SombSabados = hoja.SombDomingos = hoja.SombFestivos = true;
    hoja.AbrirFicheros();
    const reports::Page pagina = reports::LayoutEngine::layoutAll(hoja.QRImpHojaDef()).front();
    const QString carpetaDirecta = QDir(dir.path()).filePath(QStringLiteral("DIRECTO"));
    QDir().mkpath(carpetaDirecta);
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
    tiemposDirecto.push_back(directo());
    for (int ronda = 1; ronda < rondas; ++ronda) {
        reloj.restart();
        r = GenerarFicheroImprimir(db, peticion, interaccion);
        tiemposMotor.push_back(reloj.nsecsElapsed() / 1e9);
        tiemposDirecto.push_back(directo());
    }
    const auto mediana = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double segundosMotor = mediana(tiemposMotor);
    const double segundosDirecto = mediana(tiemposDirecto);

    const double hojasSegundo = hojas / segundosMotor;
    const double directoSegundo = hojas / segundosDirecto;
    std::printf("hojas escritas:            %d en %d ficheros (%lld esperados)\n", hojas, int(r.ficheros.size()),
                static_cast<long long>(kCentros));
    std::printf("rondas:                    %d (medianas)\n", rondas);
    std::printf("tiempo del proceso:        %.2f s\n", segundosMotor);
    std::printf("hojas por segundo:         %.0f\n", hojasSegundo);
    std::printf("bytes por hoja (media):    %.0f\n", double(bytes) / hojas);
    std::printf("bytes por hoja adicional:  %.0f (fichero de una hoja: %lld bytes)\n", porHojaExtra,
                static_cast<long long>(bytesUna));
    std::printf("memoria máxima (proceso):  %.1f MB\n", memoriaMotor / 1024.0);
    std::printf("QPdfWriter directo:        %.0f hojas/s (%.2f s)\n", directoSegundo, segundosDirecto);
    std::printf("motor / directo:           %.0f %%\n", 100.0 * hojasSegundo / directoSegundo);
    return r.ficheros.size() == kCentros ? 0 : 1;
}
