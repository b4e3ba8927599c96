#pragma once

#include <QList>
#include <QStringList>

namespace store {
class Database;
}

// The entries of the main window's selection lists; the code or id is always the entry's first token.

// The code or id of a list entry: its first space-separated token.
QString codigoEntrada(const QString& entrada);

// Company names in query order; `ids` receives the id at each position.
QStringList entradasEmpresas(store::Database& db, QList<qint64>* ids = nullptr);
// "codcentro - nomcentro" of a company's centres, ordered by code; `codigos` receives each whole code, `ids`
// each id.
QStringList entradasCentros(store::Database& db, qint64 idempresa, QStringList* codigos = nullptr,
                            QList<qint64>* ids = nullptr);
// "id - nomtrabajador" of a centre's workers, in Spanish order of the names (Á with A, Ñ after N).
QStringList entradasTrabajadores(store::Database& db, const QString& codcentro);
