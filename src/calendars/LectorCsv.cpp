#include "calendars/LectorCsv.h"

#include <QStringDecoder>
#include <csv.h>

namespace csv {

namespace {

struct Estado
{
    bool utf8 = true;
    int fila = 1;
    QStringList campos;
    std::vector<Fila> filas;

    QString texto(const char* datos, size_t largo) const
    {
        const QByteArray bytes(datos, qsizetype(largo));
        return (utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes)).trimmed();
    }
};

void alCampo(void* datos, size_t largo, void* estado)
{
    auto* e = static_cast<Estado*>(estado);
    e->campos << (datos ? e->texto(static_cast<const char*>(datos), largo) : QString());
}

void alFinDeFila(int, void* estado)
{
    auto* e = static_cast<Estado*>(estado);
    bool vacia = true;
    for (const QString& c : std::as_const(e->campos))
        vacia = vacia && c.isEmpty();
    if (!vacia)
        e->filas.push_back({e->fila, e->campos});
    e->campos.clear();
    ++e->fila;
}

bool esUtf8(const QByteArray& datos)
{
    QStringDecoder decodificador(QStringDecoder::Utf8);
    (void)QString(decodificador.decode(datos));
    return !decodificador.hasError();
}

} // namespace

char separadorProbable(const QByteArray& datos)
{
    const qsizetype fin = datos.indexOf('\n');
    return datos.left(fin < 0 ? datos.size() : fin).contains(';') ? ';' : ',';
}

std::vector<Fila> leer(const QByteArray& bruto, char separador)
{
    QByteArray datos = bruto;
    if (datos.startsWith("\xEF\xBB\xBF"))
        datos.remove(0, 3);
    Estado estado;
    estado.utf8 = esUtf8(datos);

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_APPEND_NULL) != 0)
        throw ErrorCsv(QStringLiteral("No hay memoria para leer el fichero."));
    csv_set_delim(&parser, static_cast<unsigned char>(separador));
    const size_t leidos = csv_parse(&parser, datos.constData(), size_t(datos.size()), alCampo, alFinDeFila, &estado);
    const bool bien = leidos == size_t(datos.size()) && csv_fini(&parser, alCampo, alFinDeFila, &estado) == 0;
    const int error = csv_error(&parser);
    csv_free(&parser);
    if (!bien) {
        if (error == CSV_EPARSE)
            throw ErrorCsv(QStringLiteral("Fila %1: las comillas no están bien cerradas.").arg(estado.fila));
        throw ErrorCsv(
            QStringLiteral("No se puede leer el fichero: %1.").arg(QString::fromLatin1(csv_strerror(error))));
    }
    return estado.filas;
}

} // namespace csv
