#include "calendars/GestionCalendarios.h"
#include "calendars/TColorCalendar.h"
#include "calendars/TFormManCalen.h"
#include "calendars/TFrameCalendarioAnual.h"
#include "data/TMD.h"
#include "gui/CalendariosPruebas.h"
#include "store/Database.h"
#include "support/Colores.h"
#include "support/Fixture.h"
#include "support/InteraccionGuion.h"
#include "support/Poppler.h"
#include "support/ServidorCups.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

using Filas = QStringList; // "fecha=codreduc"

Filas F(std::initializer_list<const char*> filas)
{
    Filas f;
    for (const char* fila : filas)
        f << QString::fromLatin1(fila);
    return f;
}

class CalendarioAnualTest : public ::testing::Test
{
protected:
    void SetUp() override { e = fixture::crearEjemplo(db()); }
    store::Database& db() { return md.Quorvel(); }

    // Opens a year view on 2019 as the main window or the management screen would, without blocking.
    template <typename Vista> Vista& abrir(const QString& titulo, const QString& numero = {})
    {
        auto* v = new Vista(db());
        v->setAttribute(Qt::WA_DeleteOnClose);
        v->Titulo = titulo;
        v->Hoy = QDate(2019, 5, 15);
        if constexpr (std::is_same_v<Vista, TFormManCalen2>)
            v->NumCalendario = numero;
        v->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(v));
        m_vistas << v;
        return *v;
    }
    void TearDown() override
    {
        for (QWidget* v : m_vistas)
            delete v;
    }

    static TColorCalendar* mes(QWidget* vista, const char* nombre)
    {
        return vista->findChild<TColorCalendar*>(QString::fromLatin1(nombre));
    }
    static QColor color(TColorCalendar* g, int dia)
    {
        const QColor c = g->dayColor(dia);
        return c.isValid() ? c.toRgb() : QColor(0xFF, 0xFF, 0xFF);
    }
    static void clic(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 3)); }

    // What the file holds, read through a connection of its own as another copy of the program would.
    Filas filas(int numero, QDate desde = QDate(2019, 1, 1), QDate hasta = QDate(2019, 12, 31))
    {
        TMD otra(md.rutaBaseDatos());
        Filas f;
        for (const auto& [dia, codigo] : calendarios::diasCalendario(otra.Quorvel(), numero, desde, hasta))
            f << dia.toString(Qt::ISODate) + u'=' + QString::number(codigo);
        return f;
    }
    int filasCalendar2()
    {
        store::Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM calendar2"));
        st.step();
        return int(st.integer(0));
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    InteraccionGuion guion;
    QList<QPointer<QWidget>> m_vistas;
};

} // namespace

TEST_F(CalendarioAnualTest, BaseCalendarMarksReplacesAndUnmarksADayStoredAtOnce)
{
    auto& vista = abrir<TFormManCalen>(QStringLiteral("BASE "));
    EXPECT_EQ(vista.windowTitle(), QStringLiteral("Calendario Laboral:  BASE "));
    EXPECT_EQ(vista.findChild<QSpinBox*>(QStringLiteral("Any"))->value(), 2019);
    TColorCalendar* enero = mes(&vista, "Enero");
    EXPECT_EQ(color(enero, 1), kRojo) << "national holiday of the file";
    EXPECT_EQ(color(enero, 5), QColor(0xFF, 0xFF, 0xFF)) << "a Saturday without a row";
    const int numerados = filasCalendar2();

    dobleClick(enero, 9); // Nacional is chosen on opening
    EXPECT_EQ(filas(0, QDate(2019, 1, 9), QDate(2019, 1, 9)), F({"2019-01-09=0"}));
    EXPECT_EQ(color(enero, 9), kRojo);

    // The caption beside a colour chooses its type as the colour does.
    clic(vista.findChild<QLabel*>(QStringLiteral("Label14")));
    EXPECT_EQ(vista.findChild<QFrame*>(QStringLiteral("PanelLocal"))->frameShape(), QFrame::Box);
    EXPECT_EQ(vista.findChild<QFrame*>(QStringLiteral("PanelNacional"))->frameShape(), QFrame::NoFrame);
    dobleClick(enero, 9);
    EXPECT_EQ(filas(0, QDate(2019, 1, 9), QDate(2019, 1, 9)), F({"2019-01-09=2"}));
    EXPECT_EQ(color(enero, 9), kAgua);

    dobleClick(enero, 9);
    EXPECT_TRUE(filas(0, QDate(2019, 1, 9), QDate(2019, 1, 9)).isEmpty());
    EXPECT_EQ(color(enero, 9), QColor(0xFF, 0xFF, 0xFF));

    // January 2019 starts on a Tuesday: the first cell is blank and names no day.
    const Filas antes = filas(0);
    enero->setDate(QDate(2019, 1, 9));
    QTest::mouseDClick(enero, Qt::LeftButton, {}, enero->cellRect(0, 1).center());
    EXPECT_EQ(filas(0), antes);
    EXPECT_EQ(filasCalendar2(), numerados) << "numbered calendars untouched";
    EXPECT_TRUE(guion.textos.isEmpty());
}

TEST_F(CalendarioAnualTest, SundaysRedrawSilverUnlessOpenAndLeapYearsShowTheir29th)
{
    auto& vista = abrir<TFormManCalen>(QStringLiteral("BASE "));
    TColorCalendar* enero = mes(&vista, "Enero");
    dobleClick(enero, 13);
    EXPECT_EQ(color(enero, 13), kRojo) << "at once, the chosen type's colour";
    clic(vista.findChild<QFrame*>(QStringLiteral("PanelAbierto")));
    dobleClick(enero, 20);
    EXPECT_EQ(color(enero, 20), kLima);
    clic(vista.findChild<QFrame*>(QStringLiteral("PanelProvincial")));
    dobleClick(enero, 19); // a Saturday
    EXPECT_EQ(filas(0, QDate(2019, 1, 13), QDate(2019, 1, 20)), F({"2019-01-13=0", "2019-01-19=1", "2019-01-20=3"}));

    auto* any = vista.findChild<QSpinBox*>(QStringLiteral("Any"));
    any->setValue(2024);
    EXPECT_EQ(mes(&vista, "Febrero")
                  ->cellText(mes(&vista, "Febrero")->cellOfDay(29).x(), mes(&vista, "Febrero")->cellOfDay(29).y()),
              QStringLiteral("29"));
    any->setValue(2023);
    EXPECT_EQ(mes(&vista, "Febrero")->cellOfDay(29), QPoint(-1, -1));
    any->setValue(2019);
    EXPECT_EQ(color(enero, 13), kPlata) << "a Nacional Sunday is shaded once redrawn";
    EXPECT_EQ(color(enero, 20), kLima) << "an Abierto Sunday stays lime";
    EXPECT_EQ(color(enero, 19), kAmarillo);
    EXPECT_EQ(color(enero, 27), kPlata);
}

TEST_F(CalendarioAnualTest, NumberedCalendarShowsAndChangesOnlyItsOwnRows)
{
    const int otro = int(fixture::calendario(db(), QStringLiteral("OTRO")));
    fixture::festivo(db(), otro, QDate(2019, 5, 2), 2);
    fixture::festivo(db(), 0, QDate(2019, 5, 6), 2);
    const int madrid = e.calendarioMadrid;
    const Filas delOtro = filas(otro);
    const Filas base = filas(0);

    // A type chosen in one view does not carry over into the next one.
    auto& primera = abrir<TFormManCalen2>(QStringLiteral("x"), QString::number(madrid));
    clic(primera.findChild<QFrame*>(QStringLiteral("PanelAbierto")));
    primera.close();
    auto& vista = abrir<TFormManCalen2>(QStringLiteral("02 - OFICINAS CASTELLANA"), QString::number(madrid));
    EXPECT_EQ(vista.windowTitle(), QStringLiteral("Calendario Laboral:  02 - OFICINAS CASTELLANA"));
    EXPECT_EQ(vista.findChild<QFrame*>(QStringLiteral("PanelNacional"))->frameShape(), QFrame::Box);
    TColorCalendar* mayo = mes(&vista, "Mayo");
    EXPECT_EQ(color(mayo, 2), kAmarillo);
    EXPECT_EQ(color(mayo, 15), kAgua);
    EXPECT_EQ(color(mayo, 19), kLima);
    EXPECT_EQ(color(mayo, 6), QColor(0xFF, 0xFF, 0xFF)) << "the base calendar's day is not this calendar's";

    dobleClick(mayo, 6);
    dobleClick(mayo, 2);
    const Filas mayoMadrid = filas(madrid, QDate(2019, 5, 1), QDate(2019, 5, 31));
    EXPECT_EQ(mayoMadrid, F({"2019-05-01=0", "2019-05-02=0", "2019-05-06=0", "2019-05-15=2", "2019-05-19=3"}));
    EXPECT_EQ(filas(otro), delOtro);
    EXPECT_EQ(filas(0), base);
}

TEST_F(CalendarioAnualTest, ACalendarGoneOrNumberedZeroIsHandledWithoutHarm)
{
    const int otro = int(fixture::calendario(db(), QStringLiteral("EFÍMERO")));
    auto& vista = abrir<TFormManCalen2>(QStringLiteral("EFÍMERO"), QString::number(otro));
    {
        TMD otraCopia(md.rutaBaseDatos());
        EXPECT_TRUE(calendarios::borrarCalendario(otraCopia.Quorvel(), otro).isEmpty());
    }
    dobleClick(mes(&vista, "Marzo"), 12);
    EXPECT_EQ(
        guion.mensajes,
        QStringList({QStringLiteral("Este calendario ya no existe: se ha borrado desde otra copia del programa.")}));
    EXPECT_TRUE(filas(otro).isEmpty());

    TFormManCalen2 perdida(db());
    perdida.NumCalendario = QString::number(otro);
    EXPECT_EQ(perdida.exec(), QDialog::Rejected);
    EXPECT_EQ(guion.mensajes.last(), QStringLiteral("No existe el calendario %1.").arg(otro));

    // Number 0 is the base calendar.
    auto& base = abrir<TFormManCalen2>(QStringLiteral("BASE "), QStringLiteral("0"));
    EXPECT_EQ(qobject_cast<TFrameCalendarioAnual2*>(base.FrameCalendarioAnual1()), nullptr);
    dobleClick(mes(&base, "Marzo"), 12);
    EXPECT_EQ(filas(0, QDate(2019, 3, 12), QDate(2019, 3, 12)), F({"2019-03-12=0"}));
}

TEST_F(CalendarioAnualTest, KeyboardWalksAcrossMonthsAndMarksWithEnter)
{
    auto& vista = abrir<TFormManCalen>(QStringLiteral("BASE "));
    vista.activateWindow();
    TColorCalendar* enero = mes(&vista, "Enero");
    TColorCalendar* febrero = mes(&vista, "Febrero");
    enero->setDate(QDate(2019, 1, 30));
    enero->setFocus();
    QTest::keyClick(enero, Qt::Key_Right);
    QTest::keyClick(enero, Qt::Key_Right);
    EXPECT_EQ(febrero->date(), QDate(2019, 2, 1));
    EXPECT_TRUE(febrero->hasFocus());
    QTest::keyClick(febrero, Qt::Key_Down);
    QTest::keyClick(febrero, Qt::Key_Return);
    EXPECT_EQ(filas(0, QDate(2019, 2, 1), QDate(2019, 2, 28)), F({"2019-02-08=0"}));
    EXPECT_EQ(color(febrero, 8), kRojo);

    // The focus coming back into the editor from the window's buttons chooses Nacional again.
    clic(vista.findChild<QFrame*>(QStringLiteral("PanelLocal")));
    vista.findChild<QPushButton*>(QStringLiteral("BotCerrar"))->setFocus();
    febrero->setFocus();
    EXPECT_EQ(vista.findChild<QFrame*>(QStringLiteral("PanelNacional"))->frameShape(), QFrame::Box);
    EXPECT_EQ(vista.findChild<QFrame*>(QStringLiteral("PanelLocal"))->frameShape(), QFrame::NoFrame);
    QTest::keyClick(febrero, Qt::Key_Space);
    EXPECT_TRUE(filas(0, QDate(2019, 2, 1), QDate(2019, 2, 28)).isEmpty()) << "same type: unmarked";
}

TEST_F(CalendarioAnualTest, PrintingSendsThePictureOfTheYearOrSaysThereIsNoPrinter)
{
    auto& vista = abrir<TFormManCalen>(QStringLiteral("BASE "));
    auto* imprimir = vista.findChild<QPushButton*>(QStringLiteral("BotImprimir"));
    EXPECT_EQ(imprimir->toolTip(), QStringLiteral("Imprime el calendario"));
    guion.impresora = false;
    imprimir->click();
    EXPECT_EQ(guion.mensajes, QStringList({QStringLiteral(
                                  "No hay ninguna impresora predeterminada instalada: el calendario no se puede "
                                  "imprimir.")}));
    EXPECT_TRUE(guion.imagenesImpresas.isEmpty());

    guion.impresora = true;
    imprimir->click();
    ASSERT_EQ(guion.imagenesImpresas.size(), 1);
    const QImage imagen = guion.imagenesImpresas.front();
    EXPECT_EQ(imagen.size() / imagen.devicePixelRatio(), vista.FrameCalendarioAnual1()->size());
    // The year's first national holiday is on the picture in its colour.
    TColorCalendar* enero = mes(&vista, "Enero");
    const QRect celda = enero->cellRect(enero->cellOfDay(1).x(), enero->cellOfDay(1).y());
    const QPoint donde = enero->mapTo(vista.FrameCalendarioAnual1(), celda.topLeft() + QPoint(2, 2));
    EXPECT_EQ(imagen.pixelColor(donde * imagen.devicePixelRatio()).toRgb(), kRojo);
    EXPECT_TRUE(imprimir->isVisible());
    EXPECT_EQ(guion.impresiones, QStringList({QStringLiteral("Calendario Laboral:  BASE ")}));
}

TEST_F(CalendarioAnualTest, ThePictureIsOneA4JobOfThePrintServiceAndARefusalIsTold)
{
    ServidorCups cups;
    if (!cups.enMarcha())
        GTEST_SKIP() << "sin planificador CUPS propio: " << cups.motivo().toStdString();
    // A queue left on Letter: the picture still asks for A4.
    ASSERT_TRUE(cups.crearCola(QStringLiteral("Oficina"), QStringLiteral("Letter")))
        << cups.ultimoError().toStdString();
    guion.impresoraReal = true;
    auto& vista = abrir<TFormManCalen>(QStringLiteral("BASE "));
    auto* imprimir = vista.findChild<QPushButton*>(QStringLiteral("BotImprimir"));

    imprimir->click();
    EXPECT_TRUE(guion.mensajes.isEmpty()) << guion.mensajes.join(u'|').toStdString();
    ASSERT_TRUE(cups.esperarTrabajos());
    const auto trabajos = cups.trabajos();
    ASSERT_EQ(trabajos.size(), 1u);
    EXPECT_EQ(trabajos[0].titulo, QStringLiteral("Calendario Laboral:  BASE "));
    EXPECT_EQ(trabajos[0].estado, IPP_JSTATE_COMPLETED);
    const QString doc = cups.documento(trabajos[0].id);
    EXPECT_EQ(poppler::paginas(doc), 1);
    const QString info = poppler::run(QStringLiteral("pdfinfo"), {doc});
    // Lying down: the year is wider than tall.
    const QRegularExpression a4Apaisado(QStringLiteral("Page size:\\s+84[12][.\\d]* x 595[.\\d]* pts \\(A4\\)"));
    EXPECT_TRUE(info.contains(a4Apaisado)) << info.toStdString();

    ASSERT_TRUE(cups.orden(QStringLiteral("cupsreject"), {QStringLiteral("Oficina")}));
    imprimir->click();
    EXPECT_EQ(guion.mensajes,
              QStringList{QStringLiteral("No se ha impreso: la impresora \"Oficina\" no admite trabajos.")});
    EXPECT_EQ(cups.trabajos().size(), 1u);
}

TEST_F(CalendarioAnualTest, MonthTitlesAndLegendsUseTheApplicationFont)
{
    auto& vista = abrir<TFormManCalen>(QStringLiteral("BASE "));
    const QString familia = QFontInfo(QApplication::font()).family();
    int vistos = 0;
    for (const QWidget* control : vista.findChildren<QWidget*>()) {
        EXPECT_EQ(QFontInfo(control->font()).family(), familia)
            << control->metaObject()->className() << " " << control->objectName().toStdString();
        ++vistos;
    }
    EXPECT_GT(vistos, 12) << "the twelve months and their legend";
}
