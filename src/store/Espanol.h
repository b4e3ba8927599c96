#pragma once

#include <QString>

namespace store {

// Registered on every connection when it opens. Use them in queries only, never in the schema, so that
// other SQLite tools still read the file:
//   ORDER BY nomtrabajador COLLATE ESPANOL
//   WHERE instr(PLEGAR(nomtrabajador), PLEGAR(:par1)) > 0
inline const QString kColacionEspanol = QStringLiteral("ESPANOL");
inline const QString kFuncionPlegar = QStringLiteral("PLEGAR");

// Spanish order: accented letters with their base letter, Ñ between N and O, case ignored.
int compararEspanol(const QString& a, const QString& b);
// Lower case without accents (á→a, ü→u, ñ→n), for searches that ignore both.
QString plegar(const QString& texto);

} // namespace store
