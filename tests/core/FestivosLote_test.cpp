#include "calendars/FestivosOficiales.h"
#include "calendars/GestionCalendarios.h"
#include "data/TMD.h"
#include "sheets/Lote.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

class FestivosLoteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        calendario = int(fixture::calendario(md->Quorvel(), QStringLiteral("Getafe")));
        fixture::festivo(md->Quorvel(), calendario, QDate(2027, 5, 15), 2);
        md.reset(); // the batch opens the file on its own
    }

    QString base() const { return dir.file(QStringLiteral("Quorvel.abs")); }

    int lote(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(QUORVEL_LOTE), args + QStringList{QStringLiteral("--base"), base()});
        EXPECT_TRUE(p.waitForFinished(60000));
        salida = QString::fromUtf8(p.readAllStandardOutput());
        errores = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    }
    int enProceso(const QStringList& args)
    {
        salida.clear();
        errores.clear();
        QTextStream out(&salida);
        QTextStream err(&errores);
        return ejecutarLote(args, base(), out, err);
    }
    QStringList dias(int numero, int anio)
    {
        TMD abierta(base());
        QStringList d;
        for (const auto& [dia, codigo] :
             calendarios::diasCalendario(abierta.Quorvel(), numero, QDate(anio, 1, 1), QDate(anio, 12, 31)))
            d << dia.toString(QStringLiteral("MM-dd")) + u'=' + QString::number(codigo);
        return d;
    }
    QStringList args(const char* texto) const { return QString::fromUtf8(texto).split(u' '); }

    TempDir dir;
    std::unique_ptr<TMD> md = std::make_unique<TMD>(dir.file(QStringLiteral("Quorvel.abs")));
    int calendario = 0;
    QString salida;
    QString errores;
};

TEST_F(FestivosLoteTest, OfficialDaysArePrintedCheckedAndWrittenByTheRealProgram)
{
    const QStringList madrid =
        args("--festivos-oficiales --comunidad md --anio 2027 --calendario") + QStringList{QString::number(calendario)};
    ASSERT_EQ(lote(madrid + QStringList{QStringLiteral("--comprobar")}), 0) << errores.toStdString();
    EXPECT_TRUE(salida.startsWith(QStringLiteral("Aviso: Los festivos de 2027 son provisionales")))
        << salida.toStdString();
    EXPECT_TRUE(salida.contains(QStringLiteral("03/05/2027  1 CC.AA.   Lunes siguiente a Fiesta de la Comunidad de "
                                               "Madrid  (nuevo)")))
        << salida.toStdString();
    EXPECT_TRUE(salida.contains(QStringLiteral("No se ha escrito nada (--comprobar).")));
    EXPECT_EQ(dias(calendario, 2027), QStringList{QStringLiteral("05-15=2")});

    ASSERT_EQ(lote(madrid), 0) << errores.toStdString();
    EXPECT_TRUE(salida.endsWith(QStringLiteral("Días escritos: 12.\n"))) << salida.toStdString();
    const QStringList escritos = dias(calendario, 2027);
    EXPECT_EQ(escritos.join(u' '),
              QStringLiteral("01-01=0 01-06=0 03-19=1 03-25=1 03-26=0 05-01=0 05-03=1 05-15=2 10-12=0 11-01=0 "
                             "12-06=0 12-08=0 12-25=0"));
    // The calendar remembers Madrid: next time no community is needed, and nothing changes.
    ASSERT_EQ(
        enProceso(args("--festivos-oficiales --anio 2027 --calendario") + QStringList{QString::number(calendario)}), 0)
        << errores.toStdString();
    EXPECT_TRUE(salida.endsWith(QStringLiteral("Días escritos: 0.\n")));
    EXPECT_EQ(dias(calendario, 2027), escritos);
}

TEST_F(FestivosLoteTest, UnknownCommunityYearOrCalendarEndsWithASpanishMessage)
{
    EXPECT_EQ(enProceso(args("--festivos-oficiales --comunidad XX --anio 2027")), 2);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("«XX» no es el código de una comunidad autónoma. Códigos: AN, AR, "
                                                  "AS, CB, CE, CL, CM, CN, CT, EX, GA, IB, MC, MD, ML, NC, PV, RI, "
                                                  "VC.")))
        << errores.toStdString();
    EXPECT_EQ(enProceso(args("--festivos-oficiales --comunidad MD --anio 2031")), 2);
    EXPECT_EQ(errores, QStringLiteral("No hay festivos oficiales de 2031; puede importarlos de un fichero "
                                      "(--importar-festivos).\n"));
    EXPECT_EQ(enProceso(args("--festivos-oficiales --comunidad MD --anio dosmil")), 2);
    EXPECT_EQ(enProceso(args("--festivos-oficiales --anio 2027")), 2);
    EXPECT_EQ(errores, QStringLiteral("Indique la comunidad con --comunidad XX: el calendario base no recuerda "
                                      "ninguna.\n"));
    EXPECT_EQ(enProceso(args("--festivos-oficiales --comunidad MD --anio 2027 --calendario 99")), 3);
    EXPECT_EQ(errores, QStringLiteral("No existe el calendario 99.\n"));
    EXPECT_EQ(dias(0, 2027), QStringList());
}

TEST_F(FestivosLoteTest, ImportWritesTheFileDaysOrNothingWhenItIsMalformed)
{
    const QString csv = dir.file(QStringLiteral("getafe.csv"));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("fecha;nombre\n15/05/2027;San Isidro\n07/06/2027;Virgen de los \xc3\x81ngeles\n");
    f.close();
    ASSERT_EQ(enProceso(args("--importar-festivos") + QStringList{csv} + args("--anio 2027 --tipo 1 --calendario") +
                        QStringList{QString::number(calendario)}),
              0)
        << errores.toStdString();
    // The local day already there stays local; the new one takes the type asked for.
    EXPECT_EQ(dias(calendario, 2027), QStringList({QStringLiteral("05-15=2"), QStringLiteral("06-07=1")}));
    ASSERT_EQ(enProceso(args("--importar-festivos") + QStringList{csv} + args("--anio 2027 --reemplazar --calendario") +
                        QStringList{QString::number(calendario)}),
              0);
    EXPECT_EQ(dias(calendario, 2027), QStringList({QStringLiteral("05-15=2"), QStringLiteral("06-07=2")}));

    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("fecha;nombre\n24/06/2027;San Juan\n2027-13-01;Mal\n");
    f.close();
    EXPECT_EQ(enProceso(args("--importar-festivos") + QStringList{csv} + args("--anio 2027")), 1);
    EXPECT_EQ(errores, QStringLiteral("Fila 3: «2027-13-01» no es una fecha (dd/mm/aaaa o aaaa-mm-dd).\nNo se ha "
                                      "escrito nada.\n"));
    EXPECT_EQ(dias(0, 2027), QStringList());
}

} // namespace
