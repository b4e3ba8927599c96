#include "store/Espanol.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <array>

namespace store {

namespace {

QCollator crearColacion()
{
    QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(false);
    return c;
}

} // namespace

int compararEspanol(const QString& a, const QString& b)
{
    // QCollator is not safe to share between threads; each thread keeps its own.
    thread_local const QCollator colacion = crearColacion();
    const int r = colacion.compare(a, b);
    // Names equal but for case or accents still get one fixed order.
    return r != 0 ? r : a.compare(b);
}

void ordenarEspanol(const std::vector<QString>& textos, std::vector<int>& orden)
{
    thread_local const QCollator colacion = crearColacion();
    // Names hardly change between two searches: their keys are kept, within a bound.
    thread_local QHash<QString, QCollatorSortKey> claves;
    if (claves.size() > 200000)
        claves.clear();
    std::vector<QCollatorSortKey> clave;
    clave.reserve(textos.size());
    for (const QString& t : textos) {
        auto it = claves.constFind(t);
        if (it == claves.constEnd())
            it = claves.insert(t, colacion.sortKey(t));
        clave.push_back(*it);
    }
    std::sort(orden.begin(), orden.end(), [&](int a, int b) {
        const int r = clave[std::size_t(a)].compare(clave[std::size_t(b)]);
        if (r != 0)
            return r < 0;
        const int t = textos[std::size_t(a)].compare(textos[std::size_t(b)]);
        return t != 0 ? t < 0 : a < b;
    });
}

QString plegar(const QString& texto)
{
    const QString descompuesto = texto.normalized(QString::NormalizationForm_D);
    QString resultado;
    resultado.reserve(descompuesto.size());
    for (const QChar c : descompuesto) {
        if (c.category() != QChar::Mark_NonSpacing)
            resultado.append(c);
    }
    return resultado.toCaseFolded();
}

namespace {

// Code points below Greek: each folds on its own to what it folds to inside any text (decomposition and
// case folding are per character there; the marks it yields are dropped), so a table keyed by character
// gives exactly what plegar() gives for the whole text.
constexpr char32_t kTablaHasta = 0x370;

const std::array<std::string, kTablaHasta>& tablaPlegado()
{
    static const std::array<std::string, kTablaHasta> tabla = [] {
        std::array<std::string, kTablaHasta> t;
        for (char32_t c = 0; c < kTablaHasta; ++c)
            t[c] = plegar(QString(QChar(char16_t(c)))).toStdString();
        return t;
    }();
    return tabla;
}

} // namespace

void plegarUtf8(const char* texto, int bytes, std::string& destino)
{
    const auto& tabla = tablaPlegado();
    const auto* p = reinterpret_cast<const unsigned char*>(texto);
    const auto* fin = p + bytes;
    const std::size_t inicio = destino.size();
    while (p < fin) {
        const unsigned char b = *p;
        if (b < 0x80) {
            destino += char(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
            ++p;
            continue;
        }
        // Two-byte sequences cover every code point of the table; anything else goes the long way.
        if ((b & 0xE0) == 0xC0 && p + 1 < fin && (p[1] & 0xC0) == 0x80) {
            const char32_t c = (char32_t(b & 0x1F) << 6) | char32_t(p[1] & 0x3F);
            if (c >= 0x80 && c < kTablaHasta) {
                destino += tabla[c];
                p += 2;
                continue;
            }
        }
        destino.resize(inicio);
        destino += plegar(QString::fromUtf8(texto, bytes)).toStdString();
        return;
    }
}

} // namespace store
