#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace store {
class Database;
}

// Which centre each PDF a run wrote is for, by the file's bytes (table ficheros). The name carries the centre's
// code as it was when the file was written; another copy may recode the centre before the file is mailed, and
// only the id stays.
namespace ficheros {

// SHA-256 of the bytes, in hex.
QString huella(const QByteArray& bytes);
// Notes that `ruta` was just written with the sheets of centre `idcentro`. An earlier file of the same centre
// and name was overwritten by it and is forgotten.
void anotar(store::Database& db, const QString& ruta, qint64 idcentro);
// The centre a file of this name and these bytes was written for; none when no run noted it (a copy under
// another name is not the run's file), or when two centres gave the same file.
std::optional<qint64> centroDe(store::Database& db, const QString& nombre, const QString& huella);

} // namespace ficheros
