#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;
namespace store {
class Database;
}

extern const QString kAyudaEnvioLote;

// Takes "--conexiones N" (or "--conexiones=N") out of the arguments: the messages sent at once, instead of the
// settings' value. On a wrong value `error` says why.
std::optional<int> sacarConexiones(QStringList& argumentos, QString& error);
// True when the arguments name no run (no company, centre or month): "--enviar" then mails what the folder holds.
bool soloEnvio(const QStringList& argumentosSinEnviar);
// quorvel-lote --enviar [--base F] [--carpeta DIR]: mails the Quorvel_*.pdf files already in the folder.
// Files that already went to the same addresses are left out with a line, unless `reenviar`.
int enviarCarpetaLote(const QStringList& argumentosSinEnviar, const QString& baseDefecto, QTextStream& salida,
                      QTextStream& errores, bool reenviar = false, std::optional<int> conexiones = std::nullopt);
// Mails the files a run has just written (full paths), a result line per file on `salida`.
// 0 when every file went out or had gone before, 1 otherwise.
int enviarFicherosLote(store::Database& db, const QStringList& ficheros, QTextStream& salida, QTextStream& errores,
                       bool reenviar = false, std::optional<int> conexiones = std::nullopt);
