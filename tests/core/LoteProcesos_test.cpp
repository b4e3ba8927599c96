// Several copies of the batch tool on one database at the same time, as real processes.
#include "base/TextHelpers.h"
#include "data/Constantes.h"
#include "data/TMD.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/Poppler.h"
#include "support/TempDir.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kTrabajadoresPorCentro = 3;
constexpr int kCentros = 8;
constexpr int kMeses = 2; // 201901-201902

// Two companies of eight centres each; every worker's name says where the worker belongs.
class LoteProcesosTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        store::Database& db = md.Quorvel();
        for (int e = 1; e <= 2; ++e) {
            const qint64 id =
                fixture::empresa(db, QStringLiteral("EMPRESA %1").arg(e), QStringLiteral("B0000000%1").arg(e),
                                 QStringLiteral("28/000000%1").arg(e));
            empresas << id;
            for (int c = 1; c <= kCentros; ++c) {
                const auto centro =
                    fixture::centro(db, id, QStringLiteral("0%1").arg(c), QStringLiteral("CENTRO %1").arg(c));
                for (int t = 1; t <= kTrabajadoresPorCentro; ++t) {
                    const QString nombre =
                        QStringLiteral("PERSONA E%1C%2 %3").arg(e).arg(c).arg(t, 2, 10, QLatin1Char('0'));
                    fixture::asignar(db,
                                     fixture::trabajador(db, nombre, QStringLiteral("NIF"), QStringLiteral("NSS"),
                                                         QStringLiteral("C"), QStringLiteral("40 HORAS")),
                                     centro.codcentro);
                    trabajadores[centro.codcentro] << nombre;
                }
                idsCentros[centro.codcentro] = centro.id;
            }
        }
    }

    std::unique_ptr<QProcess> lanzar(const QStringList& argumentos)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QStringLiteral(QUORVEL_LOTE),
                 QStringList{QStringLiteral("--base"), dir.file(QStringLiteral("Quorvel.abs")), QStringLiteral("--mes"),
                             QStringLiteral("201901"), QStringLiteral("--hasta"), QStringLiteral("201902")} +
                     argumentos);
        return p;
    }

    // The worker names on the pages of a PDF, one per sheet.
    static QStringList nombres(const QString& pdf)
    {
        static const QRegularExpression re(QStringLiteral("PERSONA E\\dC\\d \\d\\d"));
        QStringList out;
        for (auto it = re.globalMatch(poppler::texto(pdf)); it.hasNext();)
            out << it.next().captured(0);
        out.sort();
        return out;
    }

    QStringList esperados(const QString& codcentro) const
    {
        QStringList out;
        for (const QString& n : trabajadores.value(codcentro))
            for (int m = 0; m < kMeses; ++m)
                out << n;
        out.sort();
        return out;
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    QList<qint64> empresas;
    QMap<QString, QStringList> trabajadores; // by centre code
    QMap<QString, qint64> idsCentros;
};

struct Ejecucion
{
    QString carpeta;
    QStringList centros;
    std::unique_ptr<QProcess> proceso;
};

TEST_F(LoteProcesosTest, FourRunsAtOnceEachPrintOnlyTheirOwnWorkers)
{
    for (int ronda = 0; ronda < 3; ++ronda) {
        // Each run its own folder; every centre boundary of one run is a chance to meet another's rows.
        std::vector<Ejecucion> ejecuciones;
        for (int i = 0; i < 4; ++i) {
            const int empresa = i % 2;
            Ejecucion x;
            x.carpeta = dir.file(QStringLiteral("r%1_%2").arg(ronda).arg(i));
            for (int c = 1; c <= kCentros; ++c)
                x.centros << CerosIzquierda(empresas[empresa], 2) + QStringLiteral("0%1").arg(c);
            if (i == 3) {
                // A single centre among the whole-company runs.
                x.centros = QStringList{x.centros.at(2)};
                x.proceso =
                    lanzar({QStringLiteral("--centro"), x.centros.first(), QStringLiteral("--carpeta"), x.carpeta});
            } else {
                x.proceso = lanzar({QStringLiteral("--empresa"), QString::number(empresas[empresa]),
                                    QStringLiteral("--carpeta"), x.carpeta});
            }
            ejecuciones.push_back(std::move(x));
        }

        for (Ejecucion& x : ejecuciones) {
            ASSERT_TRUE(x.proceso->waitForFinished(120000));
            EXPECT_EQ(x.proceso->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(x.proceso->exitCode(), 0) << x.proceso->readAll().toStdString();
            QStringList ficheros;
            for (const QString& c : x.centros)
                ficheros << QStringLiteral("Quorvel_%1_201901-201902.pdf").arg(c);
            EXPECT_EQ(QDir(x.carpeta).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name), ficheros);
            for (const QString& c : x.centros) {
                const QString pdf = QDir(x.carpeta).filePath(QStringLiteral("Quorvel_%1_201901-201902.pdf").arg(c));
                EXPECT_EQ(nombres(pdf), esperados(c)) << "round " << ronda << ", " << pdf.toStdString();
            }
        }
    }
}

TEST_F(LoteProcesosTest, ACentreRecodedOverAndOverDuringRunsIsPrintedOrTheRunSaysItIsIncomplete)
{
    // Another copy's clerk changes centre 3's short code back and forth while runs print the company.
    const QString empresa = CerosIzquierda(empresas[0], 2);
    const QString original = empresa + QStringLiteral("03");
    QProcess cambios;
    cambios.setProcessChannelMode(QProcess::MergedChannels);
    cambios.start(QStringLiteral(QUORVEL_STORE_WRITER),
                  {dir.file(QStringLiteral("Quorvel.abs")), QStringLiteral("--recodificar"),
                   QString::number(idsCentros.value(original)), QStringLiteral("93"), QStringLiteral("03"),
                   QStringLiteral("12000")});
    ASSERT_TRUE(cambios.waitForStarted());
    QStringList todos;
    for (const QString& c : trabajadores.keys())
        if (c.startsWith(empresa))
            todos << esperados(c);
    todos.sort();

    int ronda = 0;
    for (; ronda < 12 && cambios.state() == QProcess::Running; ++ronda) {
        const QString carpeta = dir.file(QStringLiteral("cambio%1").arg(ronda));
        for (const int hilos : {1, 2}) {
            auto lote = lanzar({QStringLiteral("--empresa"), QString::number(empresas[0]), QStringLiteral("--carpeta"),
                                carpeta, QStringLiteral("--hilos"), QString::number(hilos)});
            ASSERT_TRUE(lote->waitForFinished(120000));
            const QString salida = QString::fromUtf8(lote->readAll());
            QStringList impresos;
            for (const QString& pdf : QDir(carpeta).entryList({QStringLiteral("*.pdf")}, QDir::Files))
                impresos << nombres(QDir(carpeta).filePath(pdf));
            impresos.sort();
            if (lote->exitCode() == 0) {
                EXPECT_EQ(impresos, todos)
                    << "a run that ended well left sheets out (round " << ronda << ", " << hilos << " workers):\n"
                    << salida.toStdString();
                EXPECT_FALSE(salida.contains(QStringLiteral("no tiene trabajadores"))) << salida.toStdString();
            } else {
                EXPECT_EQ(lote->exitCode(), 1) << salida.toStdString();
                EXPECT_TRUE(salida.contains(QStringLiteral("no impreso"))) << salida.toStdString();
            }
        }
    }
    cambios.waitForFinished(30000);
    EXPECT_EQ(cambios.exitCode(), 0) << cambios.readAll().toStdString();
    EXPECT_GE(ronda, 3) << "the code changes ended before the runs could meet them";
}

} // namespace
