#include "gui/MaestrosPruebas.h"

#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManTablas.h"
#include "masterdata/TFormManTrabajadores.h"
#include "masterdata/TFormManTrabajadores2.h"
#include "support/Capturas.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>

// What the user sees of the master data screens on the sample database. With QUORVEL_CAPTURAS naming a
// folder, the windows are also saved there as PNG files (the pictures of the docs folder come from here).
class CapturasMaestrosTest : public MaestrosTest
{
protected:
    void SetUp() override
    {
        MaestrosTest::SetUp();
        m_ejemplo = fixture::crearEjemplo(db());
    }

    // Every visible button shows its whole caption, inside the window.
    static void botonesEnteros(QWidget* ventana)
    {
        for (QPushButton* b : ventana->findChildren<QPushButton*>()) {
            if (!b->isVisible())
                continue;
            const QRect donde(b->mapTo(ventana, QPoint(0, 0)), b->size());
            EXPECT_TRUE(ventana->rect().contains(donde)) << b->objectName().toStdString();
            const QString rotulo = QString(b->text()).remove(QLatin1Char('&'));
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(rotulo) + 8)
                << b->objectName().toStdString() << " is squeezed";
        }
    }

    fixture::Ejemplo m_ejemplo;
};

TEST_F(CapturasMaestrosTest, BrowserShowsTheThreeLevels)
{
    TFormManTablas tablas(*m_md);
    tablas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tablas));
    EXPECT_LE(tablas.frameGeometry().width(), 1024);
    EXPECT_LE(tablas.frameGeometry().height(), 768);
    botonesEnteros(&tablas);
    // The names fit their column.
    auto* trabajadores = hijo<QTableView>(&tablas, "DBTrabajadores");
    const int nombre = trabajadores->horizontalHeader()->sectionSize(3);
    for (const QString& n : columna(&tablas, "DBTrabajadores", QStringLiteral("nomtrabajador")))
        EXPECT_LE(trabajadores->fontMetrics().horizontalAdvance(n), nombre) << n.toStdString();
    capturas::guardar(&tablas, QStringLiteral("mantenimiento-tablas.png"));
}

TEST_F(CapturasMaestrosTest, CentreEditorShowsItsFieldsAndCalendar)
{
    TFormManCentros editor(*m_md);
    editor.IdCentroEdit = m_ejemplo.oficinas.id;
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    botonesEnteros(&editor);
    EXPECT_EQ(texto(&editor, "DBCODCENTRO"), m_ejemplo.oficinas.codcentro);
    capturas::guardar(&editor, QStringLiteral("mantenimiento-centro.png"));
}

TEST_F(CapturasMaestrosTest, SearchListsWorkersWithTheirCentres)
{
    TFormManTrabajadores2 busqueda(*m_md);
    busqueda.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&busqueda));
    botonesEnteros(&busqueda);
    EXPECT_GT(modelo(&busqueda, "DBGrid1")->rowCount(), 10);
    capturas::guardar(&busqueda, QStringLiteral("busqueda-trabajadores.png"));
}

TEST_F(CapturasMaestrosTest, WorkerEditorShowsItsCentres)
{
    TFormManTrabajadores editor(*m_md);
    editor.IdTrabajadorEdit = m_ejemplo.trabajadorDosCentros;
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    botonesEnteros(&editor);
    EXPECT_EQ(modelo(&editor, "DBGrid1")->rowCount(), 2);
    EXPECT_FALSE(hijo<QLineEdit>(&editor, "DBFALTA")->isVisible());
    capturas::guardar(&editor, QStringLiteral("mantenimiento-trabajador.png"));
}
