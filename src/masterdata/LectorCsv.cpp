#include "masterdata/LectorCsv.h"

#include <QStringDecoder>
#include <csv.h>

namespace csv {

namespace {

// The 0x80-0x9F block, where Windows-1252 differs from Latin-1; 0 marks the five unassigned bytes.
constexpr char16_t kBloque80[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool esUtf8(QByteArrayView bytes)
{
    QStringDecoder decodificador(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texto = decodificador.decode(bytes);
    return !decodificador.hasError();
}

// Counts each candidate in the first record, outside quotes; the most frequent is the separator.
QChar detectarSeparador(QByteArrayView bytes)
{
    int puntoYComa = 0, coma = 0, tabulador = 0;
    bool comillas = false;
    for (char c : bytes) {
        if (c == '"')
            comillas = !comillas;
        else if (!comillas && (c == '\n' || c == '\r'))
            break;
        else if (!comillas && c == ';')
            ++puntoYComa;
        else if (!comillas && c == ',')
            ++coma;
        else if (!comillas && c == '\t')
            ++tabulador;
    }
    if (tabulador > puntoYComa && tabulador > coma)
        return u'\t';
    if (coma > puntoYComa)
        return u',';
    return u';';
}

struct Lectura
{
    Codificacion codificacion;
    QStringList fila;
    QList<QStringList> filas;
    QList<int> numeros;
    int registro = 0;
};

void finCampo(void* campo, size_t largo, void* datos)
{
    auto* l = static_cast<Lectura*>(datos);
    const QByteArrayView bytes(static_cast<const char*>(campo), qsizetype(largo));
    l->fila << (l->codificacion == Codificacion::Windows1252 ? desdeWindows1252(bytes) : QString::fromUtf8(bytes));
}

void finFila(int, void* datos)
{
    auto* l = static_cast<Lectura*>(datos);
    bool vacia = true;
    for (const QString& campo : l->fila)
        vacia = vacia && campo.trimmed().isEmpty();
    ++l->registro;
    if (!vacia) {
        l->filas << l->fila;
        l->numeros << l->registro;
    }
    l->fila.clear();
}

// Only the space pads a field: with a tab separator a tab must stay a separator.
int esEspacio(unsigned char c)
{
    return c == ' ';
}

} // namespace

QString desdeWindows1252(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u < 0xA0 && kBloque80[u - 0x80] != 0)
            out += QChar(kBloque80[u - 0x80]);
        else
            out += QChar(char16_t(u));
    }
    return out;
}

Tabla leer(const QByteArray& contenido)
{
    Tabla tabla;
    QByteArrayView bytes(contenido);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        tabla.codificacion = Codificacion::Utf8ConBom;
        bytes = bytes.sliced(3);
    } else {
        tabla.codificacion = esUtf8(bytes) ? Codificacion::Utf8 : Codificacion::Windows1252;
    }
    // Excel may write its list separator on a first line of its own: "sep=;".
    if (bytes.size() >= 5 && bytes.first(4).compare("sep=", Qt::CaseInsensitive) == 0 &&
        (bytes[4] == ';' || bytes[4] == ',' || bytes[4] == '\t')) {
        tabla.separador = QLatin1Char(bytes[4]);
        const qsizetype fin = bytes.indexOf('\n');
        bytes = fin < 0 ? QByteArrayView() : bytes.sliced(fin + 1);
    } else {
        tabla.separador = detectarSeparador(bytes);
    }

    Lectura lectura{tabla.codificacion, {}, {}, {}, 0};
    csv_parser parser;
    csv_init(&parser, 0);
    csv_set_delim(&parser, static_cast<unsigned char>(tabla.separador.unicode()));
    csv_set_space_func(&parser, esEspacio);
    csv_parse(&parser, bytes.data(), size_t(bytes.size()), finCampo, finFila, &lectura);
    csv_fini(&parser, finCampo, finFila, &lectura);
    csv_free(&parser);
    tabla.filas = std::move(lectura.filas);
    tabla.numeros = std::move(lectura.numeros);
    return tabla;
}

QString nombreCodificacion(Codificacion c)
{
    switch (c) {
    case Codificacion::Utf8ConBom:
        return QStringLiteral("UTF-8 con BOM");
    case Codificacion::Utf8:
        return QStringLiteral("UTF-8");
    case Codificacion::Windows1252:
        return QStringLiteral("Windows-1252");
    }
    return {};
}

QString nombreSeparador(QChar separador)
{
    if (separador == u'\t')
        return QStringLiteral("tabulador");
    return QStringLiteral("«%1»").arg(separador);
}

} // namespace csv
