#include "base/TextHelpers.h"

QString QuitarEspacios(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == u' ')
        ++start;
    while (end > start && text.at(end - 1) == u' ')
        --end;
    return text.mid(start, end - start);
}

QString QuitarEspaciosDcha(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

QString CompactarEspacios(const QString& text)
{
    const QString trimmed = QuitarEspacios(text);
    QString result;
    result.reserve(trimmed.size());
    for (const QChar c : trimmed) {
        if (c == u' ' && result.endsWith(u' '))
            continue;
        result.append(c);
    }
    return result;
}

QString ExtraerTokens(const QString& text, const QString& separator, int first, int count)
{
    if (separator.isEmpty())
        return {};
    QString work = (separator == QStringLiteral(" ") ? CompactarEspacios(text) : QuitarEspaciosDcha(text)) + separator;
    int i = 1;
    while (i < first && work.contains(separator)) {
        work.remove(0, work.indexOf(separator) + separator.size());
        ++i;
    }
    QString result;
    if (i != first)
        return result;
    while (i < first + count) {
        const qsizetype at = work.indexOf(separator);
        if (at < 0)
            break;
        if (!result.isEmpty())
            result += separator;
        result += work.left(at);
        work.remove(0, at + separator.size());
        ++i;
    }
    return result;
}

int ValorEntero(const QString& text)
{
    QString work = text;
    work.replace(u'X', u'Z');
    work.remove(u'.');
    work = QuitarEspacios(work);
    qsizetype pos = 0;
    if (pos < work.size() && (work.at(pos) == u'+' || work.at(pos) == u'-'))
        ++pos;
    if (pos == work.size())
        return 0;
    for (qsizetype k = pos; k < work.size(); ++k) {
        if (work.at(k) < u'0' || work.at(k) > u'9')
            return 0;
    }
    bool ok = false;
    const int value = work.toInt(&ok);
    return ok ? value : 0;
}

QString CerosIzquierda(qint64 number, int width)
{
    QString text = QString::number(number).rightJustified(width, u' ');
    text.truncate(qMax(width, 0));
    text.replace(u' ', u'0');
    return text;
}

QString Reemplazar(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(search); at >= 0; at = text.indexOf(search, from)) {
        result += text.mid(from, at - from) + replacement;
        from = at + search.size();
    }
    return result + text.mid(from);
}

QString MayusculasAscii(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return result;
}
