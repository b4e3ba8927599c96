#pragma once

#include <QByteArray>
#include <optional>

namespace store {
class Database;
}

// The companies, centres and workers in the import's format: UTF-8 with BOM, ";", one row per worker and centre;
// a centre without workers and a company without centres on a row of its own, and the workers without any
// centre at the end. Importing the result into an empty database gives the same data.
namespace exportacion {

// Every company, or only `idempresa` (then without the workers that have no centre).
QByteArray exportar(store::Database& db, std::optional<qint64> idempresa = std::nullopt);

} // namespace exportacion
