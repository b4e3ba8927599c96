// Every window of the program on the screen of a small office laptop, 1366×768: the window, title bar
// included, fits beside the desktop's panel, and no button is cut off by the window or by what holds it.
#include "gui/PralPruebas.h"

#include "calendars/TFormAltaCalendario.h"
#include "calendars/TFormFestivos.h"
#include "calendars/TFormFestivosVarios.h"
#include "calendars/TFormManCalen.h"
#include "calendars/TFormManCalendarios.h"
#include "calendars/TFormSelCalendario.h"
#include "mail/TFormEnviarCorreos.h"
#include "mail/TFormManConstantes.h"
#include "mail/TFormManEnvios.h"
#include "masterdata/TFormDatosDudosos.h"
#include "masterdata/TFormImportar.h"
#include "masterdata/TFormManCentro2.h"
#include "masterdata/TFormManCentros.h"
#include "masterdata/TFormManEmpresas.h"
#include "masterdata/TFormManTablas.h"
#include "masterdata/TFormManTrabajadores.h"
#include "masterdata/TFormManTrabajadores2.h"
#include "sheets/TFormAcercade.h"
#include "support/Modales.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDialog>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPushButton>

namespace {

constexpr int kAncho = 1366;
constexpr int kAlto = 768;
// A desktop keeps a panel along one edge, and a window manager adds a title bar the test platform does not draw.
constexpr int kPanel = 40;
constexpr int kTitulo = 32;

} // namespace

class VentanasPantallaTest : public PralTest
{
protected:
    // The window as shown now: its frame fits the screen, and every button it shows lies whole inside each
    // widget that holds it (a scroll area's view counts: a button scrolled out of sight is not visible).
    static void cabe(QWidget* ventana, const char* nombre)
    {
        SCOPED_TRACE(nombre);
        const QRect marco = ventana->frameGeometry();
        const int titulo = marco.height() == ventana->height() ? kTitulo : 0;
        EXPECT_LE(marco.width(), kAncho);
        EXPECT_LE(marco.height() + titulo, kAlto - kPanel);
        int botones = 0;
        for (QAbstractButton* b : ventana->findChildren<QAbstractButton*>()) {
            if (b->window() != ventana || !b->isVisibleTo(ventana))
                continue;
            ++botones;
            const std::string cual = (b->objectName().isEmpty() ? b->text() : b->objectName()).toStdString();
            for (QWidget* w = b; w != ventana; w = w->parentWidget()) {
                const QRect dentro(w->mapTo(w->parentWidget(), QPoint(0, 0)), w->size());
                EXPECT_TRUE(w->parentWidget()->rect().contains(dentro))
                    << cual << " cut off by " << w->parentWidget()->metaObject()->className() << " "
                    << w->parentWidget()->objectName().toStdString();
            }
            if (auto* p = qobject_cast<QPushButton*>(b)) {
                const QString rotulo = QString(p->text()).remove(QLatin1Char('&'));
                EXPECT_GE(p->width(), p->fontMetrics().horizontalAdvance(rotulo) + 8) << cual << " is squeezed";
            }
        }
        EXPECT_GT(botones, 0) << "a window with no button to leave it";
    }

    // Shows a window as the program does, checks it and closes it.
    template <typename T> void mostrar(T& ventana, const char* nombre)
    {
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana)) << nombre;
        cabe(&ventana, nombre);
        ventana.close();
    }
};

TEST_F(VentanasPantallaTest, EveryWindowFitsA1366x768ScreenWithItsButtonsInSight)
{
    m_md->Multiempresa = true;
    m_md->Calenxcentros = true;
    ASSERT_TRUE(QDir().mkpath(m_rutaPdf));

    // The main window at its tallest: the end month shown, and after a run of every centre the summary and
    // the log below the body.
    TFormPral& pral = abrir();
    opcion("CKVariosMeses")->click();
    control<QAbstractButton>("RSelSalida0")->click();
    opcion("CKTodosCentros")->click();
    QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton);
    ASSERT_TRUE(control<QWidget>("PanelLog")->isVisible());
    ASSERT_TRUE(control<QWidget>("PanelResumen")->isVisible());
    cabe(&pral, "FormPral");

    TFormManTablas tablas(*m_md, &pral);
    mostrar(tablas, "FormManTablas");
    TFormManEmpresas empresa(*m_md, &pral);
    empresa.IdEmpresaEdit = m_ejemplo.empresa1;
    mostrar(empresa, "FormManEmpresas");
    TFormManCentros centro(*m_md, &pral);
    centro.IdCentroEdit = m_ejemplo.oficinas.id;
    mostrar(centro, "FormManCentros");
    TFormManTrabajadores trabajador(*m_md, &pral);
    trabajador.IdTrabajadorEdit = m_ejemplo.trabajadorDosCentros;
    mostrar(trabajador, "FormManTrabajadores");
    TFormManCentro2 eleccionCentro(*m_md, &pral);
    mostrar(eleccionCentro, "FormManCentro2");
    TFormManTrabajadores2 busqueda(*m_md, &pral);
    mostrar(busqueda, "FormManTrabajadores2");
    TFormImportar importar(*m_md, &pral);
    mostrar(importar, "FormImportar");
    TFormDatosDudosos dudosos(db(), &pral);
    mostrar(dudosos, "FormDatosDudosos");

    TFormManCalendarios calendarios(db(), &pral);
    mostrar(calendarios, "FormManCalendarios");
    TFormAltaCalendario alta(db(), &pral);
    mostrar(alta, "FormAltaCalendario");
    TFormSelCalendario seleccion(*m_md, &pral);
    mostrar(seleccion, "FormSelCalendario");
    TFormFestivosVarios varios(db(), 2019, &pral);
    mostrar(varios, "FormFestivosVarios");
    TFormManCalen base(db(), &pral);
    base.Titulo = QStringLiteral("BASE");
    base.Hoy = QDate(2019, 5, 15);
    mostrar(base, "FormManCalen");
    {
        // The official holidays come from the year view, as the clerk reaches them.
        TFormManCalen2 numerado(db(), &pral);
        numerado.NumCalendario = QString::number(m_ejemplo.calendarioMadrid);
        numerado.Titulo = QStringLiteral("MADRID CAPITAL");
        numerado.Hoy = QDate(2019, 5, 15);
        numerado.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&numerado));
        cabe(&numerado, "FormManCalen2");
        Modales<TFormFestivos> festivos({[](TFormFestivos* d) {
            cabe(d, "FormFestivos");
            d->reject();
        }});
        numerado.findChild<QPushButton*>(QStringLiteral("BotFestivosOficiales"))->click();
        EXPECT_EQ(festivos.pendientes(), 0);
        numerado.close();
    }

    TFormManConstantes constantes(db(), &pral);
    mostrar(constantes, "FormManConstantes");
    TFormEnviarCorreos correos(db(), &pral);
    correos.CarpetaPDF = m_rutaPdf;
    mostrar(correos, "FormEnviarCorreos");
    TFormManEnvios envios(db(), &pral);
    mostrar(envios, "FormManEnvios");
    TFormAcercade acerca(&pral);
    acerca.ponerVersion(TFormPral::Version(), TFormPral::FechaVersion());
    acerca.ponerBaseDatos(m_md->rutaBaseDatos());
    mostrar(acerca, "FormAcercade");

    // The report engine's preview, as a preview run opens it.
    m_guion.vistaPreviaReal = true;
    control<QAbstractButton>("RSelSalida1")->click();
    opcion("CKTodosCentros")->click();
    Modales<QPrintPreviewDialog> vista({[](QPrintPreviewDialog* d) {
        cabe(d, "vista previa");
        d->reject();
    }});
    QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton);
    EXPECT_EQ(vista.pendientes(), 0);
}
