#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <initializer_list>

// A file's bytes; empty when it cannot be read.
inline QByteArray contenido(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// UTF-8 literals as a list, for the expected lines of a test.
inline QStringList lista(std::initializer_list<const char*> textos)
{
    QStringList l;
    for (const char* t : textos)
        l << QString::fromUtf8(t);
    return l;
}
