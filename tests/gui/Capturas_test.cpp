#include "gui/PralPruebas.h"

#include "calendars/TColorCalendar.h"
#include "support/Capturas.h"

#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>

// What the user sees of the main window. With QUORVEL_CAPTURAS naming a folder, the window and its month
// view are also saved there as PNG files (the pictures of the docs folder come from here).
class CapturasTest : public PralTest
{
};

TEST_F(CapturasTest, MainWindowFitsASmallScreenWithEveryControlInside)
{
    // A folder as a user would have it, rather than the test's temporary one.
    ajustar(QStringLiteral("RutaPDF = ?"), QStringLiteral("/home/gestoria/Quorvel/PDF"));
    abrir(QDate(2019, 5, 15));
    const QRect ventana = m_ventana->rect();
    EXPECT_LE(m_ventana->frameGeometry().width(), 1024);
    EXPECT_LE(m_ventana->frameGeometry().height(), 768);
    // The log opens below the body, and the window grows to hold it and gives the room back after.
    const int alto = m_ventana->height();
    m_ventana->VerMemoError(true);
    auto* log = control<QWidget>("PanelLog");
    QTRY_VERIFY(m_ventana->rect().contains(QRect(log->mapTo(m_ventana.get(), QPoint(0, 0)), log->size())));
    EXPECT_LE(m_ventana->frameGeometry().height(), 768);
    m_ventana->VerMemoError(false);
    QTRY_COMPARE(m_ventana->height(), alto);
    for (const char* nombre : {"ComboEmpresas", "ComboCentros", "ComboTrabajadores", "BotImprimir", "BotHojaBlanco",
                               "BotXMail", "BotEnvioAuto", "BotPlanFestivos", "ColorCalendar1", "Panel4", "RutaPDF",
                               "BotAbrirCarpeta", "BotCalendarCentros"}) {
        auto* w = control<QWidget>(nombre);
        ASSERT_NE(w, nullptr);
        const QRect donde(w->mapTo(m_ventana.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(ventana.contains(donde)) << nombre;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << nombre << " is squeezed";
    }
    capturas::guardar(m_ventana.get(), QStringLiteral("ventana-principal.png"));
}

TEST_F(CapturasTest, MonthViewPaintsHolidaysInTheirColours)
{
    fixture::festivo(db(), 0, QDate(2019, 1, 21), 1);
    fixture::festivo(db(), 0, QDate(2019, 1, 22), 2);
    fixture::festivo(db(), 0, QDate(2019, 1, 19), 3);
    abrir(QDate(2019, 1, 10));
    auto* mes = control<TColorCalendar>("ColorCalendar1");
    const QImage imagen = mes->grab().toImage();
    const auto pixel = [&](int dia) {
        const QPoint celda = mes->cellOfDay(dia);
        const QRect r = mes->cellRect(celda.x(), celda.y());
        // Near a corner, away from the day number.
        return imagen.pixelColor((r.topLeft() + QPoint(3, 3)) * imagen.devicePixelRatio()).toRgb();
    };
    EXPECT_EQ(pixel(6), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(pixel(21), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(pixel(22), QColor(0x00, 0xFF, 0xFF));
    EXPECT_EQ(pixel(19), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(pixel(12), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(9), QColor(0xFF, 0xFF, 0xFF));
    QWidget* panel = mes->parentWidget();
    capturas::guardar(panel, QStringLiteral("vista-mes.png"));
}
