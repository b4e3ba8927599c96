#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class QTextStream;
class TMD;
namespace store {
class Database;
}

// What every mode of quorvel-lote shares: exit codes, reading "--nombre valor" options, months and the database.
namespace lote {

enum Salida { Correcto = 0, Fallo = 1, Argumentos = 2, NoDisponible = 3 };

struct ErrorArgumentos
{
    QString texto;
};

// "--nombre valor" or "--nombre=valor" for each name of `conValor`; "--help", "-h" and "--ayuda" give the
// key "help". `saltar` lists flags the caller has already taken. `desconocida` words the refusal of any other
// option ("%1" is its name). Throws ErrorArgumentos.
QHash<QString, QString> leerArgumentos(const QStringList& argumentos, const QStringList& conValor,
                                       const QStringList& saltar = {},
                                       const QString& desconocida = QStringLiteral("Opción desconocida: --%1."));

// A month "AAAAMM" of option --`nombre`, within the months a run accepts. Throws ErrorArgumentos.
QDate mes(const QString& texto, const QString& nombre);

// The company number given with --empresa. Throws ErrorArgumentos when it is not a whole number.
qint64 idEmpresa(const QHash<QString, QString>& opciones);

// Opens the database file `base`; on failure says why on `errores` and returns null (exit NoDisponible).
std::unique_ptr<TMD> abrirBase(const QString& base, QTextStream& errores);

// Whether company `id` exists; when not, says so on `errores` (exit NoDisponible).
bool existeEmpresa(store::Database& db, qint64 id, QTextStream& errores);

} // namespace lote
