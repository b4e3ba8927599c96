#include "calendars/GestionCalendarios.h"
#include "calendars/TFormAltaCalendario.h"
#include "calendars/TFormManCalendarios.h"
#include "data/TMD.h"
#include "gui/CalendariosPruebas.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/InteraccionGuion.h"
#include "support/TempDir.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class ManCalendariosTest : public ::testing::Test
{
protected:
    void SetUp() override { e = fixture::crearEjemplo(db()); }
    store::Database& db() { return md.Quorvel(); }

    TFormManCalendarios& abrir()
    {
        m_ventana = std::make_unique<TFormManCalendarios>(db());
        m_ventana->Hoy = QDate(2019, 5, 15);
        m_ventana->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_ventana.get()));
        return *m_ventana;
    }
    template <typename T> T* control(const char* nombre, QWidget* en = nullptr)
    {
        T* c = (en ? en : m_ventana.get())->findChild<T*>(QString::fromLatin1(nombre));
        if (!c)
            ADD_FAILURE() << "no control " << nombre;
        return c;
    }
    void elegirFila(int id)
    {
        auto* lista = control<QTableView>("DBGrid1");
        lista->selectRow(m_ventana->modelo().fila(id));
    }
    // One calendar's days as "fecha=codigo".
    QStringList dias(int numero, int desde = 1900, int hasta = 2999)
    {
        QStringList d;
        for (const auto& [dia, codigo] :
             calendarios::diasCalendario(db(), numero, QDate(desde, 1, 1), QDate(hasta, 12, 31)))
            d << dia.toString(Qt::ISODate) + u'=' + QString::number(codigo);
        return d;
    }
    int cuenta(const QString& sql)
    {
        store::Statement st = db().prepare(sql);
        st.step();
        return int(st.integer(0));
    }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    fixture::Ejemplo e;
    InteraccionGuion guion;
    std::unique_ptr<TFormManCalendarios> m_ventana;
};

} // namespace

TEST_F(ManCalendariosTest, DeletingACalendarInUseListsItsCentresAndAnUnusedOneGoesWithItsDays)
{
    const int usado = int(fixture::calendario(db(), QStringLiteral("VALENCIA")));
    fixture::centro(db(), e.empresa2, QStringLiteral("07"), QStringLiteral("TIENDA PUERTO"), usado);
    fixture::centro(db(), e.empresa2, QStringLiteral("08"), QStringLiteral("TIENDA RUZAFA"), usado);
    fixture::festivo(db(), usado, QDate(2019, 3, 19), 2);
    const int libre = int(fixture::calendario(db(), QStringLiteral("SIN USO")));
    fixture::festivo(db(), libre, QDate(2019, 3, 19), 2);
    fixture::festivo(db(), libre, QDate(2020, 3, 19), 2);

    auto& v = abrir();
    auto* lista = control<QTableView>("DBGrid1");
    EXPECT_EQ(lista->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Núm."));
    EXPECT_EQ(lista->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descripción calendario"));
    EXPECT_EQ(v.modelo().rowCount(), 3);

    elegirFila(usado);
    control<QPushButton>("SpeedButton2")->click();
    EXPECT_EQ(guion.mensajes,
              QStringList({QStringLiteral("Hay 2 centro/s que tiene/n este calendario; no se ha borrado.")}));
    auto* memo = control<QPlainTextEdit>("MemoErrores");
    EXPECT_TRUE(memo->isVisible());
    EXPECT_EQ(memo->height(), 250);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("0207 - TIENDA PUERTO\n0208 - TIENDA RUZAFA\n"
                                                  "-------------------------\nDoble clic para cerrar"));
    EXPECT_EQ(dias(usado), QStringList({QStringLiteral("2019-03-19=2")}));
    EXPECT_EQ(v.modelo().rowCount(), 3);
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(memo->isVisible());

    guion.mensajes.clear();
    elegirFila(libre);
    control<QPushButton>("SpeedButton2")->click();
    EXPECT_TRUE(guion.textos.size() == 1) << "no question before deleting";
    EXPECT_TRUE(guion.mensajes.isEmpty());
    EXPECT_FALSE(memo->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Calendarios WHERE id = %1").arg(libre)), 0);
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM calendar2 WHERE num = %1").arg(libre)), 0);
    EXPECT_EQ(v.modelo().fila(libre), -1);
    EXPECT_EQ(v.modelo().rowCount(), 2);
}

TEST_F(ManCalendariosTest, CopyingTheBaseYearReplacesThatYearInEveryCalendarAndNothingElse)
{
    const int segundo = int(fixture::calendario(db(), QStringLiteral("SEGUNDO")));
    const int tercero = int(fixture::calendario(db(), QStringLiteral("TERCERO")));
    fixture::festivo(db(), segundo, QDate(2018, 12, 26), 2);
    fixture::festivo(db(), segundo, QDate(2019, 6, 24), 2);
    fixture::festivo(db(), tercero, QDate(2020, 1, 2), 1);
    const QStringList base2019 = dias(0, 2019, 2019);
    const QStringList madridFuera = dias(e.calendarioMadrid, 2026, 2026);
    ASSERT_EQ(base2019.size(), 10);

    abrir();
    auto* seguro = control<QLineEdit>("ESeguro");
    auto* copiar = control<QPushButton>("BotCopiar");
    EXPECT_EQ(control<QLineEdit>("EAnyo")->text(), QStringLiteral("2019"));
    EXPECT_FALSE(copiar->isEnabled());
    QTest::keyClicks(seguro, QStringLiteral("seguro"));
    EXPECT_EQ(seguro->text(), QStringLiteral("SEGURO"));
    EXPECT_TRUE(copiar->isEnabled());
    QTest::keyClick(seguro, Qt::Key_S);
    EXPECT_FALSE(copiar->isEnabled());
    QTest::keyClick(seguro, Qt::Key_Backspace);
    EXPECT_TRUE(copiar->isEnabled());

    const QString pregunta = QStringLiteral("Confirmación: ¿Seguro que quieres copiar el calendario base a los otros?. "
                                            "Esto borrará toda la información previa del año");
    guion.respuestas = {false};
    copiar->click();
    EXPECT_EQ(guion.confirmaciones, QStringList({pregunta}));
    EXPECT_EQ(dias(segundo), QStringList({QStringLiteral("2018-12-26=2"), QStringLiteral("2019-06-24=2")}));

    guion.respuestas = {true};
    copiar->click();
    EXPECT_EQ(guion.confirmaciones.size(), 2);
    for (const int n : {e.calendarioMadrid, segundo, tercero})
        EXPECT_EQ(dias(n, 2019, 2019), base2019) << n;
    EXPECT_EQ(dias(segundo, 2018, 2018), QStringList({QStringLiteral("2018-12-26=2")}));
    EXPECT_EQ(dias(tercero, 2020, 2020), QStringList({QStringLiteral("2020-01-02=1")}));
    EXPECT_EQ(dias(e.calendarioMadrid, 2026, 2026), madridFuera);
    EXPECT_TRUE(guion.mensajes.isEmpty());
    EXPECT_TRUE(copiar->isEnabled()) << "the safety word stays";

    // A year that is not one is refused before anything is deleted or asked.
    for (const char* malo : {"19", "20a9", "1899", ""}) {
        control<QLineEdit>("EAnyo")->setText(QString::fromLatin1(malo));
        copiar->click();
    }
    EXPECT_EQ(guion.mensajes, QStringList(4, QStringLiteral("Año no válido")));
    EXPECT_EQ(guion.confirmaciones.size(), 2);
    EXPECT_EQ(dias(segundo, 2019, 2019), base2019);
}

TEST_F(ManCalendariosTest, NewCalendarFromTheBaseTakesThisYearOnwardAndFromAnotherItsDays)
{
    fixture::festivo(db(), 0, QDate(2018, 12, 25), 0);
    fixture::festivo(db(), 0, QDate(2020, 12, 25), 0);
    abrir();
    const int antes = m_ventana->modelo().rowCount();

    QStringList textos;
    alAbrirse(
        [&](QDialog* alta) {
            EXPECT_EQ(alta->windowTitle(), QStringLiteral("Nuevo calendario"));
            auto* operacion = control<QLabel>("Loperacion", alta);
            EXPECT_EQ(operacion->text(), QString());
            QTest::keyClicks(control<QLineEdit>("DBEdit1", alta), QStringLiteral("BARCELONA"));
            control<QPushButton>("SpeedButton1", alta)->click(); // no fill chosen
            control<QTableView>("DBGrid1", alta)->selectRow(0);
            for (const char* opcion : {"RRelleno0", "RRelleno2", "RRelleno1"}) {
                control<QRadioButton>(opcion, alta)->click();
                textos << operacion->text();
            }
            control<QPushButton>("SpeedButton1", alta)->click();
        },
        m_ventana.get());
    control<QPushButton>("SpeedButton1")->click();
    EXPECT_EQ(guion.mensajes, QStringList({QStringLiteral("Elija cómo rellenar el nuevo calendario")}));
    EXPECT_EQ(textos, QStringList({QStringLiteral("Crear un nuevo calendario VACÍO"),
                                   QStringLiteral("Crear nuevo calendario en base a:  Calendario %1 - MADRID CAPITAL")
                                       .arg(e.calendarioMadrid),
                                   QStringLiteral("Crear nuevo calendario en base a:  CALENDARIO BASE")}));

    ASSERT_EQ(m_ventana->modelo().rowCount(), antes + 1);
    const int nuevo = m_ventana->seleccionado();
    EXPECT_EQ(m_ventana->modelo().descripcion(m_ventana->modelo().fila(nuevo)), QStringLiteral("BARCELONA"));
    EXPECT_TRUE(dias(nuevo, 1900, 2018).isEmpty()) << "nothing before this year";
    EXPECT_EQ(dias(nuevo), dias(0, 2019, 2999));
    EXPECT_TRUE(dias(nuevo).contains(QStringLiteral("2020-12-25=0")));

    // From the calendar selected in the list: its days from this year on.
    alAbrirse(
        [&](QDialog* alta) {
            control<QLineEdit>("DBEdit1", alta)->setText(QStringLiteral("COPIA MADRID"));
            control<QTableView>("DBGrid1", alta)->selectRow(0);
            control<QRadioButton>("RRelleno2", alta)->click();
            control<QPushButton>("SpeedButton1", alta)->click();
        },
        m_ventana.get());
    control<QPushButton>("SpeedButton1")->click();
    EXPECT_EQ(dias(m_ventana->seleccionado()), dias(e.calendarioMadrid, 2019));

    // An empty one has no days: its year shows the Sundays alone, in silver.
    alAbrirse(
        [&](QDialog* alta) {
            control<QLineEdit>("DBEdit1", alta)->setText(QStringLiteral("VACÍO"));
            control<QRadioButton>("RRelleno0", alta)->click();
            control<QPushButton>("SpeedButton1", alta)->click();
        },
        m_ventana.get());
    control<QPushButton>("SpeedButton1")->click();
    const int vacio = m_ventana->seleccionado();
    EXPECT_TRUE(dias(vacio).isEmpty());
    int coloreados = 0;
    alAbrirse(
        [&](QDialog* vista) {
            for (auto* mes : vista->findChildren<TColorCalendar*>()) {
                for (int d = 1; d <= TColorCalendar::daysInMonth(2019, mes->month()); ++d) {
                    const QColor c = mes->dayColor(d);
                    const bool domingo = QDate(2019, mes->month(), d).dayOfWeek() == Qt::Sunday;
                    EXPECT_EQ(c.isValid() ? c.toRgb() : QColor(), domingo ? QColor(0xC0, 0xC0, 0xC0) : QColor());
                    coloreados += c.isValid();
                }
            }
        },
        m_ventana.get());
    control<QPushButton>("BotVerCalendario")->click();
    EXPECT_EQ(coloreados, 52) << "the Sundays of 2019";

    // "Cancelar" stores nothing.
    alAbrirse(
        [&](QDialog* alta) {
            control<QRadioButton>("RRelleno0", alta)->click();
            control<QPushButton>("SpeedButton2", alta)->click();
        },
        m_ventana.get());
    control<QPushButton>("SpeedButton1")->click();
    EXPECT_EQ(m_ventana->modelo().rowCount(), antes + 3);
}

TEST_F(ManCalendariosTest, CommandsOnAnEmptyListSaySoAndTheYearViewsOpenWithTheirTitles)
{
    abrir();
    QString titulo;
    alAbrirse([&](QDialog* vista) { titulo = vista->windowTitle(); }, m_ventana.get());
    elegirFila(e.calendarioMadrid);
    control<QPushButton>("BotVerCalendario")->click();
    EXPECT_EQ(titulo, QStringLiteral("Calendario Laboral:  %1  -  MADRID CAPITAL").arg(e.calendarioMadrid));
    alAbrirse([&](QDialog* vista) { titulo = vista->windowTitle(); }, m_ventana.get());
    control<QPushButton>("BotCalendarioBase")->click();
    EXPECT_EQ(titulo, QStringLiteral("Calendario Laboral:  BASE "));

    db().exec(QStringLiteral("DELETE FROM Calendarios"));
    m_ventana->modelo().recargar();
    control<QPushButton>("BotVerCalendario")->click();
    control<QPushButton>("SpeedButton2")->click();
    EXPECT_EQ(guion.mensajes, QStringList(2, QStringLiteral("No hay ningún calendario seleccionado")));

    // With no calendar to copy from, "Calendario seleccionado" refuses and stores nothing.
    alAbrirse(
        [&](QDialog* alta) {
            control<QRadioButton>("RRelleno2", alta)->click();
            EXPECT_EQ(control<QLabel>("Loperacion", alta)->text(),
                      QStringLiteral("Crear nuevo calendario en base a:  "));
            control<QPushButton>("SpeedButton1", alta)->click();
            EXPECT_TRUE(alta->isVisible());
        },
        m_ventana.get());
    control<QPushButton>("SpeedButton1")->click();
    EXPECT_EQ(guion.mensajes.last(), QStringLiteral("No hay ningún calendario seleccionado"));
    EXPECT_EQ(cuenta(QStringLiteral("SELECT count(*) FROM Calendarios")), 0);
}
