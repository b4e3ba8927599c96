#include "data/TMD.h"
#include "masterdata/Exportacion.h"
#include "masterdata/Importacion.h"
#include "masterdata/Maestros.h"
#include "store/Database.h"
#include "support/FicheroImportacion.h"
#include "support/Fixture.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using importacion::Estado;

class ImportacionTest : public ::testing::Test
{
protected:
    store::Database& db() { return m_md.Quorvel(); }
    qint64 cuenta(const QString& tabla, store::Database* base = nullptr)
    {
        store::Statement st = (base ? *base : db()).prepare(QStringLiteral("SELECT count(*) FROM ") + tabla);
        st.step();
        return st.integer(0);
    }
    QString valor(const QString& sql, const QVariant& par = {})
    {
        store::Statement st = db().prepare(sql);
        if (par.isValid())
            st.bind(1, par);
        return st.step() ? st.text(0) : QStringLiteral("<ninguna fila>");
    }
    const importacion::FilaVista& fila(const importacion::Vista& v, int numero)
    {
        for (const auto& f : v.filas)
            if (f.fila == numero)
                return f;
        throw std::runtime_error("no such row");
    }

    TempDir m_dir;
    TMD m_md{m_dir.file(QStringLiteral("Quorvel.abs"))};
};

TEST_F(ImportacionTest, TwoHundredWorkersFromAnExcelFileAllOrNothingOnceAndBackAgain)
{
    const QByteArray fichero = fixture::ficheroImportacion(200);
    const importacion::Vista vista = importacion::preparar(db(), fichero);
    ASSERT_EQ(vista.error, QString());
    EXPECT_EQ(vista.codificacion, csv::Codificacion::Windows1252);
    EXPECT_EQ(vista.separador, u';');
    EXPECT_EQ(vista.desconocidas, QStringList{QStringLiteral("observaciones")});
    const importacion::Totales& t = vista.totales;
    EXPECT_EQ(t.filas, 206);
    EXPECT_EQ(t.empresasNuevas, 2);
    EXPECT_EQ(t.centrosNuevos, 5);
    EXPECT_EQ(t.trabajadoresNuevos, 200);
    EXPECT_EQ(t.asignacionesNuevas, 200);
    EXPECT_EQ(t.filasRechazadas, fixture::kFilasMalas);
    EXPECT_EQ(t.filasConAviso, 4);
    EXPECT_EQ(fila(vista, 2).estado, Estado::Alta);
    EXPECT_EQ(fila(vista, 2).detalle,
              QStringLiteral("empresa nueva; centro nuevo; trabajador nuevo; asignado al centro 01"));
    EXPECT_EQ(fila(vista, 2).avisos,
              QStringList{QStringLiteral("NSS no válido: los dígitos de control deberían ser 40")});
    EXPECT_EQ(fila(vista, 7).detalle, QStringLiteral("trabajador nuevo; asignado al centro 01"));
    // The bad rows, with the record numbers a spreadsheet shows although some records span two lines.
    EXPECT_EQ(fila(vista, 202).detalle, QStringLiteral("Falta el NIF del trabajador"));
    EXPECT_EQ(fila(vista, 203).detalle, QStringLiteral("NIF 99999999R repetido con otro nombre (filas 203, 204)"));
    EXPECT_EQ(fila(vista, 204).estado, Estado::Rechazada);
    EXPECT_EQ(fila(vista, 205).detalle,
              QStringLiteral("El código del centro «0-» debe ser de una o dos letras o cifras"));
    EXPECT_EQ(fila(vista, 206).detalle,
              QStringLiteral("El nombre del centro tiene 21 caracteres y caben 20: «CENTRO NOMBRE LARGO 1»"));
    EXPECT_EQ(fila(vista, 207).detalle, QStringLiteral("Falta el CIF de la empresa"));

    // Refused rows stop the whole import unless only the accepted ones are asked for.
    EXPECT_THROW(importacion::aplicar(db(), vista, false), maestros::Rechazo);
    // A store failure at the last step leaves nothing of the first ones.
    db().exec(QStringLiteral("CREATE TRIGGER falla BEFORE INSERT ON ubicatrabajador BEGIN "
                             "SELECT RAISE(ABORT, 'database or disk is full'); END"));
    EXPECT_THROW(importacion::aplicar(db(), vista, true), store::StoreError);
    for (const char* tabla : {"empresas", "centros", "trabajadores", "ubicatrabajador"})
        EXPECT_EQ(cuenta(QString::fromLatin1(tabla)), 0) << tabla;
    db().exec(QStringLiteral("DROP TRIGGER falla"));

    const importacion::Totales hecho = importacion::aplicar(db(), vista, true);
    EXPECT_EQ(hecho.trabajadoresNuevos, 200);
    EXPECT_EQ(cuenta(QStringLiteral("empresas")), 2);
    EXPECT_EQ(cuenta(QStringLiteral("centros")), 5);
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), 200);
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), 200);
    EXPECT_EQ(valor(QStringLiteral("SELECT nomempresa || '|' || ccc FROM empresas WHERE cif = 'A28015865'")),
              QStringLiteral("TELEFÓNICA; S.A.|28/1234567/42"));
    EXPECT_EQ(
        valor(QStringLiteral("SELECT group_concat(codcentro || '=' || nomcentro || '/' || cp || '/' || calendario "
                             "|| sabados || domingos || festivos, '|') FROM (SELECT * FROM centros ORDER BY id)")),
        QStringLiteral("0101=MADRID – SEDE/08001/0111|0102=ALMACÉN \"NORTE\"/08001/0111|0103=LOGROÑO/08001/0111|"
                       "0201=OBRADOR/08001/0111|0202=DESPACHO/08001/0111"));
    EXPECT_EQ(
        valor(QStringLiteral("SELECT t.nomtrabajador || '|' || tipojornada || '|' || contrato || '|' || codcentro "
                             "FROM trabajadores t JOIN ubicatrabajador u ON u.idtrabajador = t.id WHERE nif = ?"),
              fixture::nif(10000007)),
        QStringLiteral("PEÑA MUÑOZ, ÁNGEL 0007|C|40 h\r\nlunes a viernes|0103"));
    EXPECT_EQ(valor(QStringLiteral("SELECT tipojornada FROM trabajadores WHERE nif = ?"), fixture::nif(10000003)),
              QStringLiteral("P"));

    // The same file again changes nothing.
    const importacion::Vista otra = importacion::preparar(db(), fichero);
    EXPECT_TRUE(otra.totales.sinCambios());
    EXPECT_EQ(otra.totales.filasSinCambios, 200);
    EXPECT_EQ(fila(otra, 2).estado, Estado::SinCambios);
    EXPECT_EQ(importacion::resumen(otra.totales),
              QStringLiteral("Sin cambios en las filas aceptadas. Filas: 206, rechazadas 6, con aviso 4."));

    // Exported and imported into an empty database, the data reads back the same.
    const QByteArray exportado = exportacion::exportar(db());
    EXPECT_TRUE(exportado.startsWith("\xEF\xBB\xBF"
                                     "empresa_cif;empresa_nombre;empresa_ccc;centro_codigo;"));
    TMD vacia(m_dir.file(QStringLiteral("Vacia.abs")));
    const importacion::Vista ida = importacion::preparar(vacia.Quorvel(), exportado);
    EXPECT_EQ(ida.codificacion, csv::Codificacion::Utf8ConBom);
    EXPECT_EQ(ida.totales.filasRechazadas, 0);
    importacion::aplicar(vacia.Quorvel(), ida, false);
    EXPECT_EQ(exportacion::exportar(vacia.Quorvel()), exportado);
    EXPECT_TRUE(importacion::preparar(vacia.Quorvel(), exportado).totales.sinCambios());
}

TEST_F(ImportacionTest, FoundRecordsChangeOnlyWhereTheFileHasAValue)
{
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("ÁLAMO"), QStringLiteral("a-28015865"), {});
    const auto almacen = fixture::centro(db(), empresa, QStringLiteral("01"), QStringLiteral("ALMACÉN"));
    const qint64 ana = fixture::trabajador(db(), QStringLiteral("ANA"), QStringLiteral("12.345.678-z"),
                                           QStringLiteral("281234567840"), QStringLiteral("C"), QStringLiteral("40 H"));
    fixture::asignar(db(), ana, almacen.codcentro);
    const qint64 sinCentro =
        fixture::trabajador(db(), QStringLiteral("LUIS"), fixture::nif(11111111), {}, QStringLiteral("P"), {});

    // UTF-8 without BOM, commas, headers spelled as a clerk spells them, columns in another order.
    const QByteArray fichero =
        QStringLiteral("Trabajador NIF,Trabajador Teléfono,EMPRESA_CIF,Centro Código,Centro Nombre,"
                       "trabajador nombre,Centro CP,Tipo Jornada,Sección\n"
                       "12345678z,611 22 33 44,A28015865,02,\"TIENDA, CENTRO\",,,,X\n"
                       "12345678Z,,A28015865,01,,,,,\n"
                       "%1,,,,,,,P,\n"
                       "%2,,A28015865,03,OTRA,NUEVO,29abc,,\n"
                       "%3,,A28015865,01,,NUEVA,,X,\n")
            .arg(fixture::nif(11111111), fixture::nif(22222222), fixture::nif(33333333))
            .toUtf8();
    const importacion::Vista v = importacion::preparar(db(), fichero);
    EXPECT_EQ(v.codificacion, csv::Codificacion::Utf8);
    EXPECT_EQ(v.separador, u',');
    EXPECT_EQ(v.desconocidas, QStringList{QStringLiteral("Sección")});
    EXPECT_EQ(fila(v, 2).estado, Estado::Alta);
    EXPECT_EQ(fila(v, 2).detalle, QStringLiteral("centro nuevo; trabajador: cambia teléfono; asignado al centro 02"));
    EXPECT_EQ(fila(v, 3).estado, Estado::SinCambios);
    EXPECT_EQ(fila(v, 4).estado, Estado::SinCambios);
    EXPECT_EQ(fila(v, 5).detalle, QStringLiteral("El código postal debe ser un número: «29abc»"));
    EXPECT_EQ(fila(v, 6).detalle,
              QStringLiteral("El tipo de jornada «X» debe ser C (tiempo completo) o P (tiempo parcial)"));
    EXPECT_EQ(v.totales.empresasNuevas + v.totales.empresasModificadas, 0);

    importacion::aplicar(db(), v, true);
    const auto leida = maestros::leerTrabajador(db(), ana);
    EXPECT_EQ(leida->nomtrabajador, QStringLiteral("ANA"));
    EXPECT_EQ(leida->nif, QStringLiteral("12.345.678-z"));
    EXPECT_EQ(leida->telef, QStringLiteral("611 22 33 44"));
    EXPECT_EQ(leida->contrato, QStringLiteral("40 H"));
    EXPECT_EQ(maestros::centrosDeTrabajador(db(), ana), (QStringList{almacen.codcentro, QStringLiteral("0102")}));
    EXPECT_EQ(maestros::leerTrabajador(db(), sinCentro)->tipojornada, QStringLiteral("P"));
    EXPECT_EQ(cuenta(QStringLiteral("empresas")), 1);
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), 2);
    // A stored NIF under another name is more likely a mistyped NIF than a new name: the row says so.
    const importacion::Vista renombre = importacion::preparar(
        db(), QStringLiteral("Trabajador NIF;Trabajador Nombre\n%1;Pedro\n").arg(fixture::nif(11111111)).toUtf8());
    EXPECT_EQ(fila(renombre, 2).avisos, QStringList{QStringLiteral("El NIF %1 es de «LUIS»: se le cambia el nombre a "
                                                                   "«PEDRO»")
                                                        .arg(fixture::nif(11111111))});

    // A tab-separated file, where a tab is never taken for padding.
    const importacion::Vista tab = importacion::preparar(
        db(), QByteArray("empresa_cif\tcentro_codigo\tcentro_nombre\nA28015865\t01\t ALMACÉN \n"));
    EXPECT_EQ(tab.separador, u'\t');
    EXPECT_EQ(fila(tab, 2).estado, Estado::SinCambios);
    // Excel's own first line naming the separator, whatever the rest holds.
    const importacion::Vista sep = importacion::preparar(
        db(), QByteArray("sep=,\r\nempresa_cif,centro_codigo,centro_nombre;x\r\nA28015865,01,ALMAC\xC9N\r\n"));
    EXPECT_EQ(sep.separador, u',');
    EXPECT_EQ(sep.codificacion, csv::Codificacion::Windows1252);
    EXPECT_EQ(sep.desconocidas, QStringList{QStringLiteral("centro_nombre;x")});

    EXPECT_EQ(importacion::preparar(db(), QByteArray("nombre;apellidos\nA;B\n")).error,
              QStringLiteral("La primera fila del fichero no nombra ninguna columna conocida (como empresa_cif, "
                             "centro_codigo o trabajador_nif)."));
    EXPECT_EQ(importacion::preparar(db(), QByteArray()).error, QStringLiteral("El fichero está vacío."));
}

TEST_F(ImportacionTest, AnotherCopyThatChangedARecordMeanwhileStopsTheImport)
{
    const qint64 empresa = fixture::empresa(db(), QStringLiteral("ÁLAMO"), QStringLiteral("A28015865"), {});
    fixture::centro(db(), empresa, QStringLiteral("01"), QStringLiteral("ALMACÉN"));
    const qint64 ana =
        fixture::trabajador(db(), QStringLiteral("ANA"), fixture::nif(12345678), {}, QStringLiteral("C"), {});
    const QByteArray fichero =
        QStringLiteral(
            "empresa_cif;empresa_nombre;centro_codigo;centro_nombre;trabajador_nif;trabajador_nombre;contrato\n"
            "A28015865;;01;;%1;ANA;20 H\n"
            "B65410011;ESPIGA;01;OBRADOR;%2;PEPE;\n")
            .arg(fixture::nif(12345678), fixture::nif(87654321))
            .toUtf8();
    const importacion::Vista v = importacion::preparar(db(), fichero);
    ASSERT_EQ(v.totales.filasRechazadas, 0);

    TMD otraCopia(m_dir.file(QStringLiteral("Quorvel.abs")));
    otraCopia.Quorvel().exec(QStringLiteral("UPDATE trabajadores SET telef = '600' WHERE id = %1").arg(ana));
    try {
        importacion::aplicar(db(), v, false);
        ADD_FAILURE() << "imported over a change of another copy";
    } catch (const maestros::Rechazo& r) {
        EXPECT_EQ(r.message(), importacion::textoDatosCambiados());
    }
    EXPECT_EQ(cuenta(QStringLiteral("empresas")), 1);
    EXPECT_EQ(cuenta(QStringLiteral("ubicatrabajador")), 0);

    // A record the preview was going to create, created meanwhile elsewhere.
    const importacion::Vista otra = importacion::preparar(db(), fichero);
    fixture::empresa(otraCopia.Quorvel(), QStringLiteral("ESPIGA"), QStringLiteral("B65410011"), {});
    EXPECT_THROW(importacion::aplicar(db(), otra, false), maestros::Rechazo);
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), 1);

    const importacion::Totales hecho = importacion::aplicar(db(), importacion::preparar(db(), fichero), false);
    EXPECT_EQ(hecho.trabajadoresNuevos, 1);
    EXPECT_EQ(hecho.empresasNuevas, 0);
    EXPECT_EQ(maestros::leerTrabajador(db(), ana)->telef, QStringLiteral("600"));
    EXPECT_EQ(maestros::leerTrabajador(db(), ana)->contrato, QStringLiteral("20 H"));
}

class ImportacionLoteTest : public ImportacionTest
{
protected:
    int lote(const QStringList& argumentos, QString* salida = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(QUORVEL_LOTE),
                argumentos + QStringList{QStringLiteral("--base"), m_dir.file(QStringLiteral("Quorvel.abs"))});
        p.waitForFinished(60000);
        if (salida)
            *salida = QString::fromUtf8(p.readAll());
        return p.exitCode();
    }
    QString escribir(const QByteArray& bytes)
    {
        const QString ruta = m_dir.file(QStringLiteral("hoja.csv"));
        QFile f(ruta);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return ruta;
    }
};

TEST_F(ImportacionLoteTest, TheBatchPrintsThePreviewAndImportsAllOrNothing)
{
    cuenta(QStringLiteral("empresas")); // creates the database file
    const QString hoja = escribir(fixture::ficheroImportacion(20));
    QString salida;
    EXPECT_EQ(lote({QStringLiteral("--importar"), hoja, QStringLiteral("--comprobar")}, &salida), 1);
    EXPECT_TRUE(salida.contains(QStringLiteral("Fichero: Windows-1252, separador «;».\n"))) << qPrintable(salida);
    EXPECT_TRUE(salida.contains(QStringLiteral("Fila 2: alta con aviso — empresa nueva; centro nuevo; trabajador "
                                               "nuevo; asignado al centro 01 — aviso: NSS no válido: los dígitos "
                                               "de control deberían ser 40\n")));
    EXPECT_TRUE(salida.contains(QStringLiteral("Fila 22: rechazada — Falta el NIF del trabajador\n")));
    EXPECT_TRUE(salida.contains(QStringLiteral("Comprobación: no se ha escrito nada.")));
    EXPECT_EQ(lote({QStringLiteral("--importar"), hoja}, &salida), 1);
    EXPECT_TRUE(salida.contains(QStringLiteral("Hay 6 filas rechazadas: no se ha importado nada.")));
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), 0);

    EXPECT_EQ(lote({QStringLiteral("--importar"), hoja, QStringLiteral("--parcial")}, &salida), 0);
    EXPECT_TRUE(salida.contains(QStringLiteral("Importado. Empresas: 2 nuevas")));
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), 20);
    EXPECT_EQ(lote({QStringLiteral("--importar"), hoja, QStringLiteral("--parcial")}, &salida), 0);
    EXPECT_TRUE(salida.contains(QStringLiteral("Fila 2: sin cambios con aviso")));
    EXPECT_TRUE(salida.contains(QStringLiteral("Nada que importar.")));

    const QString exportado = m_dir.file(QStringLiteral("salida.csv"));
    EXPECT_EQ(lote({QStringLiteral("--exportar"), exportado, QStringLiteral("--empresa"), QStringLiteral("2")}), 0);
    QFile f(exportado);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("_alias\r\nB65410011;PANADERÍA LA ESPIGA SL;08/0000001/27;01;OBRADOR;;;;08001;;"));
    const importacion::Vista vuelta = importacion::preparar(db(), bytes);
    EXPECT_EQ(vuelta.totales.filas, 8); // the 8 workers of company 2, one of them with a two-line contract
    EXPECT_TRUE(vuelta.totales.sinCambios());

    EXPECT_EQ(lote({QStringLiteral("--exportar"), exportado, QStringLiteral("--empresa"), QStringLiteral("9")}), 3);
    EXPECT_EQ(lote({QStringLiteral("--importar"), m_dir.file(QStringLiteral("no.csv"))}), 3);
    EXPECT_EQ(lote({QStringLiteral("--importar"), hoja, QStringLiteral("--empresa"), QStringLiteral("1")}), 2);
    EXPECT_EQ(lote({QStringLiteral("--exportar"), exportado, QStringLiteral("--parcial")}), 2);
}

} // namespace
