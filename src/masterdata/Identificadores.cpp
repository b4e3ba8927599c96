#include "masterdata/Identificadores.h"

namespace identificadores {

namespace {

const QString kLetrasNif = QStringLiteral("TRWAGMYFPDXBNJZSQVHLCKE");
const QString kLetrasCif = QStringLiteral("JABCDEFGHI");

bool soloCifras(QStringView texto)
{
    for (QChar c : texto)
        if (c < u'0' || c > u'9')
            return false;
    return !texto.isEmpty();
}

// Only the digits: social security numbers are written with slashes, spaces or nothing between their parts.
QString cifras(const QString& valor)
{
    QString out;
    for (QChar c : valor)
        if (!c.isSpace() && c != u'/' && c != u'-' && c != u'.')
            out += c;
    return out;
}

QString avisoNifCompacto(const QString& v)
{
    const bool nie = !v.isEmpty() && (v[0] == u'X' || v[0] == u'Y' || v[0] == u'Z');
    const QString tipo = nie ? QStringLiteral("NIE") : QStringLiteral("NIF");
    const bool forma = v.size() == 9 && v[8].isLetter();
    QString numero;
    if (forma && nie && soloCifras(QStringView(v).mid(1, 7)))
        numero = QString::number(v[0].unicode() - u'X') + v.mid(1, 7);
    else if (forma && !nie && soloCifras(QStringView(v).left(8)))
        numero = v.left(8);
    if (numero.isEmpty() && nie)
        return QStringLiteral("NIE no válido: debe tener una letra X, Y o Z, 7 cifras y una letra");
    if (numero.isEmpty())
        return QStringLiteral("NIF no válido: debe tener 8 cifras y una letra");
    const QChar letra = kLetrasNif[int(numero.toLongLong() % 23)];
    if (v[8] != letra)
        return tipo + QStringLiteral(" no válido: la letra debería ser ") + letra;
    return {};
}

// The rule of the two digits modulo 97 shared by NSS and CCC; `numero` are the digits after the province.
int controlSeguridadSocial(const QString& provincia, const QString& numero)
{
    const qint64 p = provincia.toLongLong();
    const qint64 n = numero.toLongLong();
    // A number below 10,000,000 drops its leading zero before the province is put in front.
    const qint64 base = n < 10000000 ? p * 10000000 + n : (provincia + numero).toLongLong();
    return int(base % 97);
}

QString avisoModulo97(const QString& valor, const QString& nombre, int largo)
{
    const QString c = cifras(valor);
    if (c.isEmpty())
        return {};
    if (c.size() != largo || !soloCifras(c))
        return QStringLiteral("%1 no válido: debe tener %2 cifras").arg(nombre).arg(largo);
    const int esperado = controlSeguridadSocial(c.left(2), c.mid(2, largo - 4));
    if (c.right(2).toInt() != esperado)
        return QStringLiteral("%1 no válido: los dígitos de control deberían ser %2")
            .arg(nombre, QStringLiteral("%1").arg(esperado, 2, 10, QLatin1Char('0')));
    return {};
}

} // namespace

QString compactar(const QString& valor)
{
    QString out;
    out.reserve(valor.size());
    for (QChar c : valor)
        if (!c.isSpace() && c != u'.' && c != u'-' && c != u'/')
            out += c.toUpper();
    return out;
}

QString avisoNif(const QString& nif)
{
    const QString v = compactar(nif);
    if (v.isEmpty())
        return {};
    return avisoNifCompacto(v);
}

QString avisoCif(const QString& cif)
{
    const QString v = compactar(cif);
    if (v.isEmpty())
        return {};
    // A self-employed employer is identified by a personal NIF; K, L and M are personal NIFs too.
    if (v[0].isDigit() || v[0] == u'X' || v[0] == u'Y' || v[0] == u'Z')
        return avisoNifCompacto(v);
    if (v[0] == u'K' || v[0] == u'L' || v[0] == u'M')
        return {};
    if (v.size() != 9 || !QStringLiteral("ABCDEFGHJNPQRSUVW").contains(v[0]) || !soloCifras(QStringView(v).mid(1, 7)))
        return QStringLiteral("CIF no válido: debe tener una letra, 7 cifras y un carácter de control");
    int suma = 0;
    for (int i = 0; i < 7; ++i) {
        const int d = v[1 + i].unicode() - u'0';
        // Positions 1, 3, 5 and 7 are doubled and their digits added.
        suma += (i % 2 == 0) ? (2 * d) / 10 + (2 * d) % 10 : d;
    }
    const int digito = (10 - suma % 10) % 10;
    const QChar cifra = QChar(u'0' + digito);
    const QChar letra = kLetrasCif[digito];
    const QChar control = v[8];
    // Public bodies, associations and foreign entities end in a letter; companies limited by shares, in a digit.
    if (QStringLiteral("NPQRSW").contains(v[0])) {
        if (control != letra)
            return QStringLiteral("CIF no válido: la letra de control debería ser ") + letra;
    } else if (QStringLiteral("ABEH").contains(v[0])) {
        if (control != cifra)
            return QStringLiteral("CIF no válido: el dígito de control debería ser ") + cifra;
    } else if (control != cifra && control != letra) {
        return QStringLiteral("CIF no válido: el carácter de control debería ser %1 o %2").arg(cifra).arg(letra);
    }
    return {};
}

QString avisoNss(const QString& nss)
{
    return avisoModulo97(nss, QStringLiteral("NSS"), 12);
}

QString avisoCcc(const QString& ccc)
{
    return avisoModulo97(ccc, QStringLiteral("CCC"), 11);
}

} // namespace identificadores
