#include "calendars/FestivosOficiales.h"
#include "calendars/GestionCalendarios.h"
#include "calendars/TColorCalendar.h"
#include "calendars/TFormAltaCalendario.h"
#include "calendars/TFormFestivos.h"
#include "calendars/TFormManCalen.h"
#include "calendars/TFormManCalendarios.h"
#include "calendars/TFrameCalendarioAnual.h"
#include "data/TMD.h"
#include "gui/CalendariosPruebas.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/InteraccionGuion.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

class FestivosVistaTest : public ::testing::Test
{
protected:
    store::Database& db() { return md.Quorvel(); }

    TFormManCalen2& abrir(int numero, int anio)
    {
        m_vista = std::make_unique<TFormManCalen2>(db());
        m_vista->NumCalendario = QString::number(numero);
        m_vista->Titulo = QStringLiteral("prueba");
        m_vista->Hoy = QDate(anio, 6, 1);
        m_vista->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_vista.get()));
        return *m_vista;
    }
    void pulsar(const char* boton)
    {
        auto* b = m_vista->findChild<QPushButton*>(QString::fromLatin1(boton));
        ASSERT_TRUE(b) << boton;
        b->click();
    }
    QStringList dias(int numero, int anio)
    {
        QStringList d;
        for (const auto& [dia, codigo] :
             calendarios::diasCalendario(db(), numero, QDate(anio, 1, 1), QDate(anio, 12, 31)))
            d << dia.toString(QStringLiteral("MM-dd")) + u'=' + QString::number(codigo);
        return d;
    }
    // The preview's rows as "fecha | festivo | tipo | efecto".
    static QStringList filas(QDialog* d)
    {
        auto* rejilla = d->findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
        QStringList f;
        for (int r = 0; rejilla && r < rejilla->rowCount(); ++r) {
            QStringList celdas;
            for (int c = 0; c < 4; ++c)
                celdas << rejilla->item(r, c)->text();
            f << celdas.join(QStringLiteral(" | "));
        }
        return f;
    }
    QColor color(QDate dia) { return m_vista->FrameCalendarioAnual1()->Mes(dia)->dayColor(dia.day()); }

    TempDir dir;
    TMD md{dir.file(QStringLiteral("Quorvel.abs"))};
    InteraccionGuion guion;
    std::unique_ptr<TFormManCalen2> m_vista;
};

TEST_F(FestivosVistaTest, OfficialHolidaysOfTheYearShownArePreviewedAppliedAndRemembered)
{
    const int numero = int(fixture::calendario(db(), QStringLiteral("Getafe")));
    fixture::festivo(db(), numero, QDate(2027, 3, 19), 2); // the town keeps San José as its own day
    fixture::festivo(db(), numero, QDate(2027, 1, 6), 1);  // wrongly typed regional
    abrir(numero, 2027);

    QString aviso;
    QStringList previstas;
    bool aplicable = false;
    alAbrirse([&](QDialog* d) {
        auto* comunidad = d->findChild<QComboBox*>(QStringLiteral("ComboComunidad"));
        ASSERT_TRUE(comunidad);
        EXPECT_EQ(comunidad->count(), 19);
        comunidad->setCurrentIndex(comunidad->findData(QStringLiteral("MD")));
        aviso = d->findChild<QLabel*>(QStringLiteral("LabelAviso"))->text();
        previstas = filas(d);
        auto* aplicar = d->findChild<QPushButton*>(QStringLiteral("BotAplicar"));
        aplicable = aplicar->isEnabled();
        aplicar->click();
    });
    pulsar("BotFestivosOficiales");

    EXPECT_EQ(aviso, QStringLiteral("Los festivos de 2027 son provisionales: siguen las reglas habituales, pero aún "
                                    "no se han contrastado con la resolución del BOE de ese año. Revíselos antes de "
                                    "usarlos."));
    ASSERT_EQ(previstas.size(), 12);
    EXPECT_EQ(previstas.at(0), QStringLiteral("01/01/2027 | Año Nuevo | Nacional | nuevo"));
    EXPECT_EQ(previstas.at(1),
              QStringLiteral("06/01/2027 | Epifanía del Señor | Nacional | cambia: CC.AA. → Nacional"));
    EXPECT_EQ(previstas.at(2), QStringLiteral("19/03/2027 | San José | CC.AA. | se queda: Local"));
    EXPECT_TRUE(aplicable);
    EXPECT_EQ(dias(numero, 2027).join(u' '),
              QStringLiteral("01-01=0 01-06=0 03-19=2 03-25=1 03-26=0 05-01=0 05-03=1 10-12=0 11-01=0 12-06=0 "
                             "12-08=0 12-25=0"));
    EXPECT_EQ(oficiales::comunidadCalendario(db(), numero), QStringLiteral("MD"));
    // The year on screen is redrawn at once.
    EXPECT_EQ(color(QDate(2027, 5, 3)), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(color(QDate(2027, 3, 19)), QColor(0x00, 0xFF, 0xFF));

    // Next time the community is already chosen and there is nothing left to apply.
    QString elegida;
    bool otraVez = true;
    alAbrirse([&](QDialog* d) {
        elegida = d->findChild<QComboBox*>(QStringLiteral("ComboComunidad"))->currentText();
        otraVez = d->findChild<QPushButton*>(QStringLiteral("BotAplicar"))->isEnabled();
    });
    pulsar("BotFestivosOficiales");
    EXPECT_EQ(elegida, QStringLiteral("Comunidad de Madrid"));
    EXPECT_FALSE(otraVez);
    EXPECT_TRUE(guion.mensajes.isEmpty()) << guion.mensajes.join(u'\n').toStdString();
}

TEST_F(FestivosVistaTest, AYearWithoutTableSaysSoAndOpensNothing)
{
    abrir(int(fixture::calendario(db(), QStringLiteral("Vacío"))), 2031);
    pulsar("BotFestivosOficiales");
    EXPECT_EQ(guion.mensajes, QStringList{QStringLiteral("No hay festivos oficiales de 2031; puede importarlos de un "
                                                         "fichero")});
}

TEST_F(FestivosVistaTest, ImportedFileIsPreviewedWithTheTypeChosenAndAMalformedOneWritesNothing)
{
    const int numero = int(fixture::calendario(db(), QStringLiteral("Getafe")));
    fixture::festivo(db(), numero, QDate(2027, 9, 9), 3);
    const QString ics = dir.file(QStringLiteral("getafe.ics"));
    QFile f(ics);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20190515\r\nRRULE:FREQ=YEARLY\r\n"
            "SUMMARY:San Isidro\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270908\r\n"
            "DTEND;VALUE=DATE:20270911\r\nSUMMARY:Fiestas\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    f.close();
    abrir(numero, 2027);

    QStringList local;
    QStringList nacional;
    guion.ficherosElegidos << ics;
    alAbrirse([&](QDialog* d) {
        local = filas(d);
        auto* tipo = d->findChild<QComboBox*>(QStringLiteral("ComboTipo"));
        EXPECT_EQ(tipo->currentText(), QStringLiteral("Local"));
        tipo->setCurrentIndex(0);
        nacional = filas(d);
        d->findChild<QPushButton*>(QStringLiteral("BotAplicar"))->click();
    });
    pulsar("BotImportarFestivos");
    EXPECT_EQ(local, QStringList({QStringLiteral("15/05/2027 | San Isidro | Local | nuevo"),
                                  QStringLiteral("08/09/2027 | Fiestas | Local | nuevo"),
                                  QStringLiteral("09/09/2027 | Fiestas | Local | se queda: Abierto"),
                                  QStringLiteral("10/09/2027 | Fiestas | Local | nuevo")}));
    EXPECT_EQ(nacional.at(0), QStringLiteral("15/05/2027 | San Isidro | Nacional | nuevo"));
    EXPECT_EQ(dias(numero, 2027).join(u' '), QStringLiteral("05-15=0 09-08=0 09-09=3 09-10=0"));
    EXPECT_EQ(color(QDate(2027, 9, 10)), QColor(0xFF, 0x00, 0x00));

    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Sin fecha\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    f.close();
    guion.ficherosElegidos << ics;
    pulsar("BotImportarFestivos");
    EXPECT_EQ(guion.mensajes, QStringList{QStringLiteral("El evento «Sin fecha» no tiene una fecha de inicio válida "
                                                         "(DTSTART).\nNo se ha marcado ningún día.")});
    EXPECT_EQ(dias(numero, 2027).join(u' '), QStringLiteral("05-15=0 09-08=0 09-09=3 09-10=0"));
}

TEST_F(FestivosVistaTest, ManagementWindowAppliesEachCalendarItsCommunityAtOnce)
{
    const int barcelona = int(fixture::calendario(db(), QStringLiteral("Barcelona")));
    const int sinMarcar = int(fixture::calendario(db(), QStringLiteral("Sin marcar")));
    TFormManCalendarios gestion(db());
    gestion.Hoy = QDate(2026, 3, 1);
    gestion.show();
    alAbrirse(
        [&](QDialog* d) {
            auto* rejilla = d->findChild<QTableWidget*>(QStringLiteral("DBGrid1"));
            ASSERT_EQ(rejilla->rowCount(), 3);
            EXPECT_EQ(rejilla->item(1, 0)->text(), QStringLiteral("%1 - Barcelona").arg(barcelona));
            const auto elegir = [&](int fila, const char* codigo) {
                rejilla->item(fila, 0)->setCheckState(Qt::Checked);
                auto* c = static_cast<QComboBox*>(rejilla->cellWidget(fila, 1));
                c->setCurrentIndex(c->findData(QString::fromLatin1(codigo)));
            };
            elegir(0, "MD");
            elegir(1, "CT");
            d->findChild<QPushButton*>(QStringLiteral("BotAplicar"))->click();
        },
        &gestion);
    gestion.findChild<QPushButton*>(QStringLiteral("BotFestivosOficiales"))->click();
    EXPECT_EQ(guion.mensajes,
              QStringList{QStringLiteral("Festivos oficiales de 2026 aplicados: 24 día(s) marcados en 2 "
                                         "calendario(s).")});
    EXPECT_EQ(dias(0, 2026).size(), 12);
    EXPECT_EQ(dias(barcelona, 2026).join(u' '),
              QStringLiteral("01-01=0 01-06=0 04-03=0 04-06=1 05-01=0 06-24=1 08-15=0 09-11=1 10-12=0 12-08=0 "
                             "12-25=0 12-26=1"));
    EXPECT_EQ(dias(sinMarcar, 2026), QStringList());
    EXPECT_EQ(oficiales::comunidadCalendario(db(), barcelona), QStringLiteral("CT"));
}

TEST_F(FestivosVistaTest, NewCalendarComesWithTheOfficialHolidaysOfItsCommunity)
{
    TFormAltaCalendario alta(db());
    alta.Hoy = QDate(2026, 2, 1);
    alta.show();
    alta.findChild<QLineEdit*>(QStringLiteral("DBEdit1"))->setText(QStringLiteral("Tienda Vigo"));
    alta.findChild<QRadioButton*>(QStringLiteral("RRelleno0"))->click();
    alta.findChild<QCheckBox*>(QStringLiteral("CKOficiales"))->click();
    auto* comunidad = alta.findChild<QComboBox*>(QStringLiteral("ComboComunidad"));
    ASSERT_TRUE(comunidad->isEnabled());
    comunidad->setCurrentIndex(comunidad->findData(QStringLiteral("GA")));
    alta.findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click();
    ASSERT_GT(alta.NuevoCalendario, 0);
    // Galicia 2026: San José, Jueves Santo, San Juan (the Letras Galegas fall on a Sunday) and Santiago.
    EXPECT_EQ(dias(alta.NuevoCalendario, 2026).join(u' '),
              QStringLiteral("01-01=0 01-06=0 03-19=1 04-02=1 04-03=0 05-01=0 06-24=1 07-25=1 08-15=0 10-12=0 "
                             "12-08=0 12-25=0"));
    EXPECT_EQ(oficiales::comunidadCalendario(db(), alta.NuevoCalendario), QStringLiteral("GA"));
    EXPECT_TRUE(guion.mensajes.isEmpty());
}

} // namespace
