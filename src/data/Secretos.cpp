#include "data/Secretos.h"

#include <QByteArray>
#include <QString>
#include <cstring>
#include <sys/prctl.h>

void protegerSecretos()
{
    static const bool hecho = [] {
        prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
        return true;
    }();
    (void)hecho;
}

void borrarSecreto(QString& valor)
{
    if (!valor.isEmpty() && valor.isDetached())
        explicit_bzero(valor.data(), size_t(valor.size()) * sizeof(QChar));
    valor.clear();
}

void borrarSecreto(QByteArray& valor)
{
    if (!valor.isEmpty() && valor.isDetached())
        explicit_bzero(valor.data(), size_t(valor.size()));
    valor.clear();
}
