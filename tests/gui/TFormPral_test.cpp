#include "gui/PralPruebas.h"

#include "base/TextHelpers.h"
#include "calendars/TColorCalendar.h"
#include "gui/CalendariosPruebas.h"

#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kAlmacen = QStringLiteral("0101 - Almacén sur");
const QString kOficinas = QStringLiteral("0102 - OFICINAS CASTELLANA");
const QString kTienda = QStringLiteral("0103 - TIENDA ÑORA");

// Worker entries of the sample centres, written out in Spanish order of the names; `i` is the worker's place
// in the order the sample created them.
QStringList entradasDe(const fixture::Ejemplo& e, const std::vector<std::pair<int, const char*>>& trabajadores)
{
    QStringList out;
    for (const auto& [i, nombre] : trabajadores)
        out << QString::number(e.trabajadores.at(i)) + QStringLiteral(" - ") + QString::fromUtf8(nombre);
    return out;
}

QStringList almacenDe(const fixture::Ejemplo& e)
{
    return entradasDe(e, {{20, "CANO PRIETO, MÓNICA"},
                          {28, "CARRASCO DIEZ, LAURA"},
                          {0, "GARCÍA LÓPEZ, MARÍA"},
                          {24, "HERRERA MÁRQUEZ, SUSANA"},
                          {32, "HERRERO MONTERO, ESTHER"},
                          {16, "IGLESIAS MEDINA, ELENA"},
                          {12, "MOLINA CASTRO, ROCÍO"},
                          {4, "MUÑOZ DÍAZ, CARMEN"},
                          {8, "NAVARRO TORRES, NURIA"},
                          {36, "SANTIAGO BENÍTEZ, ROSA"}});
}

QStringList obradorDe(const fixture::Ejemplo& e)
{
    return entradasDe(e, {{38, "ARIAS CARMONA, ESPERANZA"},
                          {26, "CABRERA CAMPOS, ALICIA"},
                          {18, "CASTILLO SANTOS, NOELIA"},
                          {22, "CRUZ GALLEGO, PATRICIA"},
                          {34, "GIMÉNEZ IBÁÑEZ, MARTA"},
                          {6, "JIMÉNEZ MORENO, INÉS"},
                          {30, "NIETO AGUILAR, PILAR"},
                          {10, "RAMOS GIL, BEGOÑA"},
                          {14, "RUBIO MARÍN, SOFÍA"},
                          {2, "SÁNCHEZ IBÁÑEZ, LUCÍA"}});
}

QStringList despachoDe(const fixture::Ejemplo& e)
{
    return entradasDe(e, {{7, "ÁLVAREZ ROMERO, JESÚS"},
                          {3, "FERNÁNDEZ GÓMEZ, ÁNGEL"},
                          {35, "FERRER DURÁN, ADRIÁN"},
                          {19, "LOZANO GUERRERO, VÍCTOR"},
                          {31, "PASCUAL SANTANA, SERGIO"},
                          {15, "SANZ NÚÑEZ, MARTÍN"},
                          {11, "SERRANO BLANCO, IÑAKI"},
                          {27, "VEGA FUENTES, RAMÓN"},
                          {23, "VIDAL LEÓN, TOMÁS"}});
}

} // namespace

TEST_F(PralTest, CreatingTheWindowIsTheFirstAccessToTheDatabase)
{
    const QString ruta = m_dir.file(QStringLiteral("nueva/Quorvel.abs"));
    ASSERT_TRUE(QDir().mkpath(m_dir.file(QStringLiteral("nueva"))));
    TMD md(ruta);
    ASSERT_FALSE(QFile::exists(ruta)) << "the data module alone must not touch the file";
    TFormPral ventana(md, QDate(2019, 5, 15));
    EXPECT_TRUE(QFile::exists(ruta));
    EXPECT_EQ(ventana.windowTitle(), QStringLiteral("Quorvel     v.1.02    22/05/2019    ") + ruta);
    // Lists and settings wait for the show.
    EXPECT_EQ(ventana.findChild<QComboBox*>(QStringLiteral("ComboEmpresas"))->count(), 0);
    EXPECT_FALSE(ventana.findChild<QCheckBox*>(QStringLiteral("CKSSabados"))->isChecked());
    EXPECT_FALSE(ventana.findChild<QWidget*>(QStringLiteral("MemoError"))->isVisible());
}

TEST_F(PralTest, ShowLoadsTheListsAndThenTheSettings)
{
    // The settings pick the second company, which only works once the list is there.
    ajustar(QStringLiteral("empresa = 1, todoscentros = 0"));
    abrir();
    EXPECT_EQ(entradas(lista("ComboEmpresas")),
              QStringList({QStringLiteral("TRANSPORTES ÁLAMO, S.L."), QStringLiteral("PANADERÍA LA ESPIGA, S.A.")}));
    EXPECT_EQ(m_ventana->IdsEmpresas(), QList<qint64>({m_ejemplo.empresa1, m_ejemplo.empresa2}));
    EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), 1);
    EXPECT_EQ(m_ventana->IdEmpresa(), m_ejemplo.empresa2);
    EXPECT_EQ(m_md->IdEmpresaActiva, m_ejemplo.empresa2);
    EXPECT_EQ(entradas(lista("ComboCentros")),
              QStringList({QStringLiteral("0201 - OBRADOR"), QStringLiteral("0202 - DESPACHO PLAZA")}));
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0201"));
    EXPECT_EQ(entradas(lista("ComboTrabajadores")), obradorDe(m_ejemplo));
    EXPECT_EQ(lista("ComboTrabajadores")->currentIndex(), 0);
    EXPECT_TRUE(opcion("CKSSabados")->isChecked());
    EXPECT_EQ(control<QLineEdit>("RutaPDF")->text(), m_rutaPdf);
    EXPECT_TRUE(control<QLineEdit>("RutaPDF")->isReadOnly());
}

TEST_F(PralTest, FirstCompanyPreselectedWithItsCentresAndWorkers)
{
    abrir();
    EXPECT_EQ(lista("ComboEmpresas")->currentText(), QStringLiteral("TRANSPORTES ÁLAMO, S.L."));
    EXPECT_EQ(entradas(lista("ComboCentros")), QStringList({kAlmacen, kOficinas, kTienda}));
    EXPECT_EQ(lista("ComboCentros")->currentText(), kAlmacen);
    const QStringList almacen = almacenDe(m_ejemplo);
    ASSERT_EQ(almacen.size(), 10);
    EXPECT_EQ(entradas(lista("ComboTrabajadores")), almacen);
    EXPECT_EQ(lista("ComboTrabajadores")->currentText(), almacen.first());
    EXPECT_EQ(m_md->IdEmpresaActiva, m_ejemplo.empresa1);
    EXPECT_TRUE(lista("ComboEmpresas")->isEnabled()) << "Multiempresa is on in the sample settings";
    EXPECT_TRUE(opcion("CKTodosCentros")->isEnabled());
    EXPECT_TRUE(opcion("CKTodosTrabajadores")->isChecked());
    EXPECT_TRUE(opcion("CKTodosTrabajadores")->isEnabled());
}

TEST_F(PralTest, ChangingTheCompanyReloadsCentresAndWorkers)
{
    abrir();
    elegir(lista("ComboEmpresas"), 1);
    EXPECT_EQ(m_ventana->IdEmpresa(), m_ejemplo.empresa2);
    EXPECT_EQ(m_md->IdEmpresaActiva, m_ejemplo.empresa2);
    EXPECT_EQ(entradas(lista("ComboCentros")),
              QStringList({QStringLiteral("0201 - OBRADOR"), QStringLiteral("0202 - DESPACHO PLAZA")}));
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0201"));
    EXPECT_EQ(entradas(lista("ComboTrabajadores")), obradorDe(m_ejemplo));

    // Then the centre: its workers replace the others.
    elegir(lista("ComboCentros"), 1);
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0202"));
    EXPECT_EQ(entradas(lista("ComboTrabajadores")), despachoDe(m_ejemplo));
}

TEST_F(PralTest, TypedTextChoosesOnlyAWholeEntryAndTurnsIntoCapitals)
{
    abrir();
    QComboBox* empresas = lista("ComboEmpresas");
    empresas->lineEdit()->selectAll();
    escribir(empresas->lineEdit(), QStringLiteral("panadería la espiga, s.a."));
    EXPECT_EQ(empresas->currentText(), QStringLiteral("PANADERÍA LA ESPIGA, S.A."));
    EXPECT_EQ(m_ventana->IdEmpresa(), m_ejemplo.empresa2);
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0201"));

    // A name that is no company: nothing is current below it, and the active company stays.
    QTest::keyClick(empresas->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(m_ventana->IdEmpresa(), 0);
    EXPECT_EQ(lista("ComboCentros")->count(), 0);
    EXPECT_EQ(lista("ComboTrabajadores")->count(), 0);
    EXPECT_TRUE(m_ventana->CodCentro().isEmpty());
    EXPECT_FALSE(opcion("CKTodosCentros")->isEnabled());
    EXPECT_FALSE(opcion("CKTodosTrabajadores")->isChecked());
    EXPECT_FALSE(opcion("CKTodosTrabajadores")->isEnabled());
    EXPECT_EQ(m_md->IdEmpresaActiva, m_ejemplo.empresa2);
}

TEST_F(PralTest, NegativeCompanySettingKeepsTheFirstOfEveryList)
{
    ajustar(QStringLiteral("empresa = -1"));
    abrir();
    EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), 0);
    EXPECT_EQ(lista("ComboCentros")->currentText(), kAlmacen);
    EXPECT_EQ(lista("ComboTrabajadores")->currentText(), almacenDe(m_ejemplo).value(0));
    EXPECT_EQ(m_ventana->IdEmpresa(), m_ejemplo.empresa1);
    EXPECT_EQ(m_md->IdEmpresaActiva, 0) << "only a company change makes a company active";
    EXPECT_FALSE(opcion("CKTodosCentros")->isEnabled()) << "no centre change has run yet";
}

TEST_F(PralTest, CompanySettingBeyondTheListSelectsNothing)
{
    ajustar(QStringLiteral("empresa = 5"));
    abrir();
    EXPECT_EQ(lista("ComboEmpresas")->count(), 2);
    EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), -1);
    EXPECT_EQ(lista("ComboCentros")->count(), 0);
    EXPECT_EQ(lista("ComboTrabajadores")->count(), 0);
    EXPECT_EQ(m_md->IdEmpresaActiva, 0);
    EXPECT_FALSE(opcion("CKTodosCentros")->isChecked());
    EXPECT_FALSE(opcion("CKTodosCentros")->isEnabled());
    EXPECT_FALSE(opcion("CKTodosTrabajadores")->isChecked());
    EXPECT_FALSE(opcion("CKTodosTrabajadores")->isEnabled());
}

TEST_F(PralTest, MoreCompaniesThanTheOldLimitKeepTheirIds)
{
    QList<qint64> ids = {m_ejemplo.empresa1, m_ejemplo.empresa2};
    for (int i = 0; i < 120; ++i)
        ids << fixture::empresa(db(), QStringLiteral("EMPRESA %1").arg(i), {}, {});
    ajustar(QStringLiteral("empresa = 110"));
    abrir();
    EXPECT_EQ(lista("ComboEmpresas")->count(), 122);
    EXPECT_EQ(m_ventana->IdsEmpresas(), ids);
    EXPECT_EQ(m_ventana->IdEmpresa(), ids.at(110));
    EXPECT_EQ(lista("ComboEmpresas")->currentText(), QStringLiteral("EMPRESA 108"));
}

TEST_F(PralTest, AllCentresLocksTheListsAndTicksAllWorkers)
{
    ajustar(QStringLiteral("todostrabajadores = 0"));
    abrir();
    QCheckBox* todosCentros = opcion("CKTodosCentros");
    QCheckBox* todosTrabajadores = opcion("CKTodosTrabajadores");
    ASSERT_FALSE(todosTrabajadores->isChecked());

    QTest::mouseClick(todosCentros, Qt::LeftButton, {}, QPoint(8, todosCentros->height() / 2));
    EXPECT_TRUE(todosCentros->isChecked());
    EXPECT_FALSE(lista("ComboCentros")->isEnabled());
    EXPECT_FALSE(lista("ComboTrabajadores")->isEnabled());
    EXPECT_TRUE(todosTrabajadores->isChecked());
    EXPECT_FALSE(todosTrabajadores->isEnabled());

    QTest::mouseClick(todosCentros, Qt::LeftButton, {}, QPoint(8, todosCentros->height() / 2));
    EXPECT_TRUE(lista("ComboCentros")->isEnabled());
    EXPECT_TRUE(lista("ComboTrabajadores")->isEnabled());
    EXPECT_TRUE(todosTrabajadores->isEnabled());
    EXPECT_TRUE(todosTrabajadores->isChecked()) << "unticking all centres leaves all workers ticked";
}

TEST_F(PralTest, PickingAWorkerUnticksAllWorkers)
{
    abrir();
    ASSERT_TRUE(opcion("CKTodosTrabajadores")->isChecked());
    elegir(lista("ComboTrabajadores"), 2);
    EXPECT_EQ(lista("ComboTrabajadores")->currentText(), almacenDe(m_ejemplo).value(2));
    EXPECT_FALSE(opcion("CKTodosTrabajadores")->isChecked());
    EXPECT_TRUE(opcion("CKTodosTrabajadores")->isEnabled());
}

TEST_F(PralTest, CentreWithoutWorkersLeavesAllWorkersAsItWas)
{
    abrir();
    elegir(lista("ComboCentros"), 2);
    EXPECT_EQ(m_ventana->CodCentro(), QStringLiteral("0103"));
    EXPECT_EQ(lista("ComboTrabajadores")->count(), 0);
    EXPECT_TRUE(opcion("CKTodosTrabajadores")->isChecked());
    EXPECT_TRUE(opcion("CKTodosTrabajadores")->isEnabled());
}

TEST_F(PralTest, StartMonthCrossesYearEndsAndDragsTheEndMonth)
{
    abrir(QDate(2019, 1, 20));
    auto* inicio = control<TColorCalendar>("ColorCalendar1");
    auto* fin = control<TColorCalendar>("ColorCalendar2");
    EXPECT_FALSE(fin->isVisible());
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("enero / 2019"));

    QTest::mouseClick(control<QPushButton>("BotMenos"), Qt::LeftButton);
    EXPECT_EQ(inicio->date(), QDate(2018, 12, 1));
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("diciembre / 2018"));
    EXPECT_EQ(fin->date(), QDate(2018, 12, 1));
    EXPECT_EQ(control<QLabel>("LEtiMes2")->text(), QStringLiteral("diciembre / 2018"));

    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(inicio->date(), QDate(2019, 1, 1));
    for (int i = 0; i < 11; ++i)
        QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("diciembre / 2019"));
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(inicio->date(), QDate(2020, 1, 1));
    EXPECT_EQ(fin->date(), QDate(2020, 1, 1));
}

TEST_F(PralTest, EndMonthNeverGoesBeforeTheStartMonth)
{
    abrir(QDate(2019, 12, 10));
    QCheckBox* varios = opcion("CKVariosMeses");
    auto* fin = control<TColorCalendar>("ColorCalendar2");
    auto* menos2 = control<QPushButton>("botmenos2");
    auto* mas2 = control<QPushButton>("botmas2");
    EXPECT_FALSE(menos2->isVisible());
    EXPECT_EQ(varios->text(), QStringLiteral(" Imprimir &hasta el mes:"));

    varios->click();
    EXPECT_TRUE(menos2->isVisible());
    EXPECT_TRUE(mas2->isVisible());
    EXPECT_TRUE(control<QLabel>("LEtiMes2")->isVisible());

    QTest::mouseClick(menos2, Qt::LeftButton);
    EXPECT_EQ(fin->date(), QDate(2019, 12, 10)) << "the end month equals the start month";
    QTest::mouseClick(mas2, Qt::LeftButton);
    QTest::mouseClick(mas2, Qt::LeftButton);
    EXPECT_EQ(fin->date(), QDate(2020, 2, 1));
    EXPECT_EQ(control<QLabel>("LEtiMes2")->text(), QStringLiteral("febrero / 2020"));
    QTest::mouseClick(menos2, Qt::LeftButton);
    QTest::mouseClick(menos2, Qt::LeftButton);
    QTest::mouseClick(menos2, Qt::LeftButton);
    EXPECT_EQ(fin->date(), QDate(2019, 12, 1));

    QTest::mouseClick(mas2, Qt::LeftButton);
    varios->click();
    EXPECT_FALSE(menos2->isVisible());
    EXPECT_EQ(fin->date(), QDate(2020, 1, 1)) << "unticking keeps the end month";
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(fin->date(), QDate(2020, 1, 1)) << "a new start month brings the end month to it";
}

TEST_F(PralTest, PlusAndMinusInAListMoveTheMonthInsteadOfTyping)
{
    abrir(QDate(2019, 5, 15));
    QComboBox* trabajadores = lista("ComboTrabajadores");
    const QString antes = trabajadores->currentText();
    trabajadores->setFocus();
    QTest::keyClick(trabajadores, '+');
    EXPECT_EQ(control<TColorCalendar>("ColorCalendar1")->date(), QDate(2019, 6, 1));
    EXPECT_EQ(trabajadores->currentText(), antes);
    QTest::keyClick(trabajadores, '-');
    QTest::keyClick(trabajadores, '-');
    EXPECT_EQ(control<TColorCalendar>("ColorCalendar1")->date(), QDate(2019, 4, 1));
    EXPECT_EQ(trabajadores->currentText(), antes);

    // With a range of months the keys move its end.
    opcion("CKVariosMeses")->click();
    QComboBox* centros = lista("ComboCentros");
    centros->setFocus();
    QTest::keyClick(centros, '+');
    EXPECT_EQ(control<TColorCalendar>("ColorCalendar1")->date(), QDate(2019, 4, 1));
    EXPECT_EQ(control<TColorCalendar>("ColorCalendar2")->date(), QDate(2019, 5, 1));
    EXPECT_EQ(centros->currentText(), kAlmacen);
}

TEST_F(PralTest, EscapeAsksToStopAndAnyOtherKeyTakesItBack)
{
    abrir();
    QTest::keyClick(m_ventana.get(), Qt::Key_Escape);
    EXPECT_TRUE(m_ventana->Interrumpir());
    QTest::keyClick(m_ventana.get(), Qt::Key_Shift);
    EXPECT_TRUE(m_ventana->Interrumpir()) << "a modifier alone is not a key of its own";
    QTest::keyClick(lista("ComboTrabajadores"), Qt::Key_Down);
    EXPECT_FALSE(m_ventana->Interrumpir());
}

TEST_F(PralTest, PrinterAndPdfBothStoredMeansPdf)
{
    ajustar(QStringLiteral("impresora = 1, generarPDF = 1"));
    abrir();
    EXPECT_TRUE(opcion("CKGenerarPDF")->isChecked());
    EXPECT_FALSE(opcion("CKImpre")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("RSelSalida0")->isChecked());
    EXPECT_EQ(control<QRadioButton>("RSelSalida0")->text(), QStringLiteral("Generar PDF"));
}

TEST_F(PralTest, OutputSelectorDrivesTheHiddenOptions)
{
    ajustar(QStringLiteral("impresora = 1, generarPDF = 0"));
    abrir();
    EXPECT_TRUE(control<QRadioButton>("RSelSalida2")->isChecked());
    EXPECT_TRUE(opcion("CKImpre")->isChecked());
    EXPECT_FALSE(opcion("CKGenerarPDF")->isChecked());

    control<QRadioButton>("RSelSalida1")->click();
    EXPECT_FALSE(opcion("CKImpre")->isChecked());
    EXPECT_FALSE(opcion("CKGenerarPDF")->isChecked());

    // A range of months in preview goes to the printer; unticking it goes back to the preview.
    opcion("CKVariosMeses")->click();
    EXPECT_TRUE(opcion("CKImpre")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("RSelSalida2")->isChecked());
    opcion("CKVariosMeses")->click();
    EXPECT_FALSE(opcion("CKImpre")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("RSelSalida1")->isChecked());

    control<QRadioButton>("RSelSalida0")->click();
    EXPECT_TRUE(opcion("CKGenerarPDF")->isChecked());
    opcion("CKVariosMeses")->click();
    EXPECT_FALSE(opcion("CKImpre")->isChecked()) << "PDF keeps its mode over a range";
}

TEST_F(PralTest, OwnCentreCalendarsStayInForceWhileNotOffered)
{
    ajustar(QStringLiteral("autocentros = 1, Calenxcentros = 0"));
    abrir();
    EXPECT_TRUE(opcion("CKSautocentros")->isChecked());
    EXPECT_FALSE(opcion("CKSautocentros")->isEnabled());
    EXPECT_FALSE(opcion("CKSSabados")->isEnabled());
    EXPECT_FALSE(opcion("CKSDomingos")->isEnabled());
    EXPECT_FALSE(opcion("CKSFestivos")->isEnabled());
    EXPECT_TRUE(opcion("CKSSabados")->isChecked()) << "disabled switches keep their state";
    EXPECT_FALSE(control<QAction>("ManCalendarios")->isEnabled());
    EXPECT_FALSE(m_md->Calenxcentros);
}

TEST_F(PralTest, PerCentreCalendarsOfferTheOptionAndTheCalendarScreen)
{
    ajustar(QStringLiteral("Calenxcentros = 1, Multiempresa = 0"));
    abrir();
    EXPECT_TRUE(opcion("CKSautocentros")->isEnabled());
    EXPECT_TRUE(control<QAction>("ManCalendarios")->isEnabled());
    EXPECT_FALSE(lista("ComboEmpresas")->isEnabled()) << "one company only";
    EXPECT_EQ(lista("ComboEmpresas")->currentIndex(), 0);

    QString titulo;
    alAbrirse([&](QDialog* d) { titulo = d->windowTitle(); });
    control<QAction>("ManCalendarios")->trigger();
    EXPECT_EQ(titulo, QStringLiteral("Mantenimiento de calendarios"));
    EXPECT_TRUE(m_guion.mensajes.isEmpty());

    // Own calendars switch the three shading options off, and back on.
    opcion("CKSautocentros")->click();
    EXPECT_FALSE(opcion("CKSFestivos")->isEnabled());
    opcion("CKSautocentros")->click();
    EXPECT_TRUE(opcion("CKSFestivos")->isEnabled());
}

TEST_F(PralTest, EmptySettingStopsTheLoadAtThatField)
{
    ajustar(QStringLiteral("festivos = NULL"));
    abrir();
    EXPECT_EQ(m_guion.errores,
              QStringList({QStringLiteral("El campo 'festivos' está vacío y no se puede leer como valor lógico")}));
    EXPECT_TRUE(opcion("CKSSabados")->isChecked());
    EXPECT_TRUE(opcion("CKSDomingos")->isChecked());
    // Nothing after the field: no output mode, no folder, no switches.
    EXPECT_FALSE(opcion("CKGenerarPDF")->isChecked());
    EXPECT_TRUE(control<QLineEdit>("RutaPDF")->text().isEmpty());
    EXPECT_FALSE(m_md->Multiempresa);
    EXPECT_FALSE(lista("ComboEmpresas")->isEnabled());
    // The window goes on working.
    QTest::mouseClick(control<QPushButton>("BotMas"), Qt::LeftButton);
    EXPECT_EQ(control<QLabel>("LEtiMes")->text(), QStringLiteral("junio / 2019"));
}

TEST_F(PralTest, StoreFailureInAnActionIsShownAndTheWindowGoesOn)
{
    abrir();
    db().exec(QStringLiteral("ALTER TABLE centros RENAME TO centros_fuera"));
    elegir(lista("ComboEmpresas"), 1);
    ASSERT_EQ(m_guion.errores.size(), 1);
    EXPECT_TRUE(m_guion.errores.first().contains(QStringLiteral("no such table: centros")))
        << m_guion.errores.first().toStdString();
    db().exec(QStringLiteral("ALTER TABLE centros_fuera RENAME TO centros"));
    elegir(lista("ComboEmpresas"), 0);
    EXPECT_EQ(entradas(lista("ComboCentros")), QStringList({kAlmacen, kOficinas, kTienda}));
    EXPECT_EQ(m_guion.errores.size(), 1);
}
