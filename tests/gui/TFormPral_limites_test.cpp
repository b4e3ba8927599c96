// The main window at the edges: the first and last months a run accepts, ranges too long to run, and the
// PDF folder shown as the run will use it.
#include "gui/PralPruebas.h"

#include "calendars/TColorCalendar.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QDate mes(TColorCalendar* vista)
{
    return QDate(vista->date().year(), vista->date().month(), 1);
}

} // namespace

TEST_F(PralTest, MonthViewsStopAtTheFirstAndLastMonths)
{
    abrir(QDate(9999, 12, 15));
    auto* inicio = control<TColorCalendar>("ColorCalendar1");
    auto* fin = control<TColorCalendar>("ColorCalendar2");
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    QTest::keyClick(lista("ComboTrabajadores"), '+');
    EXPECT_EQ(mes(inicio), QDate(9999, 12, 1));
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("diciembre / 9999"));

    opcion("CKVariosMeses")->click();
    QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    QTest::keyClick(lista("ComboTrabajadores"), '+');
    EXPECT_EQ(mes(fin), QDate(9999, 12, 1));
    opcion("CKVariosMeses")->click();

    QTest::mouseClick(control<QPushButton>("BotMenos"), Qt::LeftButton);
    EXPECT_EQ(mes(inicio), QDate(9999, 11, 1));

    m_ventana.reset();
    abrir(QDate(1900, 1, 31));
    inicio = control<TColorCalendar>("ColorCalendar1");
    QTest::mouseClick(control<QPushButton>("BotMenos"), Qt::LeftButton);
    QTest::keyClick(lista("ComboTrabajadores"), '-');
    EXPECT_EQ(mes(inicio), QDate(1900, 1, 1));
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("enero / 1900"));
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(mes(inicio), QDate(1900, 2, 1));
    EXPECT_TRUE(m_guion.textos.isEmpty()) << m_guion.textos.join(u'|').toStdString();
}

TEST_F(PralTest, RangeLongerThan120MonthsIsRefusedAndTouchesNothing)
{
    QDir().mkpath(m_rutaPdf);
    const QString anterior = QDir(m_rutaPdf).filePath(QStringLiteral("Quorvel_0101_201801.pdf"));
    {
        QFile f(anterior);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("de la vez anterior");
    }
    abrir(QDate(2019, 5, 15));
    opcion("CKVariosMeses")->click();
    // Back to PDF output, which ticking the range option left for the printer.
    control<QAbstractButton>("RSelSalida0")->click();
    for (int i = 0; i < 120; ++i)
        QTest::mouseClick(control<QPushButton>("botmas2"), Qt::LeftButton);
    EXPECT_EQ(mes(control<TColorCalendar>("ColorCalendar2")), QDate(2029, 5, 1));
    const auto antes = QDir(m_rutaPdf).entryList(QDir::Files);
    QTest::mouseClick(control<QPushButton>("BotImprimir"), Qt::LeftButton);
    EXPECT_EQ(m_guion.mensajes, QStringList{QStringLiteral("El intervalo no puede pasar de 120 meses")});
    EXPECT_EQ(QDir(m_rutaPdf).entryList(QDir::Files), antes);
    EXPECT_TRUE(QFile::exists(anterior));
    EXPECT_TRUE(control<QPushButton>("BotImprimir")->isEnabled());
}

TEST_F(PralTest, PdfFolderBoxShowsTheFolderBesideTheDatabase)
{
    ajustar(QStringLiteral("RutaPDF = 'hojas'"));
    const QString antes = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
    abrir();
    QDir::setCurrent(antes);
    EXPECT_EQ(control<QLineEdit>("RutaPDF")->text(), m_dir.file(QStringLiteral("hojas")));
    QTest::mouseClick(control<QPushButton>("BotAbrirCarpeta"), Qt::LeftButton);
    EXPECT_EQ(m_guion.carpetasAbiertas, QStringList{m_dir.file(QStringLiteral("hojas"))});
}
