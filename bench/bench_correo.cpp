// Mails 200 centre PDFs (two companies of 100 centres, about 40 KB each) to a real SMTPS server on loopback,
// one connection per message as the program sends them, and prints messages per second and the total.
// Usage: bench_correo [MESSAGES]  (200 by default)
#include "data/Constantes.h"
#include "data/TMD.h"
#include "mail/EnvioPdf.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/ServidorSmtps.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
    if (total < 1 || total > 9900) {
        std::fprintf(stderr, "MESSAGES must be between 1 and 9900\n");
        return 2;
    }
    const QString falta = ServidorSmtps::faltaAlgo();
    if (!falta.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(falta));
        return 1;
    }
    ServidorSmtps servidor;
    const QString error = servidor.arrancar();
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    QTemporaryDir dir;
    TMD md(QDir(dir.path()).filePath(QStringLiteral("Quorvel.abs")));
    store::Database& db = md.Quorvel();
    const QString carpeta = QDir(dir.path()).filePath(QStringLiteral("PDF"));
    QDir().mkpath(carpeta);
    QByteArray pdf("%PDF-1.4\n");
    while (pdf.size() < 40 * 1024)
        pdf.append(char(QRandomGenerator::global()->bounded(256)));
    {
        store::Transaction tx(db);
        qint64 empresa = 0;
        for (int i = 0; i < total; ++i) {
            if (i % 100 == 0)
                empresa = fixture::empresa(db, QStringLiteral("EMPRESA %1").arg(i / 100 + 1),
                                           QStringLiteral("B0000000%1").arg(i / 100),
                                           QStringLiteral("28000000%1").arg(i / 100));
            const auto centro = fixture::centro(db, empresa, QStringLiteral("%1").arg(i % 100, 2, 10, QLatin1Char('0')),
                                                QStringLiteral("CENTRO %1").arg(i), 0, true, true, true,
                                                QStringLiteral("centro%1@ejemplo.es").arg(i));
            QFile f(QDir(carpeta).filePath(QStringLiteral("Quorvel_%1_201905.pdf").arg(centro.codcentro)));
            if (!f.open(QIODevice::WriteOnly) || f.write(pdf) != pdf.size())
                return 1;
        }
        tx.commit();
    }
    const CuentaCorreo cuenta{QStringLiteral("Gestoría"),  QStringLiteral("nominas@ejemplo.es"),
                              QStringLiteral("127.0.0.1"), QString::number(servidor.puerto()),
                              servidor.usuario(),          servidor.clave()};

    const QStringList nombres = ficherosPdf(carpeta);
    EnvioPdf envio(db, cuenta);
    QElapsedTimer reloj;
    reloj.start();
    int enviados = 0;
    for (const QString& nombre : nombres) {
        const ResultadoFichero r = envio.enviarFichero(carpeta, nombre, kAsuntoCorreo, kTextoCorreo);
        if (r.enviado)
            ++enviados;
        else
            std::fprintf(stderr, "%s\n", qPrintable(r.lineas.join(u'\n')));
    }
    const double segundos = reloj.nsecsElapsed() / 1e9;
    const qsizetype recibidos = servidor.mensajes().size();
    std::printf("mensajes enviados: %d de %lld (recibidos por el servidor: %lld)\n", enviados,
                static_cast<long long>(nombres.size()), static_cast<long long>(recibidos));
    std::printf("anexo: %lld bytes por mensaje\n", static_cast<long long>(pdf.size()));
    std::printf("tiempo total: %.2f s\n", segundos);
    std::printf("mensajes por segundo: %.1f\n", enviados / segundos);
    return enviados == total && recibidos == total ? 0 : 1;
}
