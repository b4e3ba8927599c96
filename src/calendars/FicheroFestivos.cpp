#include "calendars/FicheroFestivos.h"

#include "calendars/Festivos.h"
#include "calendars/LectorCsv.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <libical/ical.h>
#include <memory>

namespace ficherofestivos {

namespace {

// Yearly rules need a few hundred steps at most; the cap stops a daily rule without an end.
constexpr int kMaxRepeticiones = 20000;

struct LiberarComponente
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
struct LiberarIterador
{
    void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};

QDate fecha(const icaltimetype& t)
{
    return QDate(t.year, t.month, t.day);
}

void terminar(Lectura& l)
{
    std::stable_sort(l.dias.begin(), l.dias.end(),
                     [](const oficiales::Festivo& a, const oficiales::Festivo& b) { return a.fecha < b.fecha; });
}

void sinDias(const Lectura& l, int anio)
{
    if (!l.dias.empty())
        return;
    QString texto = QStringLiteral("El fichero no tiene ningún festivo de %1.").arg(anio);
    if (l.conHora > 0 && l.deOtrosAnios == 0)
        texto += QStringLiteral(" Sus eventos tienen hora: un festivo es un evento de día completo.");
    throw ErrorFichero(texto);
}

void leerEvento(icalcomponent* ev, int anio, int tipo, Lectura& l)
{
    const char* resumen = icalcomponent_get_summary(ev);
    const QString nombre = resumen && *resumen ? QString::fromUtf8(resumen).trimmed() : QStringLiteral("Festivo");
    const icaltimetype inicio = icalcomponent_get_dtstart(ev);
    if (icaltime_is_null_time(inicio) || !fecha(inicio).isValid())
        throw ErrorFichero(QStringLiteral("El evento «%1» no tiene una fecha de inicio válida (DTSTART).").arg(nombre));
    // libical drops a line it cannot parse and leaves a note in its place: such a file is refused rather
    // than read without the line.
    if (icalproperty* error = icalcomponent_get_first_property(ev, ICAL_XLICERROR_PROPERTY)) {
        const char* texto = icalproperty_get_xlicerror(error);
        throw ErrorFichero(QStringLiteral("El evento «%1» tiene una línea que no se entiende (%2).")
                               .arg(nombre, QString::fromUtf8(texto ? texto : "")));
    }
    if (!icaltime_is_date(inicio)) {
        ++l.conHora;
        return;
    }
    // DTEND of an all-day event is the day after the last one.
    int dias = 1;
    const icaltimetype fin = icalcomponent_get_dtend(ev);
    if (!icaltime_is_null_time(fin) && fecha(fin).isValid())
        dias = std::max<qint64>(1, fecha(inicio).daysTo(fecha(fin)));
    if (dias > 366)
        throw ErrorFichero(QStringLiteral("El evento «%1» dura más de un año.").arg(nombre));

    QSet<QDate> excluidas;
    for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(ev, ICAL_EXDATE_PROPERTY))
        excluidas.insert(fecha(icalproperty_get_exdate(p)));

    std::vector<QDate> comienzos;
    icalproperty* regla = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY);
    if (!regla) {
        comienzos.push_back(fecha(inicio));
    } else {
        const icalrecurrencetype r = icalproperty_get_rrule(regla);
        if (r.freq == ICAL_NO_RECURRENCE)
            throw ErrorFichero(QStringLiteral("La repetición (RRULE) del evento «%1» no se entiende.").arg(nombre));
        std::unique_ptr<icalrecur_iterator, LiberarIterador> it(icalrecur_iterator_new(r, inicio));
        if (!it)
            throw ErrorFichero(QStringLiteral("La repetición (RRULE) del evento «%1» no se entiende.").arg(nombre));
        for (int n = 0; n < kMaxRepeticiones; ++n) {
            const icaltimetype t = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(t) || t.year > anio)
                break;
            comienzos.push_back(fecha(t));
        }
    }
    for (const QDate& c : comienzos) {
        if (excluidas.contains(c))
            continue;
        for (int i = 0; i < dias; ++i) {
            const QDate d = c.addDays(i);
            if (d.year() == anio)
                l.dias.push_back({d, tipo, nombre});
            else if (!regla)
                ++l.deOtrosAnios;
        }
    }
}

void recorrer(icalcomponent* c, int anio, int tipo, Lectura& l, int& eventos)
{
    if (icalcomponent_isa(c) == ICAL_VEVENT_COMPONENT) {
        ++eventos;
        leerEvento(c, anio, tipo, l);
        return;
    }
    for (icalcomponent* h = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); h;
         h = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        recorrer(h, anio, tipo, l, eventos);
}

bool pareceIcs(const QByteArray& datos)
{
    QByteArray inicio = datos.left(64).trimmed();
    if (inicio.startsWith("\xEF\xBB\xBF"))
        inicio = inicio.mid(3).trimmed();
    return inicio.toUpper().startsWith("BEGIN:VCALENDAR") || inicio.toUpper().startsWith("BEGIN:VEVENT");
}

} // namespace

Lectura leerIcs(const QByteArray& datos, int anio, int tipo)
{
    if (!pareceIcs(datos))
        throw ErrorFichero(QStringLiteral("El fichero no es un calendario iCalendar: no empieza por "
                                          "BEGIN:VCALENDAR."));
    QByteArray texto = datos;
    if (texto.startsWith("\xEF\xBB\xBF"))
        texto.remove(0, 3);
    std::unique_ptr<icalcomponent, LiberarComponente> raiz(icalparser_parse_string(texto.constData()));
    if (!raiz)
        throw ErrorFichero(QStringLiteral("El fichero no es un calendario iCalendar que se pueda leer."));
    Lectura l;
    int eventos = 0;
    recorrer(raiz.get(), anio, tipo, l, eventos);
    if (eventos == 0)
        throw ErrorFichero(QStringLiteral("El calendario no tiene ningún evento (VEVENT)."));
    sinDias(l, anio);
    terminar(l);
    return l;
}

Lectura leerCsv(const QByteArray& datos, int anio, int tipo)
{
    std::vector<csv::Fila> filas;
    try {
        filas = csv::leer(datos, csv::separadorProbable(datos));
    } catch (const csv::ErrorCsv& e) {
        throw ErrorFichero(e.message());
    }
    Lectura l;
    for (const csv::Fila& fila : filas) {
        const QStringList& c = fila.campos;
        const QDate d = oficiales::fechaDeTexto(c.at(0));
        if (!d.isValid()) {
            if (&fila == &filas.front() && c.at(0).compare(QStringLiteral("fecha"), Qt::CaseInsensitive) == 0)
                continue; // the header
            throw ErrorFichero(QStringLiteral("Fila %1: «%2» no es una fecha (dd/mm/aaaa o aaaa-mm-dd).")
                                   .arg(fila.numero)
                                   .arg(c.at(0)));
        }
        int tipoDia = tipo;
        if (c.size() > 2 && !c.at(2).isEmpty()) {
            bool ok = false;
            tipoDia = c.at(2).toInt(&ok);
            if (!ok || tipoDia < 0 || tipoDia > festivos::kAbierto)
                throw ErrorFichero(
                    QStringLiteral("Fila %1: el tipo «%2» no es 0, 1, 2 ni 3.").arg(fila.numero).arg(c.at(2)));
        }
        if (d.year() != anio) {
            ++l.deOtrosAnios;
            continue;
        }
        const QString nombre = c.size() > 1 && !c.at(1).isEmpty() ? c.at(1) : QStringLiteral("Festivo");
        l.dias.push_back({d, tipoDia, nombre});
    }
    sinDias(l, anio);
    terminar(l);
    return l;
}

Lectura leer(const QString& ruta, int anio, int tipo)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorFichero(QStringLiteral("No se puede leer el fichero %1: %2").arg(ruta, f.errorString()));
    const QByteArray datos = f.readAll();
    if (pareceIcs(datos) || QFileInfo(ruta).suffix().compare(QStringLiteral("ics"), Qt::CaseInsensitive) == 0)
        return leerIcs(datos, anio, tipo);
    return leerCsv(datos, anio, tipo);
}

} // namespace ficherofestivos
