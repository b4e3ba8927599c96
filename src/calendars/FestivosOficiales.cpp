#include "calendars/FestivosOficiales.h"

#include "calendars/Festivos.h"
#include "calendars/GestionCalendarios.h"
#include "calendars/LectorCsv.h"
#include "data/RutaDatos.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace oficiales {

namespace {

QString clave(const QString& comunidad, int anio)
{
    return comunidad.toUpper() + QString::number(anio);
}

} // namespace

const std::vector<Comunidad>& comunidades()
{
    static const std::vector<Comunidad> todas = {
        {QStringLiteral("AN"), QStringLiteral("Andalucía")},
        {QStringLiteral("AR"), QStringLiteral("Aragón")},
        {QStringLiteral("CN"), QStringLiteral("Canarias")},
        {QStringLiteral("CB"), QStringLiteral("Cantabria")},
        {QStringLiteral("CL"), QStringLiteral("Castilla y León")},
        {QStringLiteral("CM"), QStringLiteral("Castilla-La Mancha")},
        {QStringLiteral("CT"), QStringLiteral("Cataluña")},
        {QStringLiteral("CE"), QStringLiteral("Ceuta")},
        {QStringLiteral("MD"), QStringLiteral("Comunidad de Madrid")},
        {QStringLiteral("NC"), QStringLiteral("Comunidad Foral de Navarra")},
        {QStringLiteral("VC"), QStringLiteral("Comunitat Valenciana")},
        {QStringLiteral("EX"), QStringLiteral("Extremadura")},
        {QStringLiteral("GA"), QStringLiteral("Galicia")},
        {QStringLiteral("IB"), QStringLiteral("Illes Balears")},
        {QStringLiteral("RI"), QStringLiteral("La Rioja")},
        {QStringLiteral("ML"), QStringLiteral("Melilla")},
        {QStringLiteral("PV"), QStringLiteral("País Vasco")},
        {QStringLiteral("AS"), QStringLiteral("Principado de Asturias")},
        {QStringLiteral("MC"), QStringLiteral("Región de Murcia")},
    };
    return todas;
}

std::optional<Comunidad> comunidad(const QString& codigo)
{
    for (const Comunidad& c : comunidades()) {
        if (c.codigo.compare(codigo.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    }
    return std::nullopt;
}

QString rutaFicheroUsuario(const QString& rutaBaseDatos)
{
    return QFileInfo(rutaBaseDatos).absoluteDir().filePath(kFicheroUsuario);
}

QDate fechaDeTexto(const QString& texto)
{
    const QString t = texto.trimmed();
    for (const char* formato : {"yyyy-MM-dd", "d/M/yyyy"}) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(formato));
        if (d.isValid())
            return d;
    }
    return {};
}

Tabla Tabla::cargar(const QString& rutaOficial, const QString& rutaUsuario)
{
    Tabla t;
    if (rutaOficial.isEmpty() || !QFileInfo(rutaOficial).isFile())
        throw ErrorTabla(QStringLiteral("No se encuentra la tabla de festivos oficiales (%1) que acompaña al "
                                        "programa.")
                             .arg(kFicheroTabla));
    t.leer(rutaOficial, false);
    if (!rutaUsuario.isEmpty() && QFileInfo(rutaUsuario).isFile())
        t.leer(rutaUsuario, true);
    return t;
}

Tabla Tabla::cargarPara(const QString& rutaBaseDatos)
{
    return cargar(rutaDatos(kFicheroTabla), rutaFicheroUsuario(rutaBaseDatos));
}

void Tabla::leer(const QString& ruta, bool usuario)
{
    const QString nombre = QFileInfo(ruta).fileName();
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorTabla(QStringLiteral("No se puede leer %1: %2").arg(ruta, f.errorString()));
    const QByteArray datos = f.readAll();
    std::vector<csv::Fila> filas;
    try {
        filas = csv::leer(datos, csv::separadorProbable(datos));
    } catch (const csv::ErrorCsv& e) {
        throw ErrorTabla(nombre + QStringLiteral(", ") + e.message());
    }
    // The user's rows of a year and community replace the shipped ones as a whole.
    QHash<QString, std::vector<Festivo>> leidos;
    for (const csv::Fila& fila : filas) {
        const QStringList& c = fila.campos;
        if (!c.isEmpty() && c.first().compare(QStringLiteral("anio"), Qt::CaseInsensitive) == 0)
            continue; // the header
        const auto mal = [&](const QString& que) {
            return ErrorTabla(QStringLiteral("%1, fila %2: %3").arg(nombre).arg(fila.numero).arg(que));
        };
        if (c.size() < 5)
            throw mal(QStringLiteral("se esperaban las columnas anio, comunidad, fecha, tipo y nombre."));
        bool ok = false;
        const int anio = c.at(0).toInt(&ok);
        if (!ok)
            throw mal(QStringLiteral("«%1» no es un año.").arg(c.at(0)));
        if (!comunidad(c.at(1)))
            throw mal(QStringLiteral("«%1» no es el código de una comunidad autónoma.").arg(c.at(1)));
        const QDate fecha = fechaDeTexto(c.at(2));
        if (!fecha.isValid())
            throw mal(QStringLiteral("«%1» no es una fecha (aaaa-mm-dd o dd/mm/aaaa).").arg(c.at(2)));
        if (fecha.year() != anio)
            throw mal(QStringLiteral("la fecha %1 no es del año %2.").arg(c.at(2)).arg(anio));
        const int tipo = c.at(3).toInt(&ok);
        if (!ok || tipo < 0 || tipo > festivos::kAbierto)
            throw mal(QStringLiteral("el tipo «%1» no es 0, 1, 2 ni 3.").arg(c.at(3)));
        leidos[clave(c.at(1), anio)].push_back({fecha, tipo, c.at(4)});
        m_anios.insert(anio);
    }
    for (auto it = leidos.begin(); it != leidos.end(); ++it) {
        std::stable_sort(it->begin(), it->end(), [](const Festivo& a, const Festivo& b) { return a.fecha < b.fecha; });
        m_dias.insert(it.key(), *it);
        if (usuario)
            m_usuario.insert(it.key());
        else
            m_usuario.remove(it.key());
    }
}

bool Tabla::tiene(const QString& comunidad, int anio) const
{
    return m_dias.contains(clave(comunidad, anio));
}

bool Tabla::tieneAnio(int anio) const
{
    return m_anios.contains(anio);
}

bool Tabla::delUsuario(const QString& comunidad, int anio) const
{
    return m_usuario.contains(clave(comunidad, anio));
}

bool Tabla::provisional(const QString& comunidad, int anio) const
{
    return tiene(comunidad, anio) && !delUsuario(comunidad, anio) && anio > kUltimoAnioContrastado;
}

std::vector<Festivo> Tabla::festivos(const QString& comunidad, int anio) const
{
    return m_dias.value(clave(comunidad, anio));
}

QString Tabla::aviso(const QString& comunidad, int anio) const
{
    if (provisional(comunidad, anio))
        return QStringLiteral("Los festivos de %1 son provisionales: siguen las reglas habituales, pero aún no se "
                              "han contrastado con la resolución del BOE de ese año. Revíselos antes de usarlos.")
            .arg(anio);
    if (delUsuario(comunidad, anio))
        return QStringLiteral("Los festivos de %1 vienen de su propio fichero %2.").arg(anio).arg(kFicheroUsuario);
    return {};
}

QString Tabla::falta(const QString& codigo, int anio) const
{
    if (tiene(codigo, anio))
        return {};
    if (!tieneAnio(anio))
        return QStringLiteral("No hay festivos oficiales de %1; puede importarlos de un fichero").arg(anio);
    const auto c = comunidad(codigo);
    return QStringLiteral("No hay festivos oficiales de %1 para %2; puede importarlos de un fichero")
        .arg(anio)
        .arg(c ? c->nombre : codigo);
}

std::vector<DiaPrevisto> prever(store::Database& db, int numero, const std::vector<Festivo>& dias, Regla regla)
{
    std::vector<DiaPrevisto> previstos;
    if (dias.empty())
        return previstos;
    QDate desde = dias.front().fecha;
    QDate hasta = desde;
    for (const Festivo& f : dias) {
        desde = std::min(desde, f.fecha);
        hasta = std::max(hasta, f.fecha);
    }
    const festivos::Calendario actual = festivos::Calendario::cargar(db, numero, desde, hasta);
    QSet<QDate> vistos;
    for (const Festivo& f : dias) {
        if (!f.fecha.isValid() || vistos.contains(f.fecha))
            continue;
        vistos.insert(f.fecha);
        DiaPrevisto d{f.fecha, f.nombre, f.tipo, actual.codigo(f.fecha), Efecto::Nuevo};
        if (d.antes) {
            if (*d.antes == f.tipo)
                d.efecto = Efecto::Igual;
            else if (regla == Regla::Reemplazar || (regla == Regla::Oficial && *d.antes >= 0 && *d.antes <= 1))
                d.efecto = Efecto::Cambia;
            else
                d.efecto = Efecto::Respetado;
        }
        previstos.push_back(d);
    }
    std::stable_sort(previstos.begin(), previstos.end(),
                     [](const DiaPrevisto& a, const DiaPrevisto& b) { return a.fecha < b.fecha; });
    return previstos;
}

namespace {

int aplicarEn(store::Database& db, int numero, const std::vector<Festivo>& dias, Regla regla)
{
    const bool base = numero == festivos::kCalendarioBase;
    if (!calendarios::existeCalendario(db, numero))
        throw calendarios::CalendarioInexistente(numero);
    // Decided again under the lock: another copy may have marked days since the preview.
    int escritos = 0;
    for (const DiaPrevisto& d : prever(db, numero, dias, regla)) {
        const QString codigo = QString::number(d.tipo);
        if (d.efecto == Efecto::Nuevo) {
            if (base)
                db.prepare(QStringLiteral("INSERT INTO calendar (fecha, codreduc) VALUES (?, ?)"))
                    .bindAll(d.fecha, codigo)
                    .run();
            else
                db.prepare(QStringLiteral("INSERT INTO calendar2 (num, fecha, codreduc) VALUES (?, ?, ?)"))
                    .bindAll(numero, d.fecha, codigo)
                    .run();
            ++escritos;
        } else if (d.efecto == Efecto::Cambia) {
            if (base)
                db.prepare(QStringLiteral("UPDATE calendar SET codreduc = ? WHERE fecha = ?"))
                    .bindAll(codigo, d.fecha)
                    .run();
            else
                db.prepare(QStringLiteral("UPDATE calendar2 SET codreduc = ? WHERE fecha = ? AND num = ?"))
                    .bindAll(codigo, d.fecha, numero)
                    .run();
            ++escritos;
        }
    }
    return escritos;
}

} // namespace

int aplicar(store::Database& db, int numero, const std::vector<Festivo>& dias, Regla regla)
{
    store::Transaction tx(db);
    const int escritos = aplicarEn(db, numero, dias, regla);
    tx.commit();
    return escritos;
}

int aplicarVarios(store::Database& db, const std::vector<Destino>& destinos, int anio, const Tabla& tabla)
{
    for (const Destino& d : destinos) {
        const QString falta = tabla.falta(d.comunidad, anio);
        if (!falta.isEmpty())
            throw ErrorTabla(falta);
    }
    store::Transaction tx(db);
    int escritos = 0;
    for (const Destino& d : destinos) {
        escritos += aplicarEn(db, d.numero, tabla.festivos(d.comunidad, anio), Regla::Oficial);
        guardarComunidad(db, d.numero, d.comunidad.toUpper());
    }
    tx.commit();
    return escritos;
}

QString nombreTipo(int codigo)
{
    if (codigo < 0 || codigo > festivos::kAbierto)
        return QString::number(codigo);
    return festivos::tiposDia()[std::size_t(codigo)].nombre;
}

QString textoEfecto(const DiaPrevisto& dia)
{
    switch (dia.efecto) {
    case Efecto::Nuevo:
        return QStringLiteral("nuevo");
    case Efecto::Igual:
        return QStringLiteral("ya marcado");
    case Efecto::Cambia:
        return QStringLiteral("cambia: %1 → %2").arg(nombreTipo(*dia.antes), nombreTipo(dia.tipo));
    case Efecto::Respetado:
        return QStringLiteral("se queda: %1").arg(nombreTipo(*dia.antes));
    }
    return {};
}

QString comunidadCalendario(store::Database& db, int numero)
{
    if (numero == festivos::kCalendarioBase)
        return {};
    store::Statement st = db.prepare(QStringLiteral("SELECT comunidad FROM Calendarios WHERE id = ?"));
    st.bind(1, numero);
    if (!st.step())
        return {};
    const QString codigo = st.text(0).trimmed();
    st.reset();
    return comunidad(codigo) ? codigo.toUpper() : QString();
}

void guardarComunidad(store::Database& db, int numero, const QString& codigo)
{
    if (numero == festivos::kCalendarioBase)
        return;
    db.prepare(QStringLiteral("UPDATE Calendarios SET comunidad = ? WHERE id = ?")).bindAll(codigo, numero).run();
}

} // namespace oficiales
