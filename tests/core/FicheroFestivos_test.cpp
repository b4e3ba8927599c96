#include "calendars/FicheroFestivos.h"
#include "support/Textos.h"

#include <gtest/gtest.h>

using namespace ficherofestivos;

namespace {

// "fecha=tipo nombre" of each day read.
QStringList leidos(const Lectura& l)
{
    QStringList d;
    for (const oficiales::Festivo& f : l.dias)
        d << f.fecha.toString(Qt::ISODate) + u'=' + QString::number(f.tipo) + u' ' + f.nombre;
    return d;
}

QString errorDe(const std::function<void()>& leer)
{
    try {
        leer();
    } catch (const ErrorFichero& e) {
        return e.message();
    }
    return QStringLiteral("(sin error)");
}

// A town's calendar as town halls publish it: folded lines, CRLF, a yearly day since 2019 with one year
// left out, the patron's fair over three days, a meeting with a time of day, and a one-day event without
// DTEND.
const QByteArray kAyuntamiento = "BEGIN:VCALENDAR\r\n"
                                 "VERSION:2.0\r\n"
                                 "PRODID:-//Ayuntamiento de Ejemplo//Festivos//ES\r\n"
                                 "BEGIN:VEVENT\r\n"
                                 "UID:isidro@ayto\r\n"
                                 "DTSTART;VALUE=DATE:20190515\r\n"
                                 "DTEND;VALUE=DATE:20190516\r\n"
                                 "RRULE:FREQ=YEARLY\r\n"
                                 "EXDATE;VALUE=DATE:20260515\r\n"
                                 "SUMMARY:San Isidro Labr\r\n"
                                 " ador\r\n"
                                 "END:VEVENT\r\n"
                                 "BEGIN:VEVENT\r\n"
                                 "UID:fiestas@ayto\r\n"
                                 "DTSTART;VALUE=DATE:20270908\r\n"
                                 "DTEND;VALUE=DATE:20270911\r\n"
                                 "SUMMARY:Fiestas patronales\r\n"
                                 "END:VEVENT\r\n"
                                 "BEGIN:VEVENT\r\n"
                                 "UID:pleno@ayto\r\n"
                                 "DTSTART:20270301T100000Z\r\n"
                                 "DTEND:20270301T120000Z\r\n"
                                 "SUMMARY:Pleno\r\n"
                                 "END:VEVENT\r\n"
                                 "BEGIN:VEVENT\r\n"
                                 "UID:carmen@ayto\r\n"
                                 "DTSTART;VALUE=DATE:20270716\r\n"
                                 "SUMMARY:Virgen del Carmen\r\n"
                                 "END:VEVENT\r\n"
                                 "END:VCALENDAR\r\n";

TEST(FicheroFestivosTest, IcsGivesRecurringAndMultiDayEventsOfTheYearAsked)
{
    const Lectura l2027 = leerIcs(kAyuntamiento, 2027, 2);
    EXPECT_EQ(leidos(l2027), lista({"2027-05-15=2 San Isidro Labrador", "2027-07-16=2 Virgen del Carmen",
                                    "2027-09-08=2 Fiestas patronales", "2027-09-09=2 Fiestas patronales",
                                    "2027-09-10=2 Fiestas patronales"}));
    EXPECT_EQ(l2027.conHora, 1);
    // 2026 is left out of the yearly day and has no other event.
    EXPECT_EQ(errorDe([] { leerIcs(kAyuntamiento, 2026, 2); }),
              QStringLiteral("El fichero no tiene ningún festivo de 2026."));
    EXPECT_EQ(leidos(leerIcs(kAyuntamiento, 2020, 1)), lista({"2020-05-15=1 San Isidro Labrador"}));
}

TEST(FicheroFestivosTest, CsvWithSpanishDatesAndOptionalType)
{
    const QByteArray csv = "fecha;nombre;tipo\n"
                           "15/05/2027;San Isidro\n"
                           "\n"
                           "9/9/2027;\"Fiestas; día grande\";3\n"
                           "2027-09-10;Fiestas;1\n"
                           "15/05/2028;San Isidro\n";
    const Lectura l = leerCsv(csv, 2027, 2);
    EXPECT_EQ(leidos(l),
              lista({"2027-05-15=2 San Isidro", "2027-09-09=3 Fiestas; día grande", "2027-09-10=1 Fiestas"}));
    EXPECT_EQ(l.deOtrosAnios, 1);
    EXPECT_EQ(leidos(leerCsv("01/11/2027,Todos los Santos\n", 2027, 0)), lista({"2027-11-01=0 Todos los Santos"}));
}

TEST(FicheroFestivosTest, MalformedFilesAreRefusedInSpanish)
{
    EXPECT_EQ(errorDe([] { leerCsv("fecha;nombre\n31/02/2027;Nada\n", 2027, 2); }),
              QStringLiteral("Fila 2: «31/02/2027» no es una fecha (dd/mm/aaaa o aaaa-mm-dd)."));
    EXPECT_EQ(errorDe([] { leerCsv("15/05/2027;San Isidro;7\n", 2027, 2); }),
              QStringLiteral("Fila 1: el tipo «7» no es 0, 1, 2 ni 3."));
    EXPECT_EQ(errorDe([] { leerCsv("15/05/2027;\"San Isidro\n", 2027, 2); }),
              QStringLiteral("Fila 1: las comillas no están bien cerradas."));
    EXPECT_EQ(errorDe([] {
                  leerIcs("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:2027XX15\r\nSUMMARY:Roto\r\n"
                          "END:VEVENT\r\nEND:VCALENDAR\r\n",
                          2027, 2);
              }),
              QStringLiteral("El evento «Roto» no tiene una fecha de inicio válida (DTSTART)."));
    const QString regla = errorDe([] {
        leerIcs("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270515\r\nRRULE:FREQ=ANUAL\r\n"
                "SUMMARY:Mal\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
                2027, 2);
    });
    EXPECT_TRUE(regla.startsWith(QStringLiteral("El evento «Mal» tiene una línea que no se entiende (")))
        << regla.toStdString();
    EXPECT_TRUE(regla.contains(QStringLiteral("RRULE"))) << regla.toStdString();
    EXPECT_EQ(errorDe([] { leerIcs("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n", 2027, 2); }),
              QStringLiteral("El calendario no tiene ningún evento (VEVENT)."));
    EXPECT_EQ(errorDe([] { leerIcs("esto no es un calendario", 2027, 2); }),
              QStringLiteral("El fichero no es un calendario iCalendar: no empieza por BEGIN:VCALENDAR."));
    EXPECT_EQ(errorDe([] { leer(QStringLiteral("/no/existe.ics"), 2027, 2); }).left(32),
              QStringLiteral("No se puede leer el fichero /no/"));
}

} // namespace
