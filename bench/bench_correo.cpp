// Mails 200 centre PDFs (two companies of 100 centres, about 40 KB each) to a real SMTPS server on loopback,
// one connection per message as the program sends them, with 1 and then 4 messages at once (or the numbers
// given), and prints for each the total time, messages per second and the speed-up against one at a time.
// With --ligero the server takes each message unread, so the time is the sender's: the test server's strict
// check of every message, in Python on one core, otherwise sets the pace.
// Usage: bench_correo [MESSAGES] [--conexiones N]... [--ligero]  (200 messages, 1 and 4 connections by default)
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
    int total = 200;
    QList<int> rondas;
    bool ligero = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QStringLiteral("--ligero")) {
            ligero = true;
        } else if (args.at(i) == QStringLiteral("--conexiones") && i + 1 < args.size()) {
            const int n = args.at(++i).toInt();
            if (n < 1 || n > kConexionesMaximo) {
                std::fprintf(stderr, "--conexiones must be between 1 and %d\n", kConexionesMaximo);
                return 2;
            }
            rondas << n;
        } else {
            total = args.at(i).toInt();
        }
    }
    if (rondas.isEmpty())
        rondas = {1, 4};
    if (total < 1 || total > 9900) {
        std::fprintf(stderr, "MESSAGES must be between 1 and 9900\n");
        return 2;
    }
    const QString falta = ServidorSmtps::faltaAlgo();
    if (!falta.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(falta));
        return 1;
    }
    ServidorSmtps servidor(ligero ? ServidorSmtps::Modo::Ligero : ServidorSmtps::Modo::Tls);
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
    std::printf("%lld mensajes, anexo de %lld bytes, servidor %s\n", static_cast<long long>(nombres.size()),
                static_cast<long long>(pdf.size()),
                ligero ? "ligero (no lee los mensajes)" : "que revisa cada mensaje");
    double uno = 0;
    bool bien = true;
    for (const int conexiones : rondas) {
        EnvioPdf envio(db, cuenta);
        const qsizetype antes = servidor.mensajes().size();
        QElapsedTimer reloj;
        reloj.start();
        int enviados = 0;
        // Every round sends every file again: the register would otherwise leave them out as sent.
        envio.enviarFicheros(carpeta, nombres, kAsuntoCorreo, kTextoCorreo, true, conexiones,
                             [&](int, const ResultadoFichero& r) {
                                 if (r.enviado)
                                     ++enviados;
                                 else
                                     std::fprintf(stderr, "%s\n", qPrintable(r.lineas.join(u'\n')));
                             });
        const double segundos = reloj.nsecsElapsed() / 1e9;
        const qsizetype recibidos = servidor.mensajes().size() - antes;
        if (conexiones == 1)
            uno = segundos;
        std::printf("%d conexiones: %d enviados, %lld recibidos, %.2f s, %.1f mensajes/s", conexiones, enviados,
                    static_cast<long long>(recibidos), segundos, enviados / segundos);
        if (uno > 0 && conexiones != 1)
            std::printf(", %.2f veces más rápido que con 1", uno / segundos);
        std::printf("\n");
        bien = bien && enviados == total && recibidos == total;
    }
    return bien ? 0 : 1;
}
