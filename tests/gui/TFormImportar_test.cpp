// The import window and the main window's import, export and doubtful-data entries, driven as a clerk does.
#include "masterdata/TFormDatosDudosos.h"
#include "masterdata/TFormImportar.h"
#include "masterdata/TFormManEmpresas.h"
#include "masterdata/TFormManTrabajadores.h"
#include "support/FicheroImportacion.h"
#include "support/InteraccionGuion.h"
#include "support/Modales.h"

#include "PralPruebas.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

namespace {

class ImportarTest : public PralTest
{
protected:
    QString escribir(const QString& nombre, const QByteArray& bytes)
    {
        const QString ruta = m_dir.file(nombre);
        QFile f(ruta);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return ruta;
    }
    static QByteArray leer(const QString& ruta)
    {
        QFile f(ruta);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    qint64 cuenta(const QString& tabla)
    {
        store::Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM ") + tabla);
        st.step();
        return st.integer(0);
    }
    // With QUORVEL_CAPTURAS naming a folder, the window is saved there as a PNG file too.
    static void guardar(QWidget* w, const QString& nombre)
    {
        const QString carpeta = qEnvironmentVariable("QUORVEL_CAPTURAS");
        if (!carpeta.isEmpty() && QDir().mkpath(carpeta)) {
            EXPECT_TRUE(w->grab().save(QDir(carpeta).filePath(nombre)));
        }
    }
    static QString celda(QTableView* grid, int fila, int columna)
    {
        return grid->model()->index(fila, columna).data().toString();
    }
    QStringList textosMenu(const char* menu)
    {
        QStringList out;
        for (QAction* a : m_ventana->menuBar()->findChild<QMenu*>(QString::fromLatin1(menu))->actions())
            out << a->text();
        return out;
    }
};

TEST_F(ImportarTest, TheClerkSeesThePreviewImportsTheAcceptedRowsAndSeesNoChangesAfter)
{
    InteraccionGuion guion;
    const QString hoja = escribir(QStringLiteral("clientes.csv"), fixture::ficheroImportacion(20));
    const qint64 antes = cuenta(QStringLiteral("trabajadores"));
    TFormImportar ventana(*m_md);
    ventana.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));
    auto* importar = ventana.findChild<QPushButton*>(QStringLiteral("BotImportar"));
    auto* grid = ventana.findChild<QTableView*>(QStringLiteral("GridVista"));
    auto* totales = ventana.findChild<QLabel*>(QStringLiteral("LTotales"));
    EXPECT_FALSE(importar->isEnabled());

    // A template first, to see what the columns are called.
    const QString plantilla = m_dir.file(QStringLiteral("plantilla.csv"));
    guion.ficherosElegidos = {plantilla};
    QTest::mouseClick(ventana.findChild<QPushButton*>(QStringLiteral("BotPlantilla")), Qt::LeftButton);
    EXPECT_TRUE(leer(plantilla).startsWith("\xEF\xBB\xBF"
                                           "empresa_cif;empresa_nombre;empresa_ccc;centro_codigo;"));
    EXPECT_TRUE(guion.mensajes.last().startsWith(QStringLiteral("Plantilla guardada en ")));

    guion.ficherosElegidos = {hoja};
    QTest::mouseClick(ventana.findChild<QPushButton*>(QStringLiteral("BotAbrir")), Qt::LeftButton);
    ASSERT_EQ(grid->model()->rowCount(), 26);
    QStringList titulos;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titulos << grid->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titulos, (QStringList{QStringLiteral("Fila"), QStringLiteral("Estado"), QStringLiteral("CIF"),
                                    QStringLiteral("Centro"), QStringLiteral("Trabajador"), QStringLiteral("Detalle"),
                                    QStringLiteral("Avisos")}));
    EXPECT_EQ(celda(grid, 0, 1), QStringLiteral("alta con aviso"));
    EXPECT_EQ(celda(grid, 0, 4), QStringLiteral("10000000Z PEÑA MUÑOZ, ÁNGEL 0000"));
    EXPECT_EQ(celda(grid, 20, 1), QStringLiteral("rechazada"));
    EXPECT_EQ(celda(grid, 20, 5), QStringLiteral("Falta el NIF del trabajador"));
    EXPECT_EQ(totales->text(),
              QStringLiteral("Empresas: 2 nuevas, 0 modificadas. Centros: 5 nuevos, 0 modificados. Trabajadores: 20 "
                             "nuevos, 0 modificados. Asignaciones nuevas: 20. Filas: 26, rechazadas 6, con aviso 1, "
                             "sin cambios 0.\nColumnas desconocidas, no se importan: observaciones."));
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), antes) << "nothing is written before Importar";
    guardar(&ventana, QStringLiteral("importar-vista-previa.png"));

    // Answering No to the refused rows writes nothing; Yes imports the others.
    guion.respuestas = {false, true};
    QTest::mouseClick(importar, Qt::LeftButton);
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), antes);
    QTest::mouseClick(importar, Qt::LeftButton);
    EXPECT_EQ(guion.confirmaciones.last(),
              QStringLiteral("Confirmación: 6 filas están rechazadas y no se importarán.\n¿Importar las demás?"));
    EXPECT_TRUE(guion.mensajes.last().startsWith(
        QStringLiteral("Importación terminada. Empresas: 2 nuevas, 0 modificadas. Centros: 5 nuevos")));
    EXPECT_EQ(cuenta(QStringLiteral("trabajadores")), antes + 20);
    EXPECT_EQ(celda(grid, 0, 1), QStringLiteral("sin cambios con aviso"));
    EXPECT_FALSE(importar->isEnabled());
}

TEST_F(ImportarTest, TheMenusOfferImportExportAndTheDoubtfulData)
{
    InteraccionGuion guion;
    abrir();
    EXPECT_EQ(textosMenu("Mantenimiento"),
              (QStringList{QStringLiteral("Empresas/centros/trabajadores"), QStringLiteral("Mantenimiento Calendarios"),
                           QString(), QStringLiteral("Importar…"), QStringLiteral("Exportar…"), QString(),
                           QStringLiteral("Constantes"), QStringLiteral("Envíos realizados")}));
    EXPECT_EQ(textosMenu("Procesos").mid(0, 2),
              (QStringList{QStringLiteral("Búsqueda trabajadores"), QStringLiteral("Datos dudosos")}));

    const QString salida = m_dir.file(QStringLiteral("datos.csv"));
    guion.ficherosElegidos = {salida};
    control<QAction>("ManExportar")->trigger();
    EXPECT_EQ(guion.mensajes.last(), QStringLiteral("Empresas, centros y trabajadores exportados a %1.").arg(salida));
    const QByteArray exportado = leer(salida);
    EXPECT_TRUE(exportado.contains(";TRANSPORTES ÁLAMO, S.L.;"));

    QString dudas;
    Modales<TFormDatosDudosos> dudosos({[&](TFormDatosDudosos* d) {
        dudas = d->findChild<QPlainTextEdit*>(QStringLiteral("MemoDudosos"))->toPlainText();
        d->reject();
    }});
    control<QAction>("DatosDudosos")->trigger();
    EXPECT_EQ(dudosos.pendientes(), 0);
    EXPECT_TRUE(dudas.contains(QStringLiteral("«TRANSPORTES ÁLAMO, S.L.»: "))) << qPrintable(dudas);

    // The file the export wrote, imported again, changes nothing.
    Modales<TFormImportar> importar({[&](TFormImportar* v) {
        EXPECT_TRUE(
            v->findChild<QLabel*>(QStringLiteral("LTotales"))->text().startsWith(QStringLiteral("Sin cambios")));
        v->reject();
    }});
    guion.ficherosElegidos = {salida};
    control<QAction>("ManImportar")->trigger();
    EXPECT_EQ(importar.pendientes(), 0);
}

TEST_F(ImportarTest, EditorsWarnBesideAFailingIdentifierAndStillStore)
{
    InteraccionGuion guion;
    TFormManEmpresas empresa(*m_md);
    empresa.IdEmpresaEdit = 0;
    empresa.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&empresa));
    auto* aviso = empresa.findChild<QLabel*>(QStringLiteral("LAvisoDBCIF"));
    ASSERT_TRUE(aviso);
    empresa.findChild<QLineEdit*>(QStringLiteral("DBNOMEMPRESA"))->setText(QStringLiteral("NUEVA"));
    QTest::keyClicks(empresa.findChild<QLineEdit*>(QStringLiteral("DBCIF")), QStringLiteral("a28015864"));
    EXPECT_TRUE(aviso->isVisible());
    EXPECT_EQ(aviso->text(), QStringLiteral("CIF no válido: el dígito de control debería ser 5"));
    QTest::keyClick(empresa.findChild<QLineEdit*>(QStringLiteral("DBCIF")), Qt::Key_Backspace);
    QTest::keyClicks(empresa.findChild<QLineEdit*>(QStringLiteral("DBCIF")), QStringLiteral("5"));
    EXPECT_FALSE(aviso->isVisible());
    QTest::keyClicks(empresa.findChild<QLineEdit*>(QStringLiteral("DBCCC")), QStringLiteral("28/1234567/43"));
    EXPECT_EQ(empresa.findChild<QLabel*>(QStringLiteral("LAvisoDBCCC"))->text(),
              QStringLiteral("CCC no válido: los dígitos de control deberían ser 42"));
    guardar(&empresa, QStringLiteral("empresa-aviso-ccc.png"));
    empresa.BotGrabarClick();
    EXPECT_TRUE(guion.mensajes.isEmpty());
    EXPECT_EQ(empresa.result(), QDialog::Accepted);

    TFormManTrabajadores trabajador(*m_md);
    trabajador.IdTrabajadorEdit = 0;
    trabajador.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&trabajador));
    QTest::keyClicks(trabajador.findChild<QLineEdit*>(QStringLiteral("DBNIF")), QStringLiteral("12345678k"));
    EXPECT_EQ(trabajador.findChild<QLabel*>(QStringLiteral("LAvisoDBNIF"))->text(),
              QStringLiteral("NIF no válido: la letra debería ser Z"));
    QTest::keyClicks(trabajador.findChild<QLineEdit*>(QStringLiteral("DBNSS")), QStringLiteral("28 12345678 40"));
    EXPECT_FALSE(trabajador.findChild<QLabel*>(QStringLiteral("LAvisoDBNSS"))->isVisible());
    guardar(&trabajador, QStringLiteral("trabajador-aviso-nif.png"));
    // The name rule lives in the core and says which field by its caption.
    trabajador.BotGrabarClick();
    EXPECT_EQ(guion.mensajes, QStringList{QStringLiteral("Falta el nombre del trabajador")});
    QTest::keyClicks(trabajador.findChild<QLineEdit*>(QStringLiteral("DBNOMTRABAJADOR")), QStringLiteral("ana"));
    trabajador.BotGrabarClick();
    EXPECT_EQ(trabajador.result(), QDialog::Accepted);
}

} // namespace
